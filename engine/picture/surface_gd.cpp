// The palette-picture back end: the gd calls the engines paint with.
#include "engine/picture/surface_gd.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "engine/picture/background_picture.h"
#include "engine/picture/region_fill.h"
#include "engine/pie/pie_internal.h"

namespace plotwise {

int GdSurface::ink(uint32_t rgb) { return allocate_color(im_, rgb & 0xFFFFFF, 0); }

void GdSurface::transparent(int ink) { gdImageColorTransparent(im_, ink); }

namespace {

// gd's one-pixel line between two points of the clip area on a palette picture: Bresenham's
// steps along the longer axis from the end with the smaller coordinate there, the shorter axis
// stepping when the error term is not negative. gd writes these pixels one gdImageSetPixel call
// (with its checks of colour kind, clip area and bounds) at a time; every check passes here.
void palette_line(gdImagePtr im, int x1, int y1, int x2, int y2, unsigned char ink) {
    if (y1 == y2) {
        std::memset(im->pixels[y1] + std::min(x1, x2), ink, static_cast<std::size_t>(std::abs(x2 - x1) + 1));
        return;
    }
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const bool flat = dy <= dx;
    // Along: the longer axis (x when flat), across: the other one.
    int along = flat ? x1 : y1, across = flat ? y1 : x1, end = flat ? x2 : y2, other_end = flat ? y2 : x2;
    if (along > end) std::swap(along, end), std::swap(across, other_end);
    const int step = other_end > across ? 1 : -1;
    const int longer = flat ? dx : dy, shorter = flat ? dy : dx;
    int d = 2 * shorter - longer;
    const int incr1 = 2 * shorter, incr2 = 2 * (shorter - longer);
    for (;;) {
        if (flat) im->pixels[across][along] = ink;
        else im->pixels[along][across] = ink;
        if (along == end) return;
        ++along;
        if (d < 0) {
            d += incr1;
        } else {
            across += step;
            d += incr2;
        }
    }
}

}  // namespace

void GdSurface::line(int x1, int y1, int x2, int y2, int ink) {
    const auto in_clip = [this](int x, int y) {
        return x >= im_->cx1 && x <= im_->cx2 && y >= im_->cy1 && y <= im_->cy2 && x >= 0 && y >= 0 &&
               x < gdImageSX(im_) && y < gdImageSY(im_);
    };
    if (!gdImageTrueColor(im_) && ink >= 0 && ink < gdMaxColors && im_->thick == 1 && in_clip(x1, y1) &&
        in_clip(x2, y2)) {
        palette_line(im_, x1, y1, x2, y2, static_cast<unsigned char>(ink));
        return;
    }
    gdImageLine(im_, x1, y1, x2, y2, ink);
}

void GdSurface::polygon(std::span<const gdPoint> points, int ink) {
    gdImageFilledPolygon(im_, const_cast<gdPoint*>(points.data()), static_cast<int>(points.size()), ink);
}

void GdSurface::rect(int xa, int ya, int xb, int yb, int color) {
    // gd fills a rectangle pixel by pixel, setting the pixels that lie inside the picture and
    // its clip area. On a palette picture in a plain colour those are whole row pieces, which
    // are written at once.
    if (!gdImageTrueColor(im_) && color >= 0 && color < gdMaxColors) {
        const int left = std::max({xa, 0, im_->cx1}), right = std::min({xb, gdImageSX(im_) - 1, im_->cx2});
        const int top = std::max({ya, 0, im_->cy1}), bottom = std::min({yb, gdImageSY(im_) - 1, im_->cy2});
        for (int y = top; y <= bottom && left <= right; ++y)
            std::memset(im_->pixels[y] + left, color, static_cast<size_t>(right - left + 1));
        return;
    }
    gdImageFilledRectangle(im_, xa, ya, xb, yb, color);
}

void GdSurface::pixel(int x, int y, int ink) { gdImageSetPixel(im_, x, y, ink); }

void GdSurface::arc(int cx, int cy, int w, int h, int from, int to, int ink) {
    gdImageArc(im_, cx, cy, w, h, from, to, ink);
}

void GdSurface::filled_arc(int cx, int cy, int w, int h, int from, int to, int ink) {
    if (from == 0 && to == 360)
        gdImageFilledEllipse(im_, cx, cy, w, h, ink);
    else
        gdImageFilledArc(im_, cx, cy, w, h, from, to, ink, gdPie);
}

void GdSurface::fill_region(int x, int y, int border, int ink, const SliceShape&) {
    fill_to_border(im_, x, y, border, ink);
}

void GdSurface::text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
                     const char* text, int ink, int justification) {
    draw_text_lines(im_, font, font_file, ptsize, angle, x, y, text, ink, justification);
}

void GdSurface::background_picture(const char* file, int width, int height) {
    draw_background_image(im_, file, width, height);
}

}  // namespace plotwise
