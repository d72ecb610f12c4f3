// The layout pass: ranges, the y label interval and label pass, text space, plot area and
// scales, checked against values worked out by hand.
#include <cfloat>
#include <cmath>
#include <cstring>

#include "graph_test_support.h"

namespace plotwise::test {
namespace {

// With no titles and no x labels the plot is 7 pixels lower than the picture: x ticks 3, the
// title gap 2 and the bottom gap 2.
constexpr short kHeight280 = 287;

class LayoutTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        engineOptions().yaxis_ptsize = 12;  // 2 x 12 + 3 = 27 pixels per label: 10 labels in 280
    }
    GraphLayout layout(ChartType type, const std::vector<float>& data, int sets = 1, short width = 400,
                       short height = kHeight280, const float* extra = nullptr,
                       const char* const* labels = nullptr) {
        return layout_graph(engineOptions(), width, height, type, static_cast<int>(data.size()) / sets, labels, sets, data.data(),
                            extra);
    }
};

TEST_F(LayoutTest, WorkedExampleZeroToHundred) {
    GraphLayout L = layout(Line, {0, 25, 50, 75, 100});
    ASSERT_EQ(L.result, 0);
    ASSERT_EQ(L.plot_height, 280);
    // max_labels 10, limit 6.4: 100 / 25 is the first quotient below it, so the interval is 10.
    EXPECT_FLOAT_EQ(L.ylbl_interval, 10);
    EXPECT_FLOAT_EQ(L.lowest, 0);
    EXPECT_FLOAT_EQ(L.highest, 110);  // the label pass ends at the first label above 100
    // "100" is the longest label: 3 characters x 12 points x 0.7 = 25.2, also in the built-in
    // font that draws them when the font file is missing.
    EXPECT_EQ(L.ylabel_wth, 25);
    EXPECT_EQ(L.ytick_len, 4);
    EXPECT_EQ(L.xtick_len, 3);
    EXPECT_FLOAT_EQ(L.xorig, 25 + 4);
    EXPECT_EQ(L.plot_width, 400 - 29);
    EXPECT_FLOAT_EQ(L.yorig, 282);
    EXPECT_EQ(L.PY(0), 282);
    EXPECT_EQ(L.PY(110), 2);
    EXPECT_EQ(L.PY(55), 142);
    EXPECT_EQ(L.last_pos, 4);
    // No x labels, no legend: nothing juts out past the last position, the picture's edge.
    EXPECT_DOUBLE_EQ(L.pixels_per_point, 371.0 / 4);
    EXPECT_EQ(L.point_x(4), 400);
    EXPECT_EQ(L.label_decimals, 1);  // a whole-number range
    EXPECT_EQ(engineOptions().saved_plot_height, 280);
    EXPECT_EQ(engineOptions().saved_plot_width, 371);
    EXPECT_EQ(engineOptions().saved_plot_left, 29);
    EXPECT_EQ(engineOptions().saved_plot_zero_y, 282);
}

TEST_F(LayoutTest, FormulasAtSeveralSizesWithoutTheFont) {
    // Built-in text (the font file is missing) at the point size S: max_labels = plot height /
    // (2 S + 3), limit = (max_labels - 2) x 0.8, ylabel_wth = chars x S x 0.7 (left to right),
    // the plot from ylabel_wth + 4 to the right edge, two points one position apart.
    struct Row {
        short width, height;
        double S;
        float top;           // data 0 .. top
        float interval, highest;
        int ylabel_wth;
    };
    const Row rows[] = {
        // 193 / 23 = 8 labels, limit 4.8: 100 / 25 is below it, so 10; "100" 3 x 10 x 0.7 = 21.
        {320, 200, 10, 100, 10, 110, 21},
        // 473 / 31 = 15, limit 10.4: 1000 / 100 is below it, so 50; "1000" 4 x 14 x 0.7 = 39.2.
        {640, 480, 14, 1000, 50, 1050, 39},
        // The same with 10000: interval 500; "10000" is 5 x 14 = 70, x 0.7 = 49 (not 48).
        {640, 480, 14, 10000, 500, 10500, 49},
        // 1493 / 81 = 18, limit 12.8: 100 / 10 is below it, so 5; "100" 3 x 39 x 0.7 = 81.9.
        {2000, 1500, 39, 100, 5, 105, 81},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.width);
        engineOptions().yaxis_ptsize = r.S;
        GraphLayout L = layout(Line, {0, r.top}, 1, r.width, r.height);
        ASSERT_EQ(L.result, 0);
        EXPECT_EQ(L.plot_height, r.height - 7);
        EXPECT_FLOAT_EQ(L.ylbl_interval, r.interval);
        EXPECT_FLOAT_EQ(L.highest, r.highest);
        EXPECT_EQ(L.ylabel_wth, r.ylabel_wth);
        EXPECT_FLOAT_EQ(L.xorig, r.ylabel_wth + 4);
        EXPECT_EQ(L.plot_width, r.width - r.ylabel_wth - 4);
        EXPECT_DOUBLE_EQ(L.pixels_per_point, L.plot_width);
        EXPECT_EQ(L.PY(0), r.height - 5);
    }
}

TEST_F(LayoutTest, BuiltInLabelsArePitchedByTheirHeight) {
    // Point size 0 draws the labels in the built-in font: its character height sets the pitch.
    engineOptions().yaxis_ptsize = 0;
    GraphLayout small = layout(Line, {0, 200});  // 12 high: 10 labels, limit 6.4
    EXPECT_FLOAT_EQ(small.ylbl_interval, 25);
    engineOptions().yaxis_font_size = 0;  // 8 high: 280 / 19 = 14 labels, limit 9.6
    EXPECT_FLOAT_EQ(layout(Line, {0, 200}).ylbl_interval, 10);
}

TEST_F(LayoutTest, LabelValuesOfBothPasses) {
    std::vector<float> expected{0, -10, -20, 0, 10, 20, 30, 40, 50, 60, 70};
    EXPECT_EQ(y_label_values(-30, 80, 10), expected);
    // Only negative values: the downward pass starts at highest.
    EXPECT_EQ(y_label_values(-50, -10, 10), (std::vector<float>{-10, -20, -30, -40}));
    // Only positive values: the upward pass starts at lowest.
    EXPECT_EQ(y_label_values(20, 80, 10), (std::vector<float>{20, 30, 40, 50, 60, 70}));
    EXPECT_EQ(y_label_values(0, 110, 10).size(), 11u);
    EXPECT_TRUE(y_label_values(0, 1, 0).empty());
    EXPECT_TRUE(y_label_values(0, 1, NAN).empty());
}

TEST_F(LayoutTest, LabelValuesAreBoundedWhereFloatsCannotStep) {
    // 1e30 + 1 is 1e30 in single precision: the passes end at the first value that repeats.
    EXPECT_EQ(y_label_values(1e30f, 2e30f, 1.0f).size(), 1u);
    EXPECT_EQ(y_label_values(-2e30f, -1e30f, 1.0f).size(), 1u);
    // Steps that do advance but would never reach the end are cut at the bound.
    EXPECT_LE(y_label_values(0, 1e30f, 1e-30f).size(), static_cast<size_t>(kMaxAxisSteps));
}

TEST_F(LayoutTest, OnePointDividesByOneOrThreeForBars) {
    GraphLayout line = layout(Line, {5});
    ASSERT_EQ(line.result, 0);
    EXPECT_EQ(line.last_pos, 1);
    EXPECT_DOUBLE_EQ(line.pixels_per_point, line.plot_width);
    GraphLayout bar = layout(Bar, {5});
    ASSERT_EQ(bar.result, 0);
    EXPECT_EQ(bar.last_pos, 3);
    EXPECT_DOUBLE_EQ(bar.pixels_per_point, bar.plot_width / 3.0);
    float one = 5;
    EXPECT_EQ(draw(200, 150, Bar, 1, nullptr, 1, &one).result, 0);
}

TEST_F(LayoutTest, AllValuesMissingGiveZeroToOne) {
    // Missing, not a number, infinite, and InterpolateValue without interpolation: no values.
    GraphLayout L = layout(Line, {NoValue, NAN, INFINITY, -INFINITY, InterpolateValue});
    ASSERT_EQ(L.result, 0);
    EXPECT_FLOAT_EQ(L.lowest, 0);
    // Range 1: 1 / (1/4) = 4 is the first quotient below 6.4, so the interval is 1/8.
    EXPECT_FLOAT_EQ(L.ylbl_interval, 0.125f);
    EXPECT_FLOAT_EQ(L.highest, 1.125f);
    EXPECT_EQ(L.label_decimals, 2);
}

TEST_F(LayoutTest, RequestedMinimumOnlyWidens) {
    GraphLayout plain = layout(Line, {-5, 40, 100});
    // -5 drops by one interval to -15 and is cut to a multiple of 10.
    EXPECT_FLOAT_EQ(plain.lowest, -10);
    EXPECT_FLOAT_EQ(plain.highest, 110);
    engineOptions().requested_ymin = 10;
    GraphLayout above = layout(Line, {-5, 40, 100});
    EXPECT_FLOAT_EQ(above.lowest, plain.lowest);
    EXPECT_FLOAT_EQ(above.highest, plain.highest);
    EXPECT_FLOAT_EQ(above.ylbl_interval, plain.ylbl_interval);
    EXPECT_FLOAT_EQ(above.yorig, plain.yorig);
    engineOptions().requested_ymin = -30;
    GraphLayout below = layout(Line, {-5, 40, 100});
    EXPECT_FLOAT_EQ(below.lowest, -30);  // a requested minimum is not aligned
}

TEST_F(LayoutTest, AutomaticMinimumMarkStartsAtZero) {
    GraphLayout plain = layout(Line, {20, 80});
    EXPECT_FLOAT_EQ(plain.lowest, 15);  // interval 5 (60 / 10 is below 6.4): (20 - 1/64) / 5 cut to 3
    engineOptions().requested_ymin = FLT_MAX;
    EXPECT_FLOAT_EQ(layout(Line, {20, 80}).lowest, 0);
}

TEST_F(LayoutTest, EqualValuesGetOneInterval) {
    GraphLayout L = layout(Line, {5, 5, 5});
    // Range 0: the smallest interval, 1/64; 5 is lowered to the 64th below it.
    EXPECT_FLOAT_EQ(L.ylbl_interval, 1.0f / 64);
    EXPECT_FLOAT_EQ(L.lowest, 5 - 1.0f / 64);
    EXPECT_FLOAT_EQ(L.highest, 5 + 1.0f / 64);
    // Requested bounds on the value itself leave no room: one interval is added.
    engineOptions().requested_ymin = 5;
    engineOptions().requested_ymax = 5;
    GraphLayout pinned = layout(Line, {5, 5, 5});
    EXPECT_FLOAT_EQ(pinned.lowest, 5);
    EXPECT_FLOAT_EQ(pinned.highest, 5 + 1.0f / 64);
    EXPECT_TRUE(std::isfinite(pinned.yscl));
}

TEST_F(LayoutTest, TurnedLabelsJutOutByHalfTheirHeight) {
    const char* labels[] = {"A", "B"};
    engineOptions().xlabel_angle = 90;
    GraphLayout L = layout(Line, {1, 2}, 1, 400, 300, nullptr, labels);
    EXPECT_DOUBLE_EQ(L.pixels_per_point, L.plot_width - (12 / 2 + 2));  // the small font is 12 high
    engineOptions().xaxis_ptsize = 20;  // the point size counts, also without the font
    GraphLayout pt = layout(Line, {1, 2}, 1, 400, 300, nullptr, labels);
    EXPECT_DOUBLE_EQ(pt.pixels_per_point, pt.plot_width - (20 / 2 + 2));
}

TEST_F(LayoutTest, RequestedMaximumIsKept) {
    engineOptions().requested_ymax = 95;
    GraphLayout L = layout(Line, {0, 50});
    EXPECT_FLOAT_EQ(L.highest, 95);
}

TEST_F(LayoutTest, BarsIncludeZero) {
    EXPECT_FLOAT_EQ(layout(Bar, {40, 80}).lowest, 0);
    GraphLayout negative = layout(Bar3D, {-40, -80});
    EXPECT_GE(negative.highest, 0);
    EXPECT_FLOAT_EQ(layout(Line, {40, 80}).lowest, 35);  // interval 5: (40 - 1/64) / 5 cut to 7
}

TEST_F(LayoutTest, StackedRanges) {
    // Point 0: +2, -1, +3; point 1: -4, 1, 1.
    std::vector<float> data{2, -4, -1, 1, 3, 1};
    engineOptions().stack_type = Layer;
    GraphLayout layer = layout(Bar, data, 3);
    EXPECT_FLOAT_EQ(layer.ylbl_interval, 1);  // range -4..5 (9 / 2 is below 6.4)
    EXPECT_FLOAT_EQ(layer.lowest, -5);        // -4 drops by 1 and is cut
    EXPECT_FLOAT_EQ(layer.highest, 6);
    engineOptions().stack_type = Sum;
    GraphLayout sum = layout(Line, data, 3);  // running totals 2, 1, 4 and -4, -3, -2
    EXPECT_FLOAT_EQ(sum.lowest, -5);
    EXPECT_FLOAT_EQ(sum.highest, 5);
}

TEST_F(LayoutTest, HorizontalMovesTitleAndQuartersLabels) {
    GraphLayout upright = layout(Line, {0, 100});
    engineOptions().horizontal = 1;
    GraphLayout turned = layout(Line, {0, 100});
    ASSERT_EQ(turned.plot_height, upright.plot_height);
    EXPECT_FLOAT_EQ(upright.ylbl_interval, 10);
    // limit 6.4 / 4 = 1.6: 100 / 100 is the first quotient below it, so the interval is 50.
    EXPECT_FLOAT_EQ(turned.ylbl_interval, 50);
    EXPECT_FLOAT_EQ(turned.highest, 150);

    engineOptions().title = "T";
    GraphLayout titled = layout(Line, {0, 100});
    EXPECT_EQ(titled.title_height, 2);
    EXPECT_EQ(titled.ytitle_wth, 17);  // 13 x 1.2 + 2, moved into the left margin
    engineOptions().horizontal = 0;
    GraphLayout titled_upright = layout(Line, {0, 100});
    EXPECT_EQ(titled_upright.title_height, 17);
    EXPECT_EQ(titled_upright.ytitle_wth, 0);
}

TEST_F(LayoutTest, LegendAtTheSideAndOnTop) {
    LegendEntry entry{};
    entry.point = 1;
    entry.width = 3;
    entry.kind = 3;
    std::strcpy(entry.name, "Sales");
    engineOptions().legend_entries = &entry;
    engineOptions().legend_count = 1;
    // "Sales" is 30 pixels in the small built-in font.
    EXPECT_EQ(layout(Bar, {1, 2}).legend_wth, 44);   // 30 x 0.75 + 3 x 7 + 1
    EXPECT_EQ(layout(Line, {1, 2}).legend_wth, 50);  // 30 x 0.95 + 3 x 7 + 1
    engineOptions().horizontal = 1;
    GraphLayout top = layout(Bar, {1, 2});
    EXPECT_EQ(top.legend_wth, 0);
    EXPECT_EQ(top.legend_hgt, 71);  // (5 + 2) characters x 12 points / 1.2 + 1
    // A name without its terminating zero is read within its 20 bytes.
    std::memset(entry.name, 'W', sizeof entry.name);
    engineOptions().horizontal = 0;
    // The estimate (120 x 0.75 + 22) would cut it: the square, 2 pixels and the name's 120.
    EXPECT_EQ(layout(Bar, {1, 2}).legend_wth, 4 * 3 + 2 + 120);
}

TEST_F(LayoutTest, KeepGeometryKeepsFirstPlotArea) {
    GraphLayout first = layout(Line, {0, 10});
    engineOptions().keep_geometry = 1;
    GraphLayout second = layout(Line, {0, 1e6f}, 1, 400, 400);
    EXPECT_EQ(second.plot_height, first.plot_height);
    EXPECT_EQ(second.plot_width, first.plot_width);
    EXPECT_FLOAT_EQ(second.xorig, first.xorig);
    engineOptions().keep_geometry = 0;
    GraphLayout free = layout(Line, {0, 1e6f}, 1, 400, 400);
    EXPECT_GT(free.xorig, first.xorig);  // longer labels take more room when not kept
    EXPECT_NE(free.plot_height, first.plot_height);
}

TEST_F(LayoutTest, ThreeDimensionalDepth) {
    GraphLayout L = layout(Bar3D, {1, 2, 3, 4}, 2, 400, 300);
    // (400 + 300) / 2 x 5% = 17.5; at 45 degrees 12.37 each way.
    EXPECT_EQ(L.xdepth_3d, 12);
    EXPECT_EQ(L.ydepth_3d, 12);
    EXPECT_EQ(L.set_depth, 2);
    EXPECT_EQ(L.xdepth_total, 24);
    EXPECT_EQ(L.ydepth_total, 24);
    EXPECT_EQ(L.point_x(0, 2) - L.point_x(0, 0), 24);
    engineOptions().stack_type = Beside;
    EXPECT_EQ(layout(Bar3D, {1, 2, 3, 4}, 2, 400, 300).set_depth, 1);
    EXPECT_EQ(layout(Bar, {1, 2, 3, 4}, 2, 400, 300).xdepth_3d, 0);
}

TEST_F(LayoutTest, XLabelExtents) {
    const char* labels[] = {"A", "ABCD"};
    GraphLayout flat = layout(Line, {1, 2}, 1, 400, 300, nullptr, labels);
    EXPECT_EQ(flat.xlabel_hgt, 14);  // 12 + 2
    EXPECT_EQ(flat.xlabel_wth, 26);  // 24 + 2
    engineOptions().xlabel_angle = 90;
    GraphLayout up = layout(Line, {1, 2}, 1, 400, 300, nullptr, labels);
    EXPECT_EQ(up.xlabel_hgt, 26);
    EXPECT_EQ(up.xlabel_wth, 14);
    engineOptions().xlabel_angle = 45;  // built-in fonts turn by 90 degrees only
    EXPECT_EQ(layout(Line, {1, 2}, 1, 400, 300, nullptr, labels).xlabel_hgt, 26);
    engineOptions().xlabel_angle = 0;
    const unsigned char ctl[] = {1, 0};
    engineOptions().xlabel_ctl = ctl;
    GraphLayout hidden = layout(Line, {1, 2}, 1, 400, 300, nullptr, labels);
    EXPECT_EQ(hidden.xlabel_wth, 8);  // only "A" is measured
    engineOptions().xaxis = 0;
    EXPECT_EQ(layout(Line, {1, 2}, 1, 400, 300, nullptr, labels).xlabel_hgt, 0);
}

TEST_F(LayoutTest, DecimalTableForPrintfFormats) {
    engineOptions().ylabel_format = "%.1f";
    GraphLayout L = layout(Line, {0, 1});
    EXPECT_FALSE(L.fraction_labels);
    EXPECT_FLOAT_EQ(L.ylbl_interval, 0.1f);  // 1 / 0.2 = 5 is below 6.4
    EXPECT_FLOAT_EQ(L.highest, 1.1f);
    EXPECT_EQ(L.ylabel_wth, 25);  // "1.0": 3 x 12 x 0.7
    engineOptions().ylabel_format = "abc";  // no printf format: fraction labels
    EXPECT_TRUE(layout(Line, {0, 1}).fraction_labels);
}

TEST_F(LayoutTest, RequestedIntervalOnlyGrows) {
    engineOptions().requested_yinterval = 20;
    EXPECT_FLOAT_EQ(layout(Line, {0, 100}).ylbl_interval, 20);
    engineOptions().requested_yinterval = 2;
    EXPECT_FLOAT_EQ(layout(Line, {0, 100}).ylbl_interval, 10);
    engineOptions().requested_yinterval = INFINITY;
    EXPECT_FLOAT_EQ(layout(Line, {0, 100}).ylbl_interval, 10);
}

TEST_F(LayoutTest, TimeAxisSnapsToTimeTable) {
    engineOptions().y_value_kind = 4;
    engineOptions().ylabel_value_format = "%H:%M";
    GraphLayout L = layout(Line, {0, 86400});
    // The table gives 10000 s; the time table's entry below the first one above it is an hour.
    EXPECT_FLOAT_EQ(L.ylbl_interval, 3600);
    EXPECT_FLOAT_EQ(L.highest, 90000);
    EXPECT_EQ(L.ylabel_wth, 42);  // "20:40", the longest time text: 5 x 12 x 0.7
    engineOptions().y_value_kind = 3;
    engineOptions().ylabel_value_format = "%Y-%m-%d";
    EXPECT_EQ(layout(Line, {0, 86400}).ylabel_wth, 84);  // "1900-12-21": 10 x 12 x 0.7

    // Limit 6.4: a range of 500000 gives 50000 s (500000 / 100000 = 5 is below the limit), a
    // range of 1000000 gives 100000 s (1000000 / 500000 = 2). Up to a day the time table's
    // entry below the first one above is taken: 50000 s -> 86400 -> 43200, half a day. Past a
    // day the step is a week, the first entry above: 100000 s -> 604800. Every date and time
    // kind snaps; a number does not.
    const struct {
        short kind;
        float high;
        float interval;
    } cases[] = {{4, 500000, 43200}, {3, 500000, 43200},  {3, 1000000, 604800},
                 {4, 1000000, 604800}, {5, 1000000, 604800}, {0, 1000000, 100000}};
    engineOptions().ylabel_value_format = nullptr;
    for (const auto& c : cases) {
        engineOptions().y_value_kind = c.kind;
        EXPECT_FLOAT_EQ(layout(Line, {0, c.high}).ylbl_interval, c.interval) << "kind " << c.kind << " up to " << c.high;
    }
}

TEST_F(LayoutTest, VolumeRangeOfCombos) {
    const float vol[] = {10, 50};
    GraphLayout bars = layout(ComboLineBar, {0, 100}, 1, 400, kHeight280, vol);
    ASSERT_EQ(bars.result, 0);
    ASSERT_FLOAT_EQ(bars.highest, 110);  // 11 steps of 10
    EXPECT_FLOAT_EQ(bars.vlowest, 0);    // volume bars stand on 0
    EXPECT_NEAR(bars.vhighest, 50 + 50 / 22.0, 1e-4);
    EXPECT_EQ(bars.ytick2_len, 4);
    EXPECT_EQ(bars.ylabel2_wth, 9);  // "52": 0.7 x 12 + 1
    EXPECT_EQ(bars.ylabel2_gap, 9 + 400 / 60);
    GraphLayout lines = layout(ComboLineLine, {0, 100}, 1, 400, kHeight280, vol);
    const double vhi = 50 + 40 / 22.0;
    EXPECT_NEAR(lines.vhighest, vhi, 1e-4);
    EXPECT_NEAR(lines.vlowest, 10 - (vhi - 10) / 22, 1e-4);
    // The volume axis maps its range onto the same rows as the y axis.
    EXPECT_NEAR(lines.PV(lines.vlowest), lines.PY(lines.lowest), 1);
    EXPECT_NEAR(lines.PV(lines.vhighest), lines.PY(lines.highest), 1);
}

TEST_F(LayoutTest, XyRangeAndScale) {
    const float x[] = {2, 3, 5, NoValue};
    GraphLayout L = layout(XyLine, {1, 2, 3, 4}, 1, 400, kHeight280, x);
    EXPECT_FLOAT_EQ(L.xmin, 2);
    EXPECT_FLOAT_EQ(L.xmax, 5);
    EXPECT_EQ(L.PXY(2), L.point_x(0));
    EXPECT_NEAR(L.PXY(5), L.point_x(3), 1);
    engineOptions().requested_xmin = 0;
    engineOptions().requested_xmax = 4;  // inside the data: no effect
    GraphLayout wide = layout(XyLine, {1, 2, 3, 4}, 1, 400, kHeight280, x);
    EXPECT_FLOAT_EQ(wide.xmin, 0);
    EXPECT_FLOAT_EQ(wide.xmax, 5);
    const float same[] = {7, 7, 7, 7};
    GraphLayout flat = layout(XyPoint, {1, 2, 3, 4}, 1, 400, kHeight280, same);
    EXPECT_GT(flat.xmax, flat.xmin);
    EXPECT_TRUE(std::isfinite(flat.xyscl));
}

TEST_F(LayoutTest, SmallRangesGetDecimalSteps) {
    // 0.0036 over 280 pixels: the smallest table entry (1/64) gives no steps; 1-2-5 steps below
    // it: 0.001 gives 3.6, 0.0005 gives 7.2, the first at least 6.4.
    GraphLayout L = layout(Line, {0.0012f, 0.0048f});
    ASSERT_EQ(L.result, 0);
    EXPECT_FLOAT_EQ(L.ylbl_interval, 0.0005f);
    EXPECT_FLOAT_EQ(L.lowest, 0.0005f);  // (0.0012 - 0.0005) / 0.0005 cut to 1
    EXPECT_FLOAT_EQ(L.highest, 0.005f);
    EXPECT_EQ(y_label_text(L, engineOptions(), 0.0025f, L.ylbl_interval).whole, "0.0025");
    EXPECT_EQ(L.ylabel_wth, 50);  // "0.0045": 6 x 12 x 0.7 = 50.4
    EXPECT_EQ(y_label_values(L.lowest, L.highest, L.ylbl_interval).size(), 9u);
    // Equal values keep one interval of the table around them.
    EXPECT_FLOAT_EQ(layout(Line, {0.002f, 0.002f}).ylbl_interval, 1.0f / 64);
}

TEST_F(LayoutTest, CustomLabelStepsPrintTheirDecimals) {
    engineOptions().yaxis_label_step = 2.5f;
    GraphLayout L = layout(Line, {0, 100});
    ASSERT_TRUE(L.custom_yaxis);
    // 110 / 2.5 = 44 labels exceed 280 / 12: the step becomes 110 / (280 / 25) = 9.82..., one
    // decimal past its first digit. The longest label, "108.0", is 5 x 12 x 0.7 = 42 wide.
    EXPECT_EQ(L.ylabel_wth, 42);
    EXPECT_EQ(y_label_text(L, engineOptions(), 110 / 11.2f, 110 / 11.2f).whole, "9.8");
    EXPECT_EQ(y_label_text(L, engineOptions(), 5, 2.5f).whole, "5.0");
    EXPECT_EQ(y_label_text(L, engineOptions(), 0.03f, 0.01f).whole, "0.03");
    // Steps that 256ths show keep their fractions; whole steps their whole numbers.
    EXPECT_EQ(y_label_text(L, engineOptions(), 0.75f, 0.25f).denominator, 4);
    EXPECT_EQ(y_label_text(L, engineOptions(), 20, 10).whole, "20");
    // The labels fit left of the axis: "108.0" starts 2 + 5 x 12 / 1.5 before it.
    EXPECT_GE(L.point_x(0) - 2 - 40, 0);
}

TEST_F(LayoutTest, EqualXValuesGetARangeAroundThem) {
    const float x[] = {7, 7, 7};
    GraphLayout L = layout(XyPoint, {1, 2, 3}, 1, 400, kHeight280, x);
    EXPECT_FLOAT_EQ(L.xmin, 6.5f);
    EXPECT_FLOAT_EQ(L.xmax, 7.5f);
    EXPECT_EQ(L.PXY(7), L.point_x(0) + L.plot_width / 2);
    const float day[] = {6.3e10f, 6.3e10f};  // seconds since year 1: half a unit is below a float's step
    GraphLayout far = layout(XyPoint, {1, 2}, 1, 400, kHeight280, day);
    EXPECT_LT(far.xmin, 6.3e10f);
    EXPECT_GT(far.xmax, 6.3e10f);
    // The points are drawn in the middle of the plot.
    engineOptions().plot_color = 0x123456;
    const float y[] = {1, 2, 3};
    Drawn d = draw(400, kHeight280, XyPoint, 3, nullptr, 1, y, x);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(rgb(im.get(), L.PXY(7), L.PY(2)), 0x123456u);
}

TEST_F(LayoutTest, OnePointLegendStandsRightOfThePlot) {
    LegendEntry entry{};
    entry.point = 0;
    entry.width = 4;
    entry.kind = 3;
    entry.color = 0x00FF00;
    std::strcpy(entry.name, "Sales");
    engineOptions().legend_entries = &entry;
    engineOptions().legend_count = 1;
    engineOptions().title = "Yearly sales";
    const float one = 1500;
    for (ChartType type : {Bar, Line}) {
        SCOPED_TRACE(type);
        GraphLayout L = layout_graph(engineOptions(), 480, 320, type, 1, nullptr, 1, &one, nullptr);
        Drawn d = draw(480, 320, type, 1, nullptr, 1, &one);
        Picture im = d.decode();
        ASSERT_NE(im, nullptr);
        const int right = L.point_x(L.last_pos);
        EXPECT_EQ(count_color(im.get(), 0, 0, right, 319, 0x00FF00), 0);
        EXPECT_EQ(count_color(im.get(), right + 1, 0, 479, 319, 0x00FF00), 7 * 7);  // the square's inside
    }
}

TEST_F(LayoutTest, HeightTooSmall) {
    // 10 pixels of plot: 10 / 27 is below 3 labels.
    EXPECT_EQ(layout(Line, {1, 2}, 1, 400, 17).result, 2);
    EXPECT_EQ(layout(Line, {1, 2}, 1, 400, 7 + 81).result, 0);  // exactly 3 labels
    EXPECT_EQ(layout(Line, {1, 2}, 1, 400, 7 + 80).result, 2);
}

TEST_F(LayoutTest, EntryResults) {
    const float data[] = {1, 2};
    EXPECT_EQ(layout_graph(engineOptions(), 0, 100, Line, 2, nullptr, 1, data, nullptr).result, -1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, -3, Line, 2, nullptr, 1, data, nullptr).result, -1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, Line, 0, nullptr, 1, data, nullptr).result, 1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, Line, 2, nullptr, 0, data, nullptr).result, 1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, Line, 2, nullptr, 1, nullptr, nullptr).result, 1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, XyLine, 2, nullptr, 1, data, nullptr).result, 1);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, ComboLineArea, 2, nullptr, 1, data, nullptr).result, -2);
    EXPECT_EQ(layout_graph(engineOptions(), 100, 100, Line, 2, nullptr, 1 << 30, data, nullptr).result, -1);
}

}  // namespace
}  // namespace plotwise::test
