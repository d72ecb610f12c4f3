// The notice picture that replaces a chart which cannot be drawn: its text centred on the
// chart's background.
#pragma once

#include <cstdint>

#include "engine/chart_options.h"
#include "engine/picture/surface.h"

namespace plotwise {

// Notice texts.
inline constexpr const char* kNoticeNoData = "No Data Available";
inline constexpr const char* kNoticeNoCombo = "No Combo Data Available";
inline constexpr const char* kNoticeTooSmall = "Picture height too small";

// Draws `text` centred in the medium-bold built-in font on a `bg` picture onto `out`. The
// picture options (hold_image, image, write_image, image_format) are those of `options`.
void draw_notice(ChartOptions& options, int width, int height, PictureTarget out, uint32_t bg, uint32_t fg,
                 const char* text);

}  // namespace plotwise
