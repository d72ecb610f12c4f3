// The picture of a chart definition drawn by a vector back end, with the same layout as its GIF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "boundary/call_locale.h"
#include "definition/chart_definition.h"
#include "engine/picture/surface_vector.h"

namespace plotwise {

// A format a definition is exported in: its keyword, the back end and the container stream type.
struct ExportFormat {
    std::string_view keyword;   // "png", "svg", "pdf"
    VectorFormat format;
    char stream[5];             // "PNGf", "SVG ", "PDF "
};

// The format named by a keyword, without regard to case; none for any other text.
std::optional<ExportFormat> exportFormat(std::string_view keyword);

// Draws the definition (or its error picture) as the drawChart of its GIF does, onto a vector
// surface of its own in the format, reading date texts in `locale`: the file's bytes, empty
// when nothing could be drawn (a picture size the engines refuse, or a PNG too large to make).
// `scale` counts for PNG only.
std::string exportChart(ChartDefinition& definition, VectorFormat format, int scale, CallLocale& locale);

}  // namespace plotwise
