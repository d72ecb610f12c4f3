// Shaping and ordering texts of right-to-left and joined scripts.
//
//   1. which texts need it: a table of the characters that do
//   2. a line's characters, each with its font (fallback fonts as the runs of gd's drawing take
//      them; marks, joiners and selectors stay with the character they belong to), its script
//      and its bidi level (FriBidi, paragraph direction from the first strong character)
//   3. runs of one font, script and level, each shaped by HarfBuzz in its direction
//   4. the runs put in visual order (the Unicode rule: from the highest level down to the
//      lowest odd one, every sequence at that level or above is reversed) and placed
#include "engine/text/text_shaping.h"

#include <fribidi.h>
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "common/utf8.h"

namespace plotwise {
namespace {

// ---- 1. Characters that need shaping ------------------------------------------------------------

struct CodeRange {
    uint32_t first, last;
};

constexpr std::array<CodeRange, 15> kShapedRanges{{
    {0x0590, 0x08FF},    // Hebrew, Arabic, Syriac, Thaana, NKo, Samaritan, Mandaic
    {0x0900, 0x0DFF},    // the Indic scripts, Devanagari to Sinhala
    {0x0F00, 0x109F},    // Tibetan, Myanmar
    {0x1780, 0x17FF},    // Khmer
    {0x200C, 0x200F},    // zero-width non-joiner and joiner, direction marks
    {0x202A, 0x202E},    // direction embeddings and overrides
    {0x2066, 0x2069},    // direction isolates
    {0xFB1D, 0xFDFF},    // Hebrew and Arabic presentation forms
    {0xFE00, 0xFE0F},    // variation selectors
    {0xFE70, 0xFEFE},    // Arabic presentation forms
    {0x10800, 0x10FFF},  // historic right-to-left scripts
    {0x1E800, 0x1EFFF},  // Adlam, Arabic mathematical letters
    {0x1F3FB, 0x1F3FF},  // emoji skin tones
    {0xE0020, 0xE007F},  // tags (flags of regions)
    {0xE0100, 0xE01EF},  // variation selectors
}};

bool inRanges(uint32_t code) {
    return std::any_of(kShapedRanges.begin(), kShapedRanges.end(),
                       [code](const CodeRange& r) { return code >= r.first && code <= r.last; });
}

constexpr uint32_t kJoiner = 0x200D;

// The characters of a text; a byte that starts no valid UTF-8 sequence stands for itself
// (Latin-1), as the built-in fonts read it.
std::vector<uint32_t> codePoints(std::string_view s) {
    std::vector<uint32_t> codes;
    for (std::size_t i = 0, taken = 0; i < s.size(); i += taken) codes.push_back(utf8::decode(s, i, taken));
    return codes;
}

// ---- 2. Fonts, scripts and levels -----------------------------------------------------------------

// Characters drawn with the character before them, in its font: joiners, selectors, skin tones,
// tags, marks and controls.
bool belongsToPrevious(uint32_t code) {
    if (code < 0x20 || code == kJoiner || code == 0x200C || (code >= 0xFE00 && code <= 0xFE0F) ||
        (code >= 0x1F3FB && code <= 0x1F3FF) || (code >= 0xE0020 && code <= 0xE01EF))
        return true;
    const hb_unicode_general_category_t category = hb_unicode_general_category(hb_unicode_funcs_get_default(), code);
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

std::vector<const std::string*> fontsOf(const std::string& chosen, const std::vector<uint32_t>& codes) {
    std::vector<const std::string*> fonts(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const uint32_t code = codes[i];
        if (i > 0 && belongsToPrevious(code)) {
            fonts[i] = fonts[i - 1];
            continue;
        }
        // The character after a joiner stays in the sequence's font when that font has it.
        if (i > 0 && codes[i - 1] == kJoiner) {
            const FontFace face = font_face(fonts[i - 1]->c_str());
            if (face != nullptr && FT_Get_Char_Index(face.get(), code) != 0) {
                fonts[i] = fonts[i - 1];
                continue;
            }
        }
        fonts[i] = &font_for(chosen, code);
    }
    return fonts;
}

// Each character's script; characters common to all scripts (spaces, digits, punctuation) and
// inherited ones (marks) take the script of the characters around them.
std::vector<hb_script_t> scriptsOf(const std::vector<uint32_t>& codes) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    std::vector<hb_script_t> scripts(codes.size(), HB_SCRIPT_COMMON);
    hb_script_t current = HB_SCRIPT_COMMON;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const hb_script_t script = hb_unicode_script(unicode, codes[i]);
        if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN) {
            if (current == HB_SCRIPT_COMMON) std::fill(scripts.begin(), scripts.begin() + static_cast<long>(i), script);
            current = script;
        }
        scripts[i] = current;
    }
    return scripts;
}

std::vector<FriBidiLevel> levelsOf(const std::vector<uint32_t>& codes) {
    const auto n = static_cast<FriBidiStrIndex>(codes.size());
    std::vector<FriBidiCharType> types(codes.size());
    std::vector<FriBidiBracketType> brackets(codes.size());
    std::vector<FriBidiLevel> levels(codes.size(), 0);
    fribidi_get_bidi_types(codes.data(), n, types.data());
    fribidi_get_bracket_types(codes.data(), n, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), n, &direction, levels.data()) == 0)
        std::fill(levels.begin(), levels.end(), 0);
    return levels;
}

// ---- 3. Shaping -------------------------------------------------------------------------------

struct LogicalRun {
    std::size_t start, length;
    const std::string* font;
    hb_script_t script;
    FriBidiLevel level;
};

// Shapes one run with HarfBuzz: glyphs in visual order, places from the run's start.
void shapeRun(const std::vector<uint32_t>& codes, const LogicalRun& logical, double ptsize, ShapedRun& run) {
    const FontFace held = font_face(logical.font->c_str());
    FT_Face face = held.get();
    if (face == nullptr || FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(ptsize * 64)), 96, 96) != 0)
        return;
    hb_font_t* font = hb_ft_font_create_referenced(face);
    // Hinted advances, as gd's FreeType drawing takes them.
    hb_ft_font_set_load_flags(font, FT_LOAD_NO_BITMAP);
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf32(buffer, codes.data(), static_cast<int>(codes.size()), static_cast<unsigned>(logical.start),
                        static_cast<int>(logical.length));
    hb_buffer_set_direction(buffer, logical.level % 2 != 0 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, logical.script);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, &count);
    long pen = 0;
    for (unsigned k = 0; k < count; ++k) {
        run.glyphs.push_back(GlyphPlace{infos[k].codepoint, pen + positions[k].x_offset, positions[k].y_offset});
        pen += positions[k].x_advance;
    }
    run.advance = pen;
    hb_buffer_destroy(buffer);
    hb_font_destroy(font);
}

// ---- 4. Visual order ----------------------------------------------------------------------------

void shapeLine(const std::string& chosen, double ptsize, std::string_view text, int line, std::vector<ShapedRun>& out) {
    const std::vector<uint32_t> codes = codePoints(text);
    if (codes.empty()) return;
    const std::vector<const std::string*> fonts = fontsOf(chosen, codes);
    const std::vector<hb_script_t> scripts = scriptsOf(codes);
    const std::vector<FriBidiLevel> levels = levelsOf(codes);

    std::vector<LogicalRun> logical;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (!logical.empty() && logical.back().font == fonts[i] && logical.back().script == scripts[i] &&
            logical.back().level == levels[i]) {
            ++logical.back().length;
            continue;
        }
        logical.push_back(LogicalRun{i, 1, fonts[i], scripts[i], levels[i]});
    }

    // From the highest level down to the lowest odd one, reverse each stretch of runs at that
    // level or above.
    int highest = 0, lowest_odd = 256;
    for (const LogicalRun& r : logical) {
        highest = std::max<int>(highest, r.level);
        if (r.level % 2 != 0) lowest_odd = std::min<int>(lowest_odd, r.level);
    }
    for (int level = highest; level >= lowest_odd && level > 0; --level)
        for (auto it = logical.begin(); it != logical.end();) {
            if (it->level < level) {
                ++it;
                continue;
            }
            auto end = it;
            while (end != logical.end() && end->level >= level) ++end;
            std::reverse(it, end);
            it = end;
        }

    long along = 0;
    for (const LogicalRun& r : logical) {
        ShapedRun run;
        run.font = *r.font;
        for (std::size_t i = r.start; i < r.start + r.length; ++i) utf8::append(run.text, codes[i]);
        run.line = line;
        run.right_to_left = r.level % 2 != 0;
        run.along = along;
        shapeRun(codes, r, ptsize, run);
        for (GlyphPlace& glyph : run.glyphs) glyph.along += along;
        along += run.advance;
        out.push_back(std::move(run));
    }
}

}  // namespace

bool needs_shaping(std::string_view text) {
    for (std::size_t i = 0, taken = 0; i < text.size(); i += taken) {
        // Nothing below U+0590 needs it: those texts are read byte by byte.
        if (static_cast<unsigned char>(text[i]) < 0xD6) {
            taken = 1;
            continue;
        }
        if (inRanges(utf8::decode(text, i, taken))) return true;
    }
    return false;
}

std::vector<ShapedRun> shape_text(const char* font, double ptsize, std::string_view text) {
    std::vector<ShapedRun> runs;
    if (font_face(font) == nullptr || !std::isfinite(ptsize)) return runs;
    const std::string chosen(font);
    int line = 0;
    for (;;) {
        const std::size_t end = text.find('\n');
        shapeLine(chosen, ptsize, text.substr(0, end), line++, runs);
        if (end == std::string_view::npos) return runs;
        text.remove_prefix(end + 1);
    }
}

}  // namespace plotwise
