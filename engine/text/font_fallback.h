// Texts in any script. A font covers only some scripts (the Liberation fonts: Latin, Greek and
// Cyrillic), so a text is cut into runs: characters the chosen font has stay with it, the others
// go to the first fallback font that has them (DejaVu Sans, then Droid Sans Fallback for Chinese
// and Japanese, then NanumGothic for Korean, found through fontconfig; on Windows Segoe UI,
// Microsoft YaHei, Malgun Gothic and the like: engine/text/font_folders.h). A character no font has
// stays with the chosen font, which draws its missing-glyph box.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <gd.h>

namespace plotwise {

// A piece of one line of a text and the font that draws it.
struct FontRun {
    std::string text;
    std::string font;  // the chosen font's name as given, or the path of a fallback font
    int line = 0;      // the line of the text it belongs to, from 0
    // Characters gd cannot be handed (past U+1869F, see gd_text) in a font that has them, kept
    // as UTF-8 and drawn with FreeType directly by draw_direct_run.
    bool direct = false;
};

// The text as gd's FreeType drawing must get it: gd decodes UTF-8 only up to three bytes, so
// every four-byte character becomes a numeric character reference, which gd reads as one
// character: "&#66304;" for U+10300. gd reads references of at most five digits: characters
// above U+1869F (emoji, mathematical letters) become "&#65535;", a character no font has,
// and draw as one missing-glyph box. A text without four-byte characters comes back unchanged.
// With keep_beyond those characters stay as they are (UTF-8), for font_runs to find a font
// that has them.
std::string gd_text(const char* text, bool keep_beyond = false);

// The runs of a text in gd form (see gd_text), lines split at "\n". Empty when the chosen font
// draws every character itself, when it cannot be read, or when no fallback font has any of
// the characters it lacks: the text is then drawn whole, in one piece, as it always was.
// Given a text from gd_text(text, true), characters past U+1869F that a font has go in direct
// runs of their own; those no font has become "&#65535;" in the chosen font's run.
std::vector<FontRun> font_runs(const char* font, const std::string& text);

// Draws a direct run (characters past what gd reads) with FreeType into a gd picture, the way
// gd draws: 96 dpi, glyphs from the first baseline's origin (x, y) along the angle, each pen
// advanced by the glyph's advance, antialiased coverage in eight levels blended with the pixel
// underneath, within the clip area. With no image only measures at angle 0. The bounding
// rectangle as gdImageStringFT gives it; an error text, or null.
const char* draw_direct_run(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                            int x, int y, const std::string& text);

// A glyph of a font placed along a line: its pen position in 1/64 pixels along the baseline
// and up from it.
struct GlyphPlace {
    unsigned index;  // the glyph's index in its font; 0 is the font's missing-glyph box
    long along;
    long up;
};

// Draws glyphs of one font as draw_direct_run draws its characters, each at its place from the
// first baseline's origin (x, y); `pen_end` is where the pen stands after them. With no image
// only measures at angle 0. The bounding rectangle as gdImageStringFT gives it; an error text,
// or null.
const char* draw_glyphs(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                        int x, int y, const std::vector<GlyphPlace>& glyphs, long pen_end);

// A FreeType face, open while it is held (see font_face).
using FontFace = std::shared_ptr<FT_FaceRec_>;

// The FreeType face of a font (a name or a file, see find_font_file), opened once per thread and
// kept within a budget; null when it cannot be opened. The face stays open while the handle is
// held, whatever other fonts are opened meanwhile.
FontFace font_face(const char* font);

// The calling thread's face table, for the tests of its budget: faces kept and the bytes of
// their files.
struct FontFaceStats {
    std::size_t faces;
    std::size_t bytes;
};
FontFaceStats font_face_stats();
constexpr std::size_t kFontFaceBudget = 16;
constexpr std::size_t kFontFaceBytes = std::size_t{64} << 20;

// The font that draws a character: the chosen font when it has it, else the first fallback font
// that has it, else the chosen font (which draws its missing-glyph box).
const std::string& font_for(const std::string& chosen, uint32_t code);

// The fallback fonts found on this machine, in the order they are tried (paths).
const std::vector<std::string>& fallback_fonts();

}  // namespace plotwise
