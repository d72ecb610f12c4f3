// Room for texts that FreeType draws wider or lower than the layout's estimates suppose: legend
// names, second-axis labels, y labels, turned titles and x labels that would overlap. With the
// built-in fonts the layout keeps its estimates exactly; with a real font (Liberation Sans, when
// installed) the reserved room holds the measured text. No pixels are compared here.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/text/text_color.h"
#include "graph_test_support.h"

namespace plotwise::test {
namespace {

constexpr const char* kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

bool have_sans() { return ::access(kSans, R_OK) == 0 && probe_font(kSans, 12).width > 0; }

#define SKIP_WITHOUT_SANS() \
    if (!have_sans()) GTEST_SKIP() << "Liberation Sans is not installed"

LegendEntry legend_square(const char* name, int point, uint16_t half) {
    LegendEntry e{};
    e.point = static_cast<float>(point);
    e.width = half;
    e.color = 0xFF0000;
    e.kind = 3;
    std::memcpy(e.name, name, std::min(std::strlen(name), sizeof e.name - 1));
    return e;
}

// Six points of three sets and a volume row; the legend names the sets.
struct ComboChart {
    std::vector<float> data{12, 19, 7, 15, 22, 18, 8, 11, 14, 9, 13, 20, 3, 4, 5, 6, 7, 8};
    std::vector<float> volume{120, 150, 90, 130, 170, 160};
    std::vector<LegendEntry> legend{legend_square("North", 5, 4), legend_square("South", 5, 4),
                                    legend_square("Visits per day", 5, 4)};
    const char* labels[6] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};

    GraphLayout layout(ChartType type, short width = 480, short height = 320) {
        ChartOptions& o = engineOptions();
        o.legend_entries = legend.data();
        o.legend_count = static_cast<int>(legend.size());
        GraphLayout L = layout_graph(engineOptions(), width, height, type, 6, labels, 3, data.data(), volume.data());
        o.legend_entries = nullptr;
        o.legend_count = 0;
        return L;
    }
};

class Polish : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        engineOptions().yaxis_ptsize = 12;  // a point size, but a font that does not exist
        engineOptions().xaxis_ptsize = 12;
    }
    // Every text type in Liberation Sans at the given point sizes.
    static void use_sans(double titles = 18, double labels = 12) {
        ChartOptions& o = engineOptions();
        o.title_font = o.ytitle_font = o.xtitle_font = o.yaxis_font = o.xaxis_font = kSans;
        o.title_ptsize = o.ytitle_ptsize = o.xtitle_ptsize = titles;
        o.yaxis_ptsize = o.xaxis_ptsize = labels;
    }
};

TEST_F(Polish, BuiltInCombosKeepTheEstimatedRoom) {
    ComboChart chart;
    // The volume axis ends a little above the highest volume, 170: its label has three digits,
    // and the room kept for it is 0.7 of 3 x 6 pixels, and 1: 13.6, so 13.
    for (ChartType type : {ComboLineLine, ComboLineBar3D}) {
        SCOPED_TRACE(type);
        GraphLayout L = chart.layout(type);
        ASSERT_EQ(L.result, 0);
        // Names in the built-in small font: "Visits per day" is 14 x 6 = 84 pixels. The estimate
        // (0.75 of it, 7 half sizes and 1: 92) would cut it; the legend takes the square (4
        // half sizes), 2 pixels and the name, and the part of the second axis' gap beyond its
        // labels and ticks.
        EXPECT_EQ(L.legend_wth, 16 + 2 + 84 + (13 + 480 / 60 - 13 - 4));
        ASSERT_EQ(y2_label_text(engineOptions(), L.vhighest).size(), 3u);
        EXPECT_EQ(L.ylabel2_wth, 13);
        EXPECT_EQ(L.ylabel2_gap, 13 + 480 / 60);
        // Two-digit y labels at 12 points: 2 x 12 x 0.7 = 16.8.
        EXPECT_EQ(L.ylabel_wth, 16);
    }
}

TEST_F(Polish, BuiltInLabelsThatTouchAreNotThinned) {
    // Seven-character labels of the small font, 42 pixels (44 with the margin), on a bar chart
    // whose six categories lie less than that apart although the plot width holds six gaps.
    const char* labels[6] = {"Label 1", "Label 2", "Label 3", "Label 4", "Label 5", "Label 6"};
    std::vector<float> data{1, 2, 3, 4, 5, 6};
    GraphLayout L = layout_graph(engineOptions(), 310, 280, Bar, 6, labels, 1, data.data(), nullptr);
    ASSERT_EQ(L.result, 0);
    ASSERT_EQ(L.xlabel_wth, 44);
    const int gap = 5 + L.xlabel_wth;
    ASSERT_GE(L.plot_width / gap, 6);
    ASSERT_LT(L.pixels_per_point, L.xlabel_wth);
    EXPECT_EQ(L.num_xlbls, L.plot_width / gap);
}

TEST_F(Polish, LabelWidthsOfTheBuiltInFont) {
    GraphLayout L;
    L.yaxis_font = kNoFont;
    L.yaxis_ptsize = 12;
    L.yaxis_ttf = false;
    YLabelText t;
    t.whole = "1250";
    YLabelWidths w = y_label_widths(L, engineOptions(), t);
    EXPECT_EQ(w.whole, 32);  // placed by the point size: 4 x 12 / 1.5
    EXPECT_EQ(w.fraction, 0);
    // A fraction: numerator and denominator one class smaller (tiny, 5 wide), the slash small.
    t.whole = "3";
    t.numerator = 1;
    t.denominator = 16;
    w = y_label_widths(L, engineOptions(), t);
    EXPECT_EQ(w.whole, 8);
    EXPECT_EQ(w.fraction, 5 + 6 + 2 * 5);
}

TEST_F(Polish, BuiltInTurnedTitlesKeepTheirColumns) {
    ChartOptions& o = engineOptions();
    o.horizontal = 1;
    o.title = "TT";
    o.ytitle = "YY";
    o.title_color = 0x112233;
    o.ytitle_color = 0x445566;
    std::vector<float> data{3, 1, 2};
    Drawn d = draw(300, 287, Bar, 3, nullptr, 1, data.data());
    ASSERT_EQ(d.result, 0);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    ASSERT_EQ(gdImageSX(im.get()), 287);
    // Upright column x is row x of the turned picture. The title, medium bold 13 high, takes
    // the columns 1 to 13; the y title follows at the title's height and 1.
    const int title = count_color(im.get(), 0, 1, 286, 13, 0x112233);
    EXPECT_GT(title, 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 286, 299, 0x112233), title);
    const int ytitle = count_color(im.get(), 0, 14, 286, 26, 0x445566);
    EXPECT_GT(ytitle, 0);
    EXPECT_EQ(count_color(im.get(), 0, 0, 286, 299, 0x445566), ytitle);
    // Capitals of one font: the y title's ink starts 13 columns after the title's.
    auto first_row = [&](uint32_t color) {
        for (int y = 0; y < 300; ++y)
            if (count_color(im.get(), 0, y, 286, y, color) > 0) return y;
        return -1;
    };
    EXPECT_EQ(first_row(0x445566), first_row(0x112233) + 13);
}

TEST_F(Polish, InkOfFreeTypeText) {
    EXPECT_FALSE(text_ink(kNoFont, 12, "Aj").drawn);
    EXPECT_FALSE(text_ink(nullptr, 12, "Aj").drawn);
    EXPECT_FALSE(text_ink(kSans, 0, "Aj").drawn);
    SKIP_WITHOUT_SANS();
    for (const char* text : {"Aj", "Units", "gypsy", "Two\nlines"}) {
        SCOPED_TRACE(text);
        const TextInk ink = text_ink(kSans, 18, text);
        ASSERT_TRUE(ink.drawn);
        const TextSize size = measure_text(text, 0, kSans, 18);
        EXPECT_EQ(ink.bottom - ink.top, size.height);
        EXPECT_EQ(ink.right - ink.left, size.width);
        // The first baseline lies an "Aj" line below the top given: capitals start below it by
        // about a descent, and nothing reaches above it.
        EXPECT_GE(ink.top, 0);
        EXPECT_LT(ink.top, size.height);
    }
    // A text without descenders ends where the baseline is; one with them reaches below it.
    const TextInk plain = text_ink(kSans, 18, "Units"), low = text_ink(kSans, 18, "gypsy");
    const int line = measure_text("Aj", 0, kSans, 18).height;
    EXPECT_EQ(plain.bottom, line - 1);
    EXPECT_GT(low.bottom, line - 1);
}

TEST_F(Polish, LegendNamesEndInsideThePicture) {
    SKIP_WITHOUT_SANS();
    use_sans();
    ComboChart chart;
    for (ChartType type : {ComboLineLine, ComboLineLine3D, ComboLineBar, Line, Area3D}) {
        SCOPED_TRACE(type);
        engineOptions().yaxis2 = 1;
        GraphLayout L = chart.layout(type);
        ASSERT_EQ(L.result, 0);
        const int anchor = L.point_x(L.last_pos, L.set_depth);
        const double factor = type == Line ? 0.95 : 0.75;
        int widest = 0;
        for (const LegendEntry& e : chart.legend) {
            const TextSize name = measure_text(e.name, 2, kSans, 12);
            widest = std::max(widest, name.width);
            const TextInk ink = text_ink(kSans, 12, e.name);
            ASSERT_TRUE(ink.drawn);
            // The square is centred 2 half sizes right of the gap, the name 2 pixels after it.
            const int cx = anchor + L.ylabel2_gap + 2 * e.width;
            EXPECT_LE(cx + 2 * e.width + 2 + ink.right, 480 - 1) << e.name;
        }
        // Never less than the estimate.
        EXPECT_GE(L.legend_wth, static_cast<int>(widest * factor + 4 * 7 + 1));
    }
}

TEST_F(Polish, SecondAxisLabelsStayClearOfTheLegend) {
    SKIP_WITHOUT_SANS();
    use_sans(18, 14);
    ComboChart chart;
    chart.volume = {12000, 150000, 90000, 130000, 170000, 160000};
    for (ChartType type : {ComboLineLine, ComboLineArea3D}) {
        SCOPED_TRACE(type);
        GraphLayout L = chart.layout(type);
        ASSERT_EQ(L.result, 0);
        ASSERT_GT(L.ylabel2_wth, 0);
        const int corner = L.point_x(L.last_pos, L.set_depth);
        const int square_left = corner + L.ylabel2_gap + 2 * 4 - 4;
        for (float v : {L.vlowest, L.vhighest}) {
            const std::string text = y2_label_text(engineOptions(), v);
            const TextInk ink = text_ink(kSans, 14, text.c_str());
            ASSERT_TRUE(ink.drawn);
            EXPECT_LT(corner + 6 + ink.right, square_left) << text;
        }
        // The estimate alone, 0.7 of the highest label, would not hold these labels.
        const std::string high = y2_label_text(engineOptions(), L.vhighest);
        const int estimate = static_cast<int>(0.7 * measure_text(high.c_str(), 2, kSans, 14).width + 1);
        EXPECT_GT(L.ylabel2_wth, estimate);
    }
}

TEST_F(Polish, YLabelsStayRightOfTheTitle) {
    SKIP_WITHOUT_SANS();
    use_sans(18, 14);
    engineOptions().ytitle = "Amount";
    std::vector<float> big{0, 125000, 250000, 90000};
    std::vector<float> small{0, 1.25f, 2.5f, 0.75f};  // fraction labels
    for (const std::vector<float>* data : {&big, &small}) {
        GraphLayout L = layout_graph(engineOptions(), 520, 340, Line, 4, nullptr, 1, data->data(), nullptr);
        ASSERT_EQ(L.result, 0);
        ASSERT_GT(L.ytitle_wth, 0);
        const int axis = L.point_x(0);
        int labels = 0;
        for (float v : y_label_values(L.lowest, L.highest, L.ylbl_interval)) {
            const YLabelText t = y_label_text(L, engineOptions(), v, L.ylbl_interval);
            const YLabelWidths w = y_label_widths(L, engineOptions(), t);
            // Placed by its length, or by its measured width when that is more.
            if (!t.whole.empty()) {
                EXPECT_GE(w.whole, measure_text(t.whole.c_str(), 2, kSans, 14).width) << t.whole;
            }
            EXPECT_GE(axis - 2 - w.whole - w.fraction, L.ytitle_wth) << t.whole;
            ++labels;
        }
        EXPECT_GE(labels, 3);
    }
}

TEST_F(Polish, TurnedTitlesGetTheirMeasuredRoom) {
    SKIP_WITHOUT_SANS();
    use_sans(18, 12);
    ChartOptions& o = engineOptions();
    o.title = "Horizontal bars";
    o.ytitle = "Units";
    o.horizontal = 1;
    const int title_h = measure_text(o.title, 0, kSans, 18).height;
    const int ytitle_h = measure_text(o.ytitle, 0, kSans, 18).height;
    std::vector<float> data{12, 19, 7};
    // With the usual spacing the estimate holds both titles and stays as it is: the y title's
    // height and 3 (FreeType ink starts a pixel in from the edge), and the title's line (1.2 of
    // its height and 2, grown by a fifth when the point size and 6 exceed it).
    GraphLayout L = layout_graph(engineOptions(), 320, 480, Bar, 3, nullptr, 1, data.data(), nullptr);
    ASSERT_EQ(L.result, 0);
    int title_height = static_cast<int>(title_h * 1.2 + 2);
    if (18 + 6 > title_height) title_height = static_cast<int>(title_height * 1.2);
    EXPECT_EQ(L.ytitle_wth, ytitle_h + 3 + title_height);
    EXPECT_GE(L.ytitle_wth, title_h + ytitle_h + 6);
    // Tight lines: the estimate is too small for the two titles side by side.
    o.line_spacing = 0.5;
    o.horizontal = 1;
    L = layout_graph(engineOptions(), 320, 480, Bar, 3, nullptr, 1, data.data(), nullptr);
    ASSERT_EQ(L.result, 0);
    title_height = static_cast<int>(title_h * 0.5 + 2);
    if (18 + 6 > title_height) title_height = static_cast<int>(title_height * 1.2);
    ASSERT_LT(ytitle_h + 3 + title_height, title_h + ytitle_h + 6);
    EXPECT_EQ(L.ytitle_wth, title_h + ytitle_h + 6);  // 1 before the title, 2 after the y title, 3 between
}

TEST_F(Polish, LegendRowAboveATurnedPlotHoldsItsNames) {
    SKIP_WITHOUT_SANS();
    use_sans(18, 12);
    ChartOptions& o = engineOptions();
    std::vector<LegendEntry> legend{legend_square("WWWWWWWWWWWWWWWWWWW", 2, 4)};
    o.legend_entries = legend.data();
    o.legend_count = 1;
    o.horizontal = 1;
    std::vector<float> data{12, 19, 7};
    GraphLayout L = layout_graph(engineOptions(), 320, 480, Bar, 3, nullptr, 1, data.data(), nullptr);
    o.legend_entries = nullptr;
    o.legend_count = 0;
    ASSERT_EQ(L.result, 0);
    // The estimate, 21 characters of 12 / 1.2 pixels, is less than these wide letters take.
    const TextInk ink = text_ink(kSans, 12, legend[0].name);
    ASSERT_TRUE(ink.drawn);
    ASSERT_LT(21 * 10 + 1, 4 * 4 + 2 + ink.right);
    // The name reads upward from 2 pixels above its square, which sits 2 half sizes above the
    // plot's back top: its last letter stays in the picture.
    const int lower_end = L.PY(L.highest) - L.ydepth_total - 2 * 4 - 2 * 4 - 2;
    EXPECT_GE(lower_end - ink.right, 0);
}

TEST_F(Polish, FreeTypeLabelsThatWouldOverlapAreThinned) {
    SKIP_WITHOUT_SANS();
    ChartOptions& o = engineOptions();
    o.xaxis_font = kSans;
    o.xaxis_ptsize = 12;
    const char* labels[6] = {"Label 11", "Label 22", "Label 33", "Label 44", "Label 55", "Label 66"};
    std::vector<float> data{1, 2, 3, 4, 5, 6};
    // Pick a width where the plot holds six label gaps, but the seven bar intervals are
    // narrower than a label.
    bool found = false;
    for (short width = 200; width < 700 && !found; ++width) {
        GraphLayout L = layout_graph(engineOptions(), width, 280, Bar, 6, labels, 1, data.data(), nullptr);
        ASSERT_EQ(L.result, 0);
        const int gap = 5 + L.xlabel_wth;
        const int by_width = L.plot_width / gap;
        if (by_width < 6 || !(L.pixels_per_point < L.xlabel_wth)) continue;
        found = true;
        SCOPED_TRACE(width);
        EXPECT_LT(L.num_xlbls, 6);
        auto pitch = [&](int k) { return (k >= 6 ? 1 : 6 / std::max(k, 1) + 1) * L.pixels_per_point; };
        EXPECT_GE(pitch(L.num_xlbls), L.xlabel_wth);
        // No more thinning than needed: one label more would overlap.
        EXPECT_LT(pitch(L.num_xlbls + 1), L.xlabel_wth);
    }
    EXPECT_TRUE(found);
    // Positions closer than a label and the spacing, but not closer than a label: nothing
    // overlaps and the count stays as estimated.
    found = false;
    for (short width = 200; width < 700 && !found; ++width) {
        GraphLayout L = layout_graph(engineOptions(), width, 280, Bar, 6, labels, 1, data.data(), nullptr);
        ASSERT_EQ(L.result, 0);
        const int gap = 5 + L.xlabel_wth;
        if (L.plot_width / gap < 6 || L.pixels_per_point < L.xlabel_wth || L.pixels_per_point >= gap) continue;
        found = true;
        SCOPED_TRACE(width);
        EXPECT_EQ(L.num_xlbls, L.plot_width / gap);
    }
    EXPECT_TRUE(found);
    // A wide picture: the positions are far enough apart and the count stays as estimated.
    GraphLayout L = layout_graph(engineOptions(), 1200, 280, Bar, 6, labels, 1, data.data(), nullptr);
    ASSERT_EQ(L.result, 0);
    EXPECT_EQ(L.num_xlbls, L.plot_width / (5 + L.xlabel_wth));
}

TEST_F(Polish, FirstLabelStaysInsideThePicture) {
    const char* labels[3] = {"01 June 2009", "08 June 2009", "15 June 2009"};
    std::vector<float> data{21, 24, 19};
    // Built-in labels: the plot starts after the y labels and ticks, as estimated.
    GraphLayout L = layout_graph(engineOptions(), 520, 340, Line, 3, labels, 1, data.data(), nullptr);
    ASSERT_EQ(L.result, 0);
    EXPECT_EQ(L.point_x(0), L.ylabel_wth + L.ytick_len);
    SKIP_WITHOUT_SANS();
    ChartOptions& o = engineOptions();
    o.xaxis_font = kSans;
    o.xaxis_ptsize = 12;
    const TextSize t = measure_text(labels[0], 2, kSans, 12);
    for (double angle : {0.0, 60.0, 90.0}) {
        SCOPED_TRACE(angle);
        o.xlabel_angle = angle;
        L = layout_graph(engineOptions(), 520, 340, Line, 3, labels, 1, data.data(), nullptr);
        ASSERT_EQ(L.result, 0);
        // Where the label is drawn from: centred on the first position, or ending there.
        const double a = angle * M_PI / 180;
        int start = L.point_x(0) - 1 - t.width / 2;
        if (angle == 90) start = L.point_x(0) - 1 - t.height / 2;
        if (angle == 60) start = L.point_x(0) - 1 - static_cast<int>(t.width * std::cos(a) + t.height * a / (M_PI / 2) / 2);
        EXPECT_GE(start, 1);
        EXPECT_GE(L.point_x(0), L.ylabel_wth + L.ytick_len);
    }
    // A short label needs no more than the y labels' room.
    const char* short_labels[3] = {"Jan", "Feb", "Mar"};
    o.xlabel_angle = 0;
    L = layout_graph(engineOptions(), 520, 340, Line, 3, short_labels, 1, data.data(), nullptr);
    EXPECT_EQ(L.point_x(0), L.ylabel_wth + L.ytick_len);
}

}  // namespace
}  // namespace plotwise::test
