// The background picture under a chart: a GIF file copied onto the palette picture before
// anything else is drawn.
#pragma once

#include <gd.h>

namespace plotwise {

// Copies the GIF picture named by `file` under a chart of the given size (centred when it is
// smaller, else cropped from its top-left corner); nothing happens when it cannot be read.
void draw_background_image(gdImagePtr image, const char* file, int width, int height);

}  // namespace plotwise
