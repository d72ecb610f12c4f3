// What surrounds the data: the volume of combo charts and the 3D zero shelf (both painted at
// the back before the data), the annotation line (its 3D part along the back wall first, then
// the line at the front with its note) and the plot frame by `border` bits.
#include <algorithm>
#include <cmath>

#include "engine/graph/graph_shapes.h"
#include "engine/text/text_color.h"

namespace plotwise {
namespace {

// `border` bits; the value 1 alone means every edge.
constexpr int kBorderAll = 1;
constexpr int kBorderBottom = 2;
constexpr int kBorderLeft = 4;
constexpr int kBorderRight = 8;
constexpr int kBorderTop = 16;

enum class VolumeForm { Bars, Area, Line };

VolumeForm volume_form(ChartType t) {
    switch (t) {
        case ComboLineBar:
        case ComboHlcBar:
        case ComboLineBar3D:
        case ComboHlcBar3D: return VolumeForm::Bars;
        case ComboLineLine:
        case ComboLineLine3D: return VolumeForm::Line;
        default: return VolumeForm::Area;
    }
}

}  // namespace

void draw_volume(const DataPlot& p) {
    if (!isCombo(p.type) || !p.in.vol || p.n < 1) return;
    const int s = p.back;
    auto vol = [&](int i) { return p.volume(i); };
    auto has = [&](int i) { return is_present(p.volume(i)); };
    const int y0 = p.pv(0, s);
    const int half = p.half_bar;
    switch (volume_form(p.type)) {
        case VolumeForm::Bars:
            // Flat bars; the first and the last keep only their inner half.
            for (int i = 0; i < p.n; ++i) {
                if (!has(i)) continue;
                const int cx = p.px(i, s);
                const int x1 = i == 0 ? cx : cx - half;
                const int x2 = i == p.n - 1 ? cx : cx + half;
                const int c = p.volume_color(i);
                paint_bar(p, false, x1, x2, y0, p.pv(vol(i), s), c, c);
            }
            return;
        case VolumeForm::Area:
            for (int i = 0; i < p.n; ++i) {
                const int c = p.volume_color(i);
                if (has(i) && has(i - 1))
                    paint_area_segment(p, false, p.px(i - 1, s), p.pv(vol(i - 1), s), p.px(i, s), p.pv(vol(i), s), y0,
                                       y0, c, c);
                else if (has(i) && !has(i + 1))  // a lone value: an area of no width
                    paint_area_segment(p, false, p.px(i, s), p.pv(vol(i), s), p.px(i, s), p.pv(vol(i), s), y0, y0, c,
                                       c);
            }
            return;
        case VolumeForm::Line:
            for (int i = 0; i < p.n; ++i) {
                if (!has(i)) continue;
                const int c = p.volume_color(i);
                const int x = p.px(i, s), y = p.pv(vol(i), s);
                if (has(i - 1))
                    p.line(p.px(i - 1, s), p.pv(vol(i - 1), s), x, y, c);
                else if (!has(i + 1))
                    p.pixel(x, y, c);
            }
            return;
    }
}

void draw_back_annotation(const DataPlot& p) {
    const Annotation* a = p.opt.annotation;
    if (!a || !p.solid || !std::isfinite(a->point)) return;
    const int x = p.px(a->point + p.offset, p.back);
    p.line(x, p.py(p.L.lowest, p.back), x, p.py(p.L.highest, p.back), p.d.colors.annotation);
}

void draw_plot_frame(const DataPlot& p) {
    const int border = p.opt.border;
    auto edge = [&](int bits) { return border == kBorderAll || (border & bits) != 0; };
    const double last = p.last_position();
    const int b = p.back;
    const int xl = p.px(0), xr = p.px(last), xlb = p.px(0, b), xrb = p.px(last, b);
    const int ylo = p.py(p.L.lowest), yhi = p.py(p.L.highest);
    const int ylob = p.py(p.L.lowest, b), yhib = p.py(p.L.highest, b);
    const int c = p.d.colors.line;
    if (edge(kBorderBottom)) p.line(xl, ylo, xr, ylo, c);
    if (edge(kBorderTop)) p.line(xlb, yhib, xrb, yhib, c);
    if (edge(kBorderLeft)) p.line(xl, ylo, xl, yhi, c);
    if (edge(kBorderLeft | kBorderTop)) p.line(xl, yhi, xlb, yhib, c);
    if (edge(kBorderBottom | kBorderRight)) p.line(xr, ylo, xrb, ylob, c);
    if (edge(kBorderRight)) p.line(xrb, ylob, xrb, yhib, c);
}

void draw_zero_shelf(const DataPlot& p) {
    if (!p.solid || !p.opt.zero_shelf) return;
    const float lo = p.L.lowest, hi = p.L.highest;
    const bool spans = lo < 0 && hi > 0;
    const bool at_edge = (lo == 0 || hi == 0) && !(p.opt.border & kBorderBottom);
    if (!spans && !at_edge) return;
    const int b = p.back;
    const int c = p.d.colors.line;
    p.line(p.px(0), p.py(0), p.px(0, b), p.py(0, b), c);
    p.line(p.px(0, b), p.py(0, b), p.px(p.last_position(), b), p.py(0, b), c);
}

void draw_annotation(const DataPlot& p) {
    const Annotation* a = p.opt.annotation;
    if (!a || !std::isfinite(a->point)) return;
    const int c = p.d.colors.annotation;
    const double pos = a->point + p.offset;
    const int x = p.px(pos);
    const int top = p.py(p.L.highest);
    p.line(x, p.py(p.L.lowest) + 1, x, top, c);
    // Where the line ends: the back wall in 3D, 2 pixels above the plot otherwise.
    int tx = x, ty = top - 2;
    if (p.solid) {
        tx = p.px(pos, p.back);
        ty = p.py(p.L.highest, p.back);
    }
    p.line(x, top, tx, ty, c);

    if (!a->note || !a->note[0]) return;
    const ChartOptions& opt = p.opt;
    const TextSize size = measure_text(a->note, opt.annotation_font_size, opt.annotation_font, opt.annotation_ptsize);
    const int rise = (p.L.annote_hgt > 0 ? p.L.annote_hgt : size.height + 5) / 2;
    const bool to_left = a->point >= p.n / 2;
    const int ex = to_left ? tx - rise : tx + rise, ey = ty - rise;
    p.line(tx, ty, ex, ey, c);
    const int text_top = ey - size.height / 2;
    const FontEntry& font = font_entry(opt.annotation_font_size);
    if (to_left)
        p.s.text(font, opt.annotation_font, opt.annotation_ptsize, 0.0, ex - size.width, text_top, a->note,
                        c, JustifyRight);
    else
        p.s.text(font, opt.annotation_font, opt.annotation_ptsize, 0.0, ex + 1, text_top, a->note, c,
                        JustifyLeft);
}

}  // namespace plotwise
