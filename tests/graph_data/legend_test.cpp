// Legend squares with names, and point markers.
#include <cstring>
#include <limits>

#include "scene.h"

namespace plotwise::test {
namespace {

LegendEntry entry(float point, float value, uint16_t width, uint32_t color, uint32_t kind, const char* name = "") {
    LegendEntry e{};
    e.point = point;
    e.value = value;
    e.width = width;
    e.color = color;
    e.kind = kind;
    std::strncpy(e.name, name, sizeof e.name);
    return e;
}

int palette_index(const Scene& s, uint32_t rgb) {
    return gdImageColorExact(s.im, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Five points on a line chart with nothing drawn but the legend.
struct LegendScene : Scene {
    explicit LegendScene(ChartType type = Line) : Scene(type, {}) { num_points = 5; }
    void draw_entries(std::vector<LegendEntry> list) {
        entries = std::move(list);
        opt.legend_entries = entries.data();
        opt.legend_count = static_cast<int>(entries.size());
        draw();
    }
    std::vector<LegendEntry> entries;
};

constexpr uint32_t kGreen = 0x40C040, kPurple = 0x8040C0;

TEST(Legend, SquaresRightOfThePlotOneRowEach) {
    LegendScene s;
    s.draw_entries({entry(4, 0, 3, kGreen, 3, "Alpha"), entry(4, 2, 3, kPurple, 3, "Beta")});
    // cx = point_x(4) + 2 x 3 = 206; cy = PY(highest) + index x (12 + 4) = 50, 66.
    const int green = palette_index(s, kGreen), purple = palette_index(s, kPurple);
    ASSERT_GE(green, 0);
    ASSERT_GE(purple, 0);
    EXPECT_EQ(s.at(206, 50), green);
    EXPECT_EQ(s.at(205, 49), green);
    EXPECT_EQ(s.at(203, 50), s.plot);    // outline, 3 from the centre
    EXPECT_EQ(s.at(209, 53), s.plot);
    EXPECT_EQ(s.at(210, 50), s.background);
    EXPECT_EQ(s.at(206, 66), purple);
    EXPECT_EQ(s.at(206, 63), s.plot);
    // Names from cx + 2 x 3 + 2 = 214, top at cy - 12, in the plot colour.
    const int alpha = s.count(214, 38, 214 + 5 * 6, 50, s.plot);
    const int beta = s.count(214, 54, 214 + 4 * 6, 66, s.plot);
    EXPECT_GT(alpha, 10);
    EXPECT_GT(beta, 10);
    // Two outlines of 24 pixels each, and the names: nothing else in the plot colour.
    EXPECT_EQ(s.count_all(s.plot), 2 * 24 + alpha + beta);
}

TEST(Legend, SquaresMoveByDepthSecondAxisAndBarPosition) {
    LegendScene s(Bar3D);
    s.depth(10, 10);
    s.L.ylabel2_gap = 7;
    s.draw_entries({entry(4, 0, 3, kGreen, 3)});
    // The last bar sits at position point + 1 = 5; the column starts at the plot's right edge,
    // position 6: point_x(6) = 280, + 10 depth + 7 gap + 6 = 303.
    EXPECT_EQ(s.at(303, 50), palette_index(s, kGreen));
    EXPECT_EQ(s.at(300, 50), s.plot);
}

TEST(Legend, TurnedPictureHasARowAboveThePlot) {
    LegendScene s;
    s.opt.horizontal = 1;
    s.draw_entries({entry(4, 0, 3, kGreen, 3, "Alpha"), entry(4, 2, 3, kPurple, 3, "Beta")});
    // cx = point_x(1) + index x 16 = 80, 96; cy = PY(highest) - 0 - 6 = 44.
    EXPECT_EQ(s.at(80, 44), palette_index(s, kGreen));
    EXPECT_EQ(s.at(96, 44), palette_index(s, kPurple));
    EXPECT_EQ(s.at(77, 44), s.plot);
    // Names read upward from row 44 - 6 - 2 = 36, starting at column cx - 12.
    const int alpha = s.count(68, 36 - 5 * 6 + 1, 80, 36, s.plot);
    EXPECT_GT(alpha, 10);
    EXPECT_GT(s.count(84, 36 - 4 * 6 + 1, 96, 36, s.plot), 10);
    EXPECT_EQ(s.count(0, 37, 399, 40, s.plot), 0);
}

TEST(Legend, EntriesOutsideThePointsAreSkipped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    LegendScene s;
    s.draw_entries({entry(5, 0, 3, kGreen, 3), entry(-1, 10, 50, kGreen, 0), entry(nan, 10, 50, kGreen, 1),
                    entry(2, 10, 50, kGreen, 7)});
    EXPECT_EQ(palette_index(s, kGreen), -1);
    EXPECT_EQ(s.count_all(s.plot), 0);
}

TEST(Legend, TrianglesPointDownAndUp) {
    LegendScene s;
    // Half size trunc((point_x(2) - point_x(1)) x 50 / 100 / 2) = 10, anchored at (120, 150).
    s.draw_entries({entry(2, 10, 50, kGreen, 0), entry(2, 5, 50, kPurple, 1)});
    const int green = palette_index(s, kGreen), purple = palette_index(s, kPurple);
    EXPECT_EQ(s.at(120, 150), green);   // apex at the anchor
    EXPECT_EQ(s.at(120, 145), green);
    EXPECT_EQ(s.at(111, 141), green);
    EXPECT_EQ(s.at(120, 151), s.background);
    EXPECT_EQ(s.at(120, 139), s.background);
    // Up: apex at (120, 200), base at row 210.
    EXPECT_EQ(s.at(120, 205), purple);
    EXPECT_EQ(s.at(129, 209), purple);
    EXPECT_EQ(s.at(120, 199), s.background);
}

TEST(Legend, MarkersAtTheEndsKeepTheirInnerHalf) {
    LegendScene s;
    s.draw_entries({entry(0, 10, 50, kGreen, 0), entry(4, 10, 50, kPurple, 1)});
    const int green = palette_index(s, kGreen), purple = palette_index(s, kPurple);
    EXPECT_EQ(s.at(45, 142), green);    // right half at point_x(0) = 40
    EXPECT_EQ(s.at(35, 142), s.background);
    EXPECT_EQ(s.at(40, 145), green);
    EXPECT_EQ(s.at(195, 158), purple);  // left half at point_x(4) = 200
    EXPECT_EQ(s.at(205, 158), s.background);
}

TEST(Legend, BarChartsKeepWholeMarkers) {
    LegendScene s(Bar);
    s.draw_entries({entry(0, 10, 50, kGreen, 0)});
    // Point 0 of a bar chart sits at position 1: point_x = 80.
    EXPECT_EQ(s.at(75, 142), palette_index(s, kGreen));
    EXPECT_EQ(s.at(85, 142), palette_index(s, kGreen));
}

TEST(Legend, CircleIsFilledAndTheSpareColourIsGone) {
    LegendScene s;
    s.draw_entries({entry(2, 10, 50, kGreen, 2)});
    const int green = palette_index(s, kGreen);
    // Circle of diameter 20 around (120, 150).
    EXPECT_EQ(s.at(120, 150), green);
    EXPECT_EQ(s.at(129, 150), green);
    EXPECT_EQ(s.at(120, 142), green);
    EXPECT_EQ(s.at(126, 156), green);
    EXPECT_EQ(s.at(132, 150), s.background);
    EXPECT_EQ(s.at(120, 162), s.background);
    EXPECT_EQ(s.at(129, 159), s.background);
    const int area = s.count_all(green);
    EXPECT_GT(area, 280);   // about pi x 10 x 10
    EXPECT_LT(area, 380);
    // The spare entry was given back, and no pixel keeps it.
    EXPECT_EQ(gdImageColorExact(s.im, 0x12, 0x34, 0x54), -1);
    for (int y = 0; y < gdImageSY(s.im); ++y)
        for (int x = 0; x < gdImageSX(s.im); ++x) ASSERT_FALSE(s.im->open[s.at(x, y)]) << x << "," << y;
}

TEST(Legend, CircleFillIsNotStoppedByItsOwnColour) {
    // A line of the marker's colour crosses the circle: the whole disc is still filled.
    Scene s(Line, {{10, 10, 10, 10, 10}});
    const LegendEntry e = entry(2, 10, 50, kRowColors[0], 2);
    s.opt.legend_entries = &e;
    s.opt.legend_count = 1;
    s.draw();
    for (int dy = -8; dy <= 8; dy += 2)
        for (int dx = -4; dx <= 4; dx += 2) EXPECT_EQ(s.at(120 + dx, 150 + dy), s.front(0)) << dx << "," << dy;
}

TEST(Legend, CircleAtTheFirstPointIsAHalfDisc) {
    LegendScene s;
    s.draw_entries({entry(0, 10, 50, kGreen, 2)});
    const int green = palette_index(s, kGreen);
    EXPECT_EQ(s.at(45, 150), green);
    EXPECT_EQ(s.at(40, 145), green);
    EXPECT_EQ(s.at(35, 150), s.background);
    EXPECT_EQ(s.at(38, 145), s.background);
}

TEST(Legend, CircleThatSpareColourCannotServe) {
    // A picture that already uses the spare colour, and one whose palette is full.
    {
        LegendScene s;
        const int spare = gdImageColorAllocate(s.im, 0x12, 0x34, 0x54);
        gdImageLine(s.im, 0, 150, 399, 150, spare);
        s.draw_entries({entry(2, 10, 50, kGreen, 2)});
        EXPECT_EQ(s.at(120, 156), palette_index(s, kGreen));
        EXPECT_EQ(s.at(120, 144), palette_index(s, kGreen));
        EXPECT_EQ(s.at(300, 150), spare);   // the picture's own use is untouched
        EXPECT_FALSE(s.im->open[spare]);
    }
    {
        LegendScene s;
        while (gdImageColorsTotal(s.im) < gdMaxColors)
            gdImageColorAllocate(s.im, gdImageColorsTotal(s.im), 7, 200);
        s.draw_entries({entry(2, 10, 50, kGreen, 2)});
        const int used = s.at(120, 150);
        EXPECT_NE(used, s.background);
        EXPECT_EQ(s.at(125, 150), used);
        EXPECT_EQ(s.at(132, 150), s.background);
        EXPECT_EQ(gdImageColorsTotal(s.im), gdMaxColors);
    }
}

TEST(Legend, SmallOrClippedCirclesStayInTheirPlace) {
    const struct {
        uint16_t width;
        float value;
        int max_pixels;
    } cases[] = {{0, 10, 1}, {3, 10, 5}, {5, 10, 30}, {10, 10, 100}, {50, 24.5f, 400}, {50, 26, 400}, {50, 30, 0},
                 {100, -100, 0}};
    for (const auto& c : cases) {
        LegendScene s;
        s.draw_entries({entry(2, c.value, c.width, kGreen, 2)});
        const int green = palette_index(s, kGreen);
        EXPECT_LE(s.count_all(green), c.max_pixels) << c.width << " " << c.value;
        EXPECT_EQ(s.count(0, 0, 90, 299, green), 0) << c.width << " " << c.value;
        EXPECT_EQ(gdImageColorExact(s.im, 0x12, 0x34, 0x54), -1);
    }
}

}  // namespace
}  // namespace plotwise::test
