// Shared helpers of the graph layout tests: options reset to the built-in fonts, drawing into
// memory, and decoding the written GIF.
#pragma once

#include <gd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/chart_options.h"
#include "tests/support/engine_options.h"
#include "engine/graph/graph.h"
#include "engine/graph/graph_internal.h"

namespace plotwise::test {

constexpr const char* kNoFont = "no-such-font-file.ttf";

// Defaults, with every text in the built-in fonts (point size 0, fonts that do not exist).
inline void reset_options() {
    ChartOptions& o = engineOptions();
    o = ChartOptions{};
    o.title_ptsize = o.ytitle_ptsize = o.xtitle_ptsize = o.yaxis_ptsize = o.xaxis_ptsize = 0;
    o.title_font = o.ytitle_font = o.xtitle_font = o.yaxis_font = o.xaxis_font = kNoFont;
    o.fallback_font = kNoFont;
    o.y_value_kind = 0;  // labels printed by the engine itself
    o.bg_color = 0xFFFFFF;
    o.line_color = 0xFF0000;
    o.grid_color = 0x00C000;
    o.plot_color = 0x0000FF;
}

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override { reset_options(); }
    void TearDown() override { engineOptions() = ChartOptions{}; }
};

struct PictureDeleter {
    void operator()(gdImagePtr im) const {
        if (im) gdImageDestroy(im);
    }
};
using Picture = std::unique_ptr<gdImageStruct, PictureDeleter>;

// The result of one draw_graph call and the bytes it wrote.
struct Drawn {
    int result = 0;
    std::vector<unsigned char> bytes;
    Picture decode() const {
        if (bytes.empty()) return nullptr;
        return Picture(gdImageCreateFromGifPtr(static_cast<int>(bytes.size()),
                                               const_cast<unsigned char*>(bytes.data())));
    }
};

inline Drawn draw(short width, short height, ChartType type, int num_points, const char* const* xlabels,
                  int num_sets, const float* data, const float* extra = nullptr) {
    Drawn d;
    FILE* f = std::tmpfile();
    if (f == nullptr) {
        ADD_FAILURE() << "no temporary file";
        return d;
    }
    d.result = draw_graph(engineOptions(), width, height, f, type, num_points, xlabels, num_sets, data, extra);
    std::fflush(f);
    long size = std::ftell(f);
    d.bytes.resize(size > 0 ? static_cast<size_t>(size) : 0);
    std::rewind(f);
    if (!d.bytes.empty()) {
        EXPECT_EQ(std::fread(d.bytes.data(), 1, d.bytes.size(), f), d.bytes.size());
    }
    std::fclose(f);
    return d;
}

// RGB of a pixel, or 0xFF000000 outside the picture.
inline uint32_t rgb(gdImagePtr im, int x, int y) {
    if (x < 0 || y < 0 || x >= gdImageSX(im) || y >= gdImageSY(im)) return 0xFF000000u;
    int c = gdImageGetPixel(im, x, y);
    return static_cast<uint32_t>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c));
}

// Pixels of a colour in a box (inclusive corners).
inline int count_color(gdImagePtr im, int x1, int y1, int x2, int y2, uint32_t color) {
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) n += rgb(im, x, y) == color;
    return n;
}

}  // namespace plotwise::test
