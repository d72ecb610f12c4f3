// No text drawn over text: the chart title, the axis titles, the y, second-axis and x labels and
// the legend names, each in a colour of its own, stay more than two pixels apart on charts from
// 240 x 160 to 2000 x 1500, drawn at the point sizes that a picture of that width is given: with
// the built-in fonts, and for the charts whose FreeType texts are placed by their ink, with
// Liberation Sans (when it is installed).
#include <unistd.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "graph_test_support.h"
#include "tests/support/text_kinds.h"

namespace plotwise::test {
namespace {

constexpr uint32_t kTitle = 0xC00000, kXTitle = 0x00A000, kYTitle = 0x0000C0, kYTitle2 = 0xA000A0;
constexpr uint32_t kYLabels = 0x008080, kY2Labels = 0x808000, kXLabels = 0xFF8000, kLegend = 0x804000;

const std::vector<TextKind> kKinds{{"title", kTitle},          {"x title", kXTitle},   {"y title", kYTitle},
                                   {"second y title", kYTitle2}, {"y labels", kYLabels}, {"second-axis labels", kY2Labels},
                                   {"x labels", kXLabels},      {"legend", kLegend}};

struct Case {
    const char* name;
    ChartType type;
    short width, height;
    double title_pt, label_pt;  // the sizes a picture of this width is given
    int points;
    bool horizontal;
    bool sans = false;  // Liberation Sans instead of the built-in fonts
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name << " " << c.width << "x" << c.height << (c.sans ? " sans" : ""); }

constexpr const char* kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

// Titles 10 and labels 8 points up to 320 pixels wide, then growing with the width.
const Case kCases[] = {
    {"line", Line, 240, 160, 10, 8, 6, false},
    {"line", Line, 480, 320, 14, 11, 6, false},
    {"line", Line, 2000, 1500, 52, 39, 6, false},
    {"area", Area, 640, 480, 18, 14, 12, false},
    {"bars", Bar, 480, 320, 14, 11, 6, false},
    {"3D bars", Bar3D, 640, 480, 18, 14, 6, false},
    {"horizontal bars", Bar, 240, 160, 10, 8, 6, true},
    {"horizontal bars", Bar, 480, 320, 14, 11, 6, true},
    {"horizontal bars", Bar, 2000, 1500, 52, 39, 12, true},
    {"combo", ComboLineBar, 480, 320, 14, 11, 6, false},
    {"one point", Bar, 480, 320, 14, 11, 1, false},
    {"one point", Line, 300, 200, 10, 8, 1, false},
    {"line", Line, 480, 320, 18, 12, 6, false, true},
    {"horizontal bars", Bar, 480, 320, 18, 12, 6, true, true},
    {"horizontal bars", Bar, 240, 160, 10, 8, 6, true, true},
    {"horizontal bars", Bar, 2000, 1500, 52, 39, 12, true, true},
    {"one point", Bar, 480, 320, 18, 12, 1, false, true},
};

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

LegendEntry legend_name(const char* name, int point, int set, uint16_t half) {
    LegendEntry e{};
    e.point = static_cast<float>(point);
    e.value = static_cast<float>(2 * set);
    e.width = half;
    e.kind = 3;
    e.color = 0xFF0000;
    std::strncpy(e.name, name, sizeof e.name - 1);
    return e;
}

class Collisions : public GraphTest, public ::testing::WithParamInterface<Case> {};

TEST_P(Collisions, TextsStayApart) {
    const Case& c = GetParam();
    ChartOptions& o = engineOptions();
    if (c.sans) {
        if (::access(kSans, R_OK) != 0) GTEST_SKIP() << "Liberation Sans is not installed";
        o.title_font = o.ytitle_font = o.xtitle_font = o.yaxis_font = o.xaxis_font = kSans;
    }
    o.title = "Sales by quarter, in units";
    o.xtitle = "Category of goods";
    o.ytitle = "Units";
    o.ytitle2 = "Visits";
    o.title_ptsize = o.xtitle_ptsize = o.ytitle_ptsize = c.title_pt;
    o.yaxis_ptsize = o.xaxis_ptsize = c.label_pt;
    o.horizontal = c.horizontal;
    o.title_color = kTitle;
    o.xtitle_color = kXTitle;
    o.ytitle_color = kYTitle;
    o.ytitle2_color = kYTitle2;
    o.ylabel_color = kYLabels;
    o.ylabel2_color = kY2Labels;
    o.xlabel_color = kXLabels;
    o.plot_color = kLegend;  // legend names and the outlines of their squares
    o.line_color = 0x000000;
    o.vol_color = 0x808080;
    o.grid_color = 0xC0C0C0;
    const uint32_t sets[] = {0xFF0000, 0x0000FF};
    o.set_colors = sets;
    const uint16_t half = c.width <= 320 ? 3 : static_cast<uint16_t>(c.width / 300 + 3);
    const LegendEntry legend[] = {legend_name("North", c.points - 1, 0, half),
                                  legend_name("South", c.points - 1, 1, half)};
    o.legend_entries = legend;
    o.legend_count = 2;

    // Two sets from 0 up; a volume row for combos.
    std::vector<float> data, volume;
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < c.points; ++i) data.push_back(static_cast<float>(s == 0 ? i * 7 % 23 : 3 + i * 5 % 19));
    for (int i = 0; i < c.points; ++i) volume.push_back(static_cast<float>(100 + 10 * i));
    const Drawn d = draw(c.width, c.height, c.type, c.points, kMonths, 2, data.data(), volume.data());
    ASSERT_EQ(d.result, 0);
    Picture im = d.decode();
    ASSERT_NE(im, nullptr);
    for (size_t kind : {0, 4, 6, 7}) EXPECT_GT(pixels_of(im.get(), kKinds, kind), 0) << kKinds[kind].name;
    EXPECT_EQ(texts_closer_than(im.get(), kKinds), "");
    EXPECT_EQ(text_at_edge(im.get(), kKinds), "");
}

INSTANTIATE_TEST_SUITE_P(Charts, Collisions, ::testing::ValuesIn(kCases), [](const auto& info) {
    const Case& c = info.param;
    std::string name = std::string(c.name) + "_" + std::to_string(c.width) + "x" + std::to_string(c.height) +
                       (c.sans ? "_sans" : "");
    for (char& ch : name)
        if (ch == ' ') ch = '_';
    return name;
});

}  // namespace
}  // namespace plotwise::test
