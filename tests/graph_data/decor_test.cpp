// Volume of combo charts, the plot frame, the zero shelf and the annotation.
#include <algorithm>

#include "scene.h"

namespace plotwise::test {
namespace {

// A 3D scene of five points with no data: point_x(0..4) = 40..200 at the front, 50..210 one step
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

TEST(Decor, VolumeUsesThePerPointColours) {
    Scene s(ComboHlcBar, {{M, M}, {M, M}, {M, M}});
    s.vol = {4, 8};
    s.colors.volume_at = {s.front(4), s.front(5)};
    s.draw();
    EXPECT_EQ(s.at(45, 240), s.front(4));
    EXPECT_EQ(s.at(75, 240), s.front(5));
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

// Five points with no data (as EmptyScene), flat or one step (10, 10) deep.
void five_points(Scene& s) {
    s.num_points = 5;
    if (is3d(s.in.type)) s.depth(10, 10);
}
const Annotation kAnnotationAtTwo{2, 0xFF8000, ""};

const SceneCase kDecorScenes[] = {
    {"a flat frame is a rectangle", Line, {}, [](Scene& s) { five_points(s), s.opt.border = 1; },
     {{120, 250, kLine}, {120, 50, kLine}, {40, 150, kLine}, {200, 150, kLine}}, {{kLine, 2 * 161 + 2 * 199}}},
    // Five bars take positions 1 to 5; the frame runs to position 6 (point_x = 280).
    {"a bar frame ends two positions further", Bar, {}, [](Scene& s) { five_points(s), s.opt.border = 1; },
     {{280, 150, kLine}, {281, 150, kBackground}}, {}},
    // From (40,150) back to (50,140), then along the back wall to (210,140).
    {"the zero shelf runs across the back wall", Line3D, {},
     [](Scene& s) { five_points(s), s.opt.zero_shelf = 1, s.L.yorig = 150, s.L.lowest = -10, s.L.highest = 10; },
     {{45, 145, kLine}, {130, 140, kLine}, {210, 140, kLine}, {211, 140, kBackground}}, {{kLine, 11 + 160}}},
    // The shelf runs along the back wall at row 240; the bar at 70..90 stands in front of it.
    {"data covers the zero shelf", Bar3D, {{10, 10}}, [](Scene& s) { s.depth(10, 10), s.opt.zero_shelf = 1; },
     {{80, 240, front_of(0)}, {60, 240, kLine}}, {}},
    {"no zero shelf on flat charts", Line, {},
     [](Scene& s) { five_points(s), s.opt.zero_shelf = 1, s.L.yorig = 150, s.L.lowest = -10, s.L.highest = 10; }, {},
     {{kLine, 0}}},
    // At point_x(2) = 120 from PY(0) + 1 = 251 up to PY(20) = 50, then 2 more pixels.
    {"an annotation line without a note", Line, {}, [](Scene& s) { five_points(s), s.opt.annotation = &kAnnotationAtTwo; },
     {{120, 251, kAnnotation}, {120, 150, kAnnotation}, {120, 48, kAnnotation}, {120, 47, kBackground},
      {120, 252, kBackground}},
     {{kAnnotation, 204}}},
    // The back line at point_x(2, 1) = 130, rows 240..40, the front line, the depth edge from
    // (120,50) to (130,40); no 2-pixel stub in 3D.
    {"a solid annotation runs along the back wall", Line3D, {},
     [](Scene& s) { five_points(s), s.opt.annotation = &kAnnotationAtTwo; },
     {{130, 140, kAnnotation}, {130, 40, kAnnotation}, {120, 150, kAnnotation}, {125, 45, kAnnotation},
      {120, 48, kBackground}}, {}},
    {"an annotation on bar charts moves one position", Bar, {},
     [](Scene& s) { five_points(s), s.opt.annotation = &kAnnotationAtTwo; },
     {{160, 150, kAnnotation}, {120, 150, kBackground}}, {}},
    // PV(v) = 250 - 10 v; half_bar 10: bars of half width at the ends.
    {"volume bars at each point, halved at the ends", ComboLineBar, {{M, M, M}}, [](Scene& s) { s.vol = {4, 8, 2}; },
     {{40, 230, kVolume}, {50, 230, kVolume}, {39, 230, kBackground}, {51, 230, kBackground}, {70, 200, kVolume},
      {90, 171, kVolume}, {80, 169, kBackground}, {110, 240, kVolume}, {120, 240, kVolume}, {121, 240, kBackground}},
     {}},
    // One step back: point 1 from 80 to 100, rows 160..240; flat, no faces.
    {"volume sits at the back wall", ComboLineBar3D, {{M, M, M}}, [](Scene& s) { s.depth(10, 10), s.vol = {4, 8, 2}; },
     {{80, 200, kVolume}, {100, 161, kVolume}, {101, 161, kBackground}, {90, 158, kBackground}}, {}},
    // The line over the volume bar.
    {"volume comes before the data", ComboLineBar, {{8, 8, 8}}, [](Scene& s) { s.vol = {8, 8, 8}; },
     {{75, 170, front_of(0)}, {75, 200, kVolume}}, {}},
};

TEST(Decor, ScenesShowTheirPixels) {
    for (const SceneCase& c : kDecorScenes) expect_scene(c);
}

}  // namespace
}  // namespace plotwise::test
