// Writing a finished picture: flush the stream, then WBMP (image_format 3, by gd) or GIF (by
// the GIF writer, the same bytes as gd's).
#pragma once

#include <cstdio>

#include <gd.h>

namespace plotwise {

// The largest picture an engine draws: 16 777 216 pixels (4096 x 4096, or 32767 x 512). A
// palette picture takes one byte per pixel, so however large a size a stored definition asks
// for, a drawing needs at most 16 MB for its picture (and a turned chart twice that). Larger
// sizes are refused like sizes below 1: nothing is drawn or written.
constexpr long kMaxPicturePixels = 1L << 24;

// True when a picture of width x height can be drawn: both sides at least 1, the area within
// kMaxPicturePixels.
constexpr bool picture_size_usable(long width, long height) {
    return width >= 1 && height >= 1 && width * height <= kMaxPicturePixels;
}

// Writes the picture to `out` as GIF, or as WBMP when `wbmp` (image_format 3);
// `wbmp_foreground` is the palette index drawn black in a WBMP.
void write_picture(gdImagePtr image, FILE* out, bool wbmp, int wbmp_foreground);

}  // namespace plotwise
