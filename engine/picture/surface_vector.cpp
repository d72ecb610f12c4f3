// Choosing a vector back end by format.
#include "engine/picture/surface_vector.h"

#include "engine/picture/vector_base.h"

namespace plotwise {

std::optional<VectorFormat> vector_format(std::string_view keyword) {
    static constexpr struct {
        std::string_view name;
        VectorFormat format;
    } kFormats[] = {{"png", VectorFormat::Png}, {"svg", VectorFormat::Svg}, {"pdf", VectorFormat::Pdf}};
    for (const auto& row : kFormats) {
        if (row.name.size() != keyword.size()) continue;
        bool same = true;
        for (size_t i = 0; i < keyword.size() && same; ++i) {
            char c = keyword[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == row.name[i];
        }
        if (same) return row.format;
    }
    return std::nullopt;
}

std::unique_ptr<VectorSurface> make_vector_surface(VectorFormat format, int scale) {
    if (format == VectorFormat::Svg) return make_svg_surface();
    return make_cairo_surface(format, scale);
}

}  // namespace plotwise
