// Texts for the vector back ends: runs placed as draw_text_lines places its texts, UTF-8 clean-up.
#include "engine/picture/vector_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <gdfontmb.h>

#include "common/utf8.h"
#include "engine/text/font_files.h"
#include "engine/text/text_ink.h"
#include "engine/text/text_shaping.h"

namespace plotwise {
namespace {

// gd sets FreeType text at 96 pixels per inch, and lines 1.05 em apart.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kLineSpacing = 1.05;

// The plain sans font in the cells of a built-in font: its em size and the baseline, as parts
// of the cell height.
constexpr double kSansEm = 0.85;
constexpr double kSansBaseline = 0.78;

// U+10FFFD in UTF-8: a private character no font has.
constexpr const char* kNoFontCharacter = "\xF4\x8F\xBF\xBD";

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + 1);
    }
}

// gd's form of a text back to UTF-8: numeric character references ("&#66304;") become the
// characters they stand for, as gd reads them.
std::string from_gd_text(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const size_t end = text.compare(i, 2, "&#") == 0 ? text.find(';', i + 2) : std::string_view::npos;
        unsigned long code = 0;
        bool digits = end != std::string_view::npos && end > i + 2 && end - i - 2 <= 7;
        for (size_t k = i + 2; digits && k < end; ++k) {
            digits = text[k] >= '0' && text[k] <= '9';
            code = code * 10 + static_cast<unsigned long>(text[k] - '0');
        }
        if (!digits || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            out += text[i++];
            continue;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
        i = end + 1;
    }
    return out;
}

}  // namespace

std::string utf8_text(std::string_view text) {
    bool valid = true;
    for (size_t i = 0; i < text.size() && valid;) {
        const size_t n = utf8::sequenceLength(text, i);
        valid = n > 0;
        i += n;
    }
    if (valid) {
        // Noncharacters (U+FDD0 to U+FDEF, and the last two of every plane) are valid UTF-8 that
        // XML does not allow and Cairo refuses: they become U+10FFFD, a private character no
        // font has, which draws the missing-glyph box as they do in the GIF.
        std::string out;
        for (size_t i = 0; i < text.size();) {
            const size_t n = utf8::sequenceLength(text, i);
            uint32_t code = n == 1 ? static_cast<unsigned char>(text[i]) : static_cast<unsigned char>(text[i]) & (0x7F >> n);
            for (size_t k = 1; k < n; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            if ((code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE)
                out += kNoFontCharacter;
            else
                out.append(text, i, n);
            i += n;
        }
        return out;
    }
    std::string latin;
    for (const unsigned char c : text) {
        if (c < 0x80) {
            latin += static_cast<char>(c);
        } else {
            latin += static_cast<char>(0xC0 | (c >> 6));
            latin += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return latin;
}

std::vector<TextRun> text_runs(const FontEntry& font, const char* font_file, double ptsize, double angle, int x,
                               int y, const char* text, int justification) {
    std::vector<TextRun> runs;
    if (text == nullptr || *text == '\0') return runs;
    if (freetype_draws(font_file, ptsize, text)) {
        const std::string file = find_font_file(font_file);
        if (!file.empty()) {
            // The first baseline one "Aj" line below the top, as draw_text_lines puts it.
            const int h = text_line_height(font_file, ptsize);
            const double ox = x + static_cast<int>(std::sin(angle) * h);
            const double oy = y + static_cast<int>(std::cos(angle) * (h - 1));
            const double em = ptsize * kPixelsPerPoint;
            const double c = std::cos(angle), s = std::sin(angle);
            // A shaped text goes in its runs, each with its glyphs where the GIF draws them.
            if (needs_shaping(text)) {
                const int line_space = freetype_line_space(font_file, ptsize);
                for (const ShapedRun& shaped : shape_text(font_file, ptsize, text)) {
                    const double along = shaped.along / 64.0, across = shaped.line * line_space;
                    TextRun run;
                    run.text = utf8_text(shaped.text);
                    run.x = ox + std::lround(across * s) + along * c;
                    run.y = oy + std::lround(across * c) - along * s;
                    run.angle = angle;
                    run.size = em;
                    run.font_file = find_font_file(shaped.font.c_str());
                    for (const GlyphPlace& g : shaped.glyphs)
                        run.glyphs.push_back(TextGlyph{g.index, (g.along - shaped.along) / 64.0, -g.up / 64.0});
                    run.right_to_left = shaped.right_to_left;
                    run.advance = shaped.advance / 64.0;
                    if (!run.glyphs.empty() && !run.font_file.empty()) runs.push_back(std::move(run));
                }
                return runs;
            }
            // A text the chosen font lacks characters of goes in the runs gd draws it in, each
            // in its own font and where gd puts it.
            const std::vector<PlacedFontRun> placed = freetype_runs(font_file, ptsize, text);
            if (!placed.empty()) {
                for (const PlacedFontRun& p : placed) {
                    TextRun run;
                    run.text = utf8_text(from_gd_text(p.text));
                    run.x = ox + std::lround(p.along * c + p.across * s);
                    run.y = oy + std::lround(-p.along * s + p.across * c);
                    run.angle = angle;
                    run.size = em;
                    run.font_file = find_font_file(p.font.c_str());
                    if (!run.text.empty() && !run.font_file.empty()) runs.push_back(std::move(run));
                }
                return runs;
            }
            const double step = kLineSpacing * em;
            int k = 0;
            for (const std::string_view line : split_lines(text)) {
                TextRun run;
                run.text = utf8_text(line);
                run.x = ox + std::sin(angle) * step * k;
                run.y = oy + std::cos(angle) * step * k;
                run.angle = angle;
                run.size = em;
                run.font_file = file;
                ++k;
                if (!run.text.empty()) runs.push_back(std::move(run));
            }
            return runs;
        }
    }
    if (font.font == nullptr) return runs;
    // The built-in font's cells: lines one cell height less a pixel apart, each line placed
    // by its justification; a turned text reads upward from y.
    const int cell_w = font.font->w, cell_h = font.font->h;
    const long step = font.height - 1;
    const std::vector<std::string_view> lines = split_lines(text);
    size_t longest = 0;
    for (const std::string_view line : lines) longest = std::max(longest, line.size());
    long k = 0;
    for (const std::string_view line : lines) {
        const long len = static_cast<long>(line.size());
        long offset = 0;
        if (justification == JustifyRight)
            offset = cell_w * (static_cast<long>(longest) - len);
        else if (justification != JustifyLeft)
            offset = cell_w * (static_cast<long>(longest) - len) / 2;
        TextRun run;
        run.text = utf8_text(line);
        run.size = kSansEm * cell_h;
        run.bold = font.font == gdFontGetMediumBold();
        run.cell_width = static_cast<double>(cell_w) * len;
        if (angle == 0) {
            run.x = x + offset;
            run.y = y + step * k + kSansBaseline * cell_h;
        } else {
            run.x = x + step * k + kSansBaseline * cell_h;
            run.y = y - offset + 1;
            run.angle = M_PI / 2;
        }
        ++k;
        if (!run.text.empty()) runs.push_back(std::move(run));
    }
    return runs;
}

}  // namespace plotwise
