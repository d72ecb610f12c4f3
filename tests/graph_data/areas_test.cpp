// Areas: faces, stacking, base and the depth edge where a segment crosses the base.
#include "scene.h"

namespace plotwise::test {
namespace {

// Default layout: point_x(p) = 40 + 40 p, PY(v) = 250 - 10 v, base row 250; a depth step of (xd, yd)
// moves a set xd right and yd up.
const SceneCase kAreaScenes[] = {
    {"a flat segment fills down to the base", Area, {{10, 10}}, {},
     {{60, 200, front_of(0)}, {40, 150, front_of(0)}, {80, 250, front_of(0)}, {60, 149, kBackground},
      {60, 251, kBackground}, {81, 200, kBackground}}, {}},
    {"a positive lowest value is the base", Area, {{10, 10}}, [](Scene& s) { s.L.lowest = 5; },
     {{60, 190, front_of(0)}, {60, 200, front_of(0)}, {60, 210, kBackground}}, {}},  // base row PY(5)
    {"segments need both neighbours", Area, {{10, 10, M, 10, 10}}, {},
     {{60, 200, front_of(0)}, {100, 200, kBackground}, {140, 200, kBackground}, {180, 200, front_of(0)}}, {}},
    {"a lone value is a line from the base and a diamond", Area, {{M, 10, M}}, {},
     {{80, 150, front_of(0)}, {80, 250, front_of(0)}, {86, 150, front_of(0)}, {84, 154, kBackground}}, {}},
    // Values -10 to -30 on rows 50 to 250 (PY(v) = -50 - 10 v): the base 0 lies on row -50, above
    // the plot. The fill from the data up to the base stops at the plot's top row.
    {"an area on a base above the range is filled inside the plot", Area, {{-15, -12}},
     [](Scene& s) { s.L.yorig = -50, s.L.highest = -10, s.L.lowest = -30; },
     {{60, 50, front_of(0)}, {60, 80, front_of(0)}, {60, 49, kBackground}, {60, 10, kBackground},
      {60, 120, kBackground}}, {}},
    {"a 3D area on a base above the range is filled inside the plot", Area3D, {{-15, -12}},
     [](Scene& s) { s.depth(10, 10), s.L.yorig = -50, s.L.highest = -10, s.L.lowest = -30; },
     {{60, 60, front_of(0)}, {60, 39, kBackground}, {75, 30, kBackground}}, {}},
    // Set 0 from 2 to 6, set 1 adds 3: its lower edge follows set 0 from (40,230) to (80,190);
    // at column 60 the totals are 210 (lower) and 180 (upper).
    {"sum stacks on the running total", Area, {{2, 6}, {3, 3}}, [](Scene& s) { s.opt.stack_type = Sum; },
     {{60, 195, front_of(1)}, {60, 215, front_of(0)}, {60, 245, front_of(0)}, {60, 175, kBackground}}, {}},
    // Set 0 has no segment, only its lone value (a line from the base at x = 40); set 1 runs
    // from total 5 (over 2) to total 3 (over nothing) and covers the upper part of that line:
    // rows 220..250 near its right end, its lower edge PY(2) = 230 near its left end.
    {"sum counts missing as nothing", Area, {{2, M}, {3, 3}}, [](Scene& s) { s.opt.stack_type = Sum; },
     {{40, 240, front_of(0)}, {78, 240, front_of(1)}, {42, 235, kBackground}, {46, 230, front_of(0)}}, {}},
    // From 5 down to -5 over the base 0: front (40,100) to (80,200), base row 150, crossing at
    // (60,150). The depth edge runs from there to (68,142), over the face along the base.
    {"a solid crossing the base gets a depth edge there", Area3D, {{5, -5}},
     [](Scene& s) { s.depth(8, 8), s.L.yorig = 150, s.L.lowest = -10, s.L.highest = 10; },
     {{64, 146, shade_of(0)}, {66, 146, front_of(0)}, {50, 140, front_of(0)}, {75, 170, front_of(0)}}, {}},
    // Flat at 10 from (40,150) to (80,150), one step (10, 10): front, top and right end faces,
    // the depth edges at both ends of the top, the base line.
    {"solid faces and edges", Area3D, {{10, 10}}, [](Scene& s) { s.depth(10, 10); },
     {{60, 200, front_of(0)}, {70, 145, front_of(0)}, {85, 200, shade_of(0)}, {45, 145, shade_of(0)},
      {85, 145, shade_of(0)}, {60, 250, shade_of(0)}, {91, 200, kBackground}}, {}},
    // From -10 up to the base 0 over 40 columns: a rise of 2.5 per column against a depth slope
    // of 1. The area hangs below the base (row 150), so its top face shows under the front
    // face: between (40,250)-(80,150) and its copy one step back, at column 64 rows 190..205.
    {"a steep top face is shaded", Area3D, {{-10, 0}}, [](Scene& s) { s.depth(10, 10), s.L.yorig = 150, s.L.lowest = -10; },
     {{64, 197, shade_of(0)}, {64, 170, front_of(0)}}, {}},
    // The top face at column 60 spans rows 138..145.
    {"a gentle top face is in front", Area3D, {{10, 11}}, [](Scene& s) { s.depth(10, 10); }, {{60, 141, front_of(0)}}, {}},
    // Set 1's top face rows 130..140 (one step back); set 0 covers below 140.
    {"depth puts sets on their own step", Area3D, {{10, 10}, {10, 10}},
     [](Scene& s) { s.depth(10, 10, 2), s.opt.stack_type = Depth; }, {{75, 135, front_of(1)}, {75, 145, front_of(0)}}, {}},
};

// Beside, depth and layer paint the first set last, over the second.
SceneCase first_set_last(int stack_type) {
    return {"the first set is painted last", Area, {{10, 10}, {15, 15}}, [stack_type](Scene& s) { s.opt.stack_type = stack_type; },
            {{60, 200, front_of(0)}, {60, 120, front_of(1)}}, {}};
}

TEST(Areas, ScenesShowTheirPixels) {
    for (const SceneCase& c : kAreaScenes) expect_scene(c);
    for (const int stack_type : {Beside, Depth, Layer}) expect_scene(first_set_last(stack_type));
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

}  // namespace
}  // namespace plotwise::test
