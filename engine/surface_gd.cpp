// The palette-picture back end: the gd calls the engines paint with.
#include "engine/surface_gd.h"

#include <algorithm>
#include <cstring>

#include "engine/notice.h"
#include "engine/pie_internal.h"

namespace plotwise {

int GdSurface::ink(uint32_t rgb) { return allocate_color(im_, rgb & 0xFFFFFF, 0); }

void GdSurface::transparent(int ink) { gdImageColorTransparent(im_, ink); }

void GdSurface::line(int x1, int y1, int x2, int y2, int ink) { gdImageLine(im_, x1, y1, x2, y2, ink); }

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
    pie::fill_to_border(im_, x, y, border, ink);
}

void GdSurface::text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
                     const char* text, int ink, int justification) {
    draw_text_lines(im_, font, font_file, ptsize, angle, x, y, text, ink, justification);
}

void GdSurface::background_picture(const char* file, int width, int height) {
    draw_background_image(im_, file, width, height);
}

}  // namespace plotwise
