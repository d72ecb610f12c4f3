// Small pieces the graph engine leans on: the notice picture that replaces a chart which
// cannot be drawn, the background picture, and fraction labels for automatic y labels.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include <gd.h>

namespace plotwise {

// Notice texts.
inline constexpr const char* kNoticeNoData = "No Data Available";
inline constexpr const char* kNoticeNoCombo = "No Combo Data Available";
inline constexpr const char* kNoticeTooSmall = "Picture height too small";

// Draws `text` centred in the medium-bold built-in font on a `bg` picture and writes it.
void draw_notice(int width, int height, FILE* out, uint32_t bg, uint32_t fg, const char* text);

// Copies the GIF picture named by `file` under a chart of the given size (centred when it is
// smaller, else cropped from its top-left corner); nothing happens when it cannot be read.
void draw_background_image(gdImagePtr image, const char* file, int width, int height);

// A value as a whole number and a power-of-two fraction ("2 1/2"); with a format, the value
// printed with it. whole, numerator and denominator receive the parts (0 when not a fraction).
std::string fractionLabel(float value, int& whole, int& numerator, int& denominator, const char* format);

}  // namespace plotwise
