// Pie pictures: pixels at places computed from the geometry, labels and percent texts at
// their table positions, output formats and sizes at the limits.
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include <gdfontmb.h>
#include <gdfonts.h>

#include "pie_test_support.h"

namespace plotwise {
namespace {

using testing::decodeGif;
using testing::drawPie;
using testing::drawPieBytes;
using testing::ExpectedText;
using testing::hasColor;
using testing::PieFixture;
using testing::pixelsOf;
using testing::rgbAt;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00C000, kYellow = 0xFFFF00;
constexpr uint32_t kWhite = 0xFFFFFF;

class PieDraw : public PieFixture {
protected:
    void SetUp() override {
        PieFixture::SetUp();
        engineOptions().pie_bg_color = kWhite;
        engineOptions().pie_colors = colors_;
    }
    const uint32_t colors_[4] = {kRed, kBlue, kGreen, kYellow};
};

TEST_F(PieDraw, FlatPieOfTwoHalves) {
    const float values[] = {1, 1};
    auto im = drawPie(200, 100, 1, 2, nullptr, values);
    ASSERT_TRUE(im);
    // r = min(100 - 1, 50 - 1) = 49 around (100, 50); slice 0 is the right half.
    EXPECT_EQ(rgbAt(im.get(), 0, 0), kWhite);           // the background is palette entry 0
    EXPECT_EQ(gdImageGetPixel(im.get(), 0, 0), 0);
    EXPECT_EQ(rgbAt(im.get(), 120, 50), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100 + 47, 50), kRed);
    EXPECT_EQ(rgbAt(im.get(), 80, 50), kBlue);
    EXPECT_EQ(rgbAt(im.get(), 100 - 47, 60), kBlue);
    EXPECT_EQ(rgbAt(im.get(), 100 + 52, 50), kWhite);  // beyond the rim
    EXPECT_EQ(rgbAt(im.get(), 100 - 52, 50), kWhite);
    // No walls: neither shade was allocated.
    EXPECT_FALSE(hasColor(im.get(), 0x7F0000));
    EXPECT_FALSE(hasColor(im.get(), 0x00007F));
}

struct BackFaceCase {
    unsigned angle;
    int inside_x, inside_y;  // beyond the front face, inside the back face
};

TEST_F(PieDraw, TheBackFaceLiesAtTheDepthOffset) {
    const float one[] = {1};
    engineOptions().pie_3d_depth = 10;
    // 240 x 240, one slice: r = 120 - (9 or 7) - 1 around (120, 120). The back face is offset
    // by (7, -7) rows up-right at 45 degrees, (0, -9) down at 180, (-9, 0) left at 270.
    for (const BackFaceCase& c : {BackFaceCase{45, 120 + 112 + 3, 120 - 7}, BackFaceCase{180, 120, 120 + 110 + 4},
                                  BackFaceCase{270, 120 - 110 - 4, 120}}) {
        engineOptions().pie_3d_angle = static_cast<uint16_t>(c.angle);
        const PieLayout l = layout_pie(engineOptions(), 240, 240, 0, 1, nullptr, one);
        EXPECT_EQ(l.r, c.angle == 45 ? 112.0f : 110.0f) << c.angle;
        auto im = drawPie(240, 240, 0, 1, nullptr, one);
        ASSERT_TRUE(im);
        EXPECT_EQ(rgbAt(im.get(), c.inside_x, c.inside_y), 0x7F0000u) << c.angle;  // the red slice's shade
        EXPECT_EQ(rgbAt(im.get(), 120, 120), kRed) << c.angle;
        // The opposite side has no wall.
        EXPECT_EQ(rgbAt(im.get(), 240 - c.inside_x, 240 - c.inside_y), kWhite) << c.angle;
        // The same pie drawn flat has no shade at all.
        auto flat = drawPie(240, 240, 1, 1, nullptr, one);
        ASSERT_TRUE(flat);
        EXPECT_TRUE(pixelsOf(flat.get(), 0x7F0000).empty()) << c.angle;
    }
}

TEST_F(PieDraw, ASingleSliceIsAFilledDisc) {
    const float one[] = {3};
    auto im = drawPie(200, 200, 1, 1, nullptr, one);
    ASSERT_TRUE(im);
    // r = 99 around (100, 100): every quadrant is filled.
    for (int dx : {-60, 60})
        for (int dy : {-60, 60}) EXPECT_EQ(rgbAt(im.get(), 100 + dx, 100 + dy), kRed) << dx << "," << dy;
    EXPECT_EQ(rgbAt(im.get(), 100, 100 - 97), kRed);
    EXPECT_EQ(rgbAt(im.get(), 2, 2), kWhite);
}

TEST_F(PieDraw, AZeroSliceShowsItsColourAlongItsAngle) {
    // The zero slice comes last, at the top (angle 2π), over the full red disc.
    const float values[] = {5, 0};
    auto im = drawPie(200, 200, 1, 2, nullptr, values);
    ASSERT_TRUE(im);
    const float r34 = 99.0f * 3 / 4;
    const int tip = 100 - static_cast<int>(r34 * std::cos(static_cast<double>(static_cast<float>(2 * M_PI))));
    EXPECT_EQ(rgbAt(im.get(), 100, tip + 1), kBlue);
    EXPECT_EQ(rgbAt(im.get(), 100, 100 - 30), kBlue);
    EXPECT_EQ(rgbAt(im.get(), 101, 100 - 30), kRed);  // one pixel wide: no fill
    // An empty slice on a whole degree has no arc (gd would draw a whole circle).
    EXPECT_EQ(rgbAt(im.get(), 100 + 99, 100), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100, 100 + 99), kRed);
}

TEST_F(PieDraw, ASliceIsFilledFromAChordOfThreePixels) {
    // 200 x 200: r = 99 around (100, 100), r34 = 74.25. Slice 0 runs clockwise from twelve
    // o'clock through 2π a / (a + b). Its ends at r34 lie in one row (74.25 cos θ >= 74 for these
    // angles) and trunc(74.25 sin θ) apart:
    //   a = 3, b = 398: θ = 0.04701, 74.25 sin θ = 3.49 -> 3 pixels: filled;
    //   a = 2, b = 399: θ = 0.03134, 74.25 sin θ = 2.33 -> 2 pixels: only its lines.
    // (101, 10) lies inside both wedges, off their lines: the edge at θ reaches x = 100 + 90 tan θ
    // (104 or 103) in row 10, and the middle line ends in row 26.
    const struct {
        float a, b;
        uint32_t inside;
    } cases[] = {{3, 398, kRed}, {2, 399, kWhite}};
    for (const auto& c : cases) {
        const float values[] = {c.a, c.b};
        auto im = drawPie(200, 200, 1, 2, nullptr, values);
        ASSERT_TRUE(im);
        EXPECT_EQ(rgbAt(im.get(), 101, 10), c.inside) << c.a;
        EXPECT_EQ(rgbAt(im.get(), 60, 100), kBlue) << c.a;
    }
}

TEST_F(PieDraw, AMissingSliceLeavesItsWedgeEmpty) {
    const float values[] = {1, 1, 1, 1};
    const unsigned char missing[] = {0, 1, 0, 0};
    engineOptions().pie_missing = missing;
    auto im = drawPie(200, 200, 1, 4, nullptr, values);
    ASSERT_TRUE(im);
    // Quarters clockwise from twelve o'clock; the second (lower right) is missing.
    EXPECT_EQ(rgbAt(im.get(), 100 + 40, 100 - 40), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100 + 40, 100 + 40), kWhite);
    EXPECT_EQ(rgbAt(im.get(), 100 - 40, 100 + 40), kGreen);
    EXPECT_EQ(rgbAt(im.get(), 100 - 40, 100 - 40), kYellow);
    EXPECT_TRUE(pixelsOf(im.get(), kBlue).empty());
}

TEST_F(PieDraw, AnExplodedSliceMovesAlongItsMiddle) {
    const float values[] = {1, 1};
    const int explode[] = {20, 0};
    engineOptions().pie_explode = explode;
    auto im = drawPie(200, 100, 1, 2, nullptr, values);
    ASSERT_TRUE(im);
    // Slice 0 points right: its centre moves by trunc(20 sin m) = 19 (m is π/2 in floats).
    const float m = static_cast<float>(M_PI / 2);
    const int shift = static_cast<int>(20 * std::sin(static_cast<double>(m)));
    ASSERT_EQ(shift, 19);
    EXPECT_EQ(rgbAt(im.get(), 100 + 10, 40), kWhite);  // the gap it left
    EXPECT_EQ(rgbAt(im.get(), 100 + shift + 2, 40), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100 + shift + 47, 50), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100 + 47, 50), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100 - 10, 40), kBlue);
}

TEST_F(PieDraw, EdgeColourOutlinesEverySlice) {
    const float values[] = {1, 1};
    engineOptions().pie_edge_color = 0x000000;
    auto im = drawPie(200, 200, 1, 2, nullptr, values);
    ASSERT_TRUE(im);
    EXPECT_EQ(rgbAt(im.get(), 100, 40), 0x000000u);        // the radial edge at twelve o'clock
    EXPECT_EQ(rgbAt(im.get(), 100 + 99, 100), 0x000000u);  // the rim
    EXPECT_EQ(rgbAt(im.get(), 140, 100), kRed);
}

TEST_F(PieDraw, SquashedPie) {
    const float one[] = {1};
    engineOptions().pie_perspective = 50;
    auto im = drawPie(200, 200, 1, 1, nullptr, one);
    ASSERT_TRUE(im);
    // ey = 0.5: r = min(99, 100/0.5 - 1) = 99; the disc is 49 rows high above and below.
    EXPECT_EQ(rgbAt(im.get(), 100, 100 - 45), kRed);
    EXPECT_EQ(rgbAt(im.get(), 100, 100 - 53), kWhite);
    EXPECT_EQ(rgbAt(im.get(), 100 + 95, 100), kRed);
}

// ---- Labels and percent texts -----------------------------------------------------------------

// Draws two halves labelled "ab\ncde" (18 x 24 in the small font) with percent "50%" (18 x 12)
// and compares every pixel of the label colour with the texts drawn at the table's places.
class PieLabels : public PieDraw {
protected:
    static constexpr uint32_t kInk = 0x008000;

    void SetUp() override {
        PieDraw::SetUp();
        ChartOptions& o = engineOptions();
        o.pie_label_color = kInk;
        o.pie_label_dist = 7;
        o.pie_label_line = 0;
    }

    // Where the texts of a slice go, relative to its anchor: the top-left corners of the label
    // block and of the percent text.
    struct Place {
        int lx, ly;  // the label block "ab\ncde": 18 x 24
        int px, py;  // the percent text "50%": 18 x 12
    };

    // The texts of one slice at `place` around its anchor: the label's lines 11 rows apart,
    // left-aligned on the right half and right-aligned on the left half ("ab" is 6 narrower).
    static void expectSlice(ExpectedText& e, bool right, int ax, int ay, const Place& place, const char* pct = "50%") {
        e.line(gdFontGetSmall(), ax + place.lx + (right ? 0 : 6), ay + place.ly, "ab");
        e.line(gdFontGetSmall(), ax + place.lx, ay + place.ly + 11, "cde");
        if (pct != nullptr) e.line(gdFontGetSmall(), ax + place.px, ay + place.py, pct);
    }

    // No text pixel on the flat pie's disc or within 2 pixels of it.
    static void expectClearOfPie(const PieLayout& l, gdImagePtr im) {
        for (const auto& p : pixelsOf(im, kInk))
            EXPECT_GT(std::hypot(p.first - l.cx, p.second - l.cy), l.r + 2) << p.first << ", " << p.second;
    }
    static int anchorX(const PieLayout& l, int i, float dist) {
        return l.cx + static_cast<int>((l.r + dist) * std::sin(static_cast<double>(l.slices[i].m)));
    }
    static int anchorY(const PieLayout& l, int i, float dist) {
        return l.cy - static_cast<int>((l.r + dist) * std::cos(static_cast<double>(l.slices[i].m)));
    }
};

TEST_F(PieLabels, EveryPercentTypeOnBothHalves) {
    const float values[] = {1, 1};
    const char* labels[] = {"ab\ncde", "ab\ncde"};
    // The label block is centred on the anchor row (top 12 above it) and begins at the anchor
    // on the right half, ends there on the left (18 before it). A percent text above or below
    // shifts the block by half its own height, 6, the other way and touches it; beside it, it is
    // centred on the anchor row (6 above), one pixel clear of the block on the right half.
    const struct {
        int type;
        bool percent;
        Place right, left;
    } cases[] = {
        {0, false, {0, -12, 0, 0}, {-18, -12, 0, 0}},
        {1, true, {0, -6, 0, -18}, {-18, -6, -18, -18}},    // above: 12 - 6 = 6 over the row
        {2, true, {0, -18, 0, 6}, {-18, -18, -18, 6}},      // below: the block ends at -18 + 24
        {3, true, {0, -12, 19, -6}, {-35, -12, -18, -6}},   // right of the label: 18 + 1; left: -18 - 18 + 1,
                                                            // sharing the percent text's first column
        {4, true, {19, -12, 0, -6}, {-18, -12, -35, -6}},   // left of the label
        {7, false, {0, -12, 0, 0}, {-18, -12, 0, 0}},       // unknown types: no percent text
        {-1, false, {0, -12, 0, 0}, {-18, -12, 0, 0}},
    };
    for (const auto& c : cases) {
        engineOptions().pie_percent_type = c.type;
        const PieLayout l = layout_pie(engineOptions(), 300, 200, 1, 2, labels, values);
        auto im = drawPie(300, 200, 1, 2, labels, values);
        ASSERT_TRUE(im);
        ExpectedText expected(300, 200);
        const char* pct = c.percent ? "50%" : nullptr;
        expectSlice(expected, true, anchorX(l, 0, 7), anchorY(l, 0, 7), c.right, pct);
        expectSlice(expected, false, anchorX(l, 1, 7), anchorY(l, 1, 7), c.left, pct);
        EXPECT_EQ(pixelsOf(im.get(), kInk), expected.pixels()) << "percent type " << c.type;
    }
}

TEST_F(PieLabels, ASingleSliceIsLabelledUnderThePieOnTheRightHalf) {
    const float one[] = {1};
    const char* labels[] = {"ab\ncde"};
    engineOptions().pie_percent_type = 2;
    const PieLayout l = layout_pie(engineOptions(), 300, 300, 1, 1, labels, one);
    auto im = drawPie(300, 300, 1, 1, labels, one);
    ASSERT_TRUE(im);
    ExpectedText expected(300, 300);
    // Percent below, on the right half: as for "50%", the text's width does not move it. Its
    // upper half reaches over the pie's bottom, so it moves right from the anchor, clear of the pie.
    ASSERT_EQ(l.texts.size(), 1u);
    EXPECT_GT(l.texts[0].left, anchorX(l, 0, 7));
    expectSlice(expected, true, l.texts[0].left, anchorY(l, 0, 7), {0, -18, 0, 6}, "100%");
    EXPECT_GT(anchorY(l, 0, 7), l.cy + 100);
    EXPECT_EQ(pixelsOf(im.get(), kInk), expected.pixels());
    expectClearOfPie(l, im.get());
}

TEST_F(PieLabels, AZeroSliceIsStillLabelled) {
    const float values[] = {1, 0};
    const char* labels[] = {nullptr, "ab\ncde"};
    engineOptions().pie_percent_type = 1;
    const PieLayout l = layout_pie(engineOptions(), 300, 300, 1, 2, labels, values);
    auto im = drawPie(300, 300, 1, 2, labels, values);
    ASSERT_TRUE(im);
    ExpectedText expected(300, 300);
    // Slice 0 has no label but keeps its percent text, placed as for an empty label.
    const int ax0 = anchorX(l, 0, 7), ay0 = anchorY(l, 0, 7);
    expected.line(gdFontGetSmall(), ax0, ay0 + 6 - 12, "100%");
    // Slice 1 sits at 2π, the left half, its texts reaching down over the pie's top: they move
    // left, clear of the pie. Percent above, on the left half: "0%" is 12 wide, so it ends at the
    // anchor from -12.
    ASSERT_EQ(l.texts.size(), 2u);
    const int ax1 = l.texts[1].right + 1;
    EXPECT_LT(ax1, anchorX(l, 1, 7));
    expectSlice(expected, false, ax1, anchorY(l, 1, 7), {-18, -6, -12, -18}, "0%");
    EXPECT_EQ(pixelsOf(im.get(), kInk), expected.pixels());
    expectClearOfPie(l, im.get());
}

TEST_F(PieLabels, MissingSlicesGetNoText) {
    const float values[] = {1, 1};
    const char* labels[] = {"ab\ncde", "ab\ncde"};
    const unsigned char missing[] = {1, 0};
    engineOptions().pie_missing = missing;
    engineOptions().pie_percent_type = 3;
    const PieLayout l = layout_pie(engineOptions(), 300, 200, 1, 2, labels, values);
    auto im = drawPie(300, 200, 1, 2, labels, values);
    ASSERT_TRUE(im);
    ExpectedText expected(300, 200);
    expectSlice(expected, false, anchorX(l, 1, 7), anchorY(l, 1, 7), {-35, -12, -18, -6});
    EXPECT_EQ(pixelsOf(im.get(), kInk), expected.pixels());
}

TEST_F(PieLabels, PercentTypeZeroDrawsNoPercentText) {
    const float values[] = {1, 3};
    const char* labels[] = {"ab\ncde", "ab\ncde"};
    engineOptions().pie_percent_type = 0;
    const auto with_format = drawPieBytes(300, 200, 1, 2, labels, values);
    engineOptions().pie_percent_format = nullptr;
    const auto without_format = drawPieBytes(300, 200, 1, 2, labels, values);
    EXPECT_FALSE(with_format.empty());
    EXPECT_EQ(with_format, without_format);
    // A format that does not take one number is treated as no format.
    engineOptions().pie_percent_type = 2;
    const auto none = drawPieBytes(300, 200, 1, 2, labels, values);
    engineOptions().pie_percent_format = "%s%%";
    EXPECT_EQ(drawPieBytes(300, 200, 1, 2, labels, values), none);
    engineOptions().pie_percent_format = "%.0f%%";
    EXPECT_NE(drawPieBytes(300, 200, 1, 2, labels, values), none);
}

TEST_F(PieLabels, LabelLinesRunFromTheAnchorToTheRim) {
    const float values[] = {1, 1};
    const char* labels[] = {"a", "b"};
    engineOptions().pie_label_line = 1;
    engineOptions().pie_line_color = 0x000000;
    const PieLayout l = layout_pie(engineOptions(), 300, 200, 1, 2, labels, values);
    auto im = drawPie(300, 200, 1, 2, labels, values);
    ASSERT_TRUE(im);
    const int ax = anchorX(l, 0, 7), ay = anchorY(l, 0, 7);
    const int rim = l.cx + static_cast<int>(l.r * std::sin(static_cast<double>(l.slices[0].m)));
    // Right half: from (ax - 1, ay) back to the rim at the middle angle.
    EXPECT_EQ(rgbAt(im.get(), ax - 1, ay), 0x000000u);
    EXPECT_EQ(rgbAt(im.get(), (ax - 1 + rim) / 2, ay), 0x000000u);
    const int lax = anchorX(l, 1, 7), lay = anchorY(l, 1, 7);
    EXPECT_EQ(rgbAt(im.get(), lax + 1, lay), 0x000000u);
}

TEST_F(PieLabels, TheTitleIsCentredAtTheTop) {
    const float values[] = {1};
    engineOptions().pie_title = "Title";
    engineOptions().pie_title_color = 0x000080;
    auto im = drawPie(301, 200, 1, 1, nullptr, values);
    ASSERT_TRUE(im);
    ExpectedText expected(301, 200);
    expected.line(gdFontGetMediumBold(), 150 - 35 / 2, 1, "Title");
    EXPECT_EQ(pixelsOf(im.get(), 0x000080), expected.pixels());
}

// ---- Colours ------------------------------------------------------------------------------------

struct BackgroundCase {
    uint32_t background;  // as given
    uint32_t painted;     // background pixel
    uint32_t text;        // DefaultColor text
};

TEST_F(PieDraw, DefaultColoursFollowTheBackground) {
    const float one[] = {1};
    engineOptions().pie_title = "T";
    for (const BackgroundCase& c : {BackgroundCase{kWhite, kWhite, 0x000000}, BackgroundCase{0x000000, 0x000000, kWhite},
                                    BackgroundCase{0x808080, 0x808080, 0x000000},
                                    BackgroundCase{DefaultColor, kWhite, 0x000000}}) {
        engineOptions().pie_bg_color = c.background;
        auto im = drawPie(100, 100, 1, 1, nullptr, one);
        ASSERT_TRUE(im);
        EXPECT_EQ(rgbAt(im.get(), 0, 99), c.painted);
        EXPECT_FALSE(pixelsOf(im.get(), c.text, 0, 14).empty()) << std::hex << c.background;
    }
}

TEST_F(PieDraw, WithoutSliceColoursEverySliceTakesThePlotColour) {
    const float values[] = {1, 1};
    engineOptions().pie_colors = nullptr;
    engineOptions().pie_plot_color = 0x123456;
    auto im = drawPie(200, 200, 0, 2, nullptr, values);
    ASSERT_TRUE(im);
    EXPECT_EQ(rgbAt(im.get(), 140, 100), 0x123456u);
    EXPECT_EQ(rgbAt(im.get(), 60, 100), 0x123456u);
    EXPECT_TRUE(hasColor(im.get(), 0x091A2B));  // its shade, for the walls
}

// ---- Output -------------------------------------------------------------------------------------

TEST_F(PieDraw, WbmpPaintsThePlotColourBlack) {
    const float values[] = {1, 1};
    engineOptions().pie_colors = nullptr;
    engineOptions().pie_plot_color = 0xC0C0C0;
    engineOptions().image_format = 3;
    const auto bytes = drawPieBytes(200, 100, 1, 2, nullptr, values);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 0);  // WBMP type 0, not "GIF"
    testing::Image im(gdImageCreateFromWBMPPtr(static_cast<int>(bytes.size()), const_cast<uint8_t*>(bytes.data())),
                      gdImageDestroy);
    ASSERT_TRUE(im);
    EXPECT_EQ(gdImageSX(im.get()), 200);
    EXPECT_EQ(gdImageSY(im.get()), 100);
    EXPECT_EQ(rgbAt(im.get(), 120, 50), 0x000000u);
    EXPECT_EQ(rgbAt(im.get(), 5, 5), kWhite);
}

TEST_F(PieDraw, UnusableSizesAndCountsWriteNothing) {
    const float values[] = {1, 2};
    EXPECT_TRUE(drawPieBytes(0, 100, 1, 2, nullptr, values).empty());
    EXPECT_TRUE(drawPieBytes(100, -5, 1, 2, nullptr, values).empty());
    EXPECT_TRUE(drawPieBytes(100, 100, 1, 0, nullptr, values).empty());
    EXPECT_TRUE(drawPieBytes(100, 100, 1, -3, nullptr, values).empty());
    EXPECT_TRUE(drawPieBytes(100, 100, 1, 2, nullptr, nullptr).empty());
    draw_pie(engineOptions(), 100, 100, nullptr, 1, 2, nullptr, values);  // no stream: nothing happens
}

TEST_F(PieDraw, ExtremeSizesAreDrawnWhole) {
    const float values[] = {1, 2, 3};
    const char* labels[] = {"a", "b\nc", "d"};
    engineOptions().pie_title = "Title";
    engineOptions().pie_percent_type = 2;
    engineOptions().pie_label_line = 1;
    struct Size {
        short w, h;
    };
    for (const Size s : {Size{1, 1}, Size{2, 3}, Size{32767, 40}, Size{40, 32767}, Size{15, 15}, Size{4000, 4000}}) {
        for (int type : {0, 1}) {
            auto im = drawPie(s.w, s.h, type, 3, labels, values);
            EXPECT_TRUE(im) << s.w << " x " << s.h << " type " << type;
        }
    }
}

TEST_F(PieDraw, HugeOptionValuesStayDefined) {
    const float values[] = {1, 2, 3};
    const char* labels[] = {"a", "b", "c"};
    const int explode[] = {INT_MAX, INT_MIN, 5};
    ChartOptions& o = engineOptions();
    o.pie_explode = explode;
    o.pie_label_dist = INT_MAX;
    o.pie_3d_depth = 65535;
    o.pie_3d_angle = 65535;
    o.pie_perspective = 65535;
    o.pie_percent_type = 3;
    o.pie_title_size = 99;
    o.pie_label_size = -7;
    auto im = drawPie(300, 200, 0, 3, labels, values);
    ASSERT_TRUE(im);
    // Nothing fits: only the background remains.
    EXPECT_EQ(rgbAt(im.get(), 150, 100), kWhite);
}

TEST_F(PieDraw, TooSmallForTheLabelsDrawsOnlyTheTitle) {
    const float values[] = {1, 1};
    const char* labels[] = {"a long label", "another long one"};
    engineOptions().pie_title = "T";
    const PieLayout l = layout_pie(engineOptions(), 60, 60, 1, 2, labels, values);
    EXPECT_LE(l.r, 0.0f);
    auto im = drawPie(60, 60, 1, 2, labels, values);
    ASSERT_TRUE(im);
    EXPECT_TRUE(pixelsOf(im.get(), kRed).empty());
    EXPECT_FALSE(pixelsOf(im.get(), 0x000000, 0, 14).empty());  // the title
}

}  // namespace
}  // namespace plotwise
