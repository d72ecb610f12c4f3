// Error pictures: the pie drawn instead of a chart whose definition carries an error.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/chart_options.h"
#include "engine/picture/surface.h"

namespace plotwise {

// The message of an error code; empty for a code without one.
std::string_view errorMessage(uint32_t code);
// Draws the error pie for `code` at the low 16 bits of width x height onto `out`, with the
// options of the drawing (fonts and sizes stay as the chart set them).
void drawErrorPicture(ChartOptions& o, uint32_t code, uint32_t width, uint32_t height, PictureTarget out);

}  // namespace plotwise
