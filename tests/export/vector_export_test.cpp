// The vector back ends draw the chart the GIF shows: for every chart type and both pies, the
// PNG at scale 1, the PDF (rendered by pdftoppm) and the SVG (rendered by rsvg-convert) differ
// from the GIF by less than 6 % of the full range per channel, and each series colour covers
// the GIF's area within 10 % (filled shapes within 3 %, centred on the GIF's); a PNG at
// scale 2 is that picture at twice the size; an SVG is well-formed XML of the picture's size
// whose texts are <text> elements, a title's lines each one of its own. Built-in fonts
// throughout (no such font file).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/chart_options.h"
#include "engine/graph/graph.h"
#include "engine/picture/vector_base.h"
#include "engine/pie/pie.h"
#include "engine/text/font_fallback.h"
#include "pictures.h"
#include "tests/support/engine_options.h"

namespace plotwise::test {
namespace {

constexpr const char* kNoFont = "no-such-font.ttf";
constexpr uint32_t kSetColors[] = {0xC00000, 0x00A000, 0x0000C0};
constexpr int kSets = 2, kPoints = 6;
constexpr short kWidth = 320, kHeight = 240;

// Options of one drawing: white background, built-in fonts, titles.
void set_options(bool horizontal = false) {
    ChartOptions& o = engineOptions();
    o = ChartOptions{};
    o.bg_color = 0xFFFFFF;
    o.plot_color = 0x000000;
    for (const char** font : {&o.title_font, &o.ytitle_font, &o.xtitle_font, &o.yaxis_font, &o.xaxis_font,
                              &o.fallback_font, &o.pie_title_font, &o.pie_label_font, &o.pie_fallback_font})
        *font = kNoFont;
    o.title = "Exported";
    o.xtitle = "Month";
    o.ytitle = "Units";
    o.set_colors = kSetColors;
    o.horizontal = horizontal ? 1 : 0;
    o.pie_title = "Shares";
    o.pie_bg_color = 0xFFFFFF;
}

// Rows for every type: enough for high-low-close (three per set), values that keep highs above
// closes above lows; x rows or the volume row as the type's extra.
struct ChartData {
    std::vector<float> rows, extra;
    std::vector<const char*> labels{"Jan", "Feb", "Mar", "Apr", "May", "Jun"};
};
ChartData chart_data(ChartType type) {
    ChartData d;
    for (int r = 0; r < 3 * kSets; ++r)
        for (int i = 0; i < kPoints; ++i) {
            float v = 6.0f + static_cast<float>((i * 7 + r * 3) % 9);
            if (isHlc(type)) v = 10.0f + static_cast<float>(i % 3) + (r % 3 == 0 ? 6.0f : r % 3 == 1 ? 0.0f : 3.0f);
            if (isFloatingBar(type)) v = r % 2 == 0 ? 4.0f + static_cast<float>(i % 3) : 12.0f + static_cast<float>(i);
            d.rows.push_back(v + 4.0f * static_cast<float>(r / (isHlc(type) ? 3 : 1) % 2));
        }
    for (int s = 0; s < kSets; ++s)
        for (int i = 0; i < kPoints; ++i) d.extra.push_back(isXy(type) ? 1.5f * i + 0.5f * s : 3.0f + i % 4);
    return d;
}

void draw_type(ChartType type, bool horizontal, PictureTarget out) {
    set_options(horizontal);
    const ChartData d = chart_data(type);
    const bool extra = isXy(type) || isCombo(type);
    draw_graph(engineOptions(), horizontal ? kHeight : kWidth, horizontal ? kWidth : kHeight, out, type, kPoints, d.labels.data(), kSets,
               d.rows.data(), extra ? d.extra.data() : nullptr);
}

constexpr uint32_t kSliceColors[] = {0xFF4040, 0x40C040, 0x4040FF, 0xFFC000, 0xC040C0};
void draw_pie_type(int pie_type, PictureTarget out) {
    set_options();
    engineOptions().pie_colors = kSliceColors;
    engineOptions().pie_label_line = 1;
    engineOptions().pie_percent_type = 2;
    static const char* const kLabels[] = {"Rent", "Food", "Travel", "Books", "Other"};
    static const float kValues[] = {40, 25, 15, 12, 8};
    draw_pie(engineOptions(), kWidth, kHeight, out, pie_type, 5, kLabels, kValues);
}

struct Case {
    std::string name;
    std::function<void(PictureTarget)> draw;
    std::vector<uint32_t> colors;  // the series (slice) colours
    bool solid = false;            // series drawn as filled shapes only: no lines to smooth
};

// The types whose series are filled shapes the back ends draw to the GIF's pixel.
constexpr bool solid_type(ChartType t) {
    return t == Area || t == Bar || t == FloatingBar || t == Bar3D || t == Area3D || t == XyAreaStep;
}

std::vector<Case> all_cases() {
    std::vector<Case> cases;
    for (int t = 0; t < kChartTypeCount; ++t) {
        const auto type = static_cast<ChartType>(t);
        cases.push_back({"type " + std::to_string(t), [type](PictureTarget out) { draw_type(type, false, out); },
                         {kSetColors[0], kSetColors[1]}, solid_type(type)});
    }
    cases.push_back({"horizontal bars", [](PictureTarget out) { draw_type(Bar, true, out); }, {kSetColors[0], kSetColors[1]}, true});
    for (int pie_type : {0, 1})
        cases.push_back({"pie " + std::to_string(pie_type), [pie_type](PictureTarget out) { draw_pie_type(pie_type, out); },
                         std::vector<uint32_t>(std::begin(kSliceColors), std::end(kSliceColors)), true});
    return cases;
}

// The vector picture against the GIF: channel differences, and the area of each series colour
// (in the GIF its pixels; in the smoothed picture each pixel by its share of the colour). Filled
// shapes cover the GIF's area within 3 % and lie where the GIF's do, their centres within
// 0.75 pixel: a shape one pixel narrow or a picture one pixel off fails.
void expect_same_chart(const Rgb& gif, const Rgb& vector, const Case& c, const char* what) {
    ASSERT_EQ(vector.width, gif.width) << c.name << " " << what;
    ASSERT_EQ(vector.height, gif.height) << c.name << " " << what;
    const std::vector<double> diff = channel_difference(gif, vector);
    for (int k = 0; k < 3; ++k) EXPECT_LT(diff[k], 0.06) << c.name << " " << what << " channel " << k;
    for (const uint32_t color : c.colors) {
        const int expected = coverage(gif, color, 0);
        if (expected < 200) continue;  // too few pixels (a thin line) for the area to say much
        // Under a series: the background, the grid and the volume of combination charts.
        const std::vector<uint32_t> under{0xFFFFFF, 0xA0A0A0, 0xA0A0FF};
        const double found = covered_area(vector, color, under);
        EXPECT_NEAR(found, expected, (c.solid ? 0.03 : 0.1) * expected) << c.name << " " << what << " colour " << std::hex << color;
        if (!c.solid) continue;
        // The GIF's pixels are of the colour or not: none lies between it and another.
        const auto centre = covered_centre(vector, color, under), gif_centre = covered_centre(gif, color, {0xFFFFFF});
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(centre[k], gif_centre[k], 0.75) << c.name << " " << what << " colour " << std::hex << color << " axis " << k;
    }
}

TEST(VectorExport, PngAtScaleOneShowsTheChartOfTheGif) {
    for (const Case& c : all_cases()) {
        const Rgb gif = decode(gif_of(c.draw));
        ASSERT_GT(gif.width, 0) << c.name;
        expect_same_chart(gif, decode(vector_of(VectorFormat::Png, 1, c.draw)), c, "png");
    }
}

// The rows from the top down to the first background row below the first band of ink: the
// chart title of a picture whose title is its topmost text.
Rgb title_band(const Rgb& picture, const Rgb& band_of) {
    auto blank_row = [&](int y) {
        for (int x = 0; x < band_of.width; ++x)
            if (band_of.at(x, y) != 0xFFFFFF) return false;
        return true;
    };
    int y = 0;
    while (y < band_of.height && blank_row(y)) ++y;
    while (y < band_of.height && !blank_row(y)) ++y;
    Rgb band;
    band.width = picture.width;
    band.height = std::min(y + 1, picture.height);
    band.pixels.assign(picture.pixels.begin(), picture.pixels.begin() + static_cast<long>(band.width) * band.height);
    return band;
}

// A bar chart titled in a TrueType font of 16 points.
std::function<void(PictureTarget)> titled_bars(const std::string& title, const char* font) {
    return [title, font](PictureTarget out) {
        set_options();
        engineOptions().title = title.c_str();
        engineOptions().title_font = font;
        engineOptions().title_ptsize = 16;
        const ChartData d = chart_data(Bar);
        draw_graph(engineOptions(), kWidth, kHeight, out, Bar, kPoints, d.labels.data(), kSets, d.rows.data(), nullptr);
    };
}

// A title the chosen TrueType font lacks characters of: the vector picture draws them with the
// fallback fonts where the GIF does, not as the chosen font's missing-glyph boxes (U+E000, a
// character no font has, in their place).
TEST(VectorExport, TitlesInOtherScriptsUseTheFallbackFontsOfTheGif) {
    static constexpr const char* kFont = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
    if (!std::ifstream(kFont) || fallback_fonts().size() < 3) GTEST_SKIP() << "the fonts are not installed";
    const std::string box = "\xEE\x80\x80";
    const struct {
        std::string title, boxed;
    } cases[] = {
        {"Sales \xE9\x94\x80\xE5\x94\xAE", "Sales " + box + box},                   // Chinese
        {"\xEB\xA7\xA4\xEC\xB6\x9C 2024", box + box + " 2024"},                      // Korean
        {"Q1 \xE5\xA3\xB2\xE4\xB8\x8A\nQ2 \xE5\xA3\xB2", "Q1 " + box + box + "\nQ2 " + box},  // Japanese, two lines
    };
    for (const auto& c : cases) {
        auto draw = [](const std::string& title) { return titled_bars(title, kFont); };
        const Rgb gif = decode(gif_of(draw(c.title)));
        const Rgb boxed = decode(gif_of(draw(c.boxed)));
        const Rgb png = decode(vector_of(VectorFormat::Png, 1, draw(c.title)));
        ASSERT_EQ(png.width, gif.width) << c.title;
        const std::vector<double> same = channel_difference(title_band(gif, gif), title_band(png, gif));
        const std::vector<double> other = channel_difference(title_band(boxed, gif), title_band(png, gif));
        for (int k = 0; k < 3; ++k) {
            EXPECT_LT(same[k], 0.06) << c.title << " channel " << k;
            EXPECT_GT(other[k], 2 * same[k]) << c.title << " channel " << k;
        }
    }
}

// A picture halved by averaging each 2 x 2 block.
Rgb halved(const Rgb& big) {
    Rgb small;
    small.width = big.width / 2;
    small.height = big.height / 2;
    for (int y = 0; y < small.height; ++y)
        for (int x = 0; x < small.width; ++x) {
            uint32_t mixed = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                int sum = 0;
                for (int k = 0; k < 4; ++k) sum += (big.at(2 * x + k % 2, 2 * y + k / 2) >> shift) & 0xFF;
                mixed |= static_cast<uint32_t>((sum + 2) / 4) << shift;
            }
            small.pixels.push_back(mixed);
        }
    return small;
}

TEST(VectorExport, PngAtScaleTwoIsTheSameChartAtTwiceTheSize) {
    const std::vector<Case> cases = all_cases();
    for (const Case& c : {cases[Bar3D], cases[kChartTypeCount], cases[kChartTypeCount + 1]}) {
        const Rgb one = decode(vector_of(VectorFormat::Png, 1, c.draw));
        const Rgb two = decode(vector_of(VectorFormat::Png, 2, c.draw));
        EXPECT_EQ(two.width, 2 * one.width) << c.name;
        EXPECT_EQ(two.height, 2 * one.height) << c.name;
        const std::vector<double> diff = channel_difference(one, halved(two));
        for (int k = 0; k < 3; ++k) EXPECT_LT(diff[k], 0.03) << c.name << " channel " << k;
    }
}


// A PNG too large to draw whole is drawn in bands of rows played back from a recording: the
// same file as the picture drawn whole, for bands of any height (here 3 rows and a part).
TEST(VectorExport, PngDrawnInBandsIsThePngDrawnWhole) {
    const size_t band_bytes = 3 * 4 * 2 * kWidth + 100;
    for (const Case& c : all_cases()) {
        const std::unique_ptr<VectorSurface> whole = make_cairo_surface(VectorFormat::Png, 2);
        const std::unique_ptr<VectorSurface> banded = make_cairo_surface(VectorFormat::Png, 2, band_bytes);
        c.draw(whole.get());
        c.draw(banded.get());
        ASSERT_FALSE(whole->bytes().empty()) << c.name;
        EXPECT_TRUE(whole->bytes() == banded->bytes()) << c.name;
    }
}

// With a transparent background the PNG keeps alpha: each pixel laid over the background is
// the pixel of the PNG with the background painted (within the rounding of gd's 7-bit alpha),
// and the background itself is fully transparent.
TEST(VectorExport, PngWithATransparentBackgroundIsThePictureWithoutIt) {
    auto draw = [](bool transparent) {
        return [transparent](PictureTarget out) {
            set_options();
            engineOptions().transparent_bg = transparent ? 1 : 0;
            const ChartData d = chart_data(Line);
            draw_graph(engineOptions(), kWidth, kHeight, out, Line, kPoints, d.labels.data(), kSets, d.rows.data(), nullptr);
        };
    };
    const std::string see_through = vector_of(VectorFormat::Png, 1, draw(true));
    const Rgb opaque = decode(vector_of(VectorFormat::Png, 1, draw(false)));
    gdImagePtr im = gdImageCreateFromPngPtr(static_cast<int>(see_through.size()), const_cast<char*>(see_through.data()));
    ASSERT_NE(im, nullptr);
    ASSERT_EQ(gdImageSX(im), opaque.width);
    int transparent = 0, worst = 0;
    for (int y = 0; y < opaque.height; ++y)
        for (int x = 0; x < opaque.width; ++x) {
            const int p = gdImageGetTrueColorPixel(im, x, y);
            const double a = (127 - gdTrueColorGetAlpha(p)) / 127.0;  // 1: opaque
            transparent += a == 0;
            const int channels[] = {gdTrueColorGetRed(p), gdTrueColorGetGreen(p), gdTrueColorGetBlue(p)};
            for (int k = 0; k < 3; ++k) {
                const double over = channels[k] * a + 255 * (1 - a);  // on the white background
                const int want = static_cast<int>((opaque.at(x, y) >> (16 - 8 * k)) & 0xFF);
                worst = std::max(worst, static_cast<int>(std::lround(std::abs(over - want))));
            }
        }
    gdImageDestroy(im);
    EXPECT_LE(worst, 3);
    EXPECT_GT(transparent, opaque.width * opaque.height / 4);
}

// pdftoppm renders the PDF at 96 pixels per inch (a picture pixel is 0.75 points) and
// rsvg-convert the SVG, whose turned picture and pie arcs are the SVG writer's own.
TEST(VectorExport, PdfAndSvgRenderToTheChartOfTheGif) {
    const std::vector<Case> cases = all_cases();
    const struct {
        VectorFormat format;
        const char* extension;
        const char* command;
    } renderers[] = {{VectorFormat::Pdf, "pdf", "pdftoppm -r 96 -png -singlefile"}, {VectorFormat::Svg, "svg", "rsvg-convert"}};
    for (const auto& r : renderers)
        for (const Case& c : {cases[Bar], cases[Area3D], cases[kChartTypeCount], cases[kChartTypeCount + 1],
                              cases[kChartTypeCount + 2]}) {
            const std::string bytes = vector_of(r.format, 1, c.draw);
            expect_same_chart(decode(gif_of(c.draw)), rendered(bytes, r.extension, r.command), c, r.extension);
        }
}

// ---- SVG ----------------------------------------------------------------------------------------

// A small XML reader, enough to check what the SVG writer makes: elements nest and close,
// attributes are quoted, entities are the five of XML. The texts of the elements named
// `collect` are gathered, and the attributes of the root.
struct XmlDocument {
    bool well_formed = false;
    std::string root;
    std::map<std::string, std::string> root_attributes;
    std::vector<std::string> texts;
};

XmlDocument read_xml(const std::string& s, const std::string& collect) {
    XmlDocument doc;
    std::vector<std::string> open;
    size_t i = 0;
    auto fail = [&] { return doc; };
    // U+FFFE and U+FFFF are characters XML does not allow.
    if (s.find("\xEF\xBF\xBE") != std::string::npos || s.find("\xEF\xBF\xBF") != std::string::npos) return fail();
    if (s.compare(0, 5, "<?xml") == 0) i = s.find("?>") + 2;
    std::string text;
    while (i < s.size()) {
        if (s[i] != '<') {
            const size_t end = s.find('<', i);
            std::string raw = s.substr(i, end - i);
            for (size_t k = 0; k < raw.size(); ++k) {
                if (raw[k] != '&') {
                    text += raw[k];
                    continue;
                }
                static const std::pair<const char*, char> kEntities[] = {
                    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
                bool known = false;
                for (const auto& [name, c] : kEntities)
                    if (raw.compare(k, std::strlen(name), name) == 0) {
                        text += c;
                        k += std::strlen(name) - 1;
                        known = true;
                    }
                if (!known) return fail();
            }
            if (end == std::string::npos) break;
            i = end;
            continue;
        }
        const size_t close = s.find('>', i);
        if (close == std::string::npos) return fail();
        std::string tag = s.substr(i + 1, close - i - 1);
        i = close + 1;
        if (tag.starts_with('/')) {
            if (open.empty() || open.back() != tag.substr(1)) return fail();
            if (open.back() == collect) doc.texts.push_back(text);
            open.pop_back();
            continue;
        }
        const bool empty = tag.ends_with('/');
        if (empty) tag.pop_back();
        const std::string name = tag.substr(0, tag.find_first_of(" \n"));
        // Attributes: name="value" pairs, nothing else.
        std::map<std::string, std::string> attributes;
        for (size_t k = name.size(); k < tag.size();) {
            if (tag[k] == ' ' || tag[k] == '\n') {
                ++k;
                continue;
            }
            const size_t eq = tag.find("=\"", k), end = eq == std::string::npos ? eq : tag.find('"', eq + 2);
            if (end == std::string::npos || tag.substr(k, eq - k).find_first_of(" <&\"") != std::string::npos) return fail();
            if (!attributes.emplace(tag.substr(k, eq - k), tag.substr(eq + 2, end - eq - 2)).second) return fail();
            k = end + 1;
        }
        if (open.empty()) {
            if (!doc.root.empty()) return fail();  // one root
            doc.root = name;
            doc.root_attributes = attributes;
        }
        text.clear();
        if (!empty) open.push_back(name);
    }
    doc.well_formed = open.empty() && !doc.root.empty();
    return doc;
}

TEST(VectorExport, SvgIsWellFormedOfThePictureSizeWithItsTitlesAsTexts) {
    const struct {
        std::string name;
        std::function<void(PictureTarget)> draw;
        int width, height;
        std::vector<std::string> texts;
    } cases[] = {
        {"bars", [](PictureTarget out) { draw_type(Bar, false, out); }, kWidth, kHeight, {"Exported", "Month", "Units", "Jan", "Jun"}},
        {"horizontal bars", [](PictureTarget out) { draw_type(Bar, true, out); }, kWidth, kHeight, {"Exported", "Month", "Units"}},
        {"3D pie", [](PictureTarget out) { draw_pie_type(0, out); }, kWidth, kHeight, {"Shares", "Rent", "Other"}},
        {"markup in titles", [](PictureTarget out) {
             draw_type(Line, false, out);
             set_options();
             engineOptions().title = "Profit & <loss> \"2024\"";
             draw_graph(engineOptions(), kWidth, kHeight, out, Line, kPoints, chart_data(Line).labels.data(), kSets,
                        chart_data(Line).rows.data(), nullptr);
         }, kWidth, kHeight, {"Profit & <loss> \"2024\""}},
        {"lines of a title", [](PictureTarget out) {
             set_options();
             engineOptions().title = "First\rSecond\nThird";
             draw_graph(engineOptions(), kWidth, kHeight, out, Line, kPoints, chart_data(Line).labels.data(), kSets,
                        chart_data(Line).rows.data(), nullptr);
         }, kWidth, kHeight, {"First", "Second", "Third"}},
        {"lines of a pie title", [](PictureTarget out) {
             set_options();
             engineOptions().pie_title = "Shares\r\nof 2025";
             static const float kValues[] = {3, 1};
             draw_pie(engineOptions(), kWidth, kHeight, out, 1, 2, nullptr, kValues);
         }, kWidth, kHeight, {"Shares", "of 2025"}},
    };
    for (const auto& c : cases) {
        const XmlDocument doc = read_xml(vector_of(VectorFormat::Svg, 1, c.draw), "text");
        ASSERT_TRUE(doc.well_formed) << c.name;
        EXPECT_EQ(doc.root, "svg") << c.name;
        EXPECT_EQ(doc.root_attributes.at("width"), std::to_string(c.width)) << c.name;
        EXPECT_EQ(doc.root_attributes.at("height"), std::to_string(c.height)) << c.name;
        for (const std::string& t : c.texts)
            EXPECT_NE(std::find(doc.texts.begin(), doc.texts.end(), t), doc.texts.end()) << c.name << ": " << t;
    }
}

// Titles that are shaped (right to left, joined letters, an emoji sequence), hold a character
// no font has or break into lines export in every format as the GIF shows them: the PNG and the rendered PDF show
// the GIF's title, not its characters in stored order; the SVG is XML with the title's runs as
// texts, left to right.
TEST(VectorExport, TitlesInAnyScriptExportInEveryFormatAsTheGifShowsThem) {
    static constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::ifstream(kFont) || fallback_fonts().size() < 3) GTEST_SKIP() << "the fonts are not installed";
    const struct {
        std::string title;
        std::string other;                   // a title the picture must not show
        std::vector<std::string> svg_texts;  // the title's runs from left to right
    } cases[] = {
        {"👩‍💻 Team", "Team", {"👩‍💻 Team"}},
        {"עיר ראשית", "תישאר ריע", {"עיר ראשית"}},               // Hebrew, and its letters reversed
        {"مبيعات 2024", "4202 تاعيبم", {"2024", "مبيعات "}},  // Arabic
        // U+1FAE0, which no font has, beside Chinese from a fallback font: its box is U+10FFFD
        {"\xF0\x9F\xAB\xA0 销售", "销售", {"\xF4\x8F\xBF\xBD ", "销售"}},
        {"First line\rSecond", "First line Second", {"First line", "Second"}},  // a line each
    };
    for (const auto& c : cases) {
        const Rgb gif = decode(gif_of(titled_bars(c.title, kFont)));
        const Rgb png = decode(vector_of(VectorFormat::Png, 1, titled_bars(c.title, kFont)));
        const Rgb pdf = rendered_pdf(vector_of(VectorFormat::Pdf, 1, titled_bars(c.title, kFont)));
        // The PNG against the GIF; the PDF, smoothed as the PNG is, against the PNG.
        const struct {
            const char* format;
            const Rgb& picture;
            Rgb reference, other;
        } exports[] = {
            {"png", png, gif, decode(gif_of(titled_bars(c.other, kFont)))},
            {"pdf", pdf, png, decode(vector_of(VectorFormat::Png, 1, titled_bars(c.other, kFont)))},
        };
        for (const auto& e : exports) {
            ASSERT_EQ(e.picture.width, gif.width) << c.title << " " << e.format;
            ASSERT_EQ(e.picture.height, gif.height) << c.title << " " << e.format;
            const std::vector<double> same = channel_difference(title_band(e.reference, gif), title_band(e.picture, gif));
            const std::vector<double> wrong = channel_difference(title_band(e.other, gif), title_band(e.picture, gif));
            for (int k = 0; k < 3; ++k) {
                EXPECT_LT(same[k], 0.06) << c.title << " " << e.format << " channel " << k;
                EXPECT_GT(wrong[k], 2 * same[k]) << c.title << " " << e.format << " channel " << k;
            }
        }
        const XmlDocument svg = read_xml(vector_of(VectorFormat::Svg, 1, titled_bars(c.title, kFont)), "text");
        ASSERT_TRUE(svg.well_formed) << c.title;
        EXPECT_NE(std::search(svg.texts.begin(), svg.texts.end(), c.svg_texts.begin(), c.svg_texts.end()), svg.texts.end())
            << c.title;
    }
}

}  // namespace
}  // namespace plotwise::test
