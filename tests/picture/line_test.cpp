// One-pixel lines on palette pictures are written directly where both ends lie in the clip
// area: the pixels must be exactly the ones gd's own line sets, in every direction and length,
// and wherever gd must clip (or the line is thicker) gd still draws it.
#include <gd.h>
#include <gtest/gtest.h>

#include <cstring>

#include "engine/picture/surface_gd.h"

namespace plotwise {
namespace {

constexpr int kWidth = 61, kHeight = 41;

struct Line {
    int x1, y1, x2, y2;
};

// A point, horizontal and vertical both ways, the eight octants, both diagonals, slopes next to
// 1 and 2, edge to edge, and lines that leave the picture or the clip area.
constexpr Line kLines[] = {
    {9, 9, 9, 9},    {3, 5, 50, 5},    {50, 6, 3, 6},    {7, 2, 7, 30},   {8, 30, 8, 2},    {10, 10, 40, 17},
    {40, 17, 10, 10}, {10, 17, 40, 10}, {40, 10, 10, 17}, {10, 5, 17, 35}, {17, 35, 10, 5}, {17, 5, 10, 35},
    {10, 35, 17, 5}, {0, 0, 40, 40},   {40, 0, 0, 40},   {5, 5, 26, 25},  {5, 5, 25, 26},   {2, 3, 22, 42},
    {0, 0, 60, 40},  {60, 0, 0, 40},   {-5, 3, 30, 20},  {30, 20, 70, 45}, {-10, -10, -1, 50}, {55, 38, 58, 39},
};

int lcg(unsigned& state, int range) {
    state = state * 1103515245u + 12345u;
    return static_cast<int>(state >> 16) % range;
}

TEST(PaletteLine, SetsThePixelsGdSets) {
    // Clip areas: the whole picture, a part of it; thicknesses 1 and 2.
    const struct {
        int cx1, cy1, cx2, cy2, thick;
    } settings[] = {{0, 0, kWidth - 1, kHeight - 1, 1}, {6, 4, 44, 33, 1}, {0, 0, kWidth - 1, kHeight - 1, 2}};
    std::vector<Line> lines(std::begin(kLines), std::end(kLines));
    unsigned state = 7;
    for (int i = 0; i < 400; ++i)
        lines.push_back({lcg(state, kWidth), lcg(state, kHeight), lcg(state, kWidth), lcg(state, kHeight)});
    for (const auto& set : settings) {
        gdImagePtr ours = gdImageCreate(kWidth, kHeight), gds = gdImageCreate(kWidth, kHeight);
        for (gdImagePtr im : {ours, gds}) {
            for (int c = 0; c < 8; ++c) gdImageColorAllocate(im, 30 * c, 255 - 30 * c, 100);
            gdImageSetClip(im, set.cx1, set.cy1, set.cx2, set.cy2);
            gdImageSetThickness(im, set.thick);
        }
        GdSurface surface(ours);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Line& l = lines[i];
            const int ink = 1 + static_cast<int>(i % 7);
            surface.line(l.x1, l.y1, l.x2, l.y2, ink);
            gdImageLine(gds, l.x1, l.y1, l.x2, l.y2, ink);
            for (int y = 0; y < kHeight; ++y)
                ASSERT_EQ(std::memcmp(ours->pixels[y], gds->pixels[y], kWidth), 0)
                    << "row " << y << " after line " << l.x1 << "," << l.y1 << " to " << l.x2 << "," << l.y2
                    << ", clip " << set.cx1 << "," << set.cy1 << " thickness " << set.thick;
        }
        gdImageDestroy(ours);
        gdImageDestroy(gds);
    }
}

}  // namespace
}  // namespace plotwise
