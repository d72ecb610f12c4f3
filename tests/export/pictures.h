// Pictures of the same chart from the GIF path and from the vector back ends, decoded to RGB,
// and the measures that compare them.
#pragma once

#include <gd.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/picture/surface_vector.h"

namespace plotwise::test {

// A decoded picture as 0xRRGGBB per pixel.
struct Rgb {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes GIF or PNG bytes (empty picture when gd cannot read them).
inline Rgb decode(const std::string& bytes) {
    Rgb out;
    if (bytes.size() < 8) return out;
    void* data = const_cast<char*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    gdImagePtr im = bytes.compare(0, 3, "GIF") == 0 ? gdImageCreateFromGifPtr(size, data) : gdImageCreateFromPngPtr(size, data);
    if (im == nullptr) return out;
    out.width = gdImageSX(im);
    out.height = gdImageSY(im);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int c = gdImageGetTrueColorPixel(im, x, y);
            out.pixels.push_back(static_cast<uint32_t>(gdTrueColorGetRed(c) << 16 | gdTrueColorGetGreen(c) << 8 |
                                                       gdTrueColorGetBlue(c)));
        }
    gdImageDestroy(im);
    return out;
}

// A file of its own per test process: ctest runs the tests of this program side by side.
inline std::string scratch_base() { return testing::TempDir() + "plotwise_export_" + std::to_string(getpid()); }

// The picture an outside program renders from a vector file: the file goes to <base>.<format>,
// `command` writes <base>.png.
inline Rgb rendered(const std::string& file_bytes, const char* format, const std::string& command_start) {
    const std::string base = scratch_base();
    std::ofstream(base + "." + format, std::ios::binary) << file_bytes;
    const std::string command = command_start + " " + base + "." + format + (std::string(format) == "pdf" ? " " + base : " -o " + base + ".png");
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream png(base + ".png", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
    std::remove((base + "." + format).c_str());
    std::remove((base + ".png").c_str());
    return decode(bytes);
}

// The PDF rendered by pdftoppm at 96 pixels per inch (a picture pixel is 0.75 points).
inline Rgb rendered_pdf(const std::string& pdf) { return rendered(pdf, "pdf", "pdftoppm -r 96 -png -singlefile"); }

// What a drawing writes into a stream (the GIF path).
inline std::string gif_of(const std::function<void(PictureTarget)>& draw) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    draw(out);
    std::fclose(out);
    std::string bytes(buffer, size);
    std::free(buffer);
    return bytes;
}

// What the same drawing makes on a vector surface.
inline std::string vector_of(VectorFormat format, int scale, const std::function<void(PictureTarget)>& draw) {
    const std::unique_ptr<VectorSurface> surface = make_vector_surface(format, scale);
    draw(surface.get());
    return surface->bytes();
}

// Mean absolute difference of each channel, in parts of the full range; 1 for pictures of
// different sizes.
inline std::vector<double> channel_difference(const Rgb& a, const Rgb& b) {
    if (a.width != b.width || a.height != b.height || a.pixels.empty()) return {1, 1, 1};
    std::vector<double> sum(3, 0);
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int k = 0; k < 3; ++k)
            sum[k] += std::abs(static_cast<int>((a.pixels[i] >> (16 - 8 * k)) & 0xFF) -
                               static_cast<int>((b.pixels[i] >> (16 - 8 * k)) & 0xFF));
    for (double& s : sum) s /= 255.0 * static_cast<double>(a.pixels.size());
    return sum;
}

// How much of each pixel a colour covers, counting a smoothed pixel by its share of the
// colour: a pixel that mixes a part a of the colour with a colour under it lies a of the way
// from that colour to this one. `under` lists the colours a shape may lie on (the background
// first); pixels off every such line (other colours) count nothing.
inline std::vector<double> color_shares(const Rgb& picture, uint32_t color, const std::vector<uint32_t>& under) {
    auto channels = [](uint32_t v) {
        return std::array<double, 3>{static_cast<double>(v >> 16 & 0xFF), static_cast<double>(v >> 8 & 0xFF),
                                     static_cast<double>(v & 0xFF)};
    };
    const auto c = channels(color);
    std::vector<double> shares;
    shares.reserve(picture.pixels.size());
    for (const uint32_t pixel : picture.pixels) {
        const auto p = channels(pixel);
        double best = 0, best_off = 24.0 * 24.0;
        for (const uint32_t u : under) {
            const auto b = channels(u);
            double span = 0, along = 0;
            for (int k = 0; k < 3; ++k) {
                span += (c[k] - b[k]) * (c[k] - b[k]);
                along += (p[k] - b[k]) * (c[k] - b[k]);
            }
            const double a = std::clamp(along / span, 0.0, 1.0);
            double off = 0;
            for (int k = 0; k < 3; ++k) off += std::pow(p[k] - (b[k] + a * (c[k] - b[k])), 2);
            if (off <= best_off) best = a, best_off = off;
        }
        shares.push_back(best);
    }
    return shares;
}

// The area a colour covers: the sum of its shares.
inline double covered_area(const Rgb& picture, uint32_t color, const std::vector<uint32_t>& under) {
    double area = 0;
    for (const double share : color_shares(picture, color, under)) area += share;
    return area;
}

// The centre of the area a colour covers, {x, y} in pixels ({-1, -1} when it covers nothing).
inline std::array<double, 2> covered_centre(const Rgb& picture, uint32_t color, const std::vector<uint32_t>& under) {
    const std::vector<double> shares = color_shares(picture, color, under);
    double area = 0, x = 0, y = 0;
    for (size_t i = 0; i < shares.size(); ++i) {
        area += shares[i];
        x += shares[i] * static_cast<double>(i % picture.width);
        y += shares[i] * static_cast<double>(i / picture.width);
    }
    if (area == 0) return {-1, -1};
    return {x / area, y / area};
}

// Pixels whose every channel lies within `tolerance` of the colour.
inline int coverage(const Rgb& picture, uint32_t color, int tolerance) {
    int n = 0;
    for (const uint32_t p : picture.pixels) {
        bool near = true;
        for (int shift = 0; shift <= 16; shift += 8)
            near = near && std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((color >> shift) & 0xFF)) <=
                               tolerance;
        n += near;
    }
    return n;
}

}  // namespace plotwise::test
