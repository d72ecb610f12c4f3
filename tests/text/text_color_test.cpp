// The shared text and colour routines: font table, line counting, measuring, drawing texts of
// several lines, the font probe and palette colours.
#include <gdfontg.h>
#include <gdfontl.h>
#include <gdfontmb.h>
#include <gdfontt.h>

#include <algorithm>

#include "engine/picture/palette.h"
#include "engine/text/text_color.h"
#include "tests/pie/pie_test_support.h"

namespace plotwise {
namespace {

using testing::ExpectedText;
using testing::Image;
using testing::PieFixture;
using testing::pixelsOf;

class TextColor : public PieFixture {
protected:
    static Image blank(int width, int height, uint32_t background = 0xFFFFFF) {
        Image image(gdImageCreate(width, height), gdImageDestroy);
        allocate_color(image.get(), background, background);
        return image;
    }
};

TEST_F(TextColor, FontTableHasTheFixedSizesOfEachClass) {
    load_font_table();
    struct Row {
        int size_class;
        gdFontPtr font;
        int height, width;
    };
    for (const Row& row : {Row{0, gdFontGetTiny(), 8, 5}, Row{1, gdFontGetTiny(), 8, 5}, Row{2, gdFontGetSmall(), 12, 6},
                           Row{3, gdFontGetMediumBold(), 13, 7}, Row{4, gdFontGetLarge(), 16, 8},
                           Row{5, gdFontGetGiant(), 15, 9}}) {
        const FontEntry& e = font_entry(row.size_class);
        EXPECT_EQ(e.font, row.font) << "class " << row.size_class;
        EXPECT_EQ(e.height, row.height) << "class " << row.size_class;
        EXPECT_EQ(e.width, row.width) << "class " << row.size_class;
    }
    // Classes outside the table use the nearest one.
    EXPECT_EQ(&font_entry(-3), &font_entry(0));
    EXPECT_EQ(&font_entry(99), &font_entry(5));
}

TEST_F(TextColor, CountTextLinesCountsLinesAndTheLongest) {
    struct Case {
        const char* text;
        int lines, longest;
    };
    for (const Case& c : {Case{"ab\ncde", 2, 3}, Case{"", 1, 0}, Case{nullptr, 0, 0}, Case{"abcd\ne", 2, 4},
                          Case{"\n\n", 3, 0}, Case{"x\n", 2, 1}, Case{"Some\nError", 2, 5}}) {
        int longest = -1;
        EXPECT_EQ(count_text_lines(c.text, &longest), c.lines) << (c.text ? c.text : "(null)");
        EXPECT_EQ(longest, c.longest) << (c.text ? c.text : "(null)");
    }
    EXPECT_EQ(count_text_lines("a\nb", nullptr), 2);  // the longest line is optional
}

TEST_F(TextColor, MeasureWithBuiltInFonts) {
    // Point size 0 selects the built-in size: 3 characters of 7 by 2 lines of 13.
    TextSize s = measure_text("ab\ncde", 3, "Times.ttf", 0);
    EXPECT_EQ(s.width, 21);
    EXPECT_EQ(s.height, 26);
    s = measure_text("Some\nError", 2, nullptr, 12);
    EXPECT_EQ(s.width, 30);
    EXPECT_EQ(s.height, 24);
    s = measure_text(nullptr, 2, nullptr, 0);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
}

TEST_F(TextColor, MeasureFallsBackWhenTheFontCannotBeFound) {
    std::string status;
    const TextSize s = measure_text("abc", 5, "no-such-font.ttf", 12, &status);
    EXPECT_EQ(s.width, 27);
    EXPECT_EQ(s.height, 15);
    EXPECT_FALSE(status.empty()) << "gd's error text is reported";
}

TEST_F(TextColor, ProbeRejectsMissingFontsAndSizeZero) {
    EXPECT_EQ(probe_font("no-such-font.ttf", 12).width, 0);
    EXPECT_EQ(probe_font(nullptr, 12).width, 0);
    EXPECT_EQ(probe_font("Times.ttf", 0).width, 0);
    EXPECT_EQ(probe_font("Times.ttf", -4).height, 0);
}

// Each case draws "ab\ncde" with the small font at (10, 20) and compares every painted pixel
// with the two lines drawn by gd at their expected places.
struct JustifyCase {
    int justification;
    int first_offset;  // x offset of "ab"; "cde" is the longest line and starts at x
};

TEST_F(TextColor, BuiltInLinesAreJustifiedAndElevenPixelsApart) {
    for (const JustifyCase& c : {JustifyCase{JustifyCenter, 3}, JustifyCase{JustifyRight, 6},
                                 JustifyCase{JustifyLeft, 0}}) {
        Image image = blank(80, 60);
        const int ink = allocate_color(image.get(), 0x000000, 0xFFFFFF);
        EXPECT_EQ(draw_text_lines(image.get(), font_entry(2), nullptr, 0, 0, 10, 20, "ab\ncde", ink, c.justification), 0);
        ExpectedText expected(80, 60);
        expected.line(gdFontGetSmall(), 10 + c.first_offset, 20, "ab");
        expected.line(gdFontGetSmall(), 10, 20 + 11, "cde");
        EXPECT_EQ(pixelsOf(image.get(), 0x000000), expected.pixels()) << "justification " << c.justification;
    }
}

TEST_F(TextColor, TurnedLinesAreDrawnUpwards) {
    Image image = blank(80, 80);
    const int ink = allocate_color(image.get(), 0x000000, 0xFFFFFF);
    draw_text_lines(image.get(), font_entry(2), nullptr, 0, 1.5707963, 10, 60, "ab\ncde", ink, JustifyRight);
    Image expected(gdImageCreate(80, 80), gdImageDestroy);
    gdImageColorAllocate(expected.get(), 255, 255, 255);
    const int black = gdImageColorAllocate(expected.get(), 0, 0, 0);
    unsigned char ab[] = "ab", cde[] = "cde";
    gdImageStringUp(expected.get(), gdFontGetSmall(), 10, 60 - 6, ab, black);
    gdImageStringUp(expected.get(), gdFontGetSmall(), 10 + 11, 60, cde, black);
    EXPECT_EQ(pixelsOf(image.get(), 0x000000), pixelsOf(expected.get(), 0x000000));
}

TEST_F(TextColor, AFailingFreeTypeFontFallsBackToTheBuiltInFont) {
    Image image = blank(80, 40);
    const int ink = allocate_color(image.get(), 0x000000, 0xFFFFFF);
    std::string status;
    EXPECT_EQ(draw_text_lines(image.get(), font_entry(3), "no-such-font.ttf", 12, 0, 5, 6, "Hi", ink, JustifyLeft,
                              &status),
              1);
    EXPECT_FALSE(status.empty());
    ExpectedText expected(80, 40);
    expected.line(gdFontGetMediumBold(), 5, 6, "Hi");
    EXPECT_EQ(pixelsOf(image.get(), 0x000000), expected.pixels());
}

struct DefaultCase {
    uint32_t background, expected;
};

TEST_F(TextColor, DefaultColorIsTheOppositeOfTheBackground) {
    for (const DefaultCase& c : {DefaultCase{0xFFFFFF, 0x000000}, DefaultCase{0x000000, 0xFFFFFF},
                                 DefaultCase{0x808080, 0x000000}, DefaultCase{0x80FF00, 0x0000FF},
                                 DefaultCase{0x7F7F7F, 0xFFFFFF}, DefaultCase{0x00FF7F, 0xFF00FF}}) {
        EXPECT_EQ(resolve_color(DefaultColor, c.background), c.expected) << std::hex << c.background;
        Image image = blank(4, 4, c.background);
        const int index = allocate_color(image.get(), DefaultColor, c.background);
        EXPECT_EQ(static_cast<uint32_t>(gdImageRed(image.get(), index) << 16 | gdImageGreen(image.get(), index) << 8 |
                                        gdImageBlue(image.get(), index)),
                  c.expected);
    }
    EXPECT_EQ(resolve_color(0x123456, 0xFFFFFF), 0x123456u);
}

TEST_F(TextColor, ShadesHalveEachChannel) {
    Image image = blank(4, 4);
    const int shade = allocate_shade(image.get(), 0xFF4040, 0xFFFFFF);
    EXPECT_EQ(gdImageRed(image.get(), shade), 0x7F);
    EXPECT_EQ(gdImageGreen(image.get(), shade), 0x20);
    EXPECT_EQ(gdImageBlue(image.get(), shade), 0x20);
    // DefaultColor is resolved before halving: white on black becomes 0x7F7F7F.
    const int grey = allocate_shade(image.get(), DefaultColor, 0x000000);
    EXPECT_EQ(gdImageRed(image.get(), grey), 0x7F);
    EXPECT_EQ(gdImageBlue(image.get(), grey), 0x7F);
}

TEST_F(TextColor, ExactColoursAreReused) {
    Image image = blank(4, 4);
    const int a = allocate_color(image.get(), 0x102030, 0xFFFFFF);
    const int total = gdImageColorsTotal(image.get());
    EXPECT_EQ(allocate_color(image.get(), 0x102030, 0xFFFFFF), a);
    EXPECT_EQ(allocate_shade(image.get(), 0x204060, 0xFFFFFF), a);  // halves to 0x102030
    EXPECT_EQ(gdImageColorsTotal(image.get()), total);
}

TEST_F(TextColor, AFullPaletteGivesTheClosestColour) {
    Image image(gdImageCreate(4, 4), gdImageDestroy);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(allocate_color(image.get(), static_cast<uint32_t>(i) << 16, 0), i);
    EXPECT_EQ(gdImageColorsTotal(image.get()), 256);
    EXPECT_EQ(allocate_color(image.get(), 0x650100, 0), 0x65);  // closest to red 0x65
    EXPECT_EQ(allocate_shade(image.get(), 0xC80302, 0), 0x64);  // 0x640101 is closest to 0x640000
    EXPECT_EQ(gdImageColorsTotal(image.get()), 256);
}

}  // namespace
}  // namespace plotwise

namespace plotwise {
namespace {

// FreeType text, where the machine has the Liberation fonts: only its placement is checked,
// never its exact pixels.
constexpr const char* kSerif = "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf";

bool serifInstalled() {
    FILE* f = fopen(kSerif, "rb");
    if (f == nullptr) return false;
    fclose(f);
    return true;
}

TEST_F(TextColor, FreeTypeTextIsMeasuredAndPlacedByItsTopLeftCorner) {
    if (!serifInstalled()) GTEST_SKIP() << "no Liberation fonts on this machine";
    const TextSize probe = probe_font(kSerif, 12);
    EXPECT_GT(probe.width, 10);
    const TextSize one = measure_text("Hello", 3, kSerif, 24);
    const TextSize two = measure_text("Hello\nHello", 3, kSerif, 24);
    EXPECT_GT(one.width, 40);
    EXPECT_EQ(two.width, one.width);
    EXPECT_GT(two.height, one.height + one.height / 2);

    // The first baseline is one line height ("Aj") less one below the corner: letters
    // without descenders end on it.
    Image image = blank(200, 120);
    const int ink = allocate_color(image.get(), 0x000000, 0xFFFFFF);
    EXPECT_EQ(draw_text_lines(image.get(), font_entry(3), kSerif, 24, 0, 30, 40, "HH", ink, JustifyCenter), 0);
    int left = 1000, bottom = -1;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x)
            if (gdImageGetPixel(image.get(), x, y) != 0) {
                left = std::min(left, x);
                bottom = std::max(bottom, y);
            }
    // The line height as gd and FreeType give it for "Aj", not through our own measuring.
    int box[8];
    ASSERT_EQ(gdImageStringFT(nullptr, box, 0, const_cast<char*>(kSerif), 24, 0, 0, 0, const_cast<char*>("Aj")), nullptr);
    const int h = box[1] - box[7];
    EXPECT_NEAR(bottom, 40 + h - 1, 1);
    EXPECT_GE(left, 30 - 1);
    EXPECT_LE(left, 30 + 4);
}

}  // namespace
}  // namespace plotwise
