// Measuring texts from glyph metrics kept per font file, size and character. gd sets up the font
// size (and runs the font's hinting set-up) on every call; a chart's label thinning measures
// hundreds of distinct short texts, mostly numbers, that share a handful of glyphs.
#pragma once

namespace plotwise {

// The bounding rectangle gdImageStringFT(nullptr, brect, 0, font, ptsize, angle, x, y, text)
// gives, computed with gd's arithmetic from the hinted metrics FreeType gives gd. True when the
// text is one whose rectangle this computes exactly: one line of characters gd reads one at a
// time (no character references, no control characters), every one of them a glyph of the font,
// in a font whose character map gd reads as Unicode, at 1 to 1000 points. False otherwise, with
// brect unchanged: gd measures such texts, and reports the errors.
bool measure_from_glyphs(int brect[8], const char* font, double ptsize, double angle, int x, int y, const char* text);

// Forgets every font, size and glyph the calling thread keeps.
void clear_glyph_metrics();

}  // namespace plotwise
