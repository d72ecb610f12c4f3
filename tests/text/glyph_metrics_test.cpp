// Texts measured from kept glyph metrics have exactly the box gd measures. A seeded random table
// of label-like texts (digits, signs, letters, spaces, pairs that kern, a few accented letters
// and symbols) in every font of the program's font map and the fallback fonts (Chinese and
// Korean in those for them), at point sizes 6 to 40 (more sizes than are kept at once, so sizes
// are dropped and set up again), upright, turned a right angle and at random angles, is measured
// both ways. Texts the measurement must leave to gd come back false.
#include <gd.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/text/font_fallback.h"
#include "engine/text/glyph_metrics.h"
#include "tests/support/font_path.h"

namespace plotwise {
namespace {

namespace fs = std::filesystem;

const fs::path kFontMap = fs::path(PLOTWISE_BINARY_DIR) / "fonts";

TEST(GlyphMetrics, MeasuresWhatGdMeasures) {
    ASSERT_TRUE(fs::exists(kFontMap / "Times.ttf")) << "the font map has no Liberation fonts";
    const test::FontPath path(kFontMap.string());
    gdFontCacheShutdown();
    clear_glyph_metrics();
    // The font map's fonts by name, and the fallback fonts (paths) with the scripts they are for.
    std::vector<std::string> fonts = {"Times",        "Times Bold",        "Times Italic", "Arial",
                                      "Arial Bold",   "Arial Italic",      "Arial Bold Italic",
                                      "Courier New",  "Courier Bold"};
    const std::size_t named = fonts.size();
    fonts.insert(fonts.end(), fallback_fonts().begin(), fallback_fonts().end());
    ASSERT_GE(fonts.size(), named + 3) << "DejaVu Sans, Droid Sans Fallback and NanumGothic are needed";
    // Pieces of labels: characters, and pairs that kern in the proportional fonts.
    const std::vector<std::string> pieces = {
        "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", ",", "-", "+", "%", "$", " ", "(", ")", "/", ":", "e",
        "E", "x", "j", "f", "AV", "To", "Ty", "LT", "P.", "Yo", "r.", "W,", "\xC3\xA9", "\xC2\xB0", "\xE2\x82\xAC"};
    // Chinese for Droid Sans Fallback (which has no digits), Korean and digits for NanumGothic.
    const std::vector<std::string> chinese = {" ", "\xE4\xB8\xAD", "\xE6\x96\x87", "\xE5\xB9\xB4"};
    const std::vector<std::string> korean = {"1", "9", " ", "\xED\x95\x9C", "\xEA\xB5\xAD"};
    std::mt19937 random(27);
    for (int n = 0; n < 2000; ++n) {
        const std::size_t f = n % fonts.size();
        const char* font = fonts[f].c_str();
        const std::vector<std::string>& from = f == named + 1 ? chinese : f == named + 2 ? korean : pieces;
        std::string text;
        for (int k = 1 + static_cast<int>(random() % 10); k > 0; --k) text += from[random() % from.size()];
        const double size = 6 + static_cast<int>(random() % 3401) / 100.0;
        const double turns[] = {0, 90, static_cast<double>(random() % 360)};
        const double degrees = turns[random() % 3];
        const double angle = degrees * std::numbers::pi / 180;
        const int x = static_cast<int>(random() % 600) - 50, y = static_cast<int>(random() % 600) - 50;
        SCOPED_TRACE(::testing::Message() << font << ", " << size << " pt, " << degrees << " degrees, '" << text
                                          << "'");
        int expected[8] = {}, box[8] = {};
        ASSERT_EQ(gdImageStringFT(nullptr, expected, 0, const_cast<char*>(font), size, angle, x, y, text.data()), nullptr);
        ASSERT_TRUE(measure_from_glyphs(box, font, size, angle, x, y, text.c_str()));
        EXPECT_EQ(std::memcmp(box, expected, sizeof box), 0)
            << box[0] << "," << box[1] << " " << box[4] << "," << box[5] << " against " << expected[0] << ","
            << expected[1] << " " << expected[4] << "," << expected[5];
    }
}

// What gd reads otherwise, characters the font lacks, fonts it cannot find and sizes out of
// range are gd's to measure: false, the box untouched.
TEST(GlyphMetrics, LeavesOtherTextsToGd) {
    const test::FontPath path(kFontMap.string());
    struct Case {
        const char* font;
        double size;
        const char* text;
    };
    const Case cases[] = {
        {"Times", 12, ""},                      // nothing to measure
        {"Times", 12, "a&#65;"},                // a character reference
        {"Times", 12, "a&b"},                   // an ampersand gd may read as one
        {"Times", 12, "North\n35%"},            // two lines
        {"Times", 12, "a\tb"},                  // a control character
        {"Times", 12, "\xE4\xB8\xAD"},          // a character the font lacks (U+4E2D)
        {"Times", 12, "\xF0\x90\x8C\x80"},      // four bytes of UTF-8
        {"Times", 12, "\xC3("},                 // a broken sequence
        {"No Such Font", 12, "12"},             // a font gd does not find
        {"Times", 0.5, "12"},                   // below the sizes measured here
        {"Times", NAN, "12"},
        {"Times", 1e9, "12"},
    };
    const int untouched[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const Case& c : cases) {
        int box[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        EXPECT_FALSE(measure_from_glyphs(box, c.font, c.size, 0, 0, 0, c.text)) << c.font << " " << c.text;
        EXPECT_EQ(std::memcmp(box, untouched, sizeof box), 0) << c.text;
    }
    // An empty search path: font names are gd's to look up.
    const test::FontPath empty("");
    int box[8] = {};
    EXPECT_FALSE(measure_from_glyphs(box, "Times", 12, 0, 0, 0, "12"));
}

}  // namespace
}  // namespace plotwise
