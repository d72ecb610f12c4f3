// Export: one drawChart onto a vector surface of its own.
#include "driver/export_chart.h"

#include "driver/draw_chart.h"

namespace plotwise {

std::optional<ExportFormat> exportFormat(std::string_view keyword) {
    static constexpr ExportFormat kFormats[] = {
        {"png", VectorFormat::Png, "PNGf"},
        {"svg", VectorFormat::Svg, "SVG "},
        {"pdf", VectorFormat::Pdf, "PDF "},
    };
    const std::optional<VectorFormat> format = vector_format(keyword);
    if (!format) return std::nullopt;
    for (const ExportFormat& row : kFormats)
        if (row.format == *format) return row;
    return std::nullopt;
}

std::string exportChart(ChartDefinition& definition, VectorFormat format, int scale, CallLocale& locale) {
    const std::unique_ptr<VectorSurface> surface = make_vector_surface(format, scale);
    settleDefinition(definition);
    return drawChart(definition, DrawRequest{surface.get(), &locale});
}

}  // namespace plotwise
