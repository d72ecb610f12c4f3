// High-low-close marks, floating bars and xy charts.
#include <limits>

#include "scene.h"

namespace plotwise::test {
namespace {

// One set: high 15, low 5; closes 10 then 12. Points at x 40 and 80; rows: high 100, low 200,
// closes 150 and 130. half_cap 5.
Scene& hlc(Scene& s, int style) {
    s.opt.hlc_style = style;
    s.draw();
    return s;
}

TEST(HighLowClose, StrokesInTheHighAndLowRowColours) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 0);
    EXPECT_EQ(s.at(40, 120), s.front(0));   // close to high
    EXPECT_EQ(s.at(40, 100), s.front(0));
    EXPECT_EQ(s.at(40, 180), s.front(1));   // close to low
    EXPECT_EQ(s.at(40, 200), s.front(1));
    EXPECT_EQ(s.at(40, 99), s.background);
    EXPECT_EQ(s.at(40, 201), s.background);
    EXPECT_EQ(s.at(41, 120), s.background);
    EXPECT_EQ(s.count_all(s.front(2)), 0);  // no close marks, no connection
}

TEST(HighLowClose, CapsAtHighAndLow) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 8);
    EXPECT_EQ(s.at(35, 100), s.front(0));
    EXPECT_EQ(s.at(45, 100), s.front(0));
    EXPECT_EQ(s.at(35, 200), s.front(1));
    EXPECT_EQ(s.at(45, 200), s.front(1));
    EXPECT_EQ(s.at(34, 100), s.background);
    EXPECT_EQ(s.at(46, 200), s.background);
}

TEST(HighLowClose, DiamondAroundTheClose) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 1);
    EXPECT_EQ(s.at(42, 148), s.front(2));
    EXPECT_EQ(s.at(37, 151), s.front(2));
    EXPECT_EQ(s.at(45, 150), s.front(2));   // right corner
    EXPECT_EQ(s.at(44, 146), s.background); // outside |dx| + |dy| <= 5
    EXPECT_EQ(s.at(46, 150), s.background);
    EXPECT_EQ(s.count_all(s.front(2)), 2 * 61);  // two diamonds of 61 pixels
}

TEST(HighLowClose, ConnectingLineBetweenCloses) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 2);
    EXPECT_EQ(s.at(60, 140), s.front(2));   // on (40,150)-(80,130)
    EXPECT_EQ(s.at(60, 150), s.background);
}

TEST(HighLowClose, SecondFormIsAStep) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 4);
    EXPECT_EQ(s.at(60, 150), s.front(2));   // level at the previous close
    EXPECT_EQ(s.at(79, 150), s.front(2));
    EXPECT_EQ(s.at(60, 140), s.background); // no slanted line
}

TEST(HighLowClose, ConnectingLineWinsOverTheStep) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {10, 12}});
    hlc(s, 6);
    EXPECT_EQ(s.at(60, 140), s.front(2));
    EXPECT_EQ(s.at(60, 150), s.background);
}

TEST(HighLowClose, NothingAtAPointWithoutClose) {
    Scene s(HighLowClose, {{15, 15}, {5, 5}, {M, 12}});
    hlc(s, 15);
    EXPECT_EQ(s.count(30, 0, 50, 299, s.front(0)), 0);
    EXPECT_EQ(s.count(30, 0, 50, 299, s.front(1)), 0);
    EXPECT_EQ(s.count(30, 0, 58, 299, s.front(2)), 0);
    EXPECT_EQ(s.at(80, 120), s.front(0));
}

TEST(HighLowClose, MissingHighLeavesTheLowStroke) {
    Scene s(HighLowClose, {{M}, {5}, {10}});
    hlc(s, 8);
    EXPECT_EQ(s.count_all(s.front(0)), 0);
    EXPECT_EQ(s.at(40, 180), s.front(1));
    EXPECT_EQ(s.at(35, 200), s.front(1));
}

TEST(HighLowClose, SolidStrokesAreWallsOneStepDeep) {
    Scene s(HighLowClose3D, {{15, 15}, {5, 5}, {10, 12}});
    s.depth(10, 10);
    hlc(s, 8 | 1);
    EXPECT_EQ(s.at(40, 120), s.front(0));   // front edge of the close-to-high wall
    EXPECT_EQ(s.at(45, 110), s.shade(0));   // the wall (40,150) (50,140) (50,90) (40,100)
    EXPECT_EQ(s.at(45, 180), s.shade(1));   // the close-to-low wall
    EXPECT_EQ(s.at(48, 95), s.front(0));    // cap plate over the wall's top
    EXPECT_EQ(s.at(40, 100), s.shade(0));   // cap's front edge
    EXPECT_EQ(s.at(47, 142), s.shade(2));   // diamond's upper right side face
    EXPECT_EQ(s.at(41, 150), s.front(2));   // diamond's front
}

TEST(FloatingBars, FromLowToHighInTheLowRowsColour) {
    Scene s(FloatingBar, {{5}, {15}});
    s.opt.value_label_position = 1;
    s.draw();
    EXPECT_EQ(s.at(80, 150), s.front(0));
    EXPECT_EQ(s.at(70, 100), s.front(0));
    EXPECT_EQ(s.at(90, 200), s.front(0));
    EXPECT_EQ(s.at(80, 99), s.background);
    EXPECT_EQ(s.at(80, 201), s.background);
    // Labelled with the high value "15" over the upper end: left 75, top 100 - 15.84.
    EXPECT_GT(s.count(75, 84, 86, 96, s.line), 0);
    EXPECT_EQ(s.count_all(s.line), s.count(75, 84, 86, 96, s.line));
}

TEST(FloatingBars, NeedBothValuesAndAStackTheyKnow) {
    {
        Scene s(FloatingBar, {{5, M}, {M, 15}});
        s.draw();
        EXPECT_EQ(s.count_all(s.front(0)), 0);
    }
    for (int stack : {Sum, Layer}) {
        Scene s(FloatingBar, {{5}, {15}});
        s.opt.stack_type = stack;
        s.draw();
        EXPECT_EQ(s.count_all(s.front(0)), 0) << stack;
    }
}

TEST(FloatingBars, BesideSlices) {
    Scene s(FloatingBar, {{5}, {15}, {6}, {14}});
    s.opt.stack_type = Beside;
    s.draw();
    EXPECT_EQ(s.at(71, 150), s.front(0));
    EXPECT_EQ(s.at(80, 150), s.front(0));
    EXPECT_EQ(s.at(81, 150), s.front(2));
    EXPECT_EQ(s.at(90, 150), s.front(2));
}

TEST(FloatingBars, SolidDepthSteps) {
    Scene s(FloatingBar3D, {{5}, {15}, {5}, {15}});
    s.depth(10, 10, 2);
    s.draw();
    // Set 1 at step 1: top face rows 80..90 above x 80..110.
    EXPECT_EQ(s.at(99, 85), s.front(2));
    EXPECT_EQ(s.at(80, 150), s.front(0));
}

TEST(Xy, PointIsACrossOfMarkSize) {
    Scene s(XyPoint, {{10}});
    s.xdata = {{4}};
    s.draw();
    // PXY(4) = 80, PY(10) = 150, mark_size 3.
    for (int k = -3; k <= 3; ++k) {
        EXPECT_EQ(s.at(80 + k, 150 + k), s.front(0)) << k;
        EXPECT_EQ(s.at(80 + k, 150 - k), s.front(0)) << k;
    }
    EXPECT_EQ(s.count_all(s.front(0)), 13);
    EXPECT_EQ(s.at(84, 154), s.background);
    EXPECT_EQ(s.at(81, 150), s.background);
}

TEST(Xy, StepCorner) {
    Scene s(XyLineStep, {{5, 15}});
    s.xdata = {{2, 6}};
    s.draw();
    // (60,200) level to x 100, doubled below; then up to (100,100), doubled to the right.
    EXPECT_EQ(s.at(80, 200), s.front(0));
    EXPECT_EQ(s.at(80, 201), s.front(0));
    EXPECT_EQ(s.at(80, 199), s.background);
    EXPECT_EQ(s.at(100, 150), s.front(0));
    EXPECT_EQ(s.at(101, 150), s.front(0));
    EXPECT_EQ(s.at(99, 150), s.background);
    EXPECT_EQ(s.at(102, 150), s.background);
    EXPECT_EQ(s.at(100, 100), s.front(0));
    EXPECT_EQ(s.at(80, 150), s.background);  // no slanted line
}

TEST(Xy, LineIsDoubledOnePixelLower) {
    Scene s(XyLine, {{10, 10}});
    s.xdata = {{0, 8}};
    s.draw();
    EXPECT_EQ(s.at(80, 150), s.front(0));
    EXPECT_EQ(s.at(80, 151), s.front(0));
    EXPECT_EQ(s.count_all(s.front(0)), 2 * 81);
}

TEST(Xy, AreasFillToTheBase) {
    {
        Scene s(XyArea, {{10, 20}});
        s.xdata = {{2, 6}};
        s.draw();
        EXPECT_EQ(s.at(80, 200), s.front(0));
        EXPECT_EQ(s.at(80, 120), s.front(0));   // under the slope from (60,150) to (100,50)
        EXPECT_EQ(s.at(62, 120), s.background);
    }
    {
        Scene s(XyAreaStep, {{10, 20}});
        s.xdata = {{2, 6}};
        s.draw();
        EXPECT_EQ(s.at(80, 160), s.front(0));
        EXPECT_EQ(s.at(80, 140), s.background);  // level at the left point's height
        EXPECT_EQ(s.at(99, 151), s.front(0));
    }
}

TEST(Xy, MissingXOrYMakesAGap) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Scene s(XyLine, {{5, 7, 9, 11}});
    s.xdata = {{0, nan, 4, 6}};
    s.draw();
    EXPECT_EQ(s.at(40, 200), s.front(0));     // point 0 alone: a diamond of 6 pixels
    EXPECT_EQ(s.at(46, 200), s.front(0));
    EXPECT_EQ(s.count(47, 0, 79, 299, s.front(0)), 0);
    EXPECT_EQ(s.at(90, 150), s.front(0));     // segment from (80,160) to (100,140)
    EXPECT_EQ(s.at(90, 151), s.front(0));
}

TEST(Xy, SetsFromTheLastToTheFirst) {
    Scene s(XyLine, {{10, 10}, {10, 10}});
    s.xdata = {{0, 4}, {0, 4}};
    s.draw();
    EXPECT_EQ(s.at(60, 150), s.front(0));
    EXPECT_EQ(s.count_all(s.front(1)), 0);
}

}  // namespace
}  // namespace plotwise::test
