// Pixels of the drawn frame at the places the layout gives: y grid lines and ticks at the label
// values, x grid lines and ticks at the positions, labels where they belong, the turned picture.
// The data are all missing and the plot frame is off, so only the frame stage draws.
#include <set>

#include "graph_test_support.h"

namespace plotwise::test {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kGreen = 0x00C000;
constexpr uint32_t kYLabel = 0x800080, kXLabel = 0x008080;

class FramePixels : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        ChartOptions& o = engineOptions();
        o.yaxis_ptsize = 12;
        o.requested_ymin = -30;
        o.requested_ymax = 80;
        o.border = 0;
        o.ylabel_color = kYLabel;
        o.xlabel_color = kXLabel;
        data.assign(10, NoValue);
    }
    GraphLayout layout(short w, short h, const char* const* labels = nullptr) {
        return layout_graph(engineOptions(), w, h, Line, 10, labels, 1, data.data(), nullptr);
    }
    Picture picture(short w, short h, const char* const* labels = nullptr) {
        Drawn d = draw(w, h, Line, 10, labels, 1, data.data());
        EXPECT_EQ(d.result, 0);
        return d.decode();
    }
    std::vector<float> data;
};

TEST_F(FramePixels, YGridTicksAndLabelsAtLabelValues) {
    GraphLayout L = layout(400, 287);
    ASSERT_EQ(L.result, 0);
    ASSERT_FLOAT_EQ(L.lowest, -30);
    ASSERT_FLOAT_EQ(L.highest, 80);
    ASSERT_FLOAT_EQ(L.ylbl_interval, 10);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    ASSERT_EQ(gdImageSX(im.get()), 400);
    ASSERT_EQ(gdImageSY(im.get()), 287);
    const int x0 = L.point_x(0), x1 = L.point_x(L.last_pos);
    for (float v : y_label_values(L.lowest, L.highest, L.ylbl_interval)) {
        const int y = L.PY(v);
        SCOPED_TRACE(v);
        EXPECT_EQ(rgb(im.get(), x0 - 2, y), kRed);  // tick
        EXPECT_EQ(rgb(im.get(), x0 - 1, y), kRed);
        EXPECT_EQ(rgb(im.get(), x0 + 3, y), kGreen);  // grid line across the plot
        EXPECT_EQ(rgb(im.get(), (x0 + x1) / 2 + 3, y), kGreen);
        EXPECT_EQ(rgb(im.get(), x1 - 1, y), kGreen);
        // Nothing juts out past the last position: it lies on the picture's right edge.
        EXPECT_EQ(x1, 400);
        // The label ends left of the tick, centred on its row.
        EXPECT_GT(count_color(im.get(), 0, y - 6, x0 - 3, y + 6, kYLabel), 0);
        EXPECT_EQ(count_color(im.get(), x0 - 2, y - 6, 399, y + 6, kYLabel), 0);
    }
    // Between the label rows (5, 15, ...) nothing but the x grid lines.
    const int y = L.PY(5);
    EXPECT_EQ(rgb(im.get(), (L.point_x(0) + L.point_x(1)) / 2, y), kWhite);
    EXPECT_EQ(rgb(im.get(), x0 - 1, y), kWhite);
    // 80 is not below highest: no label, tick or grid line there.
    EXPECT_NE(rgb(im.get(), x0 - 2, L.PY(80)), kRed);
    // -30 is not above lowest: no tick at the bottom.
    EXPECT_NE(rgb(im.get(), x0 - 2, L.PY(-30)), kRed);
}

TEST_F(FramePixels, BuiltInLabelsAtALargePointSizeKeepTheirRow) {
    // At 39 points the top would be 24 rows above the label's row; the built-in characters,
    // 12 high, end on that row instead of 12 rows above it.
    engineOptions().yaxis_ptsize = 39;
    GraphLayout L = layout(400, 600);
    ASSERT_EQ(L.result, 0);
    Picture im = picture(400, 600);
    ASSERT_NE(im, nullptr);
    const int right = L.point_x(0) - 3;
    for (float v : y_label_values(L.lowest, L.highest, L.ylbl_interval)) {
        SCOPED_TRACE(v);
        const int y = L.PY(v);
        EXPECT_GT(count_color(im.get(), 0, y - 11, right, y, kYLabel), 0);
        EXPECT_EQ(count_color(im.get(), 0, y - 40, right, y - 12, kYLabel), 0);
    }
}

TEST_F(FramePixels, XGridAndTicksAtEveryShownPosition) {
    GraphLayout L = layout(400, 287);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    const int mid = L.PY(5), bottom = L.PY(L.lowest);
    ASSERT_EQ(L.point_x(9), 400);  // the last position is the picture's right edge
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rgb(im.get(), L.point_x(i), mid), kGreen);
        EXPECT_EQ(rgb(im.get(), L.point_x(i), bottom + 1), kRed);  // tick 2 pixels down
        EXPECT_EQ(rgb(im.get(), L.point_x(i), bottom + 2), kRed);
        EXPECT_EQ(rgb(im.get(), L.point_x(i), bottom + 3), kWhite);
    }
}

TEST_F(FramePixels, GridTwoOnTenPoints) {
    ChartOptions& o = engineOptions();
    o.grid = 2;
    o.ticks = 0;
    o.yaxis = 0;
    GraphLayout L = layout(400, 287);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    std::set<int> expected{L.point_x(0)};
    for (int i = 1; i < 10; ++i) {
        const int x0 = L.point_x(i - 1), x = L.point_x(i), gap = (x - x0) / 3;
        expected.insert({x, x0 + gap, x0 + 2 * gap});
    }
    EXPECT_EQ(expected.size(), 28u);
    const int y = L.PY(5);  // between y grid rows
    ASSERT_EQ(L.point_x(9), 400);  // the right edge of the picture
    ASSERT_EQ(L.point_x(0), 0);    // no labels and no ticks: the plot starts at the left edge
    for (int x = L.point_x(0); x < L.point_x(9); ++x) {
        SCOPED_TRACE(x);
        EXPECT_EQ(rgb(im.get(), x, y), expected.count(x) ? kGreen : kWhite);
    }
}

TEST_F(FramePixels, GridAtEveryPointWithoutIntermediates) {
    engineOptions().grid = -1;
    engineOptions().xlabel_spacing = 1000;  // one label fits: only position 0 is shown
    const char* labels[10] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    GraphLayout L = layout(400, 287, labels);
    ASSERT_LT(L.num_xlbls, 1);
    Picture im = picture(400, 287, labels);
    ASSERT_NE(im, nullptr);
    const int y = L.PY(5);
    int lines = 0;
    for (int x = L.point_x(0); x <= L.point_x(9); ++x) lines += rgb(im.get(), x, y) == kGreen;
    EXPECT_EQ(lines, 10);
    // Ticks (-2) only at the shown label: position 0.
    EXPECT_EQ(rgb(im.get(), L.point_x(0), L.PY(L.lowest) + 2), kRed);
    EXPECT_NE(rgb(im.get(), L.point_x(1), L.PY(L.lowest) + 2), kRed);
}

TEST_F(FramePixels, EveryLabelWithSpacing32767) {
    const char* labels[10] = {"MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM"};
    auto shown = [&](gdImagePtr im, const GraphLayout& L, int i) {
        const int axis = L.PY(L.lowest);
        return count_color(im, L.point_x(i) - 7, axis + 3, L.point_x(i) + 5, axis + 15, kXLabel) > 0;
    };
    GraphLayout L = layout(200, 287, labels);
    ASSERT_EQ(L.xlabel_wth, 14);
    ASSERT_LT(L.num_xlbls, 10);  // not all fit: every other one is shown
    ASSERT_GE(L.point_x(1) - L.point_x(0), 14);
    Picture some = picture(200, 287, labels);
    ASSERT_NE(some, nullptr);
    const int step = 10 / std::max(L.num_xlbls, 1) + 1;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(shown(some.get(), L, i), i % step == 0) << i;

    engineOptions().xlabel_spacing = 32767;
    GraphLayout all_layout = layout(200, 287, labels);
    Picture all = picture(200, 287, labels);
    ASSERT_NE(all, nullptr);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(shown(all.get(), all_layout, i)) << i;
}

TEST_F(FramePixels, LabelControlHidesLabels) {
    const char* labels[10] = {"MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM", "MM"};
    const unsigned char ctl[10] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
    engineOptions().xlabel_ctl = ctl;
    engineOptions().xlabel_spacing = 32767;
    GraphLayout L = layout(400, 287, labels);
    Picture im = picture(400, 287, labels);
    ASSERT_NE(im, nullptr);
    const int axis = L.PY(L.lowest);
    for (int i = 0; i < 10; ++i) {
        bool label = count_color(im.get(), L.point_x(i) - 7, axis + 3, L.point_x(i) + 5, axis + 15, kXLabel) > 0;
        EXPECT_EQ(label, ctl[i] != 0) << i;
        EXPECT_EQ(rgb(im.get(), L.point_x(i), axis + 2) == kRed, ctl[i] != 0) << i;  // tick with the label
    }
}

TEST_F(FramePixels, HorizontalPictureIsTurned) {
    engineOptions().horizontal = 1;
    GraphLayout L = layout(300, 287);  // laid out upright: 300 wide, 287 high
    ASSERT_EQ(L.result, 0);
    Drawn d = draw(300, 287, Line, 10, nullptr, 1, data.data());
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(engineOptions().horizontal, 0);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    ASSERT_EQ(gdImageSX(im.get()), 287);
    ASSERT_EQ(gdImageSY(im.get()), 300);
    // (x, y) of the upright drawing is (286 - y, x) in the turned picture.
    auto turned = [&](int x, int y) { return rgb(im.get(), 286 - y, x); };
    const int x0 = L.point_x(0), x1 = L.point_x(L.last_pos);
    for (float v : y_label_values(L.lowest, L.highest, L.ylbl_interval)) {
        SCOPED_TRACE(v);
        EXPECT_EQ(turned(x0 - 2, L.PY(v)), kRed);
        EXPECT_EQ(turned((x0 + x1) / 2 + 3, L.PY(v)), kGreen);
    }
    ASSERT_EQ(L.point_x(9), 300);  // the last position is on the drawing's edge
    for (int i = 0; i < 9; ++i) EXPECT_EQ(turned(L.point_x(i), L.PY(L.lowest) + 2), kRed) << i;
}

TEST_F(FramePixels, CustomYStepsDrawAndWriteBack) {
    ChartOptions& o = engineOptions();
    o.requested_ymin = 0;
    o.requested_ymax = 100;
    o.yaxis_grid_step = 25;
    GraphLayout L = layout(400, 287);
    ASSERT_FLOAT_EQ(L.lowest, 0);
    ASSERT_FLOAT_EQ(L.highest, 100);
    ASSERT_TRUE(L.custom_yaxis);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    const int x = (L.point_x(0) + L.point_x(1)) / 2;
    for (float v : {0.f, 25.f, 50.f, 75.f}) EXPECT_EQ(rgb(im.get(), x, L.PY(v)), kGreen) << v;
    EXPECT_EQ(rgb(im.get(), x, L.PY(37.5)), kWhite);
    EXPECT_EQ(rgb(im.get(), x, L.PY(100)), kWhite);  // grid lines stay below highest
    // Steps not given become range / (points + 1) and are written back.
    EXPECT_FLOAT_EQ(o.yaxis_grid_step, 25);
    EXPECT_FLOAT_EQ(o.yaxis_tick_step, 100.f / 11);
    EXPECT_FLOAT_EQ(o.yaxis_label_step, 100.f / 11);
    // Ticks at multiples of 100/11.
    EXPECT_EQ(rgb(im.get(), L.point_x(0) - 2, L.PY(100.f / 11 * 3)), kRed);
}

TEST_F(FramePixels, CustomStepsAreRaisedToFit) {
    ChartOptions& o = engineOptions();
    o.requested_ymin = 0;
    o.requested_ymax = 100;
    o.yaxis_grid_step = 1e-30f;
    o.yaxis_tick_step = 0;
    o.yaxis_label_step = -5;
    GraphLayout L = layout(400, 287);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    EXPECT_FLOAT_EQ(o.yaxis_grid_step, 100.f / (L.plot_height / 2));
    EXPECT_FLOAT_EQ(o.yaxis_tick_step, 100.f / 11);
    EXPECT_FLOAT_EQ(o.yaxis_label_step, 100.f / 11);
}

TEST_F(FramePixels, ThumbnailSwitchesGridAndLabelsOffForGood) {
    engineOptions().thumbnail = 1;
    GraphLayout L = layout(400, 287);
    Picture im = picture(400, 287);
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(engineOptions().grid, 0);
    EXPECT_EQ(engineOptions().xaxis, 0);
    EXPECT_EQ(engineOptions().yaxis, 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 399, 286, kGreen), 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 399, 286, kYLabel), 0);
    EXPECT_EQ(L.ytick_len, 0);  // ticks stay on, but get no room without grid and labels
    EXPECT_EQ(rgb(im.get(), L.point_x(1), L.PY(L.lowest) + 2), kRed);
}

TEST_F(FramePixels, BackWallOf3dChartsWithoutGrid) {
    ChartOptions& o = engineOptions();
    o.grid = 0;
    o.border = 1;
    GraphLayout L = layout_graph(engineOptions(), 400, 320, Area3D, 10, nullptr, 1, data.data(), nullptr);
    ASSERT_GT(L.xdepth_3d, 2);
    Drawn d = draw(400, 320, Area3D, 10, nullptr, 1, data.data());
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    const int sd = L.set_depth;
    // The bottom-left depth edge and the back-left edge.
    const int xm = (L.point_x(0) + L.point_x(0, sd)) / 2, ym = (L.PY(L.lowest) + L.PY(L.lowest, sd)) / 2;
    EXPECT_EQ(count_color(im.get(), xm - 1, ym - 1, xm + 1, ym + 1, kRed) > 0, true);
    EXPECT_EQ(rgb(im.get(), L.point_x(0, sd), (L.PY(L.lowest, sd) + L.PY(L.highest, sd)) / 2), kRed);
    EXPECT_EQ(rgb(im.get(), (L.point_x(0, sd) + L.point_x(L.last_pos, sd)) / 2, L.PY(L.lowest, sd)), kRed);
}

TEST_F(FramePixels, TitlesInTheirPlaces) {
    ChartOptions& o = engineOptions();
    o.title = "TITLE";
    o.xtitle = "XT";
    o.ytitle = "YT";
    o.title_color = 0x112233;
    o.xtitle_color = 0x445566;
    o.ytitle_color = 0x778899;
    GraphLayout L = layout(400, 300);
    Picture im = picture(400, 300);
    ASSERT_NE(im, nullptr);
    // Title: 5 characters of 7 pixels centred at the top (x 183..217, y 1..13).
    EXPECT_GT(count_color(im.get(), 183, 1, 217, 13, 0x112233), 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 399, 299, 0x112233), count_color(im.get(), 183, 1, 217, 13, 0x112233));
    // X title at the bottom: y = 300 - 1 - 13 x 1.3.
    EXPECT_GT(count_color(im.get(), 186, 282, 213, 299, 0x445566), 0);
    // Y title turned at the left edge, within its reserved width.
    ASSERT_EQ(L.ytitle_wth, 15);
    EXPECT_GT(count_color(im.get(), 1, 130, 14, 170, 0x778899), 0);
    EXPECT_EQ(count_color(im.get(), 15, 0, 399, 299, 0x778899), 0);
}

// A line spacing outside 0..100 counts as its nearest end, and one that is not a number as 1.2,
// for the value labels as for the titles: at -5 a label "outside" a bar would be drawn 5.5 text
// heights down inside the bar instead of right on top of it.
TEST_F(FramePixels, LineSpacingOutsideItsRangeCountsAsItsEnd) {
    const struct {
        double spacing, same_as;
    } cases[] = {{-5, 0}, {1000, 100}, {NAN, 1.2}};
    ChartOptions& o = engineOptions();
    o.value_label_position = 1;
    const float values[] = {10, 40, 70};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spacing);
        o.line_spacing = c.same_as;
        const Drawn expected = draw(400, 300, Bar, 3, nullptr, 1, values);
        o.line_spacing = c.spacing;
        const Drawn drawn = draw(400, 300, Bar, 3, nullptr, 1, values);
        ASSERT_EQ(expected.result, 0);
        EXPECT_EQ(drawn.bytes, expected.bytes);
    }
}

TEST_F(FramePixels, SecondAxisOfCombos) {
    ChartOptions& o = engineOptions();
    o.ylabel2_color = 0x0A0B0C;
    o.ytitle2_color = 0x102030;
    o.ytitle2 = "VV";
    const float vol[10] = {0, 100, NoValue, NoValue, NoValue, NoValue, NoValue, NoValue, NoValue, NoValue};
    GraphLayout L = layout_graph(engineOptions(), 400, 287, ComboLineLine, 10, nullptr, 1, data.data(), vol);
    ASSERT_EQ(L.result, 0);
    ASSERT_FLOAT_EQ(L.vlowest, 0);
    Drawn d = draw(400, 287, ComboLineLine, 10, nullptr, 1, data.data(), vol);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    const int x = L.point_x(L.last_pos);
    ASSERT_GT(399 - x, 6 + 6 + 14);  // room for a label and the turned title
    for (float v : y_label_values(L.lowest, L.highest, L.ylbl_interval)) {
        SCOPED_TRACE(v);
        const int y = L.PY(v);
        EXPECT_EQ(rgb(im.get(), x + 3, y), kGreen);  // tick, in the grid colour
        EXPECT_GT(count_color(im.get(), x + 6, y - 6, 399, y + 6, 0x0A0B0C), 0);
    }
    // Rows with no label stay clear, and the labels start 6 pixels right of the plot.
    EXPECT_EQ(count_color(im.get(), x + 1, L.PY(5) - 2, 399, L.PY(5) + 2, 0x0A0B0C), 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, x + 5, 286, 0x0A0B0C), 0);
    // The second y title sits turned at the right edge, inside the picture.
    EXPECT_GT(count_color(im.get(), 400 - 14, 0, 399, 286, 0x102030), 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 400 - 15, 286, 0x102030), 0);
}

TEST_F(FramePixels, NumericXAxisOfXyCharts) {
    ChartOptions& o = engineOptions();
    o.xaxis_grid_step = 1.5f;
    o.xaxis_label_step = 3;
    o.x_value_kind = 0;
    o.xlabel_decimals = 1;
    float x[10];
    for (int i = 0; i < 10; ++i) x[i] = static_cast<float>(i);
    // The category labels reserve the room below the axis; the numeric labels replace them.
    const char* labels[10] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
    GraphLayout L = layout_graph(engineOptions(), 400, 300, XyLine, 10, labels, 1, data.data(), x);
    ASSERT_EQ(L.result, 0);
    Picture im = draw(400, 300, XyLine, 10, labels, 1, data.data(), x).decode();
    ASSERT_NE(im, nullptr);
    std::set<int> grid;
    for (float v = 0; v < 9; v += 1.5f) grid.insert(L.PXY(v));
    ASSERT_EQ(grid.size(), 6u);
    const int y = L.PY(5);
    for (int px = L.PXY(0); px <= L.PXY(9); ++px) EXPECT_EQ(rgb(im.get(), px, y), grid.count(px) ? kGreen : kWhite) << px;
    // Steps not given: ticks every (9 - 0) / 10; all written back.
    EXPECT_FLOAT_EQ(o.xaxis_grid_step, 1.5f);
    EXPECT_FLOAT_EQ(o.xaxis_tick_step, 0.9f);
    EXPECT_FLOAT_EQ(o.xaxis_label_step, 3);
    const int axis = L.PY(L.lowest);
    EXPECT_EQ(rgb(im.get(), L.PXY(0.9f * 4), axis + 2), kRed);
    // Labels "0.0", "3.0", "6.0", "9.0": 18 pixels wide, centred one pixel left of their place.
    for (float v : {0.f, 3.f, 6.f, 9.f})
        EXPECT_GT(count_color(im.get(), L.PXY(v) - 10, axis + 3, L.PXY(v) + 8, axis + 15, kXLabel), 0) << v;
    EXPECT_EQ(count_color(im.get(), L.PXY(1.5f) - 4, axis + 3, L.PXY(1.5f) + 4, axis + 15, kXLabel), 0);
}

}  // namespace
}  // namespace plotwise::test
