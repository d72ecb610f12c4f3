// Measuring texts from glyph metrics kept per font file, size and character.
//
// How gd measures a text (gdImageStringFT with no image): it opens the font file with FreeType,
// takes the first character map that is Unicode, a symbol map or an Adobe map, sets the size to
// the point size times 64, truncated, at 300 dpi, and loads each glyph hinted (FT_LOAD_DEFAULT).
// Before a glyph that follows another it moves the pen by FT_Get_Kerning's default (fitted)
// distance, unless the font is fixed-width or has no kerning. Each glyph spans from the pen plus
// its left bearing to the pen plus its advance across, and from minus its top bearing to that
// plus its height down; the text's box is the union of the glyphs' boxes (the first glyph's box,
// not the origin, starts it). Its corners are turned by the angle, scaled from 1/64 pixels at
// 300 dpi to pixels at 96 dpi, added to the origin and truncated to int.
//
// The metrics of a glyph depend only on the font file, the size and the glyph, so they are kept;
// a text is then measured with a lookup per character. FreeType objects are not thread-safe:
// each thread keeps its own, and measures without waiting for another.
#include "engine/text/glyph_metrics.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "common/utf8.h"
#include "engine/text/font_files.h"

namespace plotwise {

namespace {

// gd measures at this resolution and draws at this one.
constexpr int kMetricDpi = 300;
constexpr int kPictureDpi = 96;
// Sizes measured here; others go to gd (which reports the errors of absurd ones).
constexpr double kSmallestSize = 1, kLargestSize = 1000;
// Memory stays bounded however many fonts, sizes and characters a long-running host sees:
// past these counts everything kept is forgotten and measured again.
constexpr std::size_t kMaxFaces = 16;
constexpr std::size_t kMaxSizes = 64;
constexpr std::size_t kMaxEntries = std::size_t{1} << 16;  // glyphs and kerning pairs together

struct Glyph {
    FT_UInt index;  // 0: the font has no glyph for the character
    FT_Pos left, top, height, advance;
};

// One size of one face: its FreeType size object and what was loaded at it.
struct SizeMetrics {
    FT_Size size = nullptr;
    std::unordered_map<uint32_t, Glyph> glyphs;
    std::unordered_map<uint64_t, FT_Pos> kerning;  // by (previous glyph << 32 | glyph)
};

struct Face {
    FT_Face face = nullptr;
    bool kerns = false;  // gd moves the pen by the kerning distance
    std::unordered_map<FT_F26Dot6, SizeMetrics> sizes;
};

// The next character of a text as gd reads it into `code`; its length in bytes, or 0 when it is
// a character this measurement leaves to gd (control characters, "&" that may start a character
// reference, bytes that are not UTF-8 of one to three bytes).
std::size_t next_character(const unsigned char* s, uint32_t& code) {
    const unsigned b = s[0];
    auto continuation = [](unsigned char c) { return utf8::isContinuation(c); };
    if (b < 0x20 || b == '&' || b == 0x7F) return 0;
    if (b < 0x80) {
        code = b;
        return 1;
    }
    if (b >= 0xC0 && b <= 0xDF && continuation(s[1])) {
        code = (b & 0x1F) << 6 | (s[1] & 0x3F);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && continuation(s[1]) && continuation(s[2])) {
        code = (b & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F);
        return 3;
    }
    return 0;
}

class GlyphMetrics {
public:
    ~GlyphMetrics() {
        clear_locked();
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }

    bool measure(int brect[8], const char* font, double ptsize, double angle, int x, int y, const char* text) {
        if (font == nullptr || text == nullptr || *text == '\0' || !(ptsize >= kSmallestSize && ptsize <= kLargestSize) ||
            !std::isfinite(angle))
            return false;
        Face* face = face_of(font);
        if (face == nullptr) return false;
        SizeMetrics* size = size_of(*face, static_cast<FT_F26Dot6>(ptsize * 64));
        if (size == nullptr) return false;

        FT_Vector total_min{0, 0}, total_max{0, 0};
        FT_Pos pen = 0;
        FT_UInt previous = 0;
        const auto* s = reinterpret_cast<const unsigned char*>(text);
        for (std::size_t i = 0; s[i] != 0;) {
            uint32_t code = 0;
            const std::size_t length = next_character(s + i, code);
            if (length == 0) return false;
            const Glyph* glyph = glyph_of(*face, *size, code);
            if (glyph == nullptr) return false;
            if (previous != 0 && face->kerns) {
                const FT_Pos kern = kerning(*face, *size, previous, glyph->index);
                // gd may add the distance to the previous glyph's advance rather than to the
                // pen: the box is the same unless the pull back is wider than this glyph.
                if (kern < -glyph->advance) return false;
                pen += kern;
            }
            const FT_Vector glyph_min{pen + glyph->left, -glyph->top};
            const FT_Vector glyph_max{pen + glyph->advance, glyph_min.y + glyph->height};
            if (i == 0) {
                total_min = glyph_min, total_max = glyph_max;
            } else {
                if (glyph_min.x < total_min.x) total_min.x = glyph_min.x;
                if (glyph_min.y < total_min.y) total_min.y = glyph_min.y;
                if (glyph_max.x > total_max.x) total_max.x = glyph_max.x;
                if (glyph_max.y > total_max.y) total_max.y = glyph_max.y;
            }
            pen += glyph->advance;
            previous = glyph->index;
            i += length;
        }

        // gd's expressions as written: the corners turned, scaled and truncated.
        const double sin_a = std::sin(angle), cos_a = std::cos(angle);
        const double scale = static_cast<double>(kPictureDpi) / (64 * kMetricDpi);
        const double min_x = static_cast<double>(total_min.x), min_y = static_cast<double>(total_min.y);
        const double max_x = static_cast<double>(total_max.x), max_y = static_cast<double>(total_max.y);
        if (brect != nullptr) {
            brect[0] = static_cast<int>(x + (min_x * cos_a + max_y * sin_a) * scale);
            brect[1] = static_cast<int>(y - (min_x * sin_a - max_y * cos_a) * scale);
            brect[2] = static_cast<int>(x + (max_x * cos_a + max_y * sin_a) * scale);
            brect[3] = static_cast<int>(y - (max_x * sin_a - max_y * cos_a) * scale);
            brect[4] = static_cast<int>(x + (max_x * cos_a + min_y * sin_a) * scale);
            brect[5] = static_cast<int>(y - (max_x * sin_a - min_y * cos_a) * scale);
            brect[6] = static_cast<int>(x + (min_x * cos_a + min_y * sin_a) * scale);
            brect[7] = static_cast<int>(y - (min_x * sin_a - min_y * cos_a) * scale);
        }
        return true;
    }

    void clear() { clear_locked(); }

private:
    void clear_locked() {
        for (auto& [file, face] : faces_) FT_Done_Face(face->face);  // with its sizes
        faces_.clear();
        entries_ = sizes_ = 0;
    }

    // The face gd opens for a font name, with the character map gd takes; null when gd would not
    // read the text as Unicode characters or the font cannot be opened (gd then reports it).
    Face* face_of(const char* font) {
        const std::string file = find_font_file(font);
        if (file.empty()) return nullptr;
        auto opened = faces_.find(file);
        if (opened == faces_.end()) {
            if (faces_.size() >= kMaxFaces) clear_locked();
            if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) {
                library_ = nullptr;
                return nullptr;
            }
            FT_Face face = nullptr;
            if (FT_New_Face(library_, file.c_str(), 0, &face) != 0) return nullptr;
            auto made = std::make_unique<Face>();
            made->face = face;
            made->kerns = !FT_IS_FIXED_WIDTH(face) && FT_HAS_KERNING(face);
            FT_CharMap map = nullptr;
            for (int i = 0; i < face->num_charmaps && map == nullptr; ++i) {
                const FT_Encoding e = face->charmaps[i]->encoding;
                if (e == FT_ENCODING_MS_SYMBOL || e == FT_ENCODING_UNICODE || e == FT_ENCODING_ADOBE_CUSTOM ||
                    e == FT_ENCODING_ADOBE_STANDARD)
                    map = face->charmaps[i];
            }
            if (map == nullptr || map->encoding != FT_ENCODING_UNICODE || FT_Set_Charmap(face, map) != 0) {
                FT_Done_Face(face);
                return nullptr;
            }
            opened = faces_.emplace(file, std::move(made)).first;
        }
        return opened->second.get();
    }

    // The size gd sets for a point size (times 64, truncated), at gd's measuring resolution.
    SizeMetrics* size_of(Face& face, FT_F26Dot6 char_size) {
        const auto known = face.sizes.find(char_size);
        if (known != face.sizes.end()) return &known->second;
        if (sizes_ >= kMaxSizes) forget_sizes();
        FT_Size size = nullptr;
        if (FT_New_Size(face.face, &size) != 0) return nullptr;
        if (FT_Activate_Size(size) != 0 || FT_Set_Char_Size(face.face, 0, char_size, kMetricDpi, kMetricDpi) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        ++sizes_;
        SizeMetrics& made = face.sizes[char_size];
        made.size = size;
        return &made;
    }

    // The hinted metrics of a character's glyph; null when the font has no glyph for it or it
    // cannot be loaded (gd then draws or reports it).
    const Glyph* glyph_of(Face& face, SizeMetrics& size, uint32_t code) {
        auto known = size.glyphs.find(code);
        if (known == size.glyphs.end()) {
            if (entries_ >= kMaxEntries) forget_entries();
            Glyph glyph{FT_Get_Char_Index(face.face, code), 0, 0, 0, 0};
            if (glyph.index != 0) {
                FT_Activate_Size(size.size);
                if (FT_Load_Glyph(face.face, glyph.index, FT_LOAD_DEFAULT) != 0) return nullptr;
                const FT_Glyph_Metrics& m = face.face->glyph->metrics;
                glyph.left = m.horiBearingX, glyph.top = m.horiBearingY, glyph.height = m.height;
                glyph.advance = m.horiAdvance;
            }
            ++entries_;
            known = size.glyphs.emplace(code, glyph).first;
        }
        return known->second.index != 0 ? &known->second : nullptr;
    }

    FT_Pos kerning(Face& face, SizeMetrics& size, FT_UInt previous, FT_UInt index) {
        const uint64_t key = static_cast<uint64_t>(previous) << 32 | index;
        const auto known = size.kerning.find(key);
        if (known != size.kerning.end()) return known->second;
        FT_Vector delta{0, 0};
        FT_Activate_Size(size.size);
        if (FT_Get_Kerning(face.face, previous, index, FT_KERNING_DEFAULT, &delta) != 0) delta.x = 0;
        if (entries_ < kMaxEntries) {
            ++entries_;
            size.kerning.emplace(key, delta.x);
        }
        return delta.x;
    }

    // Empties every size's glyphs and kerning pairs.
    void forget_entries() {
        for (auto& [file, face] : faces_)
            for (auto& [char_size, size] : face->sizes) size.glyphs.clear(), size.kerning.clear();
        entries_ = 0;
    }

    // Drops every size with its glyphs and kerning pairs.
    void forget_sizes() {
        for (auto& [file, face] : faces_) {
            for (auto& [char_size, size] : face->sizes) FT_Done_Size(size.size);
            face->sizes.clear();
        }
        sizes_ = entries_ = 0;
    }

    FT_Library library_ = nullptr;
    std::unordered_map<std::string, std::unique_ptr<Face>> faces_;  // by file (canonical path)
    std::size_t sizes_ = 0, entries_ = 0;
};

GlyphMetrics& glyph_metrics() {
    thread_local GlyphMetrics instance;
    return instance;
}

}  // namespace

bool measure_from_glyphs(int brect[8], const char* font, double ptsize, double angle, int x, int y, const char* text) {
    return glyph_metrics().measure(brect, font, ptsize, angle, x, y, text);
}

void clear_glyph_metrics() { glyph_metrics().clear(); }

}  // namespace plotwise
