// A hand-made drawing for the data stage: input rows, a layout with round numbers, a palette
// picture and its colour indices, so that expected pixels can be computed from the geometry.
//
// Default layout: point_x(p, s) = 40 + 40 p + s xd, PY(v, s) = 250 - 10 v - s yd (values 0..20 span
// rows 250..50), PV like PY, PXY(x) = 40 + 10 x; half_bar 10, half_cap 5, mark_size 3.
#pragma once

#include <gd.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <iterator>
#include <vector>

#include "engine/graph/graph_internal.h"
#include "engine/graph/graph_shapes.h"

namespace plotwise::test {

// Front colours of the rows (cycled); the shade of each is its own distinct colour.
inline constexpr uint32_t kRowColors[] = {0xC00000, 0x00A000, 0x0000C0, 0xB0B000, 0x00B0B0, 0xB000B0};
inline constexpr uint32_t kRowShades[] = {0x600000, 0x005000, 0x000060, 0x585800, 0x005858, 0x580058};
inline constexpr float M = NoValue;  // a missing value, short for tables

// The colour a pixel is expected to have: a row's front colour or shade, the background, the
// line, volume or annotation colour.
struct Ink {
    enum Kind { Front, Shade, Background, Line, Volume, Annotation } kind;
    int row = 0;
};
inline constexpr Ink kBackground{Ink::Background}, kLine{Ink::Line}, kVolume{Ink::Volume}, kAnnotation{Ink::Annotation};
constexpr Ink front_of(int row) { return {Ink::Front, row}; }
constexpr Ink shade_of(int row) { return {Ink::Shade, row}; }

class Scene {
public:
    Scene(ChartType type, std::vector<std::vector<float>> rows, int width = 400, int height = 300)
        : data(std::move(rows)), im(gdImageCreate(width, height)) {
        in.type = type;
        in.width = static_cast<short>(width);
        in.height = static_cast<short>(height);
        in.num_sets = static_cast<int>(data.size());
        L.xorig = 40;
        L.yorig = 250;
        L.vyorig = 250;
        L.pixels_per_point = 40;
        L.yscl = -10;
        L.vyscl = -10;
        L.xyscl = 10;
        L.lowest = 0;
        L.highest = 20;
        L.vlowest = 0;
        L.vhighest = 20;
        L.half_bar = 10;
        L.half_cap = 5;
        L.mark_size = 3;
        L.set_depth = 1;
        opt.xaxis_ptsize = 0;                 // built-in fonts only
        opt.ytitle_font = "no-such-font.ttf";
        opt.border = 0;
        opt.zero_shelf = 0;
        opt.bg_color = 0xFFFFFF;
        background = gdImageColorAllocate(im, 0xFF, 0xFF, 0xFF);
        line = gdImageColorAllocate(im, 0, 0, 0);
        plot = gdImageColorAllocate(im, 0, 0, 0x80);
        volume = gdImageColorAllocate(im, 0xA0, 0xA0, 0xFF);
        annotation = gdImageColorAllocate(im, 0xFF, 0x80, 0);
        for (size_t k = 0; k < std::size(kRowColors); ++k) {
            fronts.push_back(allocate(kRowColors[k]));
            shades.push_back(allocate(kRowShades[k]));
        }
    }
    ~Scene() { gdImageDestroy(im); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // A 3D scene: one depth step of (xd, yd), `steps` steps to the back wall.
    void depth(int xd, int yd, int steps = 1) {
        L.xdepth_3d = xd;
        L.ydepth_3d = yd;
        L.set_depth = steps;
        L.xdepth_total = xd * steps;
        L.ydepth_total = yd * steps;
    }

    int allocate(uint32_t rgb) { return gdImageColorAllocate(im, rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }
    int front(int row) const { return fronts[row % fronts.size()]; }
    int shade(int row) const { return shades[row % shades.size()]; }

    // Runs the data stage. Rows, x rows, volume and colours are wired up here, so that tests
    // may change `data` and the layout before.
    void draw() {
        const int n = data.empty() ? num_points : static_cast<int>(data[0].size());
        in.num_points = n;
        in.row.clear();
        for (const auto& r : data) in.row.push_back(r.data());
        in.rows = static_cast<int>(in.row.size());
        in.xrow.clear();
        for (const auto& r : xdata) in.xrow.push_back(r.data());
        in.vol = vol.empty() ? nullptr : vol.data();
        L.rows = in.rows;
        colors.background = background;
        colors.line = line;
        colors.plot = plot;
        colors.volume = volume;
        colors.annotation = annotation;
        colors.num_points = n;
        if (colors.front.empty()) {
            for (int r = 0; r < in.rows; ++r)
                for (int i = 0; i < n; ++i) {
                    colors.front.push_back(front(r));
                    colors.shade.push_back(shade(r));
                }
        }
        GraphDrawing d{in, L, opt, im, colors};
        draw_graph_data(d);
    }

    int at(int x, int y) const { return gdImageGetPixel(im, x, y); }
    int color(Ink ink) const {
        switch (ink.kind) {
            case Ink::Front: return front(ink.row);
            case Ink::Shade: return shade(ink.row);
            case Ink::Line: return line;
            case Ink::Volume: return volume;
            case Ink::Annotation: return annotation;
            case Ink::Background: break;
        }
        return background;
    }
    // Pixels of a colour in the box from (x0, y0) to (x1, y1), inclusive.
    int count(int x0, int y0, int x1, int y1, int color) const {
        int found = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) found += at(x, y) == color;
        return found;
    }
    int count_all(int color) const { return count(0, 0, gdImageSX(im) - 1, gdImageSY(im) - 1, color); }

    int point_x(double p, int s = 0) const { return L.point_x(p, s); }
    int PY(double v, int s = 0) const { return L.PY(v, s); }

    GraphInput in;
    GraphLayout L;
    ChartOptions opt;
    GraphColors colors;
    std::vector<std::vector<float>> data;
    std::vector<std::vector<float>> xdata;
    std::vector<float> vol;
    int num_points = 0;  // used when there are no rows
    gdImagePtr im;
    int background = 0, line = 0, plot = 0, volume = 0, annotation = 0;
    std::vector<int> fronts, shades;
};

// One scene of a table: its rows, what is set before drawing (depth, stack type, layout), the
// colours of chosen pixels and how many pixels of a colour the whole picture has.
struct SceneCase {
    const char* name;
    ChartType type;
    std::vector<std::vector<float>> rows;
    std::function<void(Scene&)> setup;  // may be empty
    struct Pixel {
        int x, y;
        Ink ink;
    };
    std::vector<Pixel> pixels;
    struct Tally {
        Ink ink;
        int count;
    };
    std::vector<Tally> tallies;
};

inline void expect_scene(const SceneCase& c) {
    SCOPED_TRACE(c.name);
    Scene s(c.type, c.rows);
    if (c.setup) c.setup(s);
    s.draw();
    for (const SceneCase::Pixel& p : c.pixels) EXPECT_EQ(s.at(p.x, p.y), s.color(p.ink)) << "at " << p.x << ", " << p.y;
    for (const SceneCase::Tally& t : c.tallies)
        EXPECT_EQ(s.count_all(s.color(t.ink)), t.count) << "ink " << t.ink.kind << " of row " << t.ink.row;
}

}  // namespace plotwise::test
