// Palette colours: DefaultColor, exact match, new entry, closest match, shades.
#include "engine/picture/palette.h"

#include "engine/chart_options.h"

namespace plotwise {
namespace {

int channel(uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// Palette index of an already resolved 0xRRGGBB colour.
int paletteIndex(gdImagePtr image, int r, int g, int b) {
    const int exact = gdImageColorExact(image, r, g, b);
    if (exact >= 0) return exact;
    if (gdImageColorsTotal(image) >= gdMaxColors) return gdImageColorClosest(image, r, g, b);
    const int fresh = gdImageColorAllocate(image, r, g, b);
    // A palette with a freed slot still counts as full; fall back to the closest colour.
    return fresh >= 0 ? fresh : gdImageColorClosest(image, r, g, b);
}

}  // namespace

uint32_t resolve_color(uint32_t color, uint32_t background) {
    if (color != DefaultColor) return color & 0xFFFFFF;
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        if (channel(background, shift) < 0x80) result |= 0xFFu << shift;
    return result;
}

int allocate_color(gdImagePtr image, uint32_t color, uint32_t background) {
    const uint32_t c = resolve_color(color, background);
    return paletteIndex(image, channel(c, 16), channel(c, 8), channel(c, 0));
}

int allocate_shade(gdImagePtr image, uint32_t color, uint32_t background) {
    const uint32_t c = resolve_color(color, background);
    return paletteIndex(image, channel(c, 16) >> 1, channel(c, 8) >> 1, channel(c, 0) >> 1);
}

}  // namespace plotwise
