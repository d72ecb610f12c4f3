// What the vector back ends share: texts laid out as runs where draw_text_lines would put
// them (each in the file its font name stands for), and texts made valid UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/text/text_color.h"

namespace plotwise {

// A shaped glyph of a run: its index in the run's font and its place from the run's start, in
// pixels along the baseline and down from it.
struct TextGlyph {
    unsigned index;
    double x, y;
};

// One line of text, or one run of a shaped line, on its baseline.
struct TextRun {
    std::string text;        // UTF-8
    double x = 0, y = 0;     // start of the baseline, in picture pixels
    double angle = 0;        // radians counter-clockwise
    double size = 0;         // em size in pixels
    std::string font_file;   // a FreeType font file; empty: the plain sans font
    bool bold = false;       // the sans font in bold
    double cell_width = 0;   // a built-in text's cells along the baseline, which the text is fitted to
    // A shaped run (right-to-left or joined script): the glyphs to draw, in visual order, its
    // direction and its width in pixels. Its text is in logical order.
    std::vector<TextGlyph> glyphs;
    bool right_to_left = false;
    double advance = 0;
};

// The runs of a text drawn as draw_text_lines draws it: in the FreeType font where gd draws it
// with FreeType (the same file, at 96 pixels per inch), else in the plain sans font filling the
// cells of the built-in font.
std::vector<TextRun> text_runs(const FontEntry& font, const char* font_file, double ptsize, double angle, int x,
                               int y, const char* text, int justification);

// The text as valid UTF-8: a text that is not valid UTF-8 is read as Latin-1, as the built-in
// fonts read it; noncharacters (which XML and Cairo refuse) become U+10FFFD, a character no
// font has.
std::string utf8_text(std::string_view text);

}  // namespace plotwise
