// Graph rectangles are written row by row on palette pictures: the pixels must be exactly the
// ones gd's own rectangle fill sets, wherever the rectangle lies and whatever clip area is set.
#include <gd.h>
#include <gtest/gtest.h>


#include "engine/graph/graph_internal.h"
#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

struct Box {
    int x1, y1, x2, y2;
};

// Inside, reversed corners, one pixel, one row, one column, touching each edge, reaching past
// each edge, covering everything, far outside, and at the ends of int.
constexpr Box kBoxes[] = {
    {5, 6, 20, 15},   {20, 15, 5, 6},    {7, 7, 7, 7},         {3, 9, 30, 9},        {11, 2, 11, 30},
    {0, 0, 4, 4},     {55, 35, 59, 39},  {-8, 10, 6, 12},      {50, -5, 70, 3},      {40, 30, 90, 90},
    {-10, -10, 100, 100}, {80, 80, 90, 90}, {-30, -30, -1, -1}, {-5000, 5, 12, 5000}, {60, 0, 61, 39},
};

class RectFill : public ::testing::TestWithParam<bool> {
protected:
    // Two equal palette pictures with a few colours and a pattern to paint over.
    void SetUp() override {
        for (gdImagePtr& im : images_) {
            im = GetParam() ? gdImageCreateTrueColor(60, 40) : gdImageCreate(60, 40);
            gdImageColorAllocate(im, 255, 255, 255);
            gdImageColorAllocate(im, 200, 0, 0);
            gdImageColorAllocate(im, 0, 0, 200);
            for (int y = 0; y < 40; y += 3) gdImageLine(im, 0, y, 59, 39 - y, color(im, 2));
        }
    }
    void TearDown() override {
        for (gdImagePtr im : images_) gdImageDestroy(im);
    }
    static int color(gdImagePtr im, int index) {
        return gdImageTrueColor(im) ? gdTrueColor(index * 90, 255 - index * 60, index * 30) : index;
    }
    // The picture painted through the graph engine and the one painted by gd alone agree.
    void expectSamePixels(const char* what) {
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                ASSERT_EQ(gdImageGetPixel(images_[0], x, y), gdImageGetPixel(images_[1], x, y))
                    << what << " at " << x << "," << y;
    }
    void paintBoth(const Box& b) {
        GraphInput in;
        in.type = Bar;
        GraphLayout L{};
        ChartOptions opt{};
        GraphDrawing drawing{in, L, opt, images_[0], {}};
        DataPlot plot(drawing);
        plot.rect(b.x1, b.y1, b.x2, b.y2, color(images_[0], 1));
        gdImageFilledRectangle(images_[1], b.x1, b.y1, b.x2, b.y2, color(images_[1], 1));
    }

    gdImagePtr images_[2] = {};
};

TEST_P(RectFill, SetsThePixelsGdSets) {
    for (const Box& b : kBoxes) {
        paintBoth(b);
        expectSamePixels("after a rectangle");
    }
}

TEST_P(RectFill, KeepsToTheClipArea) {
    for (gdImagePtr im : images_) gdImageSetClip(im, 10, 8, 40, 30);
    for (const Box& b : kBoxes) {
        paintBoth(b);
        expectSamePixels("with a clip area");
    }
    // Nothing outside the clip area was painted.
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool outside = x < 10 || x > 40 || y < 8 || y > 30;
            if (outside) {
                ASSERT_NE(gdImageGetPixel(images_[0], x, y), color(images_[0], 1)) << x << "," << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PaletteAndTrueColor, RectFill, ::testing::Values(false, true));

}  // namespace
}  // namespace plotwise
