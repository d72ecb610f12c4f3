// Error pictures: a fixed, decorative 3D pie titled with the message of the error code,
// drawn instead of the chart whenever a definition carries an error.
#include "driver/error_picture.h"

#include <array>

#include "definition/chart_definition.h"
#include "engine/pie/pie.h"

namespace plotwise {

namespace {

// The fixed slices of the error pie. The options point at these arrays, which therefore
// live as long as the process.
constexpr int kSlices = 7;
const char* const kLabels[kSlices] = {"Some\nError", "Some\nError", "Some\nError", "Some\nError",
                                      "Some\nError", "Some\nError", "Some\nError"};
const float kValues[kSlices] = {8, 10, 10, 25, 10, 10, 8};
const int kExplode[kSlices] = {0, 20, 0, 20, 0, 20, 0};
const unsigned char kMissing[kSlices] = {1, 0, 1, 0, 1, 0, 1};
const uint32_t kColors[kSlices] = {0xFF4040, 0x80FF80, 0x8080FF, 0xFF80FF, 0xFFFF80, 0x80FFFF, 0x0080FF};

}  // namespace

std::string_view errorMessage(uint32_t code) { return chartErrorMessage(code); }

void drawErrorPicture(ChartOptions& o, uint32_t code, uint32_t width, uint32_t height, PictureTarget out) {
    const std::string_view message = errorMessage(code);
    if (!message.empty()) o.pie_title = message.data();  // table texts end with a zero
    o.pie_explode = kExplode;
    o.pie_missing = kMissing;
    o.pie_colors = kColors;
    o.pie_percent_type = PercentBelow;
    o.pie_label_line = 1;
    o.pie_label_size = 2;
    o.pie_line_color = 0;
    o.pie_label_dist = 15;
    o.pie_3d_depth = 25;
    o.pie_3d_angle = 180;
    o.pie_bg_color = 0xFFFFFF;

    // The engines take 16-bit sizes: the low 16 bits, as stored in "SIZE".
    draw_pie(o, static_cast<short>(static_cast<uint16_t>(width)), static_cast<short>(static_cast<uint16_t>(height)),
             out, 0, kSlices, kLabels, kValues);
}

}  // namespace plotwise
