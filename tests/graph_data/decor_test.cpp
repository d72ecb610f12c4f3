// Volume of combo charts, the plot frame, the zero shelf and the annotation.
#include <algorithm>

#include "scene.h"

namespace plotwise::test {
namespace {

// A 3D scene of five points with no data: PX(0..4) = 40..200 at the front, 50..210 one step
// back; lowest 0 (row 250, 240 at the back), highest 20 (row 50, 40 at the back).
struct EmptyScene : Scene {
    explicit EmptyScene(ChartType type = Line3D) : Scene(type, {}) {
        num_points = 5;
        if (is3d(type)) depth(10, 10);
    }
};

enum Edge { Bottom, TopBack, Left, TopLeftDepth, BottomRightDepth, RightBack, kEdges };
// A pixel in the middle of each edge, away from the others.
constexpr int kEdgeProbe[kEdges][2] = {{120, 250}, {130, 40}, {40, 150}, {45, 45}, {205, 245}, {210, 140}};

struct BorderCase {
    int border;
    std::vector<Edge> edges;
};

class Border : public ::testing::TestWithParam<BorderCase> {};

TEST_P(Border, DrawsTheEdgesItsBitsName) {
    EmptyScene s;
    s.opt.border = GetParam().border;
    s.draw();
    for (int e = 0; e < kEdges; ++e) {
        const auto& wanted = GetParam().edges;
        const bool expected = std::find(wanted.begin(), wanted.end(), e) != wanted.end();
        EXPECT_EQ(s.at(kEdgeProbe[e][0], kEdgeProbe[e][1]) == s.line, expected)
            << "border " << GetParam().border << " edge " << e;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Decor, Border,
    ::testing::Values(BorderCase{0, {}}, BorderCase{1, {Bottom, TopBack, Left, TopLeftDepth, BottomRightDepth, RightBack}},
                      BorderCase{2, {Bottom, BottomRightDepth}}, BorderCase{4, {Left, TopLeftDepth}},
                      BorderCase{8, {RightBack, BottomRightDepth}}, BorderCase{16, {TopBack, TopLeftDepth}},
                      BorderCase{3, {Bottom, BottomRightDepth}},
                      BorderCase{2 | 4 | 8 | 16, {Bottom, TopBack, Left, TopLeftDepth, BottomRightDepth, RightBack}},
                      BorderCase{4 | 8, {Left, TopLeftDepth, RightBack, BottomRightDepth}}));

TEST(Decor, FlatFrameIsARectangle) {
    EmptyScene s(Line);
    s.opt.border = 1;
    s.draw();
    EXPECT_EQ(s.at(120, 250), s.line);
    EXPECT_EQ(s.at(120, 50), s.line);
    EXPECT_EQ(s.at(40, 150), s.line);
    EXPECT_EQ(s.at(200, 150), s.line);
    EXPECT_EQ(s.count_all(s.line), 2 * 161 + 2 * 199);
}

TEST(Decor, BarFrameEndsTwoPositionsFurther) {
    EmptyScene s(Bar);
    s.opt.border = 1;
    s.draw();
    // Five bars take positions 1 to 5; the frame runs to position 6 (PX = 280).
    EXPECT_EQ(s.at(280, 150), s.line);
    EXPECT_EQ(s.at(281, 150), s.background);
}

TEST(Decor, ZeroShelfAcrossTheBackWall) {
    EmptyScene s;
    s.opt.zero_shelf = 1;
    s.L.yorig = 150;
    s.L.lowest = -10;
    s.L.highest = 10;
    s.draw();
    // From (40,150) back to (50,140), then along the back wall to (210,140).
    EXPECT_EQ(s.at(45, 145), s.line);
    EXPECT_EQ(s.at(130, 140), s.line);
    EXPECT_EQ(s.at(210, 140), s.line);
    EXPECT_EQ(s.at(211, 140), s.background);
    EXPECT_EQ(s.count_all(s.line), 11 + 160);
}

TEST(Decor, ZeroShelfRules) {
    const struct {
        int border;
        float lowest, highest;
        unsigned char on;
        bool drawn;
    } cases[] = {
        {0, -10, 10, 1, true},  {0, -10, 10, 0, false}, {0, 0, 20, 1, true},  {1, 0, 20, 1, true},
        {2, 0, 20, 1, false},   {4, 0, 20, 1, true},    {2, -20, 0, 1, false}, {0, -20, 0, 1, true},
        {0, 5, 20, 1, false},   {0, -20, -5, 1, false},
    };
    for (const auto& c : cases) {
        EmptyScene s;
        s.opt.zero_shelf = c.on;
        s.opt.border = c.border;
        s.L.lowest = c.lowest;
        s.L.highest = c.highest;
        s.L.yscl = -200.0 / (c.highest - c.lowest);
        s.L.yorig = static_cast<float>(250 + c.lowest * 200.0 / (c.highest - c.lowest));
        s.draw();
        // The zero row on the back wall, midway along it (no edge of these frames runs there).
        const int y = s.L.PY(0, 1);
        EXPECT_EQ(s.at(130, y) == s.line, c.drawn) << c.border << " " << c.lowest << " " << c.highest;
    }
}

TEST(Decor, DataCoversTheZeroShelf) {
    Scene s(Bar3D, {{10, 10}});
    s.depth(10, 10);
    s.opt.zero_shelf = 1;
    s.draw();
    // The shelf runs along the back wall at row 240; the bar at 70..90 stands in front of it.
    EXPECT_EQ(s.at(80, 240), s.front(0));
    EXPECT_EQ(s.at(60, 240), s.line);
}

TEST(Decor, NoZeroShelfOnFlatCharts) {
    EmptyScene s(Line);
    s.opt.zero_shelf = 1;
    s.L.yorig = 150;
    s.L.lowest = -10;
    s.L.highest = 10;
    s.draw();
    EXPECT_EQ(s.count_all(s.line), 0);
}

TEST(Decor, AnnotationLineWithoutNote) {
    EmptyScene s(Line);
    const Annotation a{2, 0xFF8000, ""};
    s.opt.annotation = &a;
    s.draw();
    // At PX(2) = 120 from PY(0) + 1 = 251 up to PY(20) = 50, then 2 more pixels.
    EXPECT_EQ(s.at(120, 251), s.annotation);
    EXPECT_EQ(s.at(120, 150), s.annotation);
    EXPECT_EQ(s.at(120, 48), s.annotation);
    EXPECT_EQ(s.at(120, 47), s.background);
    EXPECT_EQ(s.at(120, 252), s.background);
    EXPECT_EQ(s.count_all(s.annotation), 204);
}

TEST(Decor, AnnotationNoteToTheRightInTheFirstHalf) {
    EmptyScene s(Line);
    s.L.annote_hgt = 17;  // text height 12 + 5
    const Annotation a{1, 0xFF8000, "Hi"};
    s.opt.annotation = &a;
    s.draw();
    // Line at 80 ends at (80,48); leader up and right by 8 to (88,40); "Hi" (12 x 12) from
    // x 89, top 40 - 6.
    EXPECT_EQ(s.at(84, 44), s.annotation);
    EXPECT_EQ(s.at(88, 40), s.annotation);
    const int text = s.count(89, 34, 100, 46, s.annotation);
    EXPECT_GT(text, 5);
    EXPECT_EQ(s.count_all(s.annotation), 204 + 8 + text);
}

TEST(Decor, AnnotationNoteToTheLeftInTheSecondHalf) {
    EmptyScene s(Line);
    s.L.annote_hgt = 17;
    const Annotation a{3, 0xFF8000, "Hi"};
    s.opt.annotation = &a;
    s.draw();
    // Line at 160; leader to (152,40); text right-aligned ending before it: x 140 to 151.
    EXPECT_EQ(s.at(156, 44), s.annotation);
    const int text = s.count(140, 34, 151, 46, s.annotation);
    EXPECT_GT(text, 5);
    EXPECT_EQ(s.count_all(s.annotation), 204 + 8 + text);
}

TEST(Decor, SolidAnnotationRunsAlongTheBackWall) {
    EmptyScene s;
    const Annotation a{2, 0xFF8000, ""};
    s.opt.annotation = &a;
    s.draw();
    EXPECT_EQ(s.at(130, 140), s.annotation);  // back line at PX(2, 1) = 130, rows 240..40
    EXPECT_EQ(s.at(130, 40), s.annotation);
    EXPECT_EQ(s.at(120, 150), s.annotation);  // front line
    EXPECT_EQ(s.at(125, 45), s.annotation);   // depth edge from (120,50) to (130,40)
    EXPECT_EQ(s.at(120, 48), s.background);   // no 2-pixel stub in 3D
}

TEST(Decor, AnnotationOnBarChartsMovesOnePosition) {
    EmptyScene s(Bar);
    const Annotation a{2, 0xFF8000, ""};
    s.opt.annotation = &a;
    s.draw();
    EXPECT_EQ(s.at(160, 150), s.annotation);
    EXPECT_EQ(s.at(120, 150), s.background);
}

TEST(Decor, VolumeBarsAtEachPointHalvedAtTheEnds) {
    Scene s(ComboLineBar, {{M, M, M}});
    s.vol = {4, 8, 2};
    s.draw();
    // PV(v) = 250 - 10 v; half_bar 10.
    EXPECT_EQ(s.at(40, 230), s.volume);
    EXPECT_EQ(s.at(50, 230), s.volume);
    EXPECT_EQ(s.at(39, 230), s.background);
    EXPECT_EQ(s.at(51, 230), s.background);
    EXPECT_EQ(s.at(70, 200), s.volume);
    EXPECT_EQ(s.at(90, 171), s.volume);
    EXPECT_EQ(s.at(80, 169), s.background);
    EXPECT_EQ(s.at(110, 240), s.volume);
    EXPECT_EQ(s.at(120, 240), s.volume);
    EXPECT_EQ(s.at(121, 240), s.background);
}

TEST(Decor, VolumeUsesThePerPointColours) {
    Scene s(ComboHlcBar, {{M, M}, {M, M}, {M, M}});
    s.vol = {4, 8};
    s.colors.volume_at = {s.front(4), s.front(5)};
    s.draw();
    EXPECT_EQ(s.at(45, 240), s.front(4));
    EXPECT_EQ(s.at(75, 240), s.front(5));
}

TEST(Decor, VolumeSitsAtTheBackWall) {
    Scene s(ComboLineBar3D, {{M, M, M}});
    s.depth(10, 10);
    s.vol = {4, 8, 2};
    s.draw();
    // One step back: point 1 from 80 to 100, rows 160..240; flat, no faces.
    EXPECT_EQ(s.at(80, 200), s.volume);
    EXPECT_EQ(s.at(100, 161), s.volume);
    EXPECT_EQ(s.at(101, 161), s.background);
    EXPECT_EQ(s.at(90, 158), s.background);
}

TEST(Decor, VolumeAreasAndLines) {
    {
        Scene s(ComboLineArea, {{M, M, M}});
        s.vol = {4, 8, M};
        s.draw();
        EXPECT_EQ(s.at(60, 220), s.volume);      // under (40,210)-(80,170)
        EXPECT_EQ(s.at(60, 185), s.background);
        EXPECT_EQ(s.count(81, 0, 399, 299, s.volume), 0);
    }
    {
        Scene s(ComboLineLine, {{M, M, M}});
        s.vol = {4, 8, M};
        s.draw();
        EXPECT_EQ(s.at(60, 190), s.volume);
        EXPECT_EQ(s.at(60, 191), s.background);  // one pixel thin
        EXPECT_EQ(s.count_all(s.volume), 41);
    }
}

TEST(Decor, VolumeComesBeforeTheData) {
    Scene s(ComboLineBar, {{8, 8, 8}});
    s.vol = {8, 8, 8};
    s.draw();
    EXPECT_EQ(s.at(75, 170), s.front(0));   // the line over the volume bar
    EXPECT_EQ(s.at(75, 200), s.volume);
}

}  // namespace
}  // namespace plotwise::test
