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
    EXPECT_EQ(s.at(40, 150), s.front(0));    // PX(0), PY(10)
    EXPECT_EQ(s.at(40, 151), s.background);  // no second pixel below
    EXPECT_EQ(s.at(120, 100), s.front(0));   // PX(2), PY(15)
    EXPECT_EQ(s.at(120, 101), s.background);
    EXPECT_EQ(s.count_all(s.front(0)), 2);
}

INSTANTIATE_TEST_SUITE_P(Lines, MissingMiddle,
                         ::testing::Values(NoValue, InterpolateValue, std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity(),
                                           -std::numeric_limits<float>::infinity()));

TEST(Lines, SegmentsAreTwoPixelsThick) {
    Scene s(Line, {{10, 12}});
    s.draw();
    // (40,150) to (80,130): 41 columns, each with the line and the pixel below it.
    EXPECT_EQ(s.count_all(s.front(0)), 82);
    for (int x : {40, 60, 80}) {
        const int y = 150 - (x - 40) / 2;
        EXPECT_EQ(s.at(x, y), s.front(0)) << x;
        EXPECT_EQ(s.at(x, y + 1), s.front(0)) << x;
        EXPECT_EQ(s.at(x, y + 2), s.background) << x;
        EXPECT_EQ(s.at(x, y - 1), s.background) << x;
    }
}

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

TEST(Lines, FirstSetIsPaintedLast) {
    Scene s(Line, {{10, 10}, {10, 10}});
    s.draw();
    EXPECT_EQ(s.at(60, 150), s.front(0));
    EXPECT_EQ(s.count_all(s.front(1)), 0);
}

// A chart of one point has no segment: the point is a filled diamond reaching twice mark_size
// (6 pixels) from (PX(0), PY(7)) = (40, 180), or from PXY(5) = 90 on xy charts.
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

class RibbonFaces : public ::testing::TestWithParam<int> {};

TEST_P(RibbonFaces, SteepRiseInShadeFallInFront) {
    // Up from (40,250) to (80,150), then down to (120,250): 2.5 rows per column against a
    // depth slope of 1. Inside the rising ribbon at column 64: rows 190 (front edge) to 205.
    Scene s(Line3D, {{0, 10, 0}});
    s.depth(10, 10);
    s.opt.stack_type = GetParam();
    s.draw();
    EXPECT_EQ(s.at(64, 197), s.shade(0));
    // Falling ribbon at column 104: rows 175 (back edge) to 210 (front edge).
    EXPECT_EQ(s.at(104, 195), s.front(0));
    EXPECT_EQ(s.at(104, 215), s.background);
    EXPECT_EQ(s.at(64, 186), s.background);
}

INSTANTIATE_TEST_SUITE_P(Lines, RibbonFaces, ::testing::Values(Depth, Beside, Sum));

TEST(Lines, GentleRiseStaysInFront) {
    // 0.25 rows per column, well under the depth slope.
    Scene s(Line3D, {{10, 11}});
    s.depth(10, 10);
    s.opt.stack_type = Beside;
    s.draw();
    // At column 60 the ribbon spans rows 138 (back edge) to 145 (front edge).
    EXPECT_EQ(s.at(60, 143), s.front(0));
    EXPECT_EQ(s.at(60, 139), s.front(0));
    EXPECT_EQ(s.at(60, 146), s.background);
}

TEST(Lines, HigherRibbonCoversLowerInTheSameColumn) {
    // Set 0 one row lower (PY(9.9) = 151) than set 1 (PY(10) = 150). At the last column 80 the
    // slices overlap in one pixel per row: at row 140 set 0's slice covers columns 90..91 and
    // set 1's 89..90. Set 1, higher on screen, is painted after set 0 although it comes later.
    Scene s(Line3D, {{9.9f, 9.9f}, {10, 10}});
    s.depth(20, 20);
    s.opt.stack_type = Beside;
    s.draw();
    EXPECT_EQ(s.at(90, 140), s.front(1));
    EXPECT_EQ(s.at(91, 140), s.front(0));
    EXPECT_EQ(s.at(89, 140), s.front(1));
}

TEST(Lines, DepthRowsStepBack) {
    Scene s(Line3D, {{10, 10}, {10, 10}});
    s.depth(10, 10, 2);
    s.opt.stack_type = Depth;
    s.draw();
    // Set 1's ribbon spans rows 130..140 (one step back), set 0's rows 140..150.
    EXPECT_EQ(s.at(60, 145), s.front(0));
    EXPECT_EQ(s.at(75, 135), s.front(1));
    EXPECT_EQ(s.at(75, 128), s.background);
}

TEST(Lines, SumRunsAlongTheRunningTotals) {
    Scene s(Line3D, {{5, 5}, {5, 5}});
    s.depth(10, 10);
    s.opt.stack_type = Sum;
    s.draw();
    // Set 1 along 10 (row 150), set 0 along 5 (row 200).
    EXPECT_EQ(s.at(60, 147), s.front(1));
    EXPECT_EQ(s.at(60, 197), s.front(0));
}

TEST(Lines, LayerDrawsNoRibbons) {
    Scene s(Line3D, {{5, 5}});
    s.depth(10, 10);
    s.opt.stack_type = Layer;
    s.draw();
    EXPECT_EQ(s.count_all(s.front(0)), 0);
    EXPECT_EQ(s.count_all(s.shade(0)), 0);
}

TEST(Lines, LonePointInThreeDIsItsDepthEdge) {
    Scene s(Line3D, {{M, 10, M}});
    s.depth(10, 10);
    s.opt.stack_type = Beside;
    s.draw();
    // (80,150) to (90,140).
    EXPECT_EQ(s.at(80, 150), s.front(0));
    EXPECT_EQ(s.at(85, 145), s.front(0));
    EXPECT_EQ(s.count_all(s.front(0)), 11);
}

}  // namespace
}  // namespace plotwise::test
