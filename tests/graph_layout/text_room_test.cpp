// Every text whole and readable over one table of charts: every kind of chart from 160 x 120 to
// 2400 x 1600, titles of 0 to 200 characters (with line breaks), 1 to 50 series, pies of 1 to
// 100 slices, fonts of 8 to 36 points, negative values on horizontal bars. No text pixel lies
// in the picture's outermost rows or columns, texts of different kinds stay more than two
// pixels apart, and so do the y labels from one another. Built-in fonts (a font file that does
// not exist) unless a row asks for Liberation Sans.
#include <unistd.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "engine/pie/pie.h"
#include "graph_test_support.h"
#include "tests/support/text_kinds.h"

namespace plotwise::test {
namespace {

constexpr uint32_t kTitle = 0xC00000, kXTitle = 0x00A000, kYTitle = 0x0000C0, kYLabels = 0x008080;
constexpr uint32_t kXLabels = 0xFF8000, kLegend = 0x804000, kPieLabels = 0x0000C0;

const std::vector<TextKind> kGraphKinds{{"title", kTitle},       {"x title", kXTitle}, {"y title", kYTitle},
                                        {"y labels", kYLabels}, {"x labels", kXLabels}, {"legend", kLegend}};
// The pie's faces count as a kind: no text comes within 2 pixels of the pie.
constexpr uint32_t kPieFaces = 0x00A000;
const std::vector<TextKind> kPieKinds{{"title", kTitle}, {"labels", kPieLabels}, {"pie", kPieFaces}};

constexpr ChartType kPie = static_cast<ChartType>(-1);
constexpr const char* kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

struct Case {
    ChartType type;  // kPie: a flat pie
    short width, height;
    int title_chars;  // 0: no title
    int series;       // pies: slices
    double ptsize;    // titles; labels and names a quarter smaller
    bool horizontal = false;
    bool negative = false;  // every second value below 0
    bool sans = false;
    const char* breaks = "";  // put into the title after its first word
    double label_pt = 0;      // labels and names; 0: a quarter smaller than the titles
    int value_labels = 0;     // the least count of y labels to be drawn
    double angle = 0;         // of the x labels
    float unit = 0;           // what the values are multiplied by; 0: 1, 100 on the large pictures
    bool capitals = false;    // categories in capitals, with no descenders
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.type << " " << c.width << "x" << c.height << " title " << c.title_chars << " series " << c.series
        << " pt " << c.ptsize << (c.horizontal ? " horizontal" : "") << (c.sans ? " sans" : "");
}

const Case kCases[] = {
    {Bar, 320, 240, 0, 1, 10},
    {Bar, 320, 240, 0, 26, 10},
    {Line, 160, 120, 20, 3, 8},
    {Line, 160, 120, 20, 3, 8, false, false, true},
    {Line, 240, 160, 60, 3, 8},
    {Line, 480, 320, 200, 10, 12},
    {Area, 640, 480, 40, 50, 14},
    {Area, 640, 480, 40, 50, 14, false, false, true},
    {Bar3D, 640, 480, 30, 10, 14, false, false, true, "\r"},
    {ComboLineBar, 480, 320, 30, 2, 12, false, false, false, "\r\n"},
    {ComboLineBar3D, 480, 320, 30, 3, 12},
    {XyLine, 480, 320, 30, 3, 12, false, false, false, "\n"},
    {HighLowClose, 480, 320, 30, 1, 12},
    {Bar, 480, 320, 30, 3, 12, true, true},
    {Bar, 320, 240, 120, 1, 10, true, true},
    {Line, 2400, 1600, 200, 26, 24},
    {Line, 480, 320, 200, 26, 12, false, false, false, "\r"},
    {Bar, 480, 320, 120, 3, 12, true, true},
    {Bar, 2400, 1600, 20, 2, 36, false, false, true},
    {Bar, 600, 800, 20, 1, 12, true, true, true, "", 36},
    {Line, 1600, 1200, 40, 10, 24, false, false, true},
    {Bar, 1600, 1200, 40, 3, 36, true, true, true},
    {Area, 2400, 1600, 200, 50, 36, false, false, true},
    {Bar, 800, 600, 20, 2, 24, true, false, false, "", 36, 2},
    {Bar, 480, 320, 15, 2, 12, true, false, true, "", 12, 0, 90},
    {Bar, 800, 600, 15, 2, 36, true, false, true, "", 36, 2, 90},
    {Bar, 800, 480, 15, 1, 12, true, false, true, "", 36, 2, 90, 70},
    {Bar, 800, 600, 15, 2, 12, true, false, true, "", 36, 0, 0, 0, true},
    {Line, 480, 320, 15, 2, 12, false, false, true, "", 12, 0, 0, 0, true},
    {kPie, 160, 120, 60, 1, 8},
    {kPie, 480, 320, 30, 6, 12, false, false, false, "\r"},
    {kPie, 640, 480, 0, 100, 12},
    {kPie, 640, 480, 20, 100, 16, false, false, true},
    {kPie, 2400, 1600, 20, 100, 36, false, false, true},
    {kPie, 1600, 1200, 40, 50, 24, false, false, true},
};

const char* const kWords[] = {"Sales", "of", "the", "northern", "region,", "in", "thousands", "of", "euro"};

// A title of `chars` characters from blank-separated words, `breaks` after the first word.
std::string title_of(int chars, const char* breaks) {
    std::string t;
    for (size_t k = 0; static_cast<int>(t.size()) < chars; ++k) {
        t += t.empty() ? "" : k == 1 && breaks[0] ? breaks : " ";
        t += kWords[k % std::size(kWords)];
    }
    return t.substr(0, static_cast<size_t>(chars));
}

class TextRoom : public GraphTest, public ::testing::WithParamInterface<Case> {};

TEST_P(TextRoom, TextsWholeInsideAndApart) {
    const Case& c = GetParam();
    if (c.sans && ::access(kSans, R_OK) != 0) GTEST_SKIP() << "Liberation Sans is not installed";
    ChartOptions& o = engineOptions();
    const char* font = c.sans ? kSans : kNoFont;
    const std::string title = title_of(c.title_chars, c.breaks);
    std::vector<std::string> names;
    for (int s = 0; s < c.series; ++s) names.push_back((s % 3 == 2 ? "Series with a long name " : "S") + std::to_string(s + 1));
    std::vector<const char*> labels;
    for (const std::string& n : names) labels.push_back(n.c_str());

    Picture im;
    const std::vector<TextKind>* kinds = &kGraphKinds;
    if (c.type == kPie) {
        kinds = &kPieKinds;
        o.pie_title = title.c_str();
        o.pie_title_font = o.pie_label_font = o.pie_fallback_font = font;
        o.pie_title_ptsize = c.ptsize;
        o.pie_label_ptsize = c.ptsize * 0.75;
        o.pie_title_color = kTitle;
        o.pie_label_color = kPieLabels;
        o.pie_plot_color = kPieFaces;
        o.pie_label_dist = 8;
        std::vector<float> values;
        for (int s = 0; s < c.series; ++s) values.push_back(s == 0 ? 100.0f : 1.0f + s % 4);
        FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        draw_pie(engineOptions(), c.width, c.height, f, 1, c.series, labels.data(), values.data());
        std::fflush(f);
        std::vector<unsigned char> bytes(static_cast<size_t>(std::ftell(f)));
        std::rewind(f);
        ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
        im.reset(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), bytes.data()));
    } else {
        o.title = title.c_str();
        o.xtitle = "Month";
        o.ytitle = "Units";
        o.title_font = o.ytitle_font = o.xtitle_font = o.yaxis_font = o.xaxis_font = font;
        o.title_ptsize = o.xtitle_ptsize = o.ytitle_ptsize = c.ptsize;
        o.yaxis_ptsize = o.xaxis_ptsize = c.label_pt > 0 ? c.label_pt : c.ptsize * 0.75;
        o.horizontal = c.horizontal;
        o.xlabel_angle = c.angle;
        o.title_color = kTitle;
        o.xtitle_color = kXTitle;
        o.ytitle_color = kYTitle;
        o.ylabel_color = kYLabels;
        o.xlabel_color = kXLabels;
        o.plot_color = kLegend;
        o.line_color = 0x000000;
        o.grid_color = 0xC0C0C0;
        o.vol_color = 0x808080;
        o.ylabel2_color = 0x808080;
        const uint16_t half = static_cast<uint16_t>(c.width <= 320 ? 3 : c.width / 300 + 3);
        std::vector<LegendEntry> legend(static_cast<size_t>(c.series));
        for (int s = 0; s < c.series; ++s) {
            legend[s].point = 5;
            legend[s].value = static_cast<float>(2 * s);
            legend[s].width = half;
            legend[s].kind = LegendSquare;
            legend[s].color = 0xFF0000;
            std::snprintf(legend[s].name, sizeof legend[s].name, "%s", names[s].c_str());
        }
        o.legend_entries = legend.data();
        o.legend_count = c.series;
        const int rows = c.type == HighLowClose ? 3 : 1;
        std::vector<float> data, x;
        for (int s = 0; s < c.series * rows; ++s)
            for (int p = 0; p < 6; ++p) {
                // Four-digit labels on the large pictures.
                const float unit = c.unit > 0 ? c.unit : c.width >= 1600 ? 100 : 1;
                const float v = static_cast<float>(10 + (p * 7 + s * 3) % 23) * unit;
                data.push_back(c.negative && p % 2 ? -v : v);
                x.push_back(static_cast<float>(p * 2 + s % 2));
            }
        const std::vector<float> volume{100, 120, 90, 140, 110, 130};
        const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
        const char* const capitals[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN"};
        const Drawn d = draw(c.width, c.height, c.type, 6, c.capitals ? capitals : months, c.series, data.data(),
                             isXy(c.type) ? x.data() : volume.data());
        ASSERT_EQ(d.result, 0);
        im = d.decode();
    }
    ASSERT_NE(im, nullptr);
    if (c.title_chars > 0) {
        EXPECT_GT(pixels_of(im.get(), *kinds, 0), 0) << "no title drawn";
    }
    EXPECT_EQ(text_at_edge(im.get(), *kinds), "");
    EXPECT_EQ(texts_closer_than(im.get(), *kinds), "");
    if (c.type == kPie) return;
    // Y labels stack in rows, each more than 2 pixels from the next. On the turned picture they
    // stand side by side in columns, the blanks between characters joined: only counted there.
    constexpr int kYLabelKind = 3;
    const auto labels_apart = runs_of(im.get(), *kinds, kYLabelKind, c.horizontal, c.horizontal ? 8 : 1);
    for (size_t k = 1; k < labels_apart.size() && !c.horizontal; ++k)
        EXPECT_GT(labels_apart[k].first - labels_apart[k - 1].second, 2) << "y labels at " << labels_apart[k].first;
    EXPECT_GE(static_cast<int>(labels_apart.size()), c.value_labels);
}

INSTANTIATE_TEST_SUITE_P(Charts, TextRoom, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace plotwise::test
