// Texts that cannot be drawn one character after the other: right-to-left scripts (Hebrew,
// Arabic), scripts whose letters join or combine (Arabic, Syriac, the Indic scripts), and
// sequences held together by joiners or variation selectors (emoji such as woman + ZWJ +
// laptop). They are ordered with FriBidi and shaped with HarfBuzz, line by line, into runs of
// one font and one direction; the GIF and every export draw the same glyphs at the same places.
// Other texts never come here, so they are drawn exactly as before.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/text/font_fallback.h"

namespace plotwise {

// Whether a text holds a character that needs shaping or reordering (UTF-8; gd's numeric
// character references are not read).
bool needs_shaping(std::string_view text);

// A run of one font and one direction on one line, its glyphs in visual order.
struct ShapedRun {
    std::string font;                // the chosen font's name as given, or a fallback font's path
    std::string text;                // its characters in logical order, UTF-8
    int line = 0;                    // the line of the text, from 0
    bool right_to_left = false;
    long along = 0;                  // where it starts on its line, 1/64 pixels from the line's origin
    long advance = 0;                // its width, 1/64 pixels
    std::vector<GlyphPlace> glyphs;  // places from the line's origin
};

// The text's runs from left to right on each line ("\n" ends a line), shaped in the chosen font
// and the fallback fonts at the point size (96 dpi). Empty when the chosen font cannot be opened.
std::vector<ShapedRun> shape_text(const char* font, double ptsize, std::string_view text);

}  // namespace plotwise
