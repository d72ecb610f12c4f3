// Texts in any script: characters the chosen font lacks are drawn with a fallback font, texts
// the chosen font covers go to gd exactly as before, and four-byte characters reach gd whole.
// These tests need real TrueType fonts (the Debian packages the Makefile installs); they
// compare pictures with each other, never with stored pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/text/font_fallback.h"
#include "engine/text/text_color.h"
#include "engine/text/text_shaping.h"
#include "tests/support/font_path.h"

namespace plotwise {
namespace {

namespace fs = std::filesystem;

const std::string kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDroid = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
const std::string kNanum = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";
constexpr double kPoints = 20;

bool fontsInstalled() {
    for (const std::string& f : {kSans, kDejaVu, kDroid, kNanum})
        if (!fs::exists(f)) return false;
    return true;
}

using Image = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// A white 240 x 80 picture with black as its second colour.
Image blank() {
    Image image(gdImageCreate(240, 80), gdImageDestroy);
    gdImageColorAllocate(image.get(), 255, 255, 255);
    gdImageColorAllocate(image.get(), 0, 0, 0);
    return image;
}

// The text drawn with draw_text_lines at (10, 10).
Image drawn(const std::string& font, const char* text) {
    Image image = blank();
    draw_text_lines(image.get(), font_entry(2), font.c_str(), kPoints, 0, 10, 10, text, 1, JustifyLeft);
    return image;
}

// The height of "Aj" in a font: draw_text_lines puts the first baseline that far, less a pixel,
// below the text's top.
int ajHeight(const std::string& font) {
    int box[8] = {};
    gdImageStringFT(nullptr, box, 0, const_cast<char*>(font.c_str()), kPoints, 0, 0, 0, const_cast<char*>("Aj"));
    return box[1] - box[7];
}

// The text drawn by gd alone in one font, where draw_text_lines puts a text of the chosen font
// at (10, 10).
Image drawnByGd(const std::string& font, const std::string& chosen, const char* text) {
    Image image = blank();
    int box[8] = {};
    gdImageStringFT(image.get(), box, 1, const_cast<char*>(font.c_str()), kPoints, 0, 10, 10 + ajHeight(chosen) - 1,
                    const_cast<char*>(text));
    return image;
}

bool samePixels(const Image& a, const Image& b) {
    for (int y = 0; y < gdImageSY(a.get()); ++y)
        for (int x = 0; x < gdImageSX(a.get()); ++x)
            if (gdImageGetPixel(a.get(), x, y) != gdImageGetPixel(b.get(), x, y)) return false;
    return true;
}

int inkCount(const Image& a) {
    int n = 0;
    for (int y = 0; y < gdImageSY(a.get()); ++y)
        for (int x = 0; x < gdImageSX(a.get()); ++x) n += gdImageGetPixel(a.get(), x, y) != 0;
    return n;
}

// gd's own box of a text in one font, measured without an image.
int gdWidth(const std::string& font, const char* text) {
    int box[8] = {};
    EXPECT_EQ(gdImageStringFT(nullptr, box, 0, const_cast<char*>(font.c_str()), kPoints, 0, 0, 0,
                              const_cast<char*>(text)),
              nullptr);
    return box[2] - box[0];
}

class FontFallback : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fontsInstalled()) GTEST_SKIP() << "the Liberation, DejaVu, Droid and Nanum fonts are not installed";
    }
};

TEST_F(FontFallback, FourByteCharactersBecomeCharacterReferences) {
    struct Case {
        const char* text;
        std::string gd;
    };
    const Case cases[] = {
        {"Sales", "Sales"},
        {"Umsätze 销售 Ωμέγα", "Umsätze 销售 Ωμέγα"},     // up to three bytes: unchanged
        {"a\xF0\x90\x8C\x80" "b", "a&#66304;b"},            // U+10300
        {"\xF0\x90\x80\x80\xF0\x98\x9A\x9F", "&#65536;&#99999;"},  // U+10000, U+1869F: five digits
        {"\xF0\x98\x9A\xA0\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", "&#65535;&#65535;&#65535;"},  // U+186A0 on
        {"\xF0\x9F\x98", "\xF0\x9F\x98"},                   // cut short: left to gd
        {"\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},           // past U+10FFFF: no character
    };
    for (const Case& c : cases) EXPECT_EQ(gd_text(c.text), c.gd) << c.text;
}

TEST_F(FontFallback, RunsGoToTheFirstFontThatHasTheCharacters) {
    struct Run {
        std::string text;
        std::string font;
        int line;
    };
    struct Case {
        const char* text;
        std::vector<Run> runs;  // empty: drawn whole by the chosen font
    };
    const Case cases[] = {
        {"Sales 2024", {}},
        {"Ωμέγα Жук", {}},                  // Liberation has Greek and Cyrillic
        {"\xEE\x80\x80", {}},               // U+E000: no font has it, the chosen font's box
        {"Sales 销售", {{"Sales ", kSans, 0}, {"销售", kDroid, 0}}},
        {"日本 한국", {{"日本", kDroid, 0}, {" ", kSans, 0}, {"한국", kNanum, 0}}},
        {"سلام", {{"سلام", kDejaVu, 0}}},  // Arabic: DejaVu comes first
        {"A\n中", {{"A", kSans, 0}, {"中", kDroid, 1}}},
        {"&#20013;x", {{"&#20013;", kDroid, 0}, {"x", kSans, 0}}},  // a reference is one character
        {"销\t售", {{"销\t售", kDroid, 0}}},  // a control stays with its neighbours' font
    };
    for (const Case& c : cases) {
        const std::vector<FontRun> runs = font_runs(kSans.c_str(), gd_text(c.text));
        ASSERT_EQ(runs.size(), c.runs.size()) << c.text;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, c.runs[i].text) << c.text;
            EXPECT_EQ(fs::canonical(runs[i].font), fs::canonical(c.runs[i].font)) << c.text;
            EXPECT_EQ(runs[i].line, c.runs[i].line) << c.text;
        }
    }
}

// A change of GDFONTPATH finds a font name anew: the same name may be another file.
TEST_F(FontFallback, AFontNameIsFoundAnewAlongANewFontPath) {
    const test::FontFolder latin({{"Face.ttf", kSans}}), chinese({{"Face.ttf", kDroid}});
    for (const test::FontFolder* folder : {&latin, &chinese, &latin}) {
        const test::FontPath path(folder->path());
        // Liberation lacks the character and hands it to a fallback font; Droid has it.
        EXPECT_EQ(font_runs("Face.ttf", "销").size(), folder == &latin ? 1u : 0u) << folder->path();
    }
}

TEST_F(FontFallback, TextTheChosenFontCoversIsOneGdCallAsBefore) {
    const char* text = "Sales 2024 Ωμέγα\nЖук";
    // The call as it always was: the whole text, its first baseline one "Aj" height less a
    // pixel below the top-left corner.
    const Image ours = drawn(kSans, text);
    EXPECT_GT(inkCount(ours), 100);
    EXPECT_TRUE(samePixels(ours, drawnByGd(kSans, kSans, text)));
    int box[8] = {};
    gdImageStringFT(nullptr, box, 0, const_cast<char*>(kSans.c_str()), kPoints, 0, 0, 0, const_cast<char*>(text));
    const TextSize size = measure_text(text, 2, kSans.c_str(), kPoints);
    EXPECT_EQ(size.width, box[2] - box[0]);
    EXPECT_EQ(size.height, box[1] - box[7]);
}

TEST_F(FontFallback, MissingCharactersAreDrawnByTheFallbackFont) {
    const Image box = drawn(kSans, "\xEE\x80\x80");  // U+E000, the chosen font's missing-glyph box
    const Image zhong = drawn(kSans, "中");
    const Image xiao = drawn(kSans, "销");
    EXPECT_FALSE(samePixels(zhong, box));
    EXPECT_FALSE(samePixels(xiao, box));
    EXPECT_FALSE(samePixels(zhong, xiao));
    // Drawn by the fallback font where the chosen font puts the text.
    EXPECT_TRUE(samePixels(zhong, drawnByGd(kDroid, kSans, "中")));
    EXPECT_TRUE(samePixels(drawn(kSans, "한"), drawnByGd(kNanum, kSans, "한")));

    // Measured as drawn: the runs side by side, each as wide as gd measures it in its font.
    const TextSize mixed = measure_text("Sales 销售", 2, kSans.c_str(), kPoints);
    EXPECT_EQ(mixed.width, gdWidth(kSans, "Sales ") + gdWidth(kDroid, "销售"));
    // And drawn where it was measured: the last ink lies within the measured width.
    const Image title = drawn(kSans, "Sales 销售");
    int right = -1;
    for (int y = 0; y < gdImageSY(title.get()); ++y)
        for (int x = 0; x < gdImageSX(title.get()); ++x)
            if (gdImageGetPixel(title.get(), x, y) != 0) right = std::max(right, x);
    EXPECT_LE(right, 10 + mixed.width);
    EXPECT_GT(right, 10 + mixed.width - gdWidth(kDroid, "售"));
}

TEST_F(FontFallback, FourByteCharactersDrawOneGlyphOrOneBox) {
    const Image box = drawn(kSans, "\xEE\x80\x80");  // U+E000 (three bytes), which gd always read whole
    // U+10300 (Old Italic) is in DejaVu Sans only: drawn with it.
    const Image old_italic = drawn(kSans, "\xF0\x90\x8C\x80");
    EXPECT_FALSE(samePixels(old_italic, box));
    EXPECT_TRUE(samePixels(old_italic, drawnByGd(kDejaVu, kSans, "&#66304;")));
    // U+10000 is in none of the fonts; U+1F642 and U+1D44E lie past what gd can be handed and
    // are in none of them either. Each draws one box, not the four glyphs of its bytes.
    for (const char* missing : {"\xF0\x90\x80\x80", "\xF0\x9F\x99\x82", "\xF0\x9D\x91\x8E"})
        EXPECT_TRUE(samePixels(drawn(kSans, missing), box)) << missing;
}

// The columns from the leftmost to the rightmost ink, and the first column with ink.
struct Ink {
    int first = -1, last = -1;
};
Ink inkColumns(const Image& image) {
    Ink ink;
    for (int x = 0; x < gdImageSX(image.get()); ++x)
        for (int y = 0; y < gdImageSY(image.get()); ++y)
            if (gdImageGetPixel(image.get(), x, y) != 0) {
                if (ink.first < 0) ink.first = x;
                ink.last = x;
                break;
            }
    return ink;
}

TEST_F(FontFallback, CharactersPastWhatGdReadsAreDrawnByTheFontThatHasThem) {
    const Image box = drawn(kSans, "\xEE\x80\x80");  // the missing-glyph box
    struct Case {
        const std::string* font;  // the chosen font
        const char* text;
    };
    const Case cases[] = {
        {&kSans, "\xF0\x9F\x98\x80"},          // U+1F600 from the fallback DejaVu Sans
        {&kDejaVu, "\xF0\x9F\x98\x80"},        // the chosen font has it itself
        {&kSans, "\xF0\x9F\x98\x81"},          // U+1F601
        {&kSans, "\xF0\x9F\x98\x8E"},          // U+1F60E
        {&kSans, "\xF0\x9F\x98\x80\xF0\x9F\x98\x81"},  // two in one run
        {&kSans, "WW\xF0\x9F\x98\x80"},        // after a run gd draws
    };
    std::vector<Image> pictures;
    for (const Case& c : cases) {
        Image picture = drawn(*c.font, c.text);
        EXPECT_GT(inkCount(picture), 30) << c.text;
        EXPECT_FALSE(samePixels(picture, box)) << c.text;
        // Measured as drawn: from the first to the last ink within the side bearings.
        const Ink ink = inkColumns(picture);
        const int width = measure_text(c.text, 2, c.font->c_str(), kPoints).width;
        EXPECT_NEAR(width, ink.last - ink.first + 1, 2) << c.text;
        pictures.push_back(std::move(picture));
    }
    // Different characters draw differently.
    EXPECT_FALSE(samePixels(pictures[0], pictures[2]));
    EXPECT_FALSE(samePixels(pictures[0], pictures[3]));
    EXPECT_FALSE(samePixels(pictures[2], pictures[3]));

    // After other text the character follows gd's advance of that text.
    EXPECT_NEAR(inkColumns(pictures[5]).last, inkColumns(pictures[0]).last + gdWidth(kSans, "WW"), 1);
    // Text after the character starts one advance of it further, as a second one does.
    EXPECT_EQ(inkColumns(drawn(kSans, "\xF0\x9F\x98\x80WW")).last - inkColumns(drawn(kSans, "WW")).last,
              inkColumns(drawn(kSans, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80")).last - inkColumns(pictures[0]).last);
    // Fully covered pixels take the ink colour (index 1), partly covered ones a blend towards it:
    // as in gd's drawing of text, a good share of the pixels is the ink itself.
    int inked = 0;
    for (int y = 0; y < gdImageSY(pictures[0].get()); ++y)
        for (int x = 0; x < gdImageSX(pictures[0].get()); ++x) inked += gdImageGetPixel(pictures[0].get(), x, y) == 1;
    EXPECT_GT(4 * inked, inkCount(pictures[0]));
}

TEST_F(FontFallback, TurnedCharactersPastWhatGdReadsTurnWithTheText) {
    // Up the y axis: the ink that was wide becomes tall, and the text grows upwards from (10, 220).
    Image image(gdImageCreate(80, 240), gdImageDestroy);
    gdImageColorAllocate(image.get(), 255, 255, 255);
    gdImageColorAllocate(image.get(), 0, 0, 0);
    const char* text = "\xF0\x9F\x98\x80\xF0\x9F\x98\x81";
    draw_text_lines(image.get(), font_entry(2), kSans.c_str(), kPoints, M_PI / 2, 10, 220, text, 1, JustifyLeft);
    int top = 1000, bottom = -1;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 80; ++x)
            if (gdImageGetPixel(image.get(), x, y) != 0) top = std::min(top, y), bottom = std::max(bottom, y);
    const int width = measure_text(text, 2, kSans.c_str(), kPoints).width;
    EXPECT_LE(bottom, 220);
    EXPECT_NEAR(bottom - top + 1, width, 2);
}

TEST_F(FontFallback, TurnedTextRunsFollowTheBaselineUpwards) {
    // A y axis title: turned by 90 degrees, the second run starts above the first.
    Image image(gdImageCreate(80, 240), gdImageDestroy);
    gdImageColorAllocate(image.get(), 255, 255, 255);
    gdImageColorAllocate(image.get(), 0, 0, 0);
    draw_text_lines(image.get(), font_entry(2), kSans.c_str(), kPoints, M_PI / 2, 10, 220, "AAAA中", 1, JustifyLeft);
    const int latin = gdWidth(kSans, "AAAA");
    int top = 1000, bottom = -1;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 80; ++x)
            if (gdImageGetPixel(image.get(), x, y) != 0) top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_LE(bottom, 220);
    EXPECT_LT(top, 220 - latin);  // the Chinese character is drawn above the Latin letters
    EXPECT_GE(top, 220 - latin - gdWidth(kDroid, "中") - 1);
}

// ---- Right-to-left and joined scripts ---------------------------------------------------------

TEST_F(FontFallback, OnlyRightToLeftAndJoinedTextsAreShaped) {
    const struct {
        const char* text;
        bool shaped;
    } cases[] = {
        {"Sales 2024", false},      {"Ωμέγα Жук Ünï", false}, {"销售 한국", false},
        {"\xF0\x9F\x98\x80", false},  // an emoji alone
        {"\xE0\x97\x90", false},      // U+05D0 (Hebrew) in an overlong form: bytes, not a letter
        {"\xD5\xBF", false},          // U+057F, the last Armenian letter
        {"\xD6\x90", true},           // U+0590, the first of Hebrew
        {"עיר", true},              {"سلام", true},
        {"👩‍💻", true},            // joined by U+200D
        {"x\xE2\x80\x8Fy", true},    // a right-to-left mark
    };
    for (const auto& c : cases) EXPECT_EQ(needs_shaping(c.text), c.shaped) << c.text;
}

TEST_F(FontFallback, ShapedRunsComeInTheOrderTheyAreRead) {
    struct Run {
        std::string text;
        bool right_to_left;
        int line;
    };
    const struct {
        const char* text;
        std::vector<Run> runs;  // from left to right
    } cases[] = {
        // A left-to-right line: the Hebrew word and the number after it read from the right.
        {"Sales עיר 2024", {{"Sales ", false, 0}, {"2024", false, 0}, {"עיר ", true, 0}}},
        // A right-to-left line (its first letter is Arabic): the number stands on the left.
        {"مبيعات 2024", {{"2024", false, 0}, {"مبيعات ", true, 0}}},
        {"עיר\nSales", {{"עיר", true, 0}, {"Sales", false, 1}}},
        // A right-to-left line: the Latin word after the Hebrew one stands on its left.
        {"עיר Sales", {{"Sales", false, 0}, {"עיר ", true, 0}}},
    };
    for (const auto& c : cases) {
        const std::vector<ShapedRun> runs = shape_text(kDejaVu.c_str(), kPoints, c.text);
        ASSERT_EQ(runs.size(), c.runs.size()) << c.text;
        long along = 0;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, c.runs[i].text) << c.text;
            EXPECT_EQ(runs[i].right_to_left, c.runs[i].right_to_left) << c.text;
            EXPECT_EQ(runs[i].line, c.runs[i].line) << c.text;
            if (i > 0 && runs[i].line != runs[i - 1].line) along = 0;
            EXPECT_EQ(runs[i].along, along) << c.text << " run " << i;  // each run follows the one on its left
            EXPECT_GT(runs[i].advance, 0) << c.text;
            along += runs[i].advance;
        }
    }
}

// A character after a joiner stays in the font of the sequence it joins when that font has it,
// even where the chosen font has it too.
TEST_F(FontFallback, AJoinedCharacterStaysInItsSequencesFont) {
    const struct {
        const char* text;
        const char* run;           // the run that holds the character after the joiner
        const std::string* font;
    } cases[] = {
        {"ب\u200Da", "a", &kDejaVu},  // Liberation has "a", the Arabic letter's DejaVu goes on
        {"ب a", "a", &kSans},          // no joiner: the chosen font's "a"
    };
    for (const auto& c : cases) {
        bool found = false;
        for (const ShapedRun& run : shape_text(kSans.c_str(), kPoints, c.text)) {
            if (run.text != c.run) continue;
            found = true;
            EXPECT_EQ(fs::canonical(run.font), fs::canonical(*c.font)) << c.text;
        }
        EXPECT_TRUE(found) << c.text;
    }
}

TEST_F(FontFallback, RightToLeftTextsDrawFromTheRightAndJoinedLettersJoin) {
    // Hebrew letters stand alone: the word is its letters from the right, as gd draws them reversed.
    EXPECT_TRUE(samePixels(drawn(kDejaVu, "עיר"), drawnByGd(kDejaVu, kDejaVu, "ריע")));
    EXPECT_FALSE(samePixels(drawn(kDejaVu, "עיר"), drawnByGd(kDejaVu, kDejaVu, "עיר")));
    // Arabic letters join: not the letters' own forms, in either order.
    for (const char* unjoined : {"سلام", "مالس"})
        EXPECT_FALSE(samePixels(drawn(kDejaVu, "سلام"), drawnByGd(kDejaVu, kDejaVu, unjoined))) << unjoined;
    // Measured as drawn, also when a fallback font draws the right-to-left word.
    for (const char* text : {"سلام", "Sales سلام 2024"}) {
        const TextSize size = measure_text(text, 2, kSans.c_str(), kPoints);
        const Image image = drawn(kSans, text);
        int left = 1000, right = -1;
        for (int y = 0; y < gdImageSY(image.get()); ++y)
            for (int x = 0; x < gdImageSX(image.get()); ++x)
                if (gdImageGetPixel(image.get(), x, y) != 0) left = std::min(left, x), right = std::max(right, x);
        EXPECT_GE(left, 10) << text;
        EXPECT_LE(right, 10 + size.width) << text;
        EXPECT_GT(right, 10 + size.width - 4) << text;
    }
}

}  // namespace
}  // namespace plotwise
