// FreeType text through the text cache is what gd draws: the same pixels, the same palette in
// the same order, the same bounding rectangle and error. Every case draws a text with gd into
// one picture and through the cache into two more pictures equal to it (the second one from a
// stamp, or from what gd did over the same pixels the first time), and compares them byte by byte. The font is a real
// TrueType font of the program's font map: the test compares two ways of drawing, not stored
// pixels.
#include <gd.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "engine/text/text_cache.h"
#include "tests/support/font_path.h"

namespace plotwise {
namespace {

namespace fs = std::filesystem;

using Picture = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

const fs::path kFontMap = fs::path(PLOTWISE_BINARY_DIR) / "fonts";

// What lies under the texts.
enum class Ground {
    White,        // white, black ink
    Reordered,    // white and black again, at other indices, among blends gd will ask for
    Transparent,  // white marked transparent: gd never resolves a blend to it
    Tinted,       // a light colour, a dark blue ink
    Striped,      // stripes under every text: never one background colour
    Shifted,      // the stripes a pixel further: other indices under the texts
    Recoloured,   // the stripes' indices, their colour a little bluer: another palette
    NearlyFull,   // 250 colours: room for a few blends only
    Full,         // 256 colours: every blend is the closest colour
    FreedSlots,   // two freed entries that blends fill first
    TwinInk,      // the ink colour twice: gd resolves blends of that colour to the first one
    Clipped,      // a clip area that cuts every text
    Faint,        // ink a shade lighter than a transparent background: weak blends are the
                  // background colour, which gd allocates anew rather than resolve to it
};

constexpr int kWidth = 640, kHeight = 480;

struct Made {
    Picture picture;
    int ink;
};

Made make(Ground ground) {
    Picture p(gdImageCreate(kWidth, kHeight), gdImageDestroy);
    gdImagePtr im = p.get();
    int ink = 0;
    switch (ground) {
        case Ground::White:
        case Ground::Transparent:
        case Ground::Striped:
        case Ground::Shifted:
        case Ground::Recoloured:
        case Ground::Clipped:
            gdImageColorAllocate(im, 255, 255, 255);
            ink = gdImageColorAllocate(im, 0, 0, 0);
            break;
        case Ground::Reordered: {
            for (int v : {255, 0, 128, 219, 36}) gdImageColorAllocate(im, v == 255 ? 0 : 200, v, 0);
            for (int v : {223, 191, 159, 127, 95}) gdImageColorAllocate(im, v, v, v);
            const int white = gdImageColorAllocate(im, 255, 255, 255);
            gdImageFilledRectangle(im, 0, 0, kWidth - 1, kHeight - 1, white);
            ink = gdImageColorAllocate(im, 0, 0, 0);
            break;
        }
        case Ground::Tinted:
            gdImageColorAllocate(im, 230, 240, 200);
            gdImageColorAllocate(im, 208, 48, 48);
            ink = gdImageColorAllocate(im, 20, 60, 160);
            break;
        case Ground::NearlyFull:
        case Ground::Full:
            gdImageColorAllocate(im, 250, 250, 240);
            ink = gdImageColorAllocate(im, 90, 0, 40);
            for (int i = gdImageColorsTotal(im); i < (ground == Ground::Full ? 256 : 250); ++i)
                gdImageColorAllocate(im, (i * 37) % 256, (i * 101) % 256, (i * 7) % 256);
            break;
        case Ground::FreedSlots:
            gdImageColorAllocate(im, 255, 255, 255);
            ink = gdImageColorAllocate(im, 0, 100, 0);
            for (int i = 0; i < 8; ++i) gdImageColorAllocate(im, 10 * i, 20, 200);
            gdImageColorDeallocate(im, 3);
            gdImageColorDeallocate(im, 7);
            break;
        case Ground::TwinInk:
            // The strongest blend over this background is the ink colour itself.
            gdImageColorAllocate(im, 124, 0, 0);
            gdImageColorAllocate(im, 120, 0, 0);
            gdImageColorAllocate(im, 40, 40, 40);
            ink = gdImageColorAllocate(im, 120, 0, 0);
            break;
        case Ground::Faint:
            gdImageColorAllocate(im, 120, 120, 120);
            ink = gdImageColorAllocate(im, 124, 124, 124);
            break;
    }
    if (ground == Ground::Transparent || ground == Ground::Faint) gdImageColorTransparent(im, 0);
    if (ground == Ground::Striped || ground == Ground::Shifted || ground == Ground::Recoloured) {
        const int stripe = gdImageColorAllocate(im, 200, 200, ground == Ground::Recoloured ? 250 : 255);
        for (int x = ground == Ground::Shifted ? 1 : 0; x < kWidth; x += 3) gdImageLine(im, x, 0, x, kHeight - 1, stripe);
    }
    if (ground == Ground::Clipped) gdImageSetClip(im, 60, 60, 380, 425);
    return Made{std::move(p), ink};
}

// The first difference between two pictures, palette first; empty when they are equal.
std::string difference(gdImagePtr a, gdImagePtr b) {
    if (a->colorsTotal != b->colorsTotal)
        return "palette sizes " + std::to_string(a->colorsTotal) + " and " + std::to_string(b->colorsTotal);
    if (a->transparent != b->transparent) return "transparent entries differ";
    for (int c = 0; c < a->colorsTotal; ++c) {
        if (a->red[c] != b->red[c] || a->green[c] != b->green[c] || a->blue[c] != b->blue[c] ||
            a->alpha[c] != b->alpha[c] || a->open[c] != b->open[c])
            return "palette entry " + std::to_string(c);
    }
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            if (a->pixels[y][x] != b->pixels[y][x])
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + ": " + std::to_string(a->pixels[y][x]) +
                       " and " + std::to_string(b->pixels[y][x]);
    }
    return {};
}

std::string font(const char* name) { return (kFontMap / name).string(); }

TEST(TextCache, DrawsWhatGdDraws) {
    ASSERT_TRUE(fs::exists(kFontMap / "Times.ttf") && fs::exists(kFontMap / "Arial Bold.ttf"))
        << "the font map has no Liberation fonts (Debian package fonts-liberation)";
    // A title, axis titles and labels, a pie label of two lines, accents and a euro sign, pairs
    // that kern.
    const char* texts[] = {"Sales by region", "Units", "Jan", "-1,250.75", "North\n35%", "Ünïcødé €ß", "AVAWAj fi"};
    const std::string fonts[] = {font("Times.ttf"), font("Arial Bold.ttf")};
    const double degrees[] = {0, 90, 45, 60};
    const double sizes[] = {8, 10, 13, 18, 24, 36, 48, 72};
    const Ground grounds[] = {Ground::White,      Ground::Reordered, Ground::Transparent, Ground::Tinted,
                              Ground::Striped,    Ground::Shifted,    Ground::Recoloured, Ground::NearlyFull,
                              Ground::Full,       Ground::FreedSlots,
                              Ground::TwinInk,    Ground::Clipped,    Ground::Faint};
    use_text_cache(true);
    clear_text_cache();
    for (const Ground ground : grounds) {
        for (std::size_t a = 0; a < std::size(degrees); ++a) {
            for (std::size_t s = 0; s < std::size(sizes); ++s) {
                const char* text = texts[(a + s) % std::size(texts)];
                const std::string& file = fonts[s % 2];
                const double angle = degrees[a] * std::numbers::pi / 180;
                // Upright texts start near the left, turned ones low enough to rise into the
                // picture; the large ones run past the picture's edge, all past the clip area's.
                const bool upright = degrees[a] == 0;
                const int x = (upright ? 40 : 70) + static_cast<int>(a) * 7, y = upright ? 150 : 430;
                SCOPED_TRACE(::testing::Message() << "ground " << static_cast<int>(ground) << ", " << degrees[a]
                                                  << " degrees, " << sizes[s] << " pt, " << text);
                Made byGd = make(ground), first = make(ground), again = make(ground);
                int expectedBox[8] = {}, box[8] = {};
                const char* expected = gdImageStringFT(byGd.picture.get(), expectedBox, byGd.ink,
                                                       const_cast<char*>(file.c_str()), sizes[s], angle, x, y,
                                                       const_cast<char*>(text));
                ASSERT_EQ(expected, nullptr) << expected;
                for (Made* m : {&first, &again}) {
                    const unsigned long copied = text_cache_stats().stamps_copied;
                    EXPECT_EQ(draw_string_ft(m->picture.get(), box, m->ink, file.c_str(), sizes[s], angle, x, y, text),
                              nullptr);
                    EXPECT_EQ(std::memcmp(box, expectedBox, sizeof box), 0);
                    EXPECT_EQ(difference(byGd.picture.get(), m->picture.get()), "")
                        << (m == &first ? "first" : "second") << " draw";
                    // The second draw is a copy: of the stamp over one background colour with
                    // room in the palette, else of what gd did the first time over the same pixels
                    // and palette. Over white, the stamp the white ground left serves the others
                    // at once; no other ground's pixels and palette serve the next one.
                    const bool white = ground == Ground::Reordered || ground == Ground::Transparent;
                    const bool stamped = ground != Ground::Striped && ground != Ground::Shifted &&
                                         ground != Ground::Recoloured && ground != Ground::NearlyFull &&
                                         ground != Ground::Full && ground != Ground::TwinInk;
                    if (m == &again || white) {
                        EXPECT_EQ(text_cache_stats().stamps_copied, copied + 1);
                    } else if (!stamped) {
                        EXPECT_EQ(text_cache_stats().stamps_copied, copied);
                    }
                }
            }
        }
    }
}

// However many texts a long-running host draws and measures, the cache keeps within its
// budgets: 8 MiB of stamps, 1 MiB of measurements (each at least its 96 bytes of bookkeeping).
TEST(TextCache, StaysWithinItsBudgets) {
    constexpr std::size_t kStampBudget = std::size_t{8} << 20, kMeasureBudget = std::size_t{1} << 20;
    use_text_cache(true);
    clear_text_cache();
    const std::string file = font("Times.ttf");
    Made white = make(Ground::White);
    std::size_t largest = 0;
    for (int i = 0; i < 360; ++i) {
        const std::string text = "Stamps " + std::to_string(1000 + i) + " and more";
        int box[8] = {};
        ASSERT_EQ(draw_string_ft(white.picture.get(), box, white.ink, file.c_str(), 72, 0, 20, 200, text.c_str()), nullptr);
        largest = std::max(largest, text_cache_stats().stamp_bytes);
    }
    for (int i = 0; i < 12000; ++i) {
        int box[8] = {};
        ASSERT_EQ(measure_string_ft(box, file.c_str(), 10, 0, 0, 0, std::to_string(i).c_str()), nullptr);
    }
    EXPECT_LE(largest, kStampBudget);
    EXPECT_GT(largest, kStampBudget / 2);  // the stamps did reach the budget
    EXPECT_LE(text_cache_stats().measurements, kMeasureBudget / 96);
}

// A change of GDFONTPATH may make a font name another file: the cache measures what gd measures
// along the new path, not what it kept for the file the name stood for before.
TEST(TextCache, AFontNameFollowsTheFontPath) {
    const test::FontFolder serif({{"Face.ttf", font("Times.ttf")}}), mono({{"Face.ttf", font("Courier New.ttf")}});
    use_text_cache(true);
    int widths[2] = {};
    for (int k = 0; k < 2; ++k) {
        const test::FontPath path(k == 0 ? serif.path() : mono.path());
        gdFontCacheShutdown();  // gd remembers fonts by name as well
        int cached[8] = {}, direct[8] = {};
        ASSERT_EQ(measure_string_ft(cached, "Face", 20, 0, 0, 0, "iiii"), nullptr);
        ASSERT_EQ(gdImageStringFT(nullptr, direct, 0, const_cast<char*>("Face"), 20, 0, 0, 0, const_cast<char*>("iiii")), nullptr);
        EXPECT_EQ(std::memcmp(cached, direct, sizeof cached), 0) << k;
        widths[k] = direct[2] - direct[0];
    }
    EXPECT_LT(widths[0], widths[1]);  // i is narrow in a serif font, not in a monospaced one
}

}  // namespace
}  // namespace plotwise
