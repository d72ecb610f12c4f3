// draw_graph's results and notices, the picture it writes or keeps, every chart type at many
// sizes, and inputs that must neither hang nor crash (NaN, huge and tiny values, bad steps).
#include <cfloat>
#include <climits>
#include <cmath>

#include "graph_test_support.h"

namespace plotwise::test {
namespace {

class Entry : public GraphTest {};

TEST_F(Entry, NoticesAndTheirResults) {
    const float data[] = {1, 2, 3};
    struct Case {
        short w, h;
        ChartType type;
        int points;
        int expected;
    } cases[] = {
        {300, 200, Line, 0, 1},           // no points: "No Data Available"
        {300, 200, ComboLineBar, 3, -2},  // no volume row: "No Combo Data Available"
        {300, 8, Line, 3, 2},             // "Picture height too small"
        {300, 200, Line, -4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Drawn d = draw(c.w, c.h, c.type, c.points, nullptr, 1, data);
        EXPECT_EQ(d.result, c.expected);
        Picture im = d.decode();
        ASSERT_NE(im, nullptr);
        EXPECT_EQ(gdImageSX(im.get()), c.w);
        EXPECT_EQ(gdImageSY(im.get()), c.h);
        // The notice text is drawn in the line colour (red here).
        EXPECT_GT(count_color(im.get(), 0, 0, c.w - 1, c.h - 1, 0xFF0000), 0);
    }
}

TEST_F(Entry, NoDataDecisions) {
    const float data[] = {1, 2, 3};
    // Sets below 1, no data, and xy charts without their x rows draw "No Data Available".
    EXPECT_EQ(draw(300, 200, Line, 3, nullptr, 0, data).result, 1);
    EXPECT_EQ(draw(300, 200, Line, 3, nullptr, -2, data).result, 1);
    EXPECT_EQ(draw(300, 200, Bar, 3, nullptr, 1, nullptr).result, 1);
    Drawn xy = draw(300, 200, XyLine, 3, nullptr, 1, data, nullptr);
    EXPECT_EQ(xy.result, 1);
    EXPECT_NE(xy.decode(), nullptr);
}

TEST_F(Entry, BadSizesWriteNothing) {
    const float data[] = {1, 2, 3};
    for (auto [w, h] : {std::pair<short, short>{0, 100}, {100, 0}, {-5, 100}, {100, -32768}}) {
        Drawn d = draw(w, h, Line, 3, nullptr, 1, data);
        EXPECT_EQ(d.result, -1);
        EXPECT_TRUE(d.bytes.empty());
    }
    EXPECT_EQ(draw_graph(engineOptions(), 300, 200, nullptr, Line, 3, nullptr, 1, data, nullptr), -1);
    engineOptions().write_image = 0;  // nothing to write: no stream is needed
    EXPECT_EQ(draw_graph(engineOptions(), 300, 200, nullptr, Line, 3, nullptr, 1, data, nullptr), 0);
    Drawn quiet = draw(300, 200, Line, 3, nullptr, 1, data);
    EXPECT_EQ(quiet.result, 0);
    EXPECT_TRUE(quiet.bytes.empty());
}

TEST_F(Entry, HorizontalIsClearedOnEveryPath) {
    const float data[] = {1, 2, 3};
    engineOptions().horizontal = 1;
    EXPECT_EQ(draw(0, 100, Bar, 3, nullptr, 1, data).result, -1);
    EXPECT_EQ(engineOptions().horizontal, 0);
    engineOptions().horizontal = 1;
    // The notice of a turned chart has the size the caller asked for (here 200 x 300).
    Drawn d = draw(300, 200, Bar, 0, nullptr, 1, data);
    EXPECT_EQ(d.result, 1);
    EXPECT_EQ(engineOptions().horizontal, 0);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(gdImageSX(im.get()), 200);
    EXPECT_EQ(gdImageSY(im.get()), 300);
}

TEST_F(Entry, HoldImageKeepsAndReusesThePicture) {
    const float data[] = {1, 2, 3};
    ChartOptions& o = engineOptions();
    o.hold_image = 1;
    EXPECT_EQ(draw(300, 200, Line, 3, nullptr, 1, data).result, 0);
    ASSERT_NE(o.image, nullptr);
    EXPECT_EQ(gdImageSX(o.image), 300);
    // Bit 1: the drawing takes the picture handed in and, with bit 0, keeps it again.
    gdImagePtr held = o.image;
    gdImageSetPixel(held, 0, 0, gdImageColorAllocate(held, 1, 2, 3));
    o.hold_image = 3;
    EXPECT_EQ(draw(300, 200, Line, 3, nullptr, 1, data).result, 0);
    ASSERT_EQ(o.image, held);
    EXPECT_EQ(gdImageRed(held, gdImageGetPixel(held, 0, 0)), 1);
    // Bit 1 without bit 0: the picture is used and released; nothing dangles in `image`.
    o.hold_image = 2;
    EXPECT_EQ(draw(300, 200, Line, 3, nullptr, 1, data).result, 0);
    EXPECT_EQ(o.image, nullptr);
}

TEST_F(Entry, WbmpOutput) {
    const float data[] = {1, 2, 3};
    engineOptions().image_format = 3;
    Drawn d = draw(300, 200, Line, 3, nullptr, 1, data);
    ASSERT_EQ(d.result, 0);
    ASSERT_GT(d.bytes.size(), 4u);
    Picture im(gdImageCreateFromWBMPPtr(static_cast<int>(d.bytes.size()), d.bytes.data()));
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(gdImageSX(im.get()), 300);
}

TEST_F(Entry, TransparentBackground) {
    const float data[] = {1, 2, 3};
    engineOptions().transparent_bg = 1;
    Picture im = draw(300, 200, Line, 3, nullptr, 1, data).decode();
    ASSERT_NE(im, nullptr);
    int t = gdImageGetTransparent(im.get());
    ASSERT_GE(t, 0);
    EXPECT_EQ(gdImageRed(im.get(), t), 255);
    EXPECT_EQ(gdImageBlue(im.get(), t), 255);
}

// Data for every chart type: 2 sets, 6 points, with the rows high-low-close and floating bars need.
struct TypeData {
    std::vector<float> data, extra;
    std::vector<const char*> labels{"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
    explicit TypeData(ChartType type) {
        const int rows = 2 * (isHlc(type) ? 3 : isFloatingBar(type) ? 2 : 1);
        for (int r = 0; r < rows; ++r)
            for (int p = 0; p < 6; ++p) data.push_back(static_cast<float>((r * 7 + p * 13) % 40 - 5 + r));
        if (isCombo(type)) extra = {5, 15, 10, NoValue, 25, 20};
        if (isXy(type))
            for (int r = 0; r < 2; ++r)
                for (int p = 0; p < 6; ++p) extra.push_back(static_cast<float>(p * 1.5 + r));
    }
};

TEST_F(Entry, EveryChartTypeAtManySizes) {
    const std::pair<short, short> sizes[] = {{100, 80}, {320, 240}, {640, 480}, {2000, 1500}};
    for (int t = 0; t < kChartTypeCount; ++t) {
        const ChartType type = static_cast<ChartType>(t);
        TypeData in(type);
        for (auto [w, h] : sizes) {
            SCOPED_TRACE(testing::Message() << "type " << t << " at " << w << " x " << h);
            reset_options();
            engineOptions().title = "Title";
            engineOptions().xtitle = "X";
            engineOptions().ytitle = "Y";
            engineOptions().ytitle2 = "Y2";
            Drawn d = draw(w, h, type, 6, in.labels.data(), 2, in.data.data(), in.extra.empty() ? nullptr : in.extra.data());
            if (w == 100) {
                EXPECT_TRUE(d.result == 0 || d.result == 2) << d.result;
            } else {
                EXPECT_EQ(d.result, 0);
            }
            Picture im = d.decode();
            ASSERT_NE(im, nullptr);
            EXPECT_EQ(gdImageSX(im.get()), w);
            EXPECT_EQ(gdImageSY(im.get()), h);
        }
    }
}

TEST_F(Entry, HorizontalBarsComeBackAtTheAskedSize) {
    TypeData in(Bar3D);
    engineOptions().horizontal = 1;
    Drawn d = draw(300, 400, Bar3D, 6, in.labels.data(), 2, in.data.data());
    ASSERT_EQ(d.result, 0);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    EXPECT_EQ(gdImageSX(im.get()), 400);
    EXPECT_EQ(gdImageSY(im.get()), 300);
}

TEST_F(Entry, UnknownChartTypesDrawAFrame) {
    const float data[] = {1, 2, 3};
    for (int t : {-1, 27, 1000, INT_MIN}) EXPECT_EQ(draw(300, 200, static_cast<ChartType>(t), 3, nullptr, 1, data).result, 0) << t;
}

TEST_F(Entry, LargestSizes) {
    const float data[] = {1, 5, 3};
    for (auto [w, h] : {std::pair<short, short>{32767, 120}, {120, 32767}}) {
        SCOPED_TRACE(w);
        Drawn d = draw(w, h, Line, 3, nullptr, 1, data);
        EXPECT_EQ(d.result, 0);
        Picture im = d.decode();
        ASSERT_NE(im, nullptr);
        EXPECT_EQ(gdImageSX(im.get()), w);
        EXPECT_EQ(gdImageSY(im.get()), h);
    }
    engineOptions().horizontal = 1;
    Picture turned = draw(32767, 150, Bar, 3, nullptr, 1, data).decode();
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(gdImageSX(turned.get()), 150);
    EXPECT_EQ(gdImageSY(turned.get()), 32767);
}

// Layout values that must hold for any input that is drawn.
void expect_sane(const GraphLayout& L) {
    EXPECT_TRUE(std::isfinite(L.lowest));
    EXPECT_TRUE(std::isfinite(L.highest));
    EXPECT_GT(L.highest, L.lowest);
    EXPECT_TRUE(std::isfinite(L.yscl));
    EXPECT_LT(L.yscl, 0);
    EXPECT_TRUE(std::isfinite(L.pixels_per_point));
    EXPECT_TRUE(std::isfinite(L.ylbl_interval));
    EXPECT_GT(L.ylbl_interval, 0);
    // The label passes stay short.
    EXPECT_LE(y_label_values(L.lowest, L.highest, L.ylbl_interval).size(), 2u + L.plot_height);
}

TEST_F(Entry, ExtremeValuesNeitherHangNorCrash) {
    const std::vector<std::vector<float>> sets = {
        {NAN, 1, INFINITY, -INFINITY, 2},
        {1e30f, -1e30f, 1e-30f, 3},
        {1e30f, 1e30f, 1e30f},
        {-1e30f, -1e30f},
        {1e-30f, 2e-30f, 3e-30f},
        {5, 5, 5, 5},
        {0, 0, 0},
        {FLT_MAX, -FLT_MAX * 0.999f, 1},
        {3e38f, 3e38f, 3e38f},
        {2147483648.0f, 2147483700.0f},
        {InterpolateValue, 1, InterpolateValue},
    };
    for (int t : {Line, Bar, Area3D, ComboLineBar, XyLine}) {
        for (int stack : {Depth, Sum, Layer}) {
            for (const auto& values : sets) {
                const ChartType type = static_cast<ChartType>(t);
                SCOPED_TRACE(testing::Message() << "type " << t << " stack " << stack << " first " << values[0]);
                reset_options();
                engineOptions().yaxis_ptsize = 12;
                engineOptions().stack_type = stack;
                const int n = static_cast<int>(values.size());
                const float* extra = isXy(type) || isCombo(type) ? values.data() : nullptr;
                GraphLayout L = layout_graph(engineOptions(), 400, 300, type, n, nullptr, 1, values.data(), extra);
                ASSERT_EQ(L.result, 0);
                expect_sane(L);
                Drawn d = draw(400, 300, type, n, nullptr, 1, values.data(), extra);
                EXPECT_EQ(d.result, 0);
                EXPECT_NE(d.decode(), nullptr);
            }
        }
    }
}

TEST_F(Entry, HugeValuesUseTheCustomAxis) {
    const float values[] = {0, 1e30f};
    engineOptions().yaxis_ptsize = 12;
    GraphLayout L = layout_graph(engineOptions(), 400, 300, Line, 2, nullptr, 1, values, nullptr);
    ASSERT_EQ(L.result, 0);
    expect_sane(L);
    EXPECT_TRUE(L.custom_yaxis);
    EXPECT_GE(L.highest, 1e30f);
    EXPECT_EQ(draw(400, 300, Line, 2, nullptr, 1, values).result, 0);
    // Round steps of at least (highest - lowest) / 3 were written back.
    const double step = engineOptions().yaxis_grid_step;
    EXPECT_GE(step, (static_cast<double>(L.highest) - L.lowest) / 3 * (1 - 1e-6));
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-6 || std::fabs(mantissa - 2) < 1e-6 || std::fabs(mantissa - 2.5) < 1e-6 ||
                std::fabs(mantissa - 5) < 1e-6)
        << step;
}

TEST_F(Entry, BadOptionValuesNeitherHangNorCrash) {
    const float data[] = {1, 7, 3, 9, 4};
    const float x[] = {1, 2, 3, 4, 5};
    const char* labels[] = {"a", "bb", "ccc", "dddd", "eeeee"};
    using Tweak = void (*)(ChartOptions&);
    const Tweak tweaks[] = {
        [](ChartOptions& o) { o.ylabel_density = -100; },
        [](ChartOptions& o) { o.ylabel_density = 0; },
        [](ChartOptions& o) { o.ylabel_density = 127; o.yaxis_ptsize = 0; },
        [](ChartOptions& o) { o.requested_yinterval = 1e-30f; },
        [](ChartOptions& o) { o.requested_yinterval = 1e30f; },
        [](ChartOptions& o) { o.requested_yinterval = NAN; },
        [](ChartOptions& o) { o.requested_ymin = -INFINITY; o.requested_ymax = NAN; },
        [](ChartOptions& o) { o.requested_ymin = -3e38f; o.requested_ymax = 3e38f; },
        [](ChartOptions& o) { o.depth_3d = NAN; },
        [](ChartOptions& o) { o.depth_3d = 1e30f; },
        [](ChartOptions& o) { o.depth_3d = -50; },
        [](ChartOptions& o) { o.xlabel_angle = NAN; },
        [](ChartOptions& o) {
            o.xlabel_angle = 180;
            o.xaxis_font = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
            o.xaxis_ptsize = 12;
        },
        [](ChartOptions& o) { o.xlabel_angle = -45; },
        [](ChartOptions& o) { o.yaxis_ptsize = NAN; o.xaxis_ptsize = -5; o.title_ptsize = INFINITY; },
        [](ChartOptions& o) { o.yaxis_ptsize = 1e9; },
        [](ChartOptions& o) { o.line_spacing = NAN; o.title = "T"; o.xtitle = "X"; },
        [](ChartOptions& o) { o.grid = INT_MAX; o.ticks = INT_MAX; },
        [](ChartOptions& o) { o.grid = INT_MIN; o.ticks = -7; },
        [](ChartOptions& o) { o.xlabel_spacing = -5; },
        [](ChartOptions& o) { o.xlabel_spacing = -32768; },
        [](ChartOptions& o) { o.yaxis_grid_step = 1e-30f; o.yaxis_tick_step = -1; o.yaxis_label_step = 0; },
        [](ChartOptions& o) { o.yaxis_grid_step = NAN; o.yaxis_tick_step = INFINITY; o.yaxis_label_step = 1e30f; },
        [](ChartOptions& o) { o.y2axis_grid_step = 1e-30f; o.y2axis_tick_step = 0; o.y2axis_label_step = -3; },
        [](ChartOptions& o) { o.xaxis_grid_step = 1e-30f; o.xaxis_tick_step = 0; o.xaxis_label_step = -1; },
        [](ChartOptions& o) { o.xaxis_label_step = 1e-20f; o.x_value_kind = 3; },
        [](ChartOptions& o) { o.ylabel_format = "%s%n%d"; },
        [](ChartOptions& o) { o.ylabel_format = "%999999999f"; },
        [](ChartOptions& o) { o.ylabel2_format = "%p %s"; },
        [](ChartOptions& o) { o.y_value_kind = 3; o.ylabel_value_format = nullptr; },
        [](ChartOptions& o) { o.y_value_kind = 1; o.ylabel_value_format = nullptr; },
        [](ChartOptions& o) { o.y_value_kind = -7; },
        [](ChartOptions& o) { o.keep_geometry = 1; o.saved_plot_left = -100000; o.saved_plot_width = -5; o.saved_plot_height = 3; },
        [](ChartOptions& o) { o.keep_geometry = 1; o.saved_plot_left = 1000000; o.saved_plot_width = 1000000; o.saved_plot_height = 1000000; },
        [](ChartOptions& o) { o.legend_count = -3; },
        [](ChartOptions& o) { o.bar_width = 255; o.hlc_cap_width = 255; o.angle_3d = 255; },
        [](ChartOptions& o) { o.title_size = 99; o.yaxis_font_size = -4; o.xaxis_font_size = 1000; },
        [](ChartOptions& o) { o.horizontal = 1; o.title = "T"; o.ytitle = "Y"; },
        [](ChartOptions& o) { o.bg_image = "/nonexistent/picture.gif"; },
        [](ChartOptions& o) {  // FreeType text everywhere (no pixels are compared here)
            const char* font = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
            o.title_font = o.ytitle_font = o.xtitle_font = o.yaxis_font = o.xaxis_font = font;
            o.title_ptsize = o.ytitle_ptsize = o.xtitle_ptsize = 14;
            o.xaxis_ptsize = 10;
            o.xlabel_angle = 45;
            o.title = "Title";
            o.ytitle = "Y";
            o.ytitle2 = "Y2";
            o.xtitle = "X";
        },
        [](ChartOptions& o) {
            o.xaxis_font = o.yaxis_font = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
            o.xlabel_angle = 60;
            o.horizontal = 1;
            o.requested_ymin = -0.5f;
        },
    };
    for (int t : {Line, Bar3D, ComboLineArea3D, XyArea}) {
        for (size_t i = 0; i < std::size(tweaks); ++i) {
            const ChartType type = static_cast<ChartType>(t);
            SCOPED_TRACE(testing::Message() << "type " << t << " tweak " << i);
            reset_options();
            engineOptions().yaxis_ptsize = 12;
            tweaks[i](engineOptions());
            const float* extra = isXy(type) ? x : isCombo(type) ? data : nullptr;
            Drawn d = draw(400, 300, type, 5, labels, 1, data, extra);
            EXPECT_TRUE(d.result == 0 || d.result == 2) << d.result;
            EXPECT_NE(d.decode(), nullptr);
        }
    }
}

}  // namespace
}  // namespace plotwise::test
