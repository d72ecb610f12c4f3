// Every chart type and stack type with hostile values, hostile layouts, one point and many
// sets: nothing crashes, nothing leaves the palette, nothing undefined reaches an int.
#include <cmath>
#include <cstring>
#include <limits>

#include "scene.h"

namespace plotwise::test {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kHuge = 3.4e38f;

int rows_per_set(ChartType t) { return isHlc(t) ? 3 : isFloatingBar(t) ? 2 : 1; }

// Every pixel holds a palette entry that is in use.
void expect_sound_palette(const Scene& s) {
    for (int y = 0; y < gdImageSY(s.im); ++y)
        for (int x = 0; x < gdImageSX(s.im); ++x) {
            const int c = s.at(x, y);
            ASSERT_LT(c, gdImageColorsTotal(s.im));
            ASSERT_FALSE(s.im->open[c]);
        }
}

std::vector<LegendEntry> hostile_legend() {
    std::vector<LegendEntry> list;
    const float points[] = {0, 1, 2.5f, 3, kNaN, kInf, -0.0f};
    const float values[] = {5, kNaN, kHuge, -kHuge, kInf, NoValue};
    uint32_t kind = 0;
    for (float p : points)
        for (float v : values) {
            LegendEntry e{};
            e.point = p;
            e.value = v;
            e.width = static_cast<uint16_t>(kind * 9000 + 25);
            e.color = kind % 2 ? DefaultColor : 0x336699;
            e.kind = kind++ % 5;
            std::memset(e.name, 'x', sizeof e.name);  // no terminator
            list.push_back(e);
        }
    return list;
}

class EveryType : public ::testing::TestWithParam<int> {};

TEST_P(EveryType, HostileValuesAndOptions) {
    const ChartType type = static_cast<ChartType>(GetParam());
    const std::vector<float> hostile = {5, kNaN, kInf, -kInf, NoValue, InterpolateValue, kHuge, -kHuge, 1e-38f, 0, 7, 12};
    const Annotation note{2.5f, 0x00FF00, "note\nsecond line"};
    const std::vector<LegendEntry> legend = hostile_legend();
    for (int stack : {0, 1, 2, 3, 9}) {  // Depth, Sum, Beside, Layer, unknown
        for (int horizontal : {0, 1}) {
            Scene s(type, std::vector<std::vector<float>>(3 * rows_per_set(type), hostile));
            if (is3d(type)) s.depth(12, 9, stack == Depth ? 3 : 1);
            s.xdata = std::vector<std::vector<float>>(3, {0, 1, kNaN, 3, kInf, 5, kHuge, 7, -kHuge, 9, 10, 11});
            s.vol = hostile;
            s.opt.stack_type = stack;
            s.opt.horizontal = static_cast<unsigned char>(horizontal);
            s.opt.value_label_position = static_cast<short>(stack % 7);
            s.opt.hlc_style = 15;
            s.opt.border = 1;
            s.opt.zero_shelf = 1;
            s.opt.annotation = &note;
            s.opt.legend_entries = legend.data();
            s.opt.legend_count = static_cast<int>(legend.size());
            s.L.lowest = -5;
            s.L.label_decimals = 3;
            s.draw();
            expect_sound_palette(s);
        }
    }
}

TEST_P(EveryType, HostileLayout) {
    const ChartType type = static_cast<ChartType>(GetParam());
    const double scales[] = {1e300, -1e300, std::nan(""), 0, 1e-300, 1e7};
    for (double scale : scales)
        for (int stack : {0, 2}) {  // Depth, Beside
        Scene s(type, std::vector<std::vector<float>>(2 * rows_per_set(type), {3, -4, 5, kHuge}));
        s.xdata = std::vector<std::vector<float>>(2, {0, 1, 2, 3});
        s.vol = {1, 2, 3, 4};
        s.L.pixels_per_point = scale;
        s.L.yscl = -scale;
        s.L.xyscl = scale;
        s.L.vyscl = static_cast<float>(-scale);
        s.L.half_bar = 1 << 30;
        s.L.half_cap = -5;
        s.L.mark_size = 1 << 30;
        s.L.lowest = -kHuge;
        s.L.highest = kHuge;
        if (is3d(type)) s.depth(30000, -30000, 2);
        s.opt.border = 1;
        s.opt.zero_shelf = 1;
        s.opt.value_label_position = 1;
        s.opt.stack_type = stack;
        s.draw();
        expect_sound_palette(s);
    }
}

TEST_P(EveryType, OnePoint) {
    const ChartType type = static_cast<ChartType>(GetParam());
    Scene s(type, std::vector<std::vector<float>>(rows_per_set(type), {7}));
    if (rows_per_set(type) == 3) s.data = {{9}, {3}, {7}};
    if (rows_per_set(type) == 2) s.data = {{3}, {9}};
    s.xdata = {{0}};
    s.vol = {2};
    if (is3d(type)) s.depth(10, 10);
    s.L.pixels_per_point = 160;
    s.draw();
    expect_sound_palette(s);
    if (type != Reserved20 && type != Reserved21) {
        EXPECT_GT(s.count_all(s.front(0)) + s.count_all(s.front(1)) + s.count_all(s.front(2)), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(GraphData, EveryType, ::testing::Range(0, kChartTypeCount));

TEST(GraphData, HundredSetsOfAThousandPoints) {
    const struct {
        ChartType type;
        std::vector<int> stacks;
    } charts[] = {{Line3D, {Beside, Sum, Depth, Layer}}, {Bar3D, {Layer, Beside, Sum}}, {Area, {Sum, Depth}},
                  {Line, {Beside}},  {XyArea, {Beside}}, {HighLowClose3D, {Depth}}};
    for (const auto& [type, stacks] : charts) {
        for (int stack : stacks) {
            const int sets = 100, points = 1000;
            std::vector<std::vector<float>> rows(static_cast<size_t>(sets * rows_per_set(type)));
            for (size_t r = 0; r < rows.size(); ++r) {
                rows[r].resize(points);
                for (int i = 0; i < points; ++i)
                    rows[r][i] = (i * 7 + static_cast<int>(r) * 13) % 97 == 0 ? NoValue : static_cast<float>((i + r) % 20);
            }
            Scene s(type, std::move(rows), 640, 480);
            s.xdata.assign(sets, std::vector<float>(points));
            for (auto& x : s.xdata)
                for (int i = 0; i < points; ++i) x[i] = static_cast<float>(i);
            if (is3d(type)) s.depth(2, 2, stack == Depth ? sets : 1);
            s.L.pixels_per_point = 0.55;
            s.L.xyscl = 0.55;
            s.L.yscl = stack == Sum ? -0.2 : -10;
            s.L.half_bar = 0;
            s.opt.stack_type = stack;
            s.draw();
            expect_sound_palette(s);
            const bool draws_nothing = (type == Line3D && stack == Layer) || (type == Bar3D && stack == Sum);
            EXPECT_EQ(s.count_all(s.front(0)) + s.count_all(s.shade(0)) > 0, !draws_nothing) << type << " " << stack;
        }
    }
}

TEST(GraphData, NothingWithoutPointsOrPicture) {
    Scene s(Line, {});
    s.num_points = 0;
    const Annotation note{0, 0x00FF00, "x"};
    s.opt.annotation = &note;
    s.opt.border = 1;
    s.draw();
    EXPECT_EQ(s.count_all(s.background), 400 * 300);

    GraphInput in;
    in.num_points = 3;
    GraphLayout L;
    ChartOptions opt;
    GraphDrawing d{in, L, opt, nullptr, {}};
    draw_graph_data(d);  // no picture: nothing to do, no crash
}

TEST(GraphData, MissingRowsAndColoursAreTolerated) {
    // More sets than rows, a null row, and an empty colour table.
    Scene s(HighLowClose, {{5, 6}, {1, 2}, {3, 4}, {9, 9}});
    s.in.num_sets = 5;
    s.draw();
    s.in.row[1] = nullptr;
    s.colors.front.clear();
    s.colors.shade.clear();
    GraphDrawing d{s.in, s.L, s.opt, s.im, s.colors};
    s.in.num_sets = 7;
    draw_graph_data(d);
    expect_sound_palette(s);
    // Without row colours everything takes the plot colour.
    EXPECT_GT(s.count_all(s.plot), 0);
}

}  // namespace
}  // namespace plotwise::test
