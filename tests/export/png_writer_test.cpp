// The PNG writer stores the pixels Cairo's own PNG writer stores: both files of the same
// surface, read back by Cairo, give the same premultiplied words.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/png_writer.h"

namespace plotwise {
namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;

cairo_status_t append(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

cairo_status_t read(void* closure, unsigned char* data, unsigned int length) {
    auto* rest = static_cast<std::string*>(closure);
    if (rest->size() < length) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, rest->data(), length);
    rest->erase(0, length);
    return CAIRO_STATUS_SUCCESS;
}

// The pixels of a PNG file as Cairo reads them, row after row.
std::string pixels_of(std::string png) {
    Surface s(cairo_image_surface_create_from_png_stream(read, &png), cairo_surface_destroy);
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return "unreadable";
    const int w = cairo_image_surface_get_width(s.get()), h = cairo_image_surface_get_height(s.get());
    std::string out;
    for (int y = 0; y < h; ++y)
        out.append(reinterpret_cast<const char*>(cairo_image_surface_get_data(s.get()) +
                                                 static_cast<std::size_t>(y) * cairo_image_surface_get_stride(s.get())),
                   static_cast<std::size_t>(w) * 4);
    return std::to_string(w) + "x" + std::to_string(h) + out;
}

enum class Kind { EveryAlpha, Opaque, OnePixel };

// Every premultiplied colour value under every alpha; an opaque chart-like picture (plain
// areas, stripes, a diagonal); one translucent pixel.
Surface make(Kind kind) {
    const int w = kind == Kind::OnePixel ? 1 : 256, h = kind == Kind::OnePixel ? 1 : 256;
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h), cairo_surface_destroy);
    cairo_surface_flush(s.get());
    unsigned char* data = cairo_image_surface_get_data(s.get());
    const int stride = cairo_image_surface_get_stride(s.get());
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t a = static_cast<uint32_t>(y), c = static_cast<uint32_t>(x) * a / 255;
            if (kind == Kind::Opaque) a = 255, c = y < 100 ? 240 : (x / 8 % 2 ? 30 : 200) + (x == y ? 20 : 0);
            if (kind == Kind::OnePixel) a = 77, c = 50;
            row[x] = a << 24 | c << 16 | (a - c) << 8 | c / 2;
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

TEST(PngWriter, StoresWhatCairoStores) {
    const struct {
        Kind kind;
        unsigned char color_type;  // RGB (2) for opaque pictures, else RGBA (6)
    } cases[] = {{Kind::EveryAlpha, 6}, {Kind::Opaque, 2}, {Kind::OnePixel, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        Surface s = make(c.kind);
        std::string by_cairo, ours = "kept";
        ASSERT_EQ(cairo_surface_write_to_png_stream(s.get(), append, &by_cairo), CAIRO_STATUS_SUCCESS);
        ASSERT_TRUE(encode_png(cairo_image_surface_get_data(s.get()), cairo_image_surface_get_width(s.get()),
                               cairo_image_surface_get_height(s.get()), cairo_image_surface_get_stride(s.get()), ours));
        ASSERT_EQ(ours.compare(0, 4, "kept"), 0);
        ours.erase(0, 4);
        ASSERT_GT(ours.size(), 26u);
        EXPECT_EQ(static_cast<unsigned char>(ours[25]), c.color_type);
        EXPECT_TRUE(pixels_of(ours) == pixels_of(by_cairo)) << "the pixels read back differ";
    }
}

TEST(PngWriter, RefusesPicturesWithoutPixels) {
    const uint32_t pixel = 0xFF000000;
    for (const auto& [w, h] : {std::pair{0, 1}, {1, 0}, {-1, 5}}) {
        std::string out = "kept";
        EXPECT_FALSE(encode_png(reinterpret_cast<const unsigned char*>(&pixel), w, h, 4, out));
        EXPECT_EQ(out, "kept");
    }
}

}  // namespace
}  // namespace plotwise
