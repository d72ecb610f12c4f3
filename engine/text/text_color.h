// Text routines shared by both engines: the built-in font table, measuring and drawing texts of
// several lines (FreeType through gd, built-in bitmap fonts as fallback) and the font probe.
// Palette colours are engine/picture/palette.h's.
#pragma once

#include <string>
#include <vector>

#include <gd.h>

namespace plotwise {

// One size class of the built-in fonts, with its fixed character height and width.
struct FontEntry {
    gdFontPtr font;
    signed char height;
    signed char width;
};

// A text's size in pixels.
struct TextSize {
    int width;
    int height;
};

// Where a FreeType text puts its ink, from the origin of its first baseline, drawn at angle 0.
struct TextBox {
    int left;
    int top;     // negative: above the baseline
    int right;   // also where the pen stands after the text
    int bottom;
};

// Text alignment of draw_text_lines.
enum Justification : int { JustifyRight = 0, JustifyCenter = 1, JustifyLeft = 2 };

// Fills the six-entry font table (classes 0 and 1 tiny, 2 small, 3 medium bold, 4 large, 5 giant).
void load_font_table();
// Entry of a size class; classes outside 0..5 use the nearest class.
const FontEntry& font_entry(int size_class);

// Lines of a text ("\n" separated) and the length of the longest line; 0 and 0 for null.
short count_text_lines(const char* text, int* longest);
// Size of a text in a FreeType font (when a font and a point size are given and FreeType can
// draw it) or in the built-in font of the size class; always the size of the upright text.
TextSize measure_text(const char* text, int size_class, const char* font_file, double ptsize,
                      std::string* status = nullptr);
// Draws a text with its top-left corner at (x, y); 1 when FreeType failed and the built-in
// font was used instead, else 0.
int draw_text_lines(gdImagePtr image, const FontEntry& font, const char* font_file, double ptsize,
                    double angle, int x, int y, const char* text, int color, int justification,
                    std::string* status = nullptr);
// Whether draw_text_lines draws the text with FreeType (else it falls back to the built-in font).
bool freetype_draws(const char* font_file, double ptsize, const char* text);
// The box of a text in a FreeType font as draw_text_lines draws it (fallback fonts included);
// false when FreeType cannot draw it with that font and size.
bool freetype_box(const char* font_file, double ptsize, const char* text, TextBox& box);
// The single place a run of text in one font goes to FreeType: drawn with its first baseline's
// origin at (x, y) when an image is given, only measured (at angle 0) when it is null. gd's
// error text, or null on success; the box is gd's bounding rectangle.
const char* render_font_run(gdImagePtr image, int brect[8], int color, const char* font, double ptsize, double angle,
                            int x, int y, const char* text);
// One run of a text FreeType draws in several fonts, with its pen position from the first
// baseline's origin at angle 0 (pixels along the baseline and down from the first line).
struct PlacedFontRun {
    std::string font;  // the chosen font's name as given, or the path of a fallback font
    std::string text;  // in gd's form (four-byte characters as numeric character references)
    int along;
    int across;
};
// The runs draw_text_lines draws a FreeType text in, placed where it draws them. Empty when it
// draws the text whole in the chosen font (or not with FreeType at all).
std::vector<PlacedFontRun> freetype_runs(const char* font_file, double ptsize, const char* text);
// The distance between the baselines of two lines of a FreeType text in gd's drawing; 0 when
// FreeType cannot draw with that font and size.
int freetype_line_space(const char* font_file, double ptsize);
// FreeType box of "test"; (0, 0) when the font cannot be used.
TextSize probe_font(const char* font_file, double ptsize);

}  // namespace plotwise
