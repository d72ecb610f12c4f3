// The drawing surface the graph and pie engines paint on: shape-level operations in the
// picture's own pixel coordinates (a pixel (x, y) covers x..x+1, y..y+1), colours handed in as
// 0xRRGGBB values and used as inks.
//
// Back ends: GdSurface (engine/picture/surface_gd.h) paints a palette picture exactly as gd paints it,
// and that picture is written as GIF; the vector surfaces (engine/picture/surface_vector.h) draw the same
// layout smoothed and scaled, as PNG, PDF or SVG. The layout is computed once, in pixels, and
// every back end draws that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include <gd.h>

#include "engine/picture/palette.h"
#include "engine/text/text_color.h"

namespace plotwise {

// An elliptical slice: centre, radii and the angles it spans (from < to), in radians clockwise
// from twelve o'clock, as the pie engine measures them.
struct SliceShape {
    double cx, cy, rx, ry, from, to;
};

class Surface {
public:
    virtual ~Surface() = default;

    // Size of the picture as the engines draw it (a turned chart: before the turn).
    virtual int width() const = 0;
    virtual int height() const = 0;

    // ---- Inks -------------------------------------------------------------------------------
    // The ink of a colour 0xRRGGBB. The first ink made is the background, which covers the
    // picture before anything is drawn (as entry 0 of a palette picture does).
    virtual int ink(uint32_t rgb) = 0;
    // The background ink shows nothing where the format has transparency.
    virtual void transparent(int ink) = 0;

    // ---- Shapes -----------------------------------------------------------------------------
    // A line one pixel wide, both end pixels included.
    virtual void line(int x1, int y1, int x2, int y2, int ink) = 0;
    // A filled polygon through the given pixels, its edges included.
    virtual void polygon(std::span<const gdPoint> points, int ink) = 0;
    // A filled rectangle, corners included (x1 <= x2, y1 <= y2).
    virtual void rect(int x1, int y1, int x2, int y2, int ink) = 0;
    virtual void pixel(int x, int y, int ink) = 0;
    // The outline of the arc of the w x h ellipse around (cx, cy) from degree `from` to `to`,
    // counted clockwise from three o'clock.
    virtual void arc(int cx, int cy, int w, int h, int from, int to, int ink) = 0;
    // The same arc filled as a pie piece; 0 to 360 is the whole ellipse.
    virtual void filled_arc(int cx, int cy, int w, int h, int from, int to, int ink) = 0;
    // The region around (x, y) up to pixels of ink `border`: on a palette picture a flood from
    // that point, as the engines have always filled their faces; a vector back end fills
    // `shape`, the slice the border encloses.
    virtual void fill_region(int x, int y, int border, int ink, const SliceShape& shape) = 0;

    // ---- Text and pictures ------------------------------------------------------------------
    // A text of one or more lines with its top-left corner at (x, y), turned by `angle`
    // radians counter-clockwise, placed as draw_text_lines places it: FreeType with the font
    // file and point size when they can draw it, else the built-in font of `font`.
    virtual void text(const FontEntry& font, const char* font_file, double ptsize, double angle, int x, int y,
                      const char* text, int ink, int justification) = 0;
    // The GIF picture in `file` under a chart of width x height: centred when smaller, else
    // cropped from its top-left corner; nothing when it cannot be read.
    virtual void background_picture(const char* file, int width, int height) = 0;

    // The palette picture behind the surface, for the ways of painting that only a raster has
    // (a flood in a spare colour); null on vector surfaces.
    virtual gdImagePtr raster() { return nullptr; }
};

// A colour as an ink of the surface, DefaultColor resolved against the background; and the
// colour with each channel halved (the shade of 3D faces).
inline int allocate_color(Surface& s, uint32_t color, uint32_t background) {
    return s.ink(resolve_color(color, background));
}
inline int allocate_shade(Surface& s, uint32_t color, uint32_t background) {
    return s.ink((resolve_color(color, background) >> 1) & 0x7F7F7F);
}

// A surface that makes a picture file of its own: the engines begin a picture on it and the
// caller takes the finished bytes.
class VectorSurface : public Surface {
public:
    // Starts a picture that the engines draw at width x height pixels; `turned`: the picture is
    // drawn upright and shown turned a quarter clockwise (height x width), as horizontal bar
    // charts are. Anything drawn before is dropped.
    virtual void begin(int width, int height, bool turned) = 0;
    // Ends the picture begun last.
    virtual void end() = 0;
    // The finished file; empty when nothing was drawn or it could not be made.
    virtual const std::string& bytes() const = 0;
};

// Where an engine's drawing goes: onto a vector surface, which makes its picture file itself,
// or (no surface) onto the engine's own palette picture, written as GIF or WBMP into `stream`.
// Handed to every drawing, so that two drawings never share a target.
struct PictureTarget {
    FILE* stream = nullptr;
    VectorSurface* vector = nullptr;

    PictureTarget(std::nullptr_t) {}
    PictureTarget(FILE* out) : stream(out) {}
    PictureTarget(VectorSurface* surface) : vector(surface) {}
};

}  // namespace plotwise
