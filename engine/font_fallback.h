// Texts in any script. A font covers only some scripts (the Liberation fonts: Latin, Greek and
// Cyrillic), so a text is cut into runs: characters the chosen font has stay with it, the others
// go to the first fallback font that has them (DejaVu Sans, then Droid Sans Fallback for Chinese
// and Japanese, then NanumGothic for Korean, found through fontconfig). A character no font has
// stays with the chosen font, which draws its missing-glyph box.
#pragma once

#include <string>
#include <vector>

namespace plotwise {

// A piece of one line of a text and the font that draws it.
struct FontRun {
    std::string text;
    std::string font;  // the chosen font's name as given, or the path of a fallback font
    int line = 0;      // the line of the text it belongs to, from 0
};

// The text as gd's FreeType drawing must get it: gd decodes UTF-8 only up to three bytes, so
// every four-byte character becomes a numeric character reference, which gd reads as one
// character: "&#66304;" for U+10300. gd reads references of at most five digits: characters
// above U+1869F (emoji, mathematical letters) become "&#65535;", a character no font has,
// and draw as one missing-glyph box. A text without four-byte characters comes back unchanged.
std::string gd_text(const char* text);

// The runs of a text in gd form (see gd_text), lines split at "\n". Empty when the chosen font
// draws every character itself, when it cannot be read, or when no fallback font has any of
// the characters it lacks: the text is then drawn whole, in one piece, as it always was.
std::vector<FontRun> font_runs(const char* font, const std::string& text);

// The fallback fonts found on this machine, in the order they are tried (paths).
const std::vector<std::string>& fallback_fonts();

}  // namespace plotwise
