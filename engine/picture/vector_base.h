// What both vector back ends keep alike: the size and turn of the picture begun, its inks
// (the first is the background), and the finished bytes. Internal to the vector back ends.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <gd.h>

#include "engine/picture/surface.h"

namespace plotwise {

enum class VectorFormat;

// The back ends behind make_vector_surface. A PNG of more than `band_bytes` (4 bytes a pixel)
// is drawn in bands of that many bytes.
constexpr size_t kPngBandBytes = size_t{16} << 20;
std::unique_ptr<VectorSurface> make_cairo_surface(VectorFormat format, int scale, size_t band_bytes = kPngBandBytes);
std::unique_ptr<VectorSurface> make_svg_surface();

// The width of a line from (x1, y1) to (x2, y2) that has the weight of the palette picture's
// line: that sets one pixel per step along its longer side, so a slanting line is thinner
// across than a level one (by the cosine of its slant from the nearer axis).
inline double line_weight(int x1, int y1, int x2, int y2) {
    const double dx = std::abs(static_cast<double>(x2) - x1), dy = std::abs(static_cast<double>(y2) - y1);
    const double length = std::hypot(dx, dy);
    return length > 0 ? std::max(dx, dy) / length : 1.0;
}

// A background GIF placed under a chart of width x height as the gd back end places it: centred
// when smaller, else from the top left, cut to the chart. `picture` is null when the file cannot
// be read; the caller destroys it.
struct BackgroundPlacement {
    gdImagePtr picture = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};
inline BackgroundPlacement place_background(const char* file, int width, int height) {
    BackgroundPlacement b;
    if (file == nullptr) return b;
    FILE* in = std::fopen(file, "rb");
    if (in == nullptr) return b;
    b.picture = gdImageCreateFromGif(in);
    std::fclose(in);
    if (b.picture == nullptr) return b;
    const int pw = gdImageSX(b.picture), ph = gdImageSY(b.picture);
    b.x = pw < width ? width / 2 - pw / 2 : 0;
    b.y = ph < height ? height / 2 - ph / 2 : 0;
    b.width = std::min(pw, width);
    b.height = std::min(ph, height);
    return b;
}

class VectorBase : public VectorSurface {
public:
    int width() const override { return width_; }
    int height() const override { return height_; }

    int ink(uint32_t rgb) override {
        rgb &= 0xFFFFFF;
        const auto [it, fresh] = ink_of_.try_emplace(rgb, static_cast<int>(inks_.size()));
        if (fresh) inks_.push_back(rgb);
        return it->second;
    }
    void transparent(int ink) override { transparent_ = ink; }
    const std::string& bytes() const override { return bytes_; }

protected:
    void start(int width, int height, bool turned) {
        width_ = width;
        height_ = height;
        turned_ = turned;
        inks_.clear();
        ink_of_.clear();
        transparent_ = -1;
        bytes_.clear();
    }
    // Size of the finished picture.
    int picture_width() const { return turned_ ? height_ : width_; }
    int picture_height() const { return turned_ ? width_ : height_; }
    // The colour of an ink; black for one never made.
    uint32_t rgb(int ink) const {
        return ink >= 0 && static_cast<size_t>(ink) < inks_.size() ? inks_[static_cast<size_t>(ink)] : 0;
    }
    // Whether the background is painted: there is one, and it is not transparent.
    bool paints_background() const { return !inks_.empty() && transparent_ != 0; }

    int width_ = 0, height_ = 0;
    bool turned_ = false;
    std::string bytes_;

private:
    std::vector<uint32_t> inks_;
    std::unordered_map<uint32_t, int> ink_of_;
    int transparent_ = -1;
};

}  // namespace plotwise
