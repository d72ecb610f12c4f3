// Pie labels and percent texts stay apart and inside the picture: neighbouring small slices,
// 3D pies at small heights, pictures from 240 x 160 to 2000 x 1500. The boxes the layout
// reports are checked against the pixels drawn, then against each other and the picture's edges.
// Where texts do not fit, those of the smallest slices are left out.
#include <unistd.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/text/text_color.h"
#include "pie_test_support.h"
#include "tests/support/text_kinds.h"

namespace plotwise::testing {
namespace {

constexpr uint32_t kTitle = 0xC00000, kLabel = 0x0000C0, kFace = 0x00A000;
constexpr const char* kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

struct Case {
    const char* name;
    int pie_type;  // 0 3D, 1 flat
    short width, height;
    int small_slices;  // slices of 1 after one of 60
    int percent_type;
    unsigned depth;
    bool hundred = false;  // four slices of 400, then 96 of 1 to 50 in a mixed order
    double ptsize = 0;     // of the labels in Liberation Sans; 0: built-in fonts
    const char* values = nullptr;  // the slices' values instead; every slice keeps its texts
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name << " " << c.width << "x" << c.height; }

const Case kCases[] = {
    {"flat many small", 1, 480, 320, 14, 0, 10},
    {"flat percent below", 1, 480, 320, 10, 2, 10},
    {"flat percent right", 1, 240, 160, 6, 3, 10},
    {"3D low", 0, 300, 160, 4, 0, 25},
    {"3D smallest", 0, 240, 160, 6, 1, 25},
    {"flat large", 1, 2000, 1500, 40, 2, 10},
    {"flat hundred", 1, 640, 480, 0, 0, 10, true},
    {"flat hundred sans", 1, 640, 480, 0, 1, 10, true, 9},
    {"3D hundred sans", 0, 640, 480, 0, 2, 25, true, 12},
    {"flat tiny beside big sans", 1, 320, 240, 30, 3, 10, false, 8},
    {"flat hundred large sans", 1, 2400, 1600, 0, 0, 10, true, 27},
    {"3D hundred small", 0, 240, 160, 0, 0, 10, true},
    // Small slices at the top, right under the title: their texts move down, none is left out.
    {"flat top under the title sans", 1, 480, 360, 0, 2, 10, false, 12, "950;420;180;60;140"},
    {"3D top under the title sans", 0, 480, 360, 0, 2, 10, false, 14, "40;30;20;10"},
};

class PieLabels : public PieFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(PieLabels, StayApartAndInside) {
    const Case& c = GetParam();
    if (c.ptsize > 0 && ::access(kSans, R_OK) != 0) GTEST_SKIP() << "Liberation Sans is not installed";
    ChartOptions& o = engineOptions();
    if (c.ptsize > 0) o.pie_title_font = o.pie_label_font = o.pie_fallback_font = kSans;
    o.pie_title_ptsize = o.pie_label_ptsize = c.ptsize;
    o.pie_plot_color = kFace;
    o.pie_title = "Share of sales";
    o.pie_title_color = kTitle;
    o.pie_label_color = kLabel;
    o.pie_percent_type = c.percent_type;
    o.pie_3d_angle = 180;
    o.pie_3d_depth = c.depth;
    o.pie_label_dist = 8;
    std::vector<float> values{60};
    std::vector<std::string> names{"Rent"};
    for (int i = 1; i <= c.small_slices; ++i) values.push_back(1), names.push_back("Item " + std::to_string(i));
    values.push_back(20), names.push_back("Food");  // a slice reaching down to the bottom
    if (c.hundred) {
        values.clear(), names.clear();
        for (int i = 0; i < 100; ++i) {
            values.push_back(i < 4 ? 400.0f : static_cast<float>(50 - (i - 4) * 13 % 50));
            names.push_back("S" + std::to_string(i + 1));
        }
    }
    if (c.values != nullptr) {
        values.clear(), names.clear();
        std::istringstream list(c.values);
        for (std::string v; std::getline(list, v, ';');)
            values.push_back(std::stof(v)), names.push_back("Item " + std::to_string(names.size() + 1));
    }
    std::vector<const char*> labels;
    for (const std::string& n : names) labels.push_back(n.c_str());
    const int count = static_cast<int>(values.size());

    const PieLayout layout = layout_pie(engineOptions(), c.width, c.height, c.pie_type, count, labels.data(), values.data());
    ASSERT_GT(layout.r, 0);
    // Where a half of the pie has no room for all its texts, those of its smallest slices are
    // left out; the large slices keep theirs.
    auto has_box = [&](int slice) {
        return std::any_of(layout.texts.begin(), layout.texts.end(), [&](const auto& b) { return b.slice == slice; });
    };
    EXPECT_TRUE(has_box(0));
    EXPECT_TRUE(has_box(c.hundred ? 3 : count - 1));
    for (int slice = 0; c.values != nullptr && slice < count; ++slice) EXPECT_TRUE(has_box(slice)) << "slice " << slice;
    Image im = drawPie(c.width, c.height, c.pie_type, count, labels.data(), values.data());
    ASSERT_NE(im, nullptr);

    // The boxes hold every label pixel drawn, and each box some of them.
    const PixelSet ink = pixelsOf(im.get(), kLabel);
    auto inside = [](const PieLayout::TextBox& b, int x, int y) {
        return x >= b.left && x <= b.right && y >= b.top && y <= b.bottom;
    };
    for (const auto& pixel : ink)
        EXPECT_TRUE(std::any_of(layout.texts.begin(), layout.texts.end(),
                                [&](const auto& b) { return inside(b, pixel.first, pixel.second); }))
            << "label pixel outside every box at " << pixel.first << ", " << pixel.second;
    for (const auto& b : layout.texts) {
        EXPECT_TRUE(std::any_of(ink.begin(), ink.end(), [&](const auto& p) { return inside(b, p.first, p.second); }))
            << "slice " << b.slice;
        EXPECT_TRUE(test::box_inside(b.left, b.top, b.right, b.bottom, c.width, c.height)) << "slice " << b.slice;
        EXPECT_GE(b.top, layout.title_h) << "slice " << b.slice;
        // A percent text above or below its label: two blank rows at least between their inks.
        if (c.percent_type != 1 && c.percent_type != 2) continue;
        std::set<int> rows;
        for (const auto& pixel : ink)
            if (inside(b, pixel.first, pixel.second)) rows.insert(pixel.second);
        int widest = 0;
        for (auto r = rows.begin(); r != rows.end() && std::next(r) != rows.end(); ++r)
            widest = std::max(widest, *std::next(r) - *r - 1);
        EXPECT_GE(widest, 2) << "label and percent text of slice " << b.slice;
    }
    // Any two boxes: at least 3 blank pixels between them across or down (the boxes include
    // their edges: 3 blank rows put the top of one 4 below the bottom of the other).
    for (size_t i = 0; i < layout.texts.size(); ++i)
        for (size_t j = i + 1; j < layout.texts.size(); ++j) {
            const auto &a = layout.texts[i], &b = layout.texts[j];
            const int apart = std::max({b.left - a.right, a.left - b.right, b.top - a.bottom, a.top - b.bottom});
            EXPECT_GE(apart - 1, 3) << "slices " << a.slice << " and " << b.slice;
        }
    // The faces count as a kind of their own: no text comes within 2 pixels of the pie.
    const std::vector<test::TextKind> kinds{{"title", kTitle}, {"labels", kLabel}, {"pie", kFace}};
    EXPECT_EQ(test::texts_closer_than(im.get(), kinds), "");
    EXPECT_EQ(test::text_at_edge(im.get(), {kinds[0], kinds[1]}), "");
}

// Percent texts of slices without a label do not narrow the pie: those at the sides of a pie
// as wide as the picture are moved in from either edge.
TEST_F(PieFixture, PercentTextsAtTheEdgesAreMovedInside) {
    const float values[] = {1, 1};
    const char* const labels[] = {nullptr, nullptr};
    engineOptions().pie_percent_format = "%.1f%%";
    for (const int percent_type : {1, 2, 3}) {
        engineOptions().pie_percent_type = percent_type;
        const PieLayout layout = layout_pie(engineOptions(), 240, 400, 1, 2, labels, values);
        ASSERT_EQ(layout.texts.size(), 2u) << percent_type;
        for (const auto& b : layout.texts) {
            EXPECT_GE(b.left, 0) << percent_type << " slice " << b.slice;
            EXPECT_LT(b.right, 240) << percent_type << " slice " << b.slice;
        }
    }
}

// The limits a label box is moved to, each met exactly by a box that had to move: one blank
// column at the picture's left and right edges (percent texts without labels, which do not
// narrow the pie; at every label distance up to 160 beside a pie narrower than the picture, so
// that some box starts right at an edge),
// one blank row at its bottom, and three blank rows under the title's last line.
TEST_F(PieFixture, LabelBoxesMoveExactlyToTheirLimits) {
    if (::access(kSans, R_OK) != 0) GTEST_SKIP() << "Liberation Sans is not installed";
    enum Limit { Sides, Bottom, BelowTitle };
    struct Row {
        const char* name;
        short width, height;
        std::vector<float> values;
        std::vector<const char*> labels;  // none: percent texts only
        double ptsize;                    // of title and labels in Liberation Sans; 0: built-in fonts
        Limit limit;
    };
    const Row rows[] = {
        {"percent texts at the sides", 240, 400, {1, 1}, {}, 0, Sides},
        {"small slices at the bottom", 240, 120, {48, 1, 1, 1, 1, 1, 1, 46}, {"A", "B", "C", "D", "E", "F", "G", "H"}, 0, Bottom},
        {"small slices at the top", 480, 360, {60, 140, 950, 420, 180}, {"A", "B", "C", "D", "E"}, 12, BelowTitle},
    };
    ChartOptions& o = engineOptions();
    o.pie_title = "Share of sales";
    o.pie_title_color = kTitle;
    o.pie_label_dist = 8;
    o.pie_percent_format = "%.1f%%";
    for (const Row& row : rows) {
        builtinFonts();
        if (row.ptsize > 0) o.pie_title_font = o.pie_label_font = o.pie_fallback_font = kSans;
        o.pie_title_ptsize = o.pie_label_ptsize = row.ptsize;
        o.pie_percent_type = row.labels.empty() ? 3 : 0;
        const int count = static_cast<int>(row.values.size());
        const std::vector<const char*> none(row.values.size(), nullptr);
        const char* const* labels = row.labels.empty() ? none.data() : row.labels.data();
        auto extent = [&](short width, short height) {
            const PieLayout layout = layout_pie(o, width, height, 1, count, labels, row.values.data());
            PieLayout::TextBox all{-1, width, height, -1, -1};
            for (const auto& b : layout.texts)
                all = {-1, std::min(all.left, b.left), std::min(all.top, b.top), std::max(all.right, b.right), std::max(all.bottom, b.bottom)};
            return all;
        };
        const PieLayout::TextBox all = extent(row.width, row.height);
        ASSERT_LE(all.left, all.right) << row.name << ": no texts";
        switch (row.limit) {
            case Sides:
                EXPECT_EQ(all.left, 1) << row.name;
                EXPECT_EQ(all.right, row.width - 2) << row.name;
                // A pie narrower than the picture: further out, the texts reach the edges.
                for (int distance = 0; distance <= 160; ++distance) {
                    o.pie_label_dist = distance;
                    const PieLayout::TextBox at = extent(480, 240);
                    EXPECT_GE(at.left, 1) << row.name << ", label distance " << distance;
                    EXPECT_LE(at.right, 480 - 2) << row.name << ", label distance " << distance;
                }
                o.pie_label_dist = 8;
                break;
            case Bottom:
                EXPECT_EQ(all.bottom, row.height - 2) << row.name;
                break;
            case BelowTitle: {
                // FreeType's box of the title ends a row below its last ink row; three blank
                // rows follow.
                Image im = drawPie(row.width, row.height, 1, count, labels, row.values.data());
                ASSERT_NE(im, nullptr);
                int title_ink_bottom = -1;
                for (const auto& pixel : pixelsOf(im.get(), kTitle)) title_ink_bottom = std::max(title_ink_bottom, pixel.second);
                EXPECT_EQ(all.top, title_ink_bottom + 1 + 3 + 1) << row.name;
                break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pies, PieLabels, ::testing::ValuesIn(kCases), [](const auto& info) {
    std::string name = std::string(info.param.name) + "_" + std::to_string(info.param.width);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

}  // namespace
}  // namespace plotwise::testing
