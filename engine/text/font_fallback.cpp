// Fallback fonts for the characters a chosen font lacks.
//
//   1. the text as gd reads it: UTF-8 of up to three bytes and numeric character references
//   2. FreeType faces, opened once, asked which characters they have
//   3. cutting a text into runs (the fallback fonts are the platform's: font_folders.h)
#include "engine/text/font_fallback.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include <sys/stat.h>

#include "engine/text/font_files.h"
#include "engine/text/font_folders.h"
#include "engine/text/lru_map.h"

#include "common/utf8.h"

namespace plotwise {

namespace {

// ---- 1. Characters ---------------------------------------------------------------------------

struct Char {
    uint32_t code;
    std::size_t length;  // bytes it takes in the text
};

// "&#65;" or "&#x41;" at i, as gd reads it; length 0 when there is none.
Char characterReference(std::string_view s, std::size_t i) {
    if (i + 3 >= s.size() || s[i] != '&' || s[i + 1] != '#') return {0, 0};
    std::size_t k = i + 2;
    const bool hex = s[k] == 'x' || s[k] == 'X';
    if (hex) ++k;
    uint32_t code = 0;
    const std::size_t first = k;
    for (; k < s.size() && k - first < 8; ++k) {
        const char c = s[k];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) break;
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    if (k == first || k >= s.size() || s[k] != ';') return {0, 0};
    return {code, k + 1 - i};
}

// The character at i; a byte that starts no character gd reads is a character of its own.
Char nextChar(std::string_view s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == '&') {
        const Char reference = characterReference(s, i);
        if (reference.length != 0) return reference;
    }
    if (b >= 0xC0 && b <= 0xDF && i + 1 < s.size() && utf8::isContinuation(s[i + 1]))
        return {static_cast<uint32_t>(((b & 0x1F) << 6) | (s[i + 1] & 0x3F)), 2};
    if (b >= 0xE0 && b <= 0xEF && i + 2 < s.size() && utf8::isContinuation(s[i + 1]) &&
        utf8::isContinuation(s[i + 2]))
        return {static_cast<uint32_t>(((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F)), 3};
    return {b, 1};
}

// The code point of a four-byte UTF-8 sequence at i, or 0.
uint32_t fourByteCharacter(std::string_view s, std::size_t i) {
    char32_t code = 0;
    return utf8::sequence(s, i, code) == 4 ? static_cast<uint32_t>(code) : 0;
}

// ---- 2. FreeType faces -------------------------------------------------------------------------

// File size of a font: what its face maps, charged against the budget.
std::size_t fileBytes(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

// Faces opened with FreeType, by file, kept for the thread within a budget. FreeType faces must
// not be used by two threads at once, so each thread opens its own. A face handed out stays
// open while its holder keeps it, whatever the table forgets meanwhile.
class Faces {
public:
    // The face of a font file (a canonical path) with its Unicode character map selected; null
    // when FreeType cannot open it or it has no Unicode map (which characters it has is then
    // unknown). Such files are not kept.
    FontFace face(const std::string& path) {
        if (const FontFace* known = faces_.find(path)) return *known;
        FT_Library lib = library();
        FT_Face face = nullptr;
        if (lib == nullptr || FT_New_Face(lib, path.c_str(), 0, &face) != 0) return nullptr;
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) {
            FT_Done_Face(face);
            return nullptr;
        }
        // The face holds the library: it is done before the library is.
        std::shared_ptr<FT_LibraryRec_> keep = library_;
        FontFace handle(face, [keep](FT_Face f) { FT_Done_Face(f); });
        faces_.add(path, handle, fileBytes(path));
        return handle;
    }

    FontFaceStats stats() const { return FontFaceStats{faces_.size(), faces_.bytes()}; }

private:
    std::shared_ptr<FT_LibraryRec_> library_;
    bool tried_ = false;
    LruMap<FontFace> faces_{kFontFaceBudget, kFontFaceBytes};

    FT_Library library() {
        if (!tried_) {
            tried_ = true;
            FT_Library made = nullptr;
            if (FT_Init_FreeType(&made) == 0) library_.reset(made, [](FT_Library l) { FT_Done_FreeType(l); });
        }
        return library_.get();
    }
};

Faces& faces() {
    thread_local Faces instance;
    return instance;
}

bool hasGlyph(FT_Face face, uint32_t code) { return FT_Get_Char_Index(face, code) != 0; }

}  // namespace

// ---- 3. Runs -------------------------------------------------------------------------------------

// gd reads a decimal reference of at most five digits; characters past it cannot be handed to
// gd at all, and go as U+FFFF, a noncharacter no font has, so that they draw as one
// missing-glyph box rather than as four wrong glyphs.
constexpr uint32_t kLargestReference = 99999;
constexpr uint32_t kNoCharacter = 0xFFFF;

std::string gd_text(const char* text, bool keep_beyond) {
    if (text == nullptr) return {};
    const std::string_view s(text);
    std::string out;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const uint32_t code = fourByteCharacter(s, i);
        if (code == 0 || (keep_beyond && code > kLargestReference)) continue;
        out.append(s, copied, i - copied);
        out += "&#" + std::to_string(code <= kLargestReference ? code : kNoCharacter) + ";";
        copied = i + 4;
        i += 3;
    }
    if (copied == 0) return std::string(s);
    out.append(s, copied, std::string_view::npos);
    return out;
}

const std::vector<std::string>& fallback_fonts() {
    static const std::vector<std::string> files = find_fallback_font_files();
    return files;
}

std::vector<FontRun> font_runs(const char* font, const std::string& text) {
    std::vector<FontRun> runs;
    if (font == nullptr || *font == '\0') return runs;
    // Held for the whole text: opening the fallback fonts may make the table forget it.
    const FontFace chosen_face = font_face(font);
    if (chosen_face == nullptr) return runs;
    FT_Face chosen = chosen_face.get();

    // Which font draws each character: 0 the chosen font, k the fallback font k - 1.
    constexpr std::size_t kChosen = 0;
    const std::string chosen_name(font);
    bool fallback_used = false;
    std::size_t current = kChosen;
    int line = 0;
    const std::string_view s(text);
    for (std::size_t i = 0; i < s.size();) {
        const Char c = nextChar(s, i);
        if (c.code == '\n') {
            ++line;
            current = kChosen;
            i += c.length;
            continue;
        }
        const uint32_t beyond = fourByteCharacter(s, i);
        if (beyond > kLargestReference) {
            // Drawn directly by the first font that has it; no font: the chosen font's box.
            const std::string* direct_font = hasGlyph(chosen, beyond) ? &chosen_name : nullptr;
            const std::vector<std::string>& fallbacks = fallback_fonts();
            for (std::size_t k = 0; direct_font == nullptr && k < fallbacks.size(); ++k) {
                const FontFace face = faces().face(fallbacks[k]);
                if (face != nullptr && hasGlyph(face.get(), beyond)) direct_font = &fallbacks[k];
            }
            const std::string& use_font = direct_font != nullptr ? *direct_font : chosen_name;
            const bool direct = direct_font != nullptr;
            if (runs.empty() || runs.back().line != line || runs.back().font != use_font || runs.back().direct != direct)
                runs.push_back(FontRun{std::string(), use_font, line, direct});
            if (direct)
                runs.back().text.append(s, i, 4);
            else
                runs.back().text += "&#" + std::to_string(kNoCharacter) + ";";
            fallback_used = fallback_used || direct;
            current = kChosen;  // a control after it goes with the chosen font
            i += 4;
            continue;
        }
        std::size_t use = kChosen;
        if (c.code < 0x20) {
            use = current;  // tabs and other controls stay with their neighbours
        } else if (!hasGlyph(chosen, c.code)) {
            const std::vector<std::string>& fallbacks = fallback_fonts();
            for (std::size_t k = 0; k < fallbacks.size(); ++k) {
                const FontFace face = faces().face(fallbacks[k]);
                if (face != nullptr && hasGlyph(face.get(), c.code)) {
                    use = k + 1;
                    fallback_used = true;
                    break;
                }
            }
        }
        const std::string& use_font = use == kChosen ? chosen_name : fallback_fonts()[use - 1];
        if (runs.empty() || runs.back().line != line || runs.back().font != use_font || runs.back().direct)
            runs.push_back(FontRun{std::string(), use_font, line});
        runs.back().text.append(s, i, c.length);
        current = use;
        i += c.length;
    }
    if (!fallback_used) runs.clear();
    return runs;
}

FontFace font_face(const char* font) {
    const std::string file = find_font_file(font);
    return file.empty() ? nullptr : faces().face(file);
}

FontFaceStats font_face_stats() { return faces().stats(); }

const std::string& font_for(const std::string& chosen, uint32_t code) {
    const FontFace face = font_face(chosen.c_str());
    if (face == nullptr || hasGlyph(face.get(), code)) return chosen;
    for (const std::string& fallback : fallback_fonts()) {
        const FontFace other = faces().face(fallback);
        if (other != nullptr && hasGlyph(other.get(), code)) return fallback;
    }
    return chosen;
}

const char* draw_glyphs(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                        int x, int y, const std::vector<GlyphPlace>& glyphs, long pen_end) {
    const FontFace held = font_face(font);
    if (held == nullptr) return "Could not find/open font";
    FT_Face face = held.get();
    if (!std::isfinite(ptsize) || !std::isfinite(angle) ||
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ptsize * 64)), 96, 96) != 0)
        return "Could not set character size";
    if (image == nullptr) angle = 0;
    const double c = std::cos(angle), s = std::sin(angle);
    // FreeType's y axis points up, the picture's down: turning the text by the angle
    // counter-clockwise on the picture is the same turn in FreeType's coordinates.
    FT_Matrix turn{static_cast<FT_Fixed>(std::lround(c * 0x10000)), static_cast<FT_Fixed>(std::lround(-s * 0x10000)),
                   static_cast<FT_Fixed>(std::lround(s * 0x10000)), static_cast<FT_Fixed>(std::lround(c * 0x10000))};
    FT_Set_Transform(face, angle != 0 ? &turn : nullptr, nullptr);

    // The ink box at angle 0 from the origin.
    int left = 0, right = 0, top = 0, bottom = 0;
    bool inked = false;
    const char* error = nullptr;
    for (const GlyphPlace& glyph : glyphs) {
        if (FT_Load_Glyph(face, glyph.index, FT_LOAD_NO_BITMAP) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
            error = "Problem loading glyph";
            break;
        }
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        const int along = static_cast<int>((glyph.along + 32) >> 6);
        const int up = static_cast<int>((glyph.up + 32) >> 6);
        if (image == nullptr) {
            if (bitmap.width > 0 && bitmap.rows > 0) {
                const int l = along + slot->bitmap_left, t = -slot->bitmap_top - up;
                const int r = l + static_cast<int>(bitmap.width), b = t + static_cast<int>(bitmap.rows);
                left = inked ? std::min(left, l) : l, right = inked ? std::max(right, r) : r;
                top = inked ? std::min(top, t) : t, bottom = inked ? std::max(bottom, b) : b;
                inked = true;
            }
        } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.num_grays > 1) {
            const int gx = x + static_cast<int>(std::lround(along * c - up * s)) + slot->bitmap_left;
            const int gy = y - static_cast<int>(std::lround(along * s + up * c)) - slot->bitmap_top;
            const int fr = gdImageRed(image, color), fg = gdImageGreen(image, color), fb = gdImageBlue(image, color);
            const int grays = bitmap.num_grays - 1;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
                for (unsigned col = 0; col < bitmap.width; ++col) {
                    const int px = gx + static_cast<int>(col), py = gy + static_cast<int>(row);
                    // Coverage in eight levels, as gd keeps palette pictures from filling up.
                    const int level = (line[col] * 8 + grays / 2) / grays;
                    if (level == 0 || !gdImageBoundsSafe(image, px, py)) continue;
                    const int under = gdImageGetPixel(image, px, py);
                    const int br = gdImageRed(image, under), bg = gdImageGreen(image, under), bb = gdImageBlue(image, under);
                    const int mr = br + (fr - br) * level / 8, mg = bg + (fg - bg) * level / 8,
                              mb = bb + (fb - bb) * level / 8;
                    gdImageSetPixel(image, px, py,
                                    gdImageTrueColor(image) ? gdTrueColor(mr, mg, mb)
                                                            : gdImageColorResolve(image, mr, mg, mb));
                }
            }
        }
    }
    FT_Set_Transform(face, nullptr, nullptr);
    if (error != nullptr) return error;

    // The box at angle 0, the pen's end included so the next run follows the last advance.
    right = std::max(right, static_cast<int>((pen_end + 32) >> 6));
    if (brect != nullptr) {
        const int corners[4][2] = {{left, bottom}, {right, bottom}, {right, top}, {left, top}};
        for (int k = 0; k < 4; ++k) {
            brect[2 * k] = x + static_cast<int>(std::lround(corners[k][0] * c + corners[k][1] * s));
            brect[2 * k + 1] = y + static_cast<int>(std::lround(-corners[k][0] * s + corners[k][1] * c));
        }
    }
    return nullptr;
}

const char* draw_direct_run(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                            int x, int y, const std::string& text) {
    const FontFace held = font_face(font);
    if (held == nullptr) return "Could not find/open font";
    FT_Face face = held.get();
    if (!std::isfinite(ptsize) || !std::isfinite(angle) ||
        FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ptsize * 64)), 96, 96) != 0)
        return "Could not set character size";
    // Each glyph one after the other, the pen advanced by the glyph's own (hinted) advance.
    std::vector<GlyphPlace> glyphs;
    long pen = 0;
    for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
        const uint32_t code = fourByteCharacter(text, i);
        const FT_UInt glyph = code == 0 ? 0 : FT_Get_Char_Index(face, code);
        if (glyph == 0 || FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP) != 0) return "Problem loading glyph";
        glyphs.push_back(GlyphPlace{glyph, pen, 0});
        pen += face->glyph->metrics.horiAdvance;
    }
    return draw_glyphs(image, brect, color, font, ptsize, angle, x, y, glyphs, pen);
}

}  // namespace plotwise
