// Pie labels and percent texts stay apart and inside the picture: neighbouring small slices,
// 3D pies at small heights, pictures from 240 x 160 to 2000 x 1500. The boxes the layout
// reports are checked against the pixels drawn, then against each other and the picture's edges.
// Where texts do not fit, those of the smallest slices are left out.
#include <algorithm>
#include <string>
#include <vector>

#include "pie_test_support.h"
#include "tests/support/text_kinds.h"

namespace plotwise::testing {
namespace {

constexpr uint32_t kTitle = 0xC00000, kLabel = 0x0000C0;

struct Case {
    const char* name;
    int pie_type;  // 0 3D, 1 flat
    short width, height;
    int small_slices;  // slices of 1 after one of 60
    int percent_type;
    unsigned depth;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name << " " << c.width << "x" << c.height; }

const Case kCases[] = {
    {"flat many small", 1, 480, 320, 14, 0, 10},
    {"flat percent below", 1, 480, 320, 10, 2, 10},
    {"flat percent right", 1, 240, 160, 6, 3, 10},
    {"3D low", 0, 300, 160, 4, 0, 25},
    {"3D smallest", 0, 240, 160, 6, 1, 25},
    {"flat large", 1, 2000, 1500, 40, 2, 10},
};

class PieLabels : public PieFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(PieLabels, StayApartAndInside) {
    const Case& c = GetParam();
    ChartOptions& o = chartOptions();
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
    std::vector<const char*> labels;
    for (const std::string& n : names) labels.push_back(n.c_str());
    const int count = static_cast<int>(values.size());

    const PieLayout layout = layout_pie(c.width, c.height, c.pie_type, count, labels.data(), values.data());
    ASSERT_GT(layout.r, 0);
    // Where a half of the pie has no room for all its texts, those of its smallest slices are
    // left out; the large slices keep theirs.
    auto has_box = [&](int slice) {
        return std::any_of(layout.texts.begin(), layout.texts.end(), [&](const auto& b) { return b.slice == slice; });
    };
    EXPECT_TRUE(has_box(0));
    EXPECT_TRUE(has_box(count - 1));
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
    }
    // Any two boxes: at least 3 blank pixels between them across or down (the boxes include
    // their edges: 3 blank rows put the top of one 4 below the bottom of the other).
    for (size_t i = 0; i < layout.texts.size(); ++i)
        for (size_t j = i + 1; j < layout.texts.size(); ++j) {
            const auto &a = layout.texts[i], &b = layout.texts[j];
            const int apart = std::max({b.left - a.right, a.left - b.right, b.top - a.bottom, a.top - b.bottom});
            EXPECT_GE(apart - 1, 3) << "slices " << a.slice << " and " << b.slice;
        }
    const std::vector<test::TextKind> kinds{{"title", kTitle}, {"labels", kLabel}};
    EXPECT_EQ(test::texts_closer_than(im.get(), kinds), "");
    EXPECT_EQ(test::text_at_edge(im.get(), kinds), "");
}

// Percent texts of slices without a label do not narrow the pie: those at the sides of a pie
// as wide as the picture are moved in from either edge.
TEST_F(PieFixture, PercentTextsAtTheEdgesAreMovedInside) {
    const float values[] = {1, 1};
    const char* const labels[] = {nullptr, nullptr};
    chartOptions().pie_percent_format = "%.1f%%";
    for (const int percent_type : {1, 2, 3}) {
        chartOptions().pie_percent_type = percent_type;
        const PieLayout layout = layout_pie(240, 400, 1, 2, labels, values);
        ASSERT_EQ(layout.texts.size(), 2u) << percent_type;
        for (const auto& b : layout.texts) {
            EXPECT_GE(b.left, 0) << percent_type << " slice " << b.slice;
            EXPECT_LT(b.right, 240) << percent_type << " slice " << b.slice;
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
