// GIF encoding of palette pictures, byte for byte what gd's gdImageGifPtr writes, at a
// fraction of its cost (gd fetches every pixel through a function call and bounds check).
#pragma once

#include <cstdint>
#include <vector>

#include <gd.h>

namespace plotwise {

// Appends the GIF file of a palette picture to `out`: the same header, palette, transparency
// extension, interlacing and LZW code stream as gdImageGifPtr. Returns false, leaving `out`
// as it was, for a true-colour picture (gd first reduces it to a palette) or one without pixels.
bool encode_gif(const gdImage& image, std::vector<uint8_t>& out);

}  // namespace plotwise
