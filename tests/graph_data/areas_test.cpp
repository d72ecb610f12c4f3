// Areas: faces, stacking, base and the depth edge where a segment crosses the base.
#include "scene.h"

namespace plotwise::test {
namespace {

TEST(Areas, FlatSegmentFillsDownToTheBase) {
    Scene s(Area, {{10, 10}});
    s.draw();
    EXPECT_EQ(s.at(60, 200), s.front(0));
    EXPECT_EQ(s.at(40, 150), s.front(0));
    EXPECT_EQ(s.at(80, 250), s.front(0));
    EXPECT_EQ(s.at(60, 149), s.background);
    EXPECT_EQ(s.at(60, 251), s.background);
    EXPECT_EQ(s.at(81, 200), s.background);
}

TEST(Areas, PositiveLowestIsTheBase) {
    Scene s(Area, {{10, 10}});
    s.L.lowest = 5;
    s.draw();
    EXPECT_EQ(s.at(60, 190), s.front(0));
    EXPECT_EQ(s.at(60, 200), s.front(0));   // base line PY(5)
    EXPECT_EQ(s.at(60, 210), s.background);
}

TEST(Areas, SegmentsNeedBothNeighbours) {
    Scene s(Area, {{10, 10, M, 10, 10}});
    s.draw();
    EXPECT_EQ(s.at(60, 200), s.front(0));
    EXPECT_EQ(s.at(100, 200), s.background);  // between points 1 and 2
    EXPECT_EQ(s.at(140, 200), s.background);  // between points 2 and 3
    EXPECT_EQ(s.at(180, 200), s.front(0));
}

TEST(Areas, LoneValueIsALineFromTheBase) {
    Scene s(Area, {{M, 10, M}});
    s.draw();
    EXPECT_EQ(s.at(80, 150), s.front(0));
    EXPECT_EQ(s.at(80, 250), s.front(0));
    EXPECT_EQ(s.count_all(s.front(0)), 101);
}

TEST(Areas, SegmentTakesTheRightHandPointsColour) {
    Scene s(Area, {{10, 10, 10}});
    s.draw();
    s.colors.front[1] = s.front(3);
    s.colors.front[2] = s.front(4);
    s.draw();
    EXPECT_EQ(s.at(60, 200), s.front(3));
    EXPECT_EQ(s.at(100, 200), s.front(4));
}

TEST(Areas, SumStacksOnTheRunningTotal) {
    // Set 0 from 2 to 6, set 1 adds 3: its lower edge follows set 0 from (40,230) to (80,190).
    Scene s(Area, {{2, 6}, {3, 3}});
    s.opt.stack_type = Sum;
    s.draw();
    EXPECT_EQ(s.at(60, 195), s.front(1));   // between the totals: 210 (lower) and 180 (upper)
    EXPECT_EQ(s.at(60, 215), s.front(0));
    EXPECT_EQ(s.at(60, 245), s.front(0));
    EXPECT_EQ(s.at(60, 175), s.background);
}

TEST(Areas, SumCountsMissingAsNothing) {
    Scene s(Area, {{2, M}, {3, 3}});
    s.opt.stack_type = Sum;
    s.draw();
    // Set 0 has no segment, only its lone value (a line from the base at x = 40); set 1 runs
    // from total 5 (over 2) to total 3 (over nothing) and covers the upper part of that line.
    EXPECT_EQ(s.at(40, 240), s.front(0));
    EXPECT_EQ(s.count_all(s.front(0)), 20);
    EXPECT_EQ(s.at(78, 240), s.front(1));   // near the right end: rows 220..250
    EXPECT_EQ(s.at(42, 235), s.background); // near the left end the lower edge is PY(2) = 230
}

TEST(Areas, BesideAndDepthPaintTheFirstSetLast) {
    for (int stack : {Beside, Depth, Layer}) {
        Scene s(Area, {{10, 10}, {15, 15}});
        s.opt.stack_type = stack;
        s.draw();
        EXPECT_EQ(s.at(60, 200), s.front(0)) << stack;
        EXPECT_EQ(s.at(60, 120), s.front(1)) << stack;
    }
}

TEST(Areas, SolidCrossingTheBaseGetsADepthEdgeThere) {
    // From 5 down to -5 over the base 0: front (40,100) to (80,200), base row 150, crossing
    // at (60,150). The depth edge runs from there to (68,142), over the face along the base.
    Scene s(Area3D, {{5, -5}});
    s.depth(8, 8);
    s.L.yorig = 150;
    s.L.lowest = -10;
    s.L.highest = 10;
    s.draw();
    EXPECT_EQ(s.at(64, 146), s.shade(0));
    EXPECT_EQ(s.at(66, 146), s.front(0));   // face along the base beside the edge
    EXPECT_EQ(s.at(50, 140), s.front(0));   // front face above the base
    EXPECT_EQ(s.at(75, 170), s.front(0));   // front face below it
}

TEST(Areas, SolidFacesAndEdges) {
    // Flat at 10 from (40,150) to (80,150), one step (10, 10).
    Scene s(Area3D, {{10, 10}});
    s.depth(10, 10);
    s.draw();
    EXPECT_EQ(s.at(60, 200), s.front(0));   // front face
    EXPECT_EQ(s.at(70, 145), s.front(0));   // top face
    EXPECT_EQ(s.at(85, 200), s.shade(0));   // right end face
    EXPECT_EQ(s.at(45, 145), s.shade(0));   // depth edge at the left end, at the top
    EXPECT_EQ(s.at(85, 145), s.shade(0));   // depth edge at the right end
    EXPECT_EQ(s.at(60, 250), s.shade(0));   // base line
    EXPECT_EQ(s.at(91, 200), s.background);
}

TEST(Areas, SteepTopFaceIsShaded) {
    // From -10 up to the base 0 over 40 columns: a rise of 2.5 per column against a depth slope
    // of 1. The area hangs below the base (row 150), so its top face shows under the front
    // face: between (40,250)-(80,150) and its copy one step back, at column 64 rows 190..205.
    Scene s(Area3D, {{-10, 0}});
    s.depth(10, 10);
    s.L.yorig = 150;
    s.L.lowest = -10;
    s.draw();
    EXPECT_EQ(s.at(64, 197), s.shade(0));
    EXPECT_EQ(s.at(64, 170), s.front(0));   // front face between the base and the line
}

TEST(Areas, GentleTopFaceIsInFront) {
    Scene s(Area3D, {{10, 11}});
    s.depth(10, 10);
    s.draw();
    // Top face at column 60 spans rows 138..145.
    EXPECT_EQ(s.at(60, 141), s.front(0));
}

TEST(Areas, DepthPutsSetsOnTheirOwnStep) {
    Scene s(Area3D, {{10, 10}, {10, 10}});
    s.depth(10, 10, 2);
    s.opt.stack_type = Depth;
    s.draw();
    // Set 1's top face rows 130..140 (one step back); set 0 covers below 140.
    EXPECT_EQ(s.at(75, 135), s.front(1));
    EXPECT_EQ(s.at(75, 145), s.front(0));
}

}  // namespace
}  // namespace plotwise::test
