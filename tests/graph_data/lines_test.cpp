// Flat lines and 3D ribbons.
#include <limits>
#include <utility>

#include "scene.h"

namespace plotwise::test {
namespace {

class MissingMiddle : public ::testing::TestWithParam<float> {};

TEST_P(MissingMiddle, LeavesTheNeighboursAsSinglePixels) {
    Scene s(Line, {{10, GetParam(), 15}});
    s.draw();
    EXPECT_EQ(s.at(40, 150), s.front(0));    // point_x(0), PY(10)
    EXPECT_EQ(s.at(40, 151), s.background);  // no second pixel below
    EXPECT_EQ(s.at(120, 100), s.front(0));   // point_x(2), PY(15)
    EXPECT_EQ(s.at(120, 101), s.background);
    EXPECT_EQ(s.count_all(s.front(0)), 2);
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

// A chart of one point has no segment: the point is a filled diamond reaching twice mark_size
// (6 pixels) from (point_x(0), PY(7)) = (40, 180), or from PXY(5) = 90 on xy charts.
TEST(Lines, SinglePointOfALineOrAreaIsADiamond) {
    for (const ChartType type : {Line, Line3D, Area, Area3D, XyLine, XyLineStep, XyArea, XyAreaStep}) {
        SCOPED_TRACE(type);
        Scene s(type, {{7}});
        if (is3d(type)) s.depth(6, 4);
        if (isXy(type)) s.xdata = {{5}};
        s.draw();
        const int x = isXy(type) ? 90 : 40, y = 180;
        for (const auto& [dx, dy] : {std::pair{0, 0}, {-6, 0}, {6, 0}, {0, -6}, {0, 6}})
            EXPECT_EQ(s.at(x + dx, y + dy), s.front(0)) << dx << "," << dy;
        EXPECT_NE(s.at(x + 4, y + 4), s.front(0));  // a diamond, not a square
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
    // A lone point in 3D is its depth edge: (80,150) to (90,140).
    {"a lone point in 3D is its depth edge", Line3D, {{M, 10, M}}, [](Scene& s) { s.depth(10, 10), s.opt.stack_type = Beside; },
     {{80, 150, front_of(0)}, {85, 145, front_of(0)}}, {{front_of(0), 11}}},
};

TEST(Lines, ScenesShowTheirPixels) {
    for (const SceneCase& c : kLineScenes) expect_scene(c);
    for (const int stack_type : {Depth, Beside, Sum}) expect_scene(steep_ribbon(stack_type));
}

}  // namespace
}  // namespace plotwise::test
