// Bars by stack type, 3D faces and value labels, at pixels computed from the scene's layout.
#include "scene.h"

namespace plotwise::test {
namespace {

TEST(Bars, ZeroValueIsAFlatBarWithoutLabel) {
    Scene s(Bar, {{0, 5}});
    s.opt.value_label_position = 1;
    s.draw();
    // Point 0 sits at position 1: point_x = 80, columns 70..90, row PY(0) = 250 only.
    EXPECT_EQ(s.at(80, 250), s.front(0));
    EXPECT_EQ(s.at(70, 250), s.front(0));
    EXPECT_EQ(s.at(90, 250), s.front(0));
    EXPECT_EQ(s.at(69, 250), s.background);
    EXPECT_EQ(s.at(80, 249), s.background);
    EXPECT_EQ(s.count(60, 200, 100, 249, s.line), 0);
    // The bar of 5 at point_x(2) = 120, top PY(5) = 200, gets "5": 6 x 12 in the small font, left
    // at 120 - (3 - 1), top at 200 - 12 x 1.2 x 1.1 (truncated: 184).
    EXPECT_EQ(s.at(120, 200), s.front(0));
    EXPECT_GT(s.count(118, 184, 123, 196, s.line), 0);
    EXPECT_EQ(s.count_all(s.line), s.count(118, 184, 123, 196, s.line));
}

TEST(Bars, LayerPiecesAreStackedAndSortedByTheirEnds) {
    const float values[] = {2, -1, 3};
    const std::vector<LayerPiece> pieces = layer_pieces(values);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].set, 1);
    EXPECT_DOUBLE_EQ(pieces[0].from, 0);
    EXPECT_DOUBLE_EQ(pieces[0].to, -1);
    EXPECT_EQ(pieces[1].set, 0);
    EXPECT_DOUBLE_EQ(pieces[1].from, 0);
    EXPECT_DOUBLE_EQ(pieces[1].to, 2);
    EXPECT_EQ(pieces[2].set, 2);
    EXPECT_DOUBLE_EQ(pieces[2].from, 2);
    EXPECT_DOUBLE_EQ(pieces[2].to, 5);
    EXPECT_FLOAT_EQ(pieces[2].value, 3);
}

TEST(Bars, LayerPiecesSkipMissingAndUndrawableValues) {
    const float values[] = {4, NoValue, InterpolateValue, std::numeric_limits<float>::quiet_NaN(), -2, 1,
                            std::numeric_limits<float>::infinity()};
    const std::vector<LayerPiece> pieces = layer_pieces(values);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].set, 4);  // 0..-2
    EXPECT_EQ(pieces[1].set, 0);  // 0..4
    EXPECT_EQ(pieces[2].set, 5);  // 4..5
    EXPECT_DOUBLE_EQ(pieces[2].from, 4);
}

TEST(Bars, LayerOutsideLabelShowsOnlyTheTotal) {
    Scene s(Bar, {{2}, {-1}, {3}});
    s.opt.stack_type = Layer;
    s.opt.value_label_position = 1;
    s.draw();
    // Total 4, upper end PY(4) = 210: "4" at left 80 - 2, top 210 - 15.84 = 194.
    EXPECT_GT(s.count(78, 194, 83, 206, s.line), 0);
    EXPECT_EQ(s.count_all(s.line), s.count(78, 194, 83, 206, s.line));
}

TEST(Bars, LayerLabelsEachPieceWithItsOwnValue) {
    Scene s(Bar, {{2}, {-1}, {3}});
    s.opt.stack_type = Layer;
    s.opt.value_label_position = 2;  // top of each piece
    s.draw();
    // "2" at top 230, "3" at top 200, "-1" (12 wide) at top 250.
    EXPECT_GT(s.count(78, 230, 83, 242, s.line), 0);
    EXPECT_GT(s.count(78, 200, 83, 212, s.line), 0);
    EXPECT_GT(s.count(75, 250, 86, 262, s.line), 0);
    EXPECT_EQ(s.count_all(s.line),
              s.count(78, 230, 83, 242, s.line) + s.count(78, 200, 83, 212, s.line) + s.count(75, 250, 86, 262, s.line));
}

struct BesideCase {
    int sets;
    std::vector<std::pair<int, int>> columns;  // first and last column of each set's slice
};

class BesideSlices : public ::testing::TestWithParam<BesideCase> {};

TEST_P(BesideSlices, EachSetFillsItsSlice) {
    const BesideCase& c = GetParam();
    Scene s(Bar, std::vector<std::vector<float>>(c.sets, std::vector<float>{10}));
    s.opt.stack_type = Beside;
    s.draw();
    // Category centre point_x(1) = 80, half_bar 10; row 200 lies inside every bar.
    for (int k = 0; k < c.sets; ++k) {
        EXPECT_EQ(s.at(c.columns[k].first, 200), s.front(k)) << "set " << k;
        EXPECT_EQ(s.at(c.columns[k].second, 200), s.front(k)) << "set " << k;
    }
    EXPECT_EQ(s.at(c.columns.front().first - 1, 200), s.background);
    EXPECT_EQ(s.at(c.columns.back().second + 1, 200), s.background);
}

// slice = trunc(2 half_bar / sets); set k from 70 + k slice + 1 to 70 + (k + 1) slice.
INSTANTIATE_TEST_SUITE_P(Bars, BesideSlices,
                         ::testing::Values(BesideCase{1, {{71, 90}}}, BesideCase{2, {{71, 80}, {81, 90}}},
                                           BesideCase{3, {{71, 76}, {77, 82}, {83, 88}}},
                                           BesideCase{4, {{71, 75}, {76, 80}, {81, 85}, {86, 90}}}));

// Default layout: point_x(p) = 40 + 40 p, PY(v) = 250 - 10 v, half_bar 10; a depth step of (xd, yd)
// moves a set xd right and yd up.
const SceneCase kBarScenes[] = {
    // One point of +2, -1, +3 in 3D: pieces 0..2 (rows 250..230), 2..5 (230..200) and 0..-1
    // (250..260). A piece painted later covers the top face of the one below it: the -1
    // piece's top face (rows 244..250) lies under the 0..2 piece, whose own (rows 224..230)
    // lies under the 2..5 piece. Only the last piece shows its top face and a shade line along
    // the front's top edge.
    {"layer paints in the order of the ends", Bar3D, {{2}, {-1}, {3}},
     [](Scene& s) { s.depth(6, 6), s.opt.stack_type = Layer, s.L.lowest = -2; },
     {{80, 255, front_of(1)}, {80, 240, front_of(0)}, {80, 215, front_of(2)}, {80, 248, front_of(0)},
      {80, 228, front_of(2)}, {80, 200, shade_of(2)}, {85, 197, front_of(2)}}, {}},
    {"sum draws no bars", Bar, {{10, 5}, {3, 4}}, [](Scene& s) { s.opt.stack_type = Sum; }, {},
     {{front_of(0), 0}, {front_of(1), 0}}},
    // Bar of 10 at point_x(1) = 80: front 70..90 x 150..250, one depth step (10, 10); top face
    // (70,150) (80,140) (100,140) (90,150), side face (90,250) (100,240) (100,140) (90,150).
    {"a solid bar has top and side faces", Bar3D, {{10}}, [](Scene& s) { s.depth(10, 10); },
     {{80, 200, front_of(0)}, {80, 150, shade_of(0)}, {85, 145, front_of(0)}, {95, 200, shade_of(0)},
      {101, 200, kBackground}, {85, 138, kBackground}}, {}},
    // Set 1 at step 1: front 80..100 x 140..240, top face up to row 130. Set 0, painted after
    // it, covers it with its side face.
    {"depth puts each set one step further back", Bar3D, {{10}, {10}}, [](Scene& s) { s.depth(10, 10, 2); },
     {{99, 135, front_of(1)}, {105, 200, shade_of(1)}, {98, 145, shade_of(0)}, {80, 200, front_of(0)}}, {}},
    // A bar of 30, beyond the range 0..20 (rows 250..50), stops at the plot's top row; in 3D
    // its faces stop at the back wall's top (row 40).
    {"a bar beyond the range stops at the plot", Bar, {{30}}, {},
     {{80, 50, front_of(0)}, {80, 49, kBackground}, {80, 10, kBackground}}, {}},
    {"a solid bar beyond the range stops at the plot", Bar3D, {{30}}, [](Scene& s) { s.depth(10, 10); },
     {{80, 60, front_of(0)}, {95, 41, shade_of(0)}, {95, 39, kBackground}, {80, 20, kBackground}}, {}},
    {"missing values draw nothing", Bar, {{M, InterpolateValue, std::numeric_limits<float>::quiet_NaN()}},
     [](Scene& s) { s.opt.value_label_position = 3; }, {}, {{front_of(0), 0}, {kLine, 0}}},
};

TEST(Bars, ScenesShowTheirPixels) {
    for (const SceneCase& c : kBarScenes) expect_scene(c);
}

struct LabelCase {
    int position;
    bool horizontal;
    int x0, y0, x1, y1;  // box that holds every pixel of the label "10"
};

class ValueLabels : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ValueLabels, SitsWhereItsPositionSays) {
    const LabelCase& c = GetParam();
    Scene s(Bar, {{10}});
    s.opt.value_label_position = static_cast<short>(c.position);
    s.opt.horizontal = c.horizontal;
    s.draw();
    const int inside = s.count(c.x0, c.y0, c.x1, c.y1, s.line);
    EXPECT_GT(inside, 4);
    EXPECT_EQ(s.count_all(s.line), inside);
}

// Bar of 10 at point_x(1) = 80 from row 250 (lower) to 150 (upper); "10" measures 12 x 12 in the
// small font (13 pixels tall as drawn). Upright text starts at 80 - (6 - 1) = 75; turned text
// (drawn upward from its lower end) at 80 - 6 x 1.2 x 1.1 = 72.08, 13 columns wide, 12 rows.
INSTANTIATE_TEST_SUITE_P(Bars, ValueLabels,
                         ::testing::Values(LabelCase{1, false, 75, 134, 86, 146},   // top 150 - 15.84
                                           LabelCase{2, false, 75, 150, 86, 162},   // top at upper
                                           LabelCase{3, false, 75, 193, 86, 205},   // 200 - (6 + 1)
                                           LabelCase{4, false, 75, 236, 86, 248},   // 250 - 2 - 12
                                           LabelCase{5, false, 72, 239, 84, 250},   // up from lower
                                           LabelCase{6, false, 72, 151, 84, 162},   // up from upper + 12
                                           LabelCase{1, true, 72, 139, 84, 150},    // up from upper
                                           LabelCase{2, true, 72, 151, 84, 162},    // up from upper + w
                                           LabelCase{3, true, 72, 195, 84, 206},    // up from middle + 6
                                           LabelCase{4, true, 72, 239, 84, 250},    // up from lower
                                           LabelCase{5, true, 72, 239, 84, 250},
                                           LabelCase{6, true, 72, 151, 84, 162}));

TEST(Bars, LabelDecimalsFollowTheLayout) {
    Scene s(Bar, {{10}});
    s.opt.value_label_position = 1;
    s.L.label_decimals = 2;
    s.draw();
    // "10.00" is 30 wide: left at 80 - (15 - 1) = 66.
    EXPECT_GT(s.count(66, 134, 71, 146, s.line), 0);
    EXPECT_GT(s.count(90, 134, 95, 146, s.line), 0);
    EXPECT_EQ(s.count_all(s.line), s.count(66, 134, 95, 146, s.line));
}

TEST(Bars, BesideLabelsSitOverTheirSlicesAndOverTheBars) {
    Scene s(Bar, {{10}, {5}});
    s.opt.stack_type = Beside;
    s.opt.value_label_position = 2;  // top, inside the bar
    s.draw();
    // Slices 71..80 (centre 75) and 81..90 (centre 85): "10" from 75 - 5 with its top at row
    // 150, "5" from 85 - 2 at row 200. The first label reaches into the second slice, whose bar
    // does not cover it.
    const int ten = s.count(70, 150, 81, 162, s.line), five = s.count(83, 200, 88, 212, s.line);
    EXPECT_GT(ten, 4);
    EXPECT_GT(five, 2);
    EXPECT_EQ(s.count_all(s.line), ten + five);
    EXPECT_GT(s.count(81, 150, 81, 162, s.line) + s.count(80, 150, 80, 162, s.line), 0);
}

}  // namespace
}  // namespace plotwise::test
