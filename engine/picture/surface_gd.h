// The palette-picture back end of the drawing surface: every operation is the gd call (or the
// engines' own raster routine) the engines have always painted with, so the GIF written from
// the picture is the same byte for byte. Inks are palette entries: exact match, else a new
// entry, else (palette full) the closest colour.
#pragma once

#include "engine/picture/surface.h"

namespace plotwise {

class GdSurface final : public Surface {
public:
    explicit GdSurface(gdImagePtr image) : im_(image) {}

    int width() const override { return im_ ? gdImageSX(im_) : 0; }
    int height() const override { return im_ ? gdImageSY(im_) : 0; }
    int ink(uint32_t rgb) override;
    void transparent(int ink) override;
    void line(int x1, int y1, int x2, int y2, int ink) override;
    void polygon(std::span<const gdPoint> points, int ink) override;
    void rect(int x1, int y1, int x2, int y2, int ink) override;
    void pixel(int x, int y, int ink) override;
    void arc(int cx, int cy, int w, int h, int from, int to, int ink) override;
    void filled_arc(int cx, int cy, int w, int h, int from, int to, int ink) override;
    void fill_region(int x, int y, int border, int ink, const SliceShape& shape) override;
    void text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
              const char* text, int ink, int justification) override;
    void background_picture(const char* file, int width, int height) override;
    gdImagePtr raster() override { return im_; }

private:
    gdImagePtr im_;
};

}  // namespace plotwise
