// The engines' one region fill, which works through the runs of a region on the heap, paints
// exactly what gd's recursive fill-to-border paints - on pie faces drawn as the pie engine
// draws them, on shapes of every kind, also the way the graph engine's circle markers use it,
// filling in the border colour itself - and a marker as tall as the largest picture is filled
// on a 1 MB thread stack, where gd's recursion would overflow.
#include <gd.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/chart_options.h"
#include "engine/graph/graph.h"
#include "engine/picture/region_fill.h"
#include "engine/pie/pie_internal.h"
#include "tests/support/engine_options.h"

namespace plotwise {
namespace {

using Image = std::unique_ptr<gdImage, void (*)(gdImagePtr)>;

Image palettePicture(int w, int h) {
    Image image(gdImageCreate(w, h), gdImageDestroy);
    for (int c = 0; c < 6; ++c) gdImageColorAllocate(image.get(), 40 * c, 255 - 40 * c, 7 * c);
    return image;
}

bool samePixels(gdImagePtr a, gdImagePtr b) {
    for (int y = 0; y < gdImageSY(a); ++y)
        for (int x = 0; x < gdImageSX(a); ++x)
            if (gdImageGetPixel(a, x, y) != gdImageGetPixel(b, x, y)) return false;
    return true;
}

// Circles, arcs and lines in the border colour over a speckled background, some pixels
// already in the fill colour: regions with holes, spirals of arcs and openings to the edge.
void drawShapes(std::mt19937& random, gdImagePtr a, gdImagePtr b, int border, int fill) {
    const int w = gdImageSX(a), h = gdImageSY(a);
    for (gdImagePtr im : {a, b}) gdImageFilledRectangle(im, 0, 0, w - 1, h - 1, 0);
    const int speckles = static_cast<int>(random() % (w * h / 4 + 1));
    for (int i = 0; i < speckles; ++i) {
        const int x = static_cast<int>(random() % w), y = static_cast<int>(random() % h);
        const int c = static_cast<int>(random() % 4);  // background, border, fill or another colour
        const int colors[] = {0, border, fill, 5};
        for (gdImagePtr im : {a, b}) gdImageSetPixel(im, x, y, colors[c]);
    }
    const int shapes = 1 + static_cast<int>(random() % 6);
    for (int s = 0; s < shapes; ++s) {
        const int x = static_cast<int>(random() % w), y = static_cast<int>(random() % h);
        const int size = 2 + static_cast<int>(random() % (2 * std::max(w, h)));
        const int start = static_cast<int>(random() % 360), end = start + static_cast<int>(random() % 400);
        const int x2 = static_cast<int>(random() % w), y2 = static_cast<int>(random() % h);
        for (gdImagePtr im : {a, b}) {
            gdImageArc(im, x, y, size, size, start, end, border);
            if (s % 2 == 0) gdImageLine(im, x, y, x2, y2, border);
        }
    }
}

// Pie faces as the pie engine draws them, slice after slice: two radii and the arc in the
// border colour (each slice's own colour, or one edge colour for all), some slices moved out
// from the centre, each filled from three quarters along its middle before the next is drawn.
// Returns false at the first slice whose fill differs from gd's, naming it in `failure`.
bool fillsPieLikeGd(std::mt19937& random, gdImagePtr a, gdImagePtr b, std::string& failure) {
    const int w = gdImageSX(a), h = gdImageSY(a);
    const int cx = w / 2 + static_cast<int>(random() % 21) - 10, cy = h / 2 + static_cast<int>(random() % 21) - 10;
    const int r = std::max(3, std::min(w, h) / 2 - 2 - static_cast<int>(random() % 10));
    const int slices = 1 + static_cast<int>(random() % 12);
    std::vector<double> cuts;
    for (int i = 0; i < slices; ++i) cuts.push_back(static_cast<double>(random() % 100000) / 100000 * 2 * M_PI);
    std::sort(cuts.begin(), cuts.end());
    const int edge = random() % 3 == 0 ? 5 : -1;
    for (int i = 0; i < slices; ++i) {
        const double s = cuts[i], t = i + 1 < slices ? cuts[i + 1] : cuts[0] + 2 * M_PI, m = (s + t) / 2;
        const int color = 1 + i % 4, border = edge < 0 ? color : edge;
        const int out = random() % 4 == 0 ? static_cast<int>(random() % 15) : 0;
        const int x0 = cx + static_cast<int>(out * std::sin(m)), y0 = cy - static_cast<int>(out * std::cos(m));
        const int from = static_cast<int>(std::floor(s * 180 / M_PI)) + 270, to = static_cast<int>(std::ceil(t * 180 / M_PI)) + 270;
        for (gdImagePtr im : {a, b}) {
            gdImageLine(im, x0, y0, x0 + static_cast<int>(r * std::sin(s)), y0 - static_cast<int>(r * std::cos(s)), border);
            gdImageLine(im, x0, y0, x0 + static_cast<int>(r * std::sin(t)), y0 - static_cast<int>(r * std::cos(t)), border);
            if (from != to) gdImageArc(im, x0, y0, 2 * r, 2 * r, from, to, border);
        }
        const int x = x0 + static_cast<int>(0.75 * r * std::sin(m)), y = y0 - static_cast<int>(0.75 * r * std::cos(m));
        if (x < 0 || y < 0 || x >= w || y >= h) continue;  // gd would start at the nearest edge
        gdImageFillToBorder(a, x, y, border, color);
        fill_to_border(b, x, y, border, color);
        if (!samePixels(a, b)) {
            failure = "slice " + std::to_string(i) + " of " + std::to_string(slices) + ", seed " + std::to_string(x) + "," +
                      std::to_string(y) + ", border " + std::to_string(border);
            return false;
        }
    }
    return true;
}

TEST(RegionFill, PaintsWhatGdPaintsOnPieFaces) {
    std::mt19937 random(20240907);
    for (int round = 0; round < 300; ++round) {
        const int w = 8 + static_cast<int>(random() % 400), h = 8 + static_cast<int>(random() % 300);
        Image a = palettePicture(w, h), b = palettePicture(w, h);
        std::string failure;
        ASSERT_TRUE(fillsPieLikeGd(random, a.get(), b.get(), failure)) << "round " << round << ", " << w << " x " << h << ": " << failure;
    }
}

TEST(RegionFill, PaintsWhatGdPaintsOnShapesOfEveryKind) {
    std::mt19937 random(20090612);
    for (int round = 0; round < 400; ++round) {
        const int w = 3 + static_cast<int>(random() % 70), h = 3 + static_cast<int>(random() % 70);
        Image a = palettePicture(w, h), b = palettePicture(w, h);
        // Half of the rounds fill in the border colour itself, as the circle markers do.
        const int border = 1, fill = round % 2 == 0 ? 1 : 2 + static_cast<int>(random() % 3);
        drawShapes(random, a.get(), b.get(), border, fill);
        const int x = static_cast<int>(random() % w), y = static_cast<int>(random() % h);
        gdImageFillToBorder(a.get(), x, y, border, fill);
        fill_to_border(b.get(), x, y, border, fill);
        ASSERT_TRUE(samePixels(a.get(), b.get())) << "round " << round << ", " << w << " x " << h << ", seed " << x
                                                  << "," << y << ", fill " << fill;
    }
}

TEST(RegionFill, CircleMarkerAsTallAsTheLargestPictureOnASmallStack) {
    // A 2D circle marker (legend entry kind 2) half a category wide on a chart of two points
    // 512 pixels wide: its radius is about as large as the 32767-pixel height.
    int result = -9;
    int red = 0;
    auto draw = [&] {
        ChartOptions& o = engineOptions();
        o = ChartOptions{};
        o.title_ptsize = o.xtitle_ptsize = o.ytitle_ptsize = o.xaxis_ptsize = o.yaxis_ptsize = 0;
        o.hold_image = 1;  // keep the picture to look at it
        const LegendEntry marker{0.5f, 0.5f, 6400, 0xFF0000, 2, ""};
        o.legend_entries = &marker;
        o.legend_count = 1;
        const float data[2] = {0, 1};
        FILE* out = std::fopen("/dev/null", "wb");
        result = draw_graph(engineOptions(), 512, 32767, out, Line, 2, nullptr, 1, data, nullptr);
        std::fclose(out);
        if (o.image != nullptr) {
            // A column well inside the circle, away from the data line: marker colour, but
            // for the few grid lines that cross it.
            for (int y = 17000; y < 30000; ++y) {
                const int c = gdImageGetPixel(o.image, 450, y);
                red += gdImageRed(o.image, c) == 255 && gdImageGreen(o.image, c) == 0 && gdImageBlue(o.image, c) == 0;
            }
            gdImageDestroy(o.image);
        }
        o = ChartOptions{};
    };
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1 << 20), 0);
    pthread_t thread;
    auto run = [](void* f) -> void* {
        (*static_cast<std::function<void()>*>(f))();
        return nullptr;
    };
    std::function<void()> body = draw;
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &body), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(result, 0);
    EXPECT_GT(red, 12500);
}

}  // namespace
}  // namespace plotwise
