// FreeType text through gd, remembered between calls. gd sets up the font size and hints every
// glyph on each call; a chart draws dozens of texts and measures many more, and a host that
// shows a list draws the same charts over and over. These two routines take the arguments of
// gdImageStringFT and give exactly its results: the same pixels, the same palette entries in
// the same order, the same bounding rectangle and the same error texts.
#pragma once

#include <cstddef>

#include <gd.h>

namespace plotwise {

// Both take a font name or file as gdImageStringFT does, and give gd the file it stands for
// (find_font_file); stamps and measurements are kept by that file.

// gdImageStringFT(image, brect, color, font_file, ptsize, angle, x, y, text). A text drawn
// before at the same place, in the same picture size and clip area, in the same colour and
// over the same uniform background colour is copied from a stamp of what gd drew then; any
// other text is drawn by gd.
const char* draw_string_ft(gdImagePtr image, int brect[8], int color, const char* font_file, double ptsize,
                           double angle, int x, int y, const char* text);

// gdImageStringFT with no image: only the bounding rectangle, remembered by font, size,
// angle, origin and text; a plain text not remembered is measured from kept glyph metrics
// (glyph_metrics), others by gd. Failures are not remembered, so a font that appears later is
// used.
const char* measure_string_ft(int brect[8], const char* font_file, double ptsize, double angle, int x, int y,
                              const char* text);

// Each thread has a cache of its own; the statistics and clear_text_cache concern the calling
// thread's. What the cache holds, how many texts it was given to draw and how many it copied.
struct TextCacheStats {
    std::size_t stamp_bytes;
    std::size_t measurements;
    unsigned long texts_drawn;
    unsigned long stamps_copied;
};
TextCacheStats text_cache_stats();

// Forgets every stamp and measurement of the calling thread.
void clear_text_cache();

// Turns the cache on (as it starts) or off for every thread; off, both routines are gdImageStringFT itself. For
// comparing the two ways of drawing in tests and benchmarks.
void use_text_cache(bool on);

}  // namespace plotwise
