// Helpers of the pie engine tests: drawing into memory, decoding the picture, reading pixels,
// and rendering expected texts with the built-in fonts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gd.h>
#include <gdfonts.h>
#include <gtest/gtest.h>

#include "engine/chart_options.h"
#include "tests/support/engine_options.h"
#include "engine/pie/pie.h"

namespace plotwise::testing {

using Image = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// Every test starts from the default options with the built-in fonts and leaves the
// defaults behind.
class PieFixture : public ::testing::Test {
protected:
    void SetUp() override {
        engineOptions() = ChartOptions{};
        builtinFonts();
    }
    void TearDown() override { engineOptions() = ChartOptions{}; }
    static void builtinFonts() {
        ChartOptions& o = engineOptions();
        o.pie_title_ptsize = 0;
        o.pie_label_ptsize = 0;
        o.pie_title_font = o.pie_label_font = o.pie_fallback_font = "no-such-font.ttf";
    }
};

// Bytes that draw_pie writes for these inputs.
inline std::vector<uint8_t> drawPieBytes(short width, short height, int pie_type, int count,
                                         const char* const* labels, const float* values) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    if (out == nullptr) return {};
    draw_pie(engineOptions(), width, height, out, pie_type, count, labels, values);
    fclose(out);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

inline Image decodeGif(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return Image(nullptr, gdImageDestroy);
    return Image(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<uint8_t*>(bytes.data())),
                 gdImageDestroy);
}

// Draws and decodes; fails the test when no GIF of the requested size comes out.
inline Image drawPie(short width, short height, int pie_type, int count, const char* const* labels,
                     const float* values) {
    Image image = decodeGif(drawPieBytes(width, height, pie_type, count, labels, values));
    EXPECT_NE(image, nullptr) << "no GIF picture was written";
    if (image) {
        EXPECT_EQ(gdImageSX(image.get()), width);
        EXPECT_EQ(gdImageSY(image.get()), height);
    }
    return image;
}

// 0xRRGGBB of a pixel.
inline uint32_t rgbAt(gdImagePtr image, int x, int y) {
    const int c = gdImageGetPixel(image, x, y);
    return static_cast<uint32_t>(gdImageRed(image, c)) << 16 | static_cast<uint32_t>(gdImageGreen(image, c)) << 8 |
           static_cast<uint32_t>(gdImageBlue(image, c));
}

// Whether the picture's palette holds a colour.
inline bool hasColor(gdImagePtr image, uint32_t rgb) {
    return gdImageColorExact(image, (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF) >= 0;
}

using PixelSet = std::set<std::pair<int, int>>;

// The pixels of a colour, optionally within rows [top, bottom).
inline PixelSet pixelsOf(gdImagePtr image, uint32_t rgb, int top = 0, int bottom = 1 << 30) {
    PixelSet pixels;
    for (int y = top; y < gdImageSY(image) && y < bottom; ++y)
        for (int x = 0; x < gdImageSX(image); ++x)
            if (rgbAt(image, x, y) == rgb) pixels.insert({x, y});
    return pixels;
}

// Renders built-in text into a blank picture, and collects what it painted.
class ExpectedText {
public:
    ExpectedText(int width, int height) : image_(gdImageCreate(width, height), gdImageDestroy) {
        gdImageColorAllocate(image_.get(), 255, 255, 255);
        ink_ = gdImageColorAllocate(image_.get(), 0, 0, 0);
    }
    void line(gdFontPtr font, int x, int y, const std::string& text) {
        std::string copy = text;
        gdImageString(image_.get(), font, x, y, reinterpret_cast<unsigned char*>(copy.data()), ink_);
    }
    PixelSet pixels(int top = 0, int bottom = 1 << 30) const { return pixelsOf(image_.get(), 0x000000, top, bottom); }

private:
    Image image_;
    int ink_;
};

}  // namespace plotwise::testing
