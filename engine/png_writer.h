// PNG files of Cairo's image surfaces, written with zlib. Cairo's own writer goes through
// libpng's default settings: five row filters tried on every row and deflate at level 6, most
// of a PNG export's time. Chart pictures are large plain areas: the better of two cheap filters
// per row and a faster deflate level write them in about a quarter of that time.
#pragma once

#include <string>

namespace plotwise {

// Appends the PNG file of a picture in Cairo's ARGB32 layout (native 32-bit words, colour
// premultiplied by alpha, `stride` bytes per row) to `out`, with the pixels Cairo's own writer
// stores: colour divided by alpha as Cairo divides it, RGB without alpha when every pixel is
// opaque. False, with `out` as it was, when zlib fails or the size is not a PNG size.
bool encode_png(const unsigned char* data, int width, int height, int stride, std::string& out);

}  // namespace plotwise
