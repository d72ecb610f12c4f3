// Palette colours of the GIF picture: the DefaultColor rule, exact match, new entry, closest
// match, and half-intensity shades.
#pragma once

#include <cstdint>

#include <gd.h>

namespace plotwise {

// The colour opposite to the background for DefaultColor; other colours as they are.
uint32_t resolve_color(uint32_t color, uint32_t background);
// Palette index of a colour: exact match, else a new entry, else (palette full) the closest.
int allocate_color(gdImagePtr image, uint32_t color, uint32_t background);
// The same for the colour with each channel halved.
int allocate_shade(gdImagePtr image, uint32_t color, uint32_t background);
// The first colour tried for a temporary fill border: one no chart asks for, so it rarely needs
// a second try against the colours the picture already has.
constexpr uint32_t kSpareColorStart = 0x123454;

}  // namespace plotwise
