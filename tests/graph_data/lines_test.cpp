// Flat lines and 3D ribbons.
#include <limits>
#include <utility>

#include "scene.h"

namespace plotwise::test {
namespace {

class MissingMiddle : public ::testing::TestWithParam<float> {};

// Neither neighbour of a missing value is reached by a segment: each is a diamond reaching
// twice mark_size (6 pixels) from its point, and nothing joins them.
TEST_P(MissingMiddle, LeavesTheNeighboursAsDiamonds) {
    Scene s(Line, {{10, GetParam(), 15}});
    s.draw();
    for (const auto& [x, y] : {std::pair{40, 150}, {120, 100}}) {  // point_x(0), PY(10) and point_x(2), PY(15)
        EXPECT_EQ(s.at(x, y), s.front(0));
        EXPECT_EQ(s.at(x + 6, y), s.front(0));
        EXPECT_EQ(s.at(x, y + 6), s.front(0));
        EXPECT_EQ(s.at(x + 4, y + 4), s.background);
    }
    EXPECT_EQ(s.count(47, 0, 113, 299, s.front(0)), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, MissingMiddle,
                         ::testing::Values(NoValue, InterpolateValue, std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity()));

TEST(Lines, SegmentTakesTheRightHandPointsColour) {
    Scene s(Line, {{10, 10, 10}});
    s.draw();  // wires the colour table
    s.colors.front[1] = s.front(3);
    s.colors.front[2] = s.front(4);
    gdImageFilledRectangle(s.im, 0, 0, 399, 299, s.background);
    s.draw();
    EXPECT_EQ(s.at(60, 150), s.front(3));
    EXPECT_EQ(s.at(100, 151), s.front(4));
}

// Up from (40,250) to (80,150), then down to (120,250): 2.5 rows per column against a depth
// slope of 1. Inside the rising ribbon at column 64: rows 190 (front edge) to 205; the falling
// ribbon at column 104: rows 175 (back edge) to 210 (front edge). Alike for every stack type
// that draws ribbons.
SceneCase steep_ribbon(int stack_type) {
    return {"steep rise in shade, fall in front", Line3D, {{0, 10, 0}},
            [stack_type](Scene& s) { s.depth(10, 10), s.opt.stack_type = stack_type; },
            {{64, 197, shade_of(0)}, {104, 195, front_of(0)}, {104, 215, kBackground}, {64, 186, kBackground}}, {}};
}

// A point no segment reaches, the only one or one between two missing values, is a filled
// diamond reaching twice mark_size (6 pixels) from (point_x(p), PY(7)), or from PXY(5) = 90 on xy
// charts; a point beyond the axis range (PY(25) = 0) has none.
TEST(Lines, LonePointsOfALineOrAreaAreDiamonds) {
    struct Case {
        const char* name;
        std::vector<float> row, xrow;
        int x, y;     // the diamond's centre on flat and 3D charts
        bool drawn;
    } cases[] = {
        {"the only point", {7}, {5}, 40, 180, true},
        {"a point between two gaps", {3, M, 7, M, 3}, {1, 2, 5, 6, 9}, 120, 180, true},
        {"a point above the range", {3, 4, 5, M, 25, M}, {1, 2, 3, 4, 5, 6}, 200, 0, false},
    };
    for (const Case& c : cases) {
        for (const ChartType type : {Line, Line3D, Area, Area3D, XyLine, XyLineStep, XyArea, XyAreaStep}) {
            SCOPED_TRACE(std::string(c.name) + " of type " + std::to_string(type));
            Scene s(type, {c.row});
            if (is3d(type)) s.depth(6, 4);
            if (isXy(type)) s.xdata = {c.xrow};
            s.draw();
            const int x = isXy(type) ? 90 : c.x, y = c.y;
            if (!c.drawn) {
                EXPECT_NE(s.at(x, y + 6), s.front(0));
                continue;
            }
            for (const auto& [dx, dy] : {std::pair{0, 0}, {-6, 0}, {6, 0}, {0, -6}, {0, 6}})
                EXPECT_EQ(s.at(x + dx, y + dy), s.front(0)) << dx << "," << dy;
            EXPECT_NE(s.at(x + 4, y + 4), s.front(0));  // a diamond, not a square
        }
    }
}

// Default layout: point_x(p) = 40 + 40 p, PY(v) = 250 - 10 v; a depth step of (xd, yd) moves a set
// xd right and yd up.
const SceneCase kLineScenes[] = {
    // (40,150) to (80,130): 41 columns, each with the line and the pixel below it.
    {"segments are two pixels thick", Line, {{10, 12}}, {},
     {{40, 150, front_of(0)}, {40, 151, front_of(0)}, {40, 152, kBackground}, {40, 149, kBackground},
      {60, 140, front_of(0)}, {60, 141, front_of(0)}, {60, 142, kBackground}, {60, 139, kBackground},
      {80, 130, front_of(0)}, {80, 131, front_of(0)}, {80, 132, kBackground}, {80, 129, kBackground}},
     {{front_of(0), 82}}},
    {"the first set is painted last", Line, {{10, 10}, {10, 10}}, {}, {{60, 150, front_of(0)}}, {{front_of(1), 0}}},
    // 0.25 rows per column, well under the depth slope: at column 60 the ribbon spans rows 138
    // (back edge) to 145 (front edge).
    {"a gentle rise stays in front", Line3D, {{10, 11}}, [](Scene& s) { s.depth(10, 10), s.opt.stack_type = Beside; },
     {{60, 143, front_of(0)}, {60, 139, front_of(0)}, {60, 146, kBackground}}, {}},
    // Set 0 one row lower (PY(9.9) = 151) than set 1 (PY(10) = 150). At the last column 80 the
    // slices overlap in one pixel per row: at row 140 set 0's slice covers columns 90..91 and
    // set 1's 89..90. Set 1, higher on screen, is painted after set 0 although it comes later.
    {"a higher ribbon covers a lower one in the same column", Line3D, {{9.9f, 9.9f}, {10, 10}},
     [](Scene& s) { s.depth(20, 20), s.opt.stack_type = Beside; },
     {{90, 140, front_of(1)}, {91, 140, front_of(0)}, {89, 140, front_of(1)}}, {}},
    // Set 1's ribbon spans rows 130..140 (one step back), set 0's rows 140..150.
    {"depth rows step back", Line3D, {{10, 10}, {10, 10}}, [](Scene& s) { s.depth(10, 10, 2), s.opt.stack_type = Depth; },
     {{60, 145, front_of(0)}, {75, 135, front_of(1)}, {75, 128, kBackground}}, {}},
    // Set 1 along 10 (row 150), set 0 along 5 (row 200).
    {"sum runs along the running totals", Line3D, {{5, 5}, {5, 5}}, [](Scene& s) { s.depth(10, 10), s.opt.stack_type = Sum; },
     {{60, 147, front_of(1)}, {60, 197, front_of(0)}}, {}},
    {"layer draws no ribbons", Line3D, {{5, 5}}, [](Scene& s) { s.depth(10, 10), s.opt.stack_type = Layer; }, {},
     {{front_of(0), 0}, {shade_of(0), 0}}},
    // A lone point in 3D is its depth edge, (80,150) to (90,140), and a diamond of 6 pixels.
    {"a lone point in 3D is its depth edge", Line3D, {{M, 10, M}}, [](Scene& s) { s.depth(10, 10), s.opt.stack_type = Beside; },
     {{80, 150, front_of(0)}, {88, 142, front_of(0)}, {86, 150, front_of(0)}, {85, 155, kBackground}}, {}},
    // From (40,150) up to (80,-50), far above the range: cut one row above the plot's top (50);
    // at row 45 the line would pass column 61.
    {"a line beyond the range stops at the plot", Line, {{10, 30}}, {},
     {{50, 100, front_of(0)}, {60, 50, front_of(0)}, {61, 45, kBackground}, {61, 46, kBackground}}, {}},
};

TEST(Lines, ScenesShowTheirPixels) {
    for (const SceneCase& c : kLineScenes) expect_scene(c);
    for (const int stack_type : {Depth, Beside, Sum}) expect_scene(steep_ribbon(stack_type));
}

}  // namespace
}  // namespace plotwise::test
