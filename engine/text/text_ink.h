// Where the ink of a FreeType text lies as draw_text_lines draws it. gd sets FreeType text by
// the baseline of its first line; draw_text_lines, given the top-left corner of a text, puts
// that baseline one line of "Aj" below the corner, less a pixel, so the ink rarely starts at
// the top given. This is the one place that rule is written: the drawing (draw_text_lines and
// the vector back ends) and every layout that places a text by its ink use these routines.
#pragma once

namespace plotwise {

// The height of a line of FreeType text in a font and size: that of "Aj", from the top of a
// capital to the bottom of a descender (the built-in font's height where FreeType cannot draw).
int text_line_height(const char* font_file, double ptsize);

// Where the ink of a text drawn upright with its top-left corner at (0, 0) lies: its first and
// last column and row. A turned text (reading upward) drawn at x has its ink in the columns
// x + top + 1 to x + bottom + 1. `drawn` is false (and the offsets 0) when FreeType does not
// draw the text.
struct TextInk {
    bool drawn = false;
    int left = 0, right = 0, top = 0, bottom = 0;
};
TextInk text_ink(const char* font_file, double ptsize, const char* text);

}  // namespace plotwise
