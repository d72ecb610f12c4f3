// The vector back ends of the drawing surface: the layout the engines compute in pixels, drawn
// smoothed and scaled. PNG and PDF are drawn with Cairo (FreeType fonts through cairo-ft, from
// the files gd's font search finds); SVG is written directly, so that its texts stay <text>
// elements that can be searched, selected and restyled (Cairo writes glyphs as paths).
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "engine/picture/surface.h"

namespace plotwise {

enum class VectorFormat {
    Png,  // anti-aliased raster, `scale` output pixels per picture pixel
    Pdf,  // one page, a picture pixel 0.75 points (96 per inch, as gd sets its fonts)
    Svg,  // the picture's pixels as user units
};

// The format named by a keyword ("png", "svg", "pdf", without regard to case).
std::optional<VectorFormat> vector_format(std::string_view keyword);

// The largest PNG scale, and the default one.
constexpr int kMaxExportScale = 8;
constexpr int kDefaultExportScale = 2;
// The largest PNG made: 64 megapixels; a larger one is not made. One of more than 4 megapixels
// is drawn in bands of rows (engine/picture/vector_base.h), so that memory stays bounded.
constexpr double kMaxExportPixels = 1 << 26;

// True when Cairo can make a PNG of the picture size at the scale: each side at most 32767
// output pixels, and at most 64 megapixels in all.
bool png_size_fits(long width, long height, int scale);

// A surface making pictures in the format; `scale` only counts for PNG (1 to kMaxExportScale).
std::unique_ptr<VectorSurface> make_vector_surface(VectorFormat format, int scale);

}  // namespace plotwise
