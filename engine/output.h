// Writing a finished picture: flush the stream, then WBMP (image_format 3) or GIF.
#pragma once

#include <cstdio>

#include <gd.h>

namespace plotwise {

// Writes the picture to `out`; `wbmp_foreground` is the palette index drawn black in a WBMP.
void write_picture(gdImagePtr image, FILE* out, int wbmp_foreground);

}  // namespace plotwise
