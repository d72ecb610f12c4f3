// Bars (Bar, Bar3D) by stack type, and the value labels of bars.
//   Depth   sets from the last to the first, set s at depth step s
//   Beside  all sets at the front, each in its slice of the category, labelled over its slice
//   Layer   stacked pieces, painted in the order of their end totals
//   Sum     no bars
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "engine/format/float_digits.h"
#include "engine/graph/graph_shapes.h"
#include "engine/text/text_color.h"

namespace plotwise {
namespace {

// A point size as the whole number of points the text routines get.
int whole_points(double ptsize) {
    if (!(ptsize > 0)) return 0;
    return static_cast<int>(std::min(ptsize, 10000.0));
}


}  // namespace

void draw_value_label(const DataPlot& p, float value, int xc, int ya, int yb) {
    const ChartOptions& opt = p.opt;
    const int position = opt.value_label_position;
    if (position < 1 || position > 6 || value == 0 || !is_drawable(value)) return;

    const int decimals = p.L.label_decimals >= 1 && p.L.label_decimals <= 3 ? p.L.label_decimals : 0;
    // No more digits than the float holds: big values print whole, without their noise.
    const std::string shown = print_float_value(value, decimals);
    const char* text = shown.c_str();

    const char* font = p.L.xaxis_font ? p.L.xaxis_font : opt.xaxis_font;
    const int ptsize = whole_points(opt.xaxis_ptsize);
    const TextSize size = measure_text(text, opt.xaxis_font_size, font, ptsize);
    const double w = size.width, h = size.height;
    const double spacing = line_spacing(opt);
    const int upper = std::min(ya, yb), lower = std::max(ya, yb);
    const double middle = (upper + lower) / 2;

    // Turned text reads upward from its lower end; it is centred on the bar's column.
    double x = xc - (h / 2) * spacing * 1.1;
    double y = upper;
    bool turned = true;
    if (!opt.horizontal && position <= 4) {
        turned = false;
        x = xc - (std::trunc(w / 2) - 1);
        switch (position) {
            case 1: y = upper - h * spacing * 1.1; break;
            case 2: y = upper; break;
            case 3: y = middle - (std::trunc(h / 2) + 1); break;
            // Above the lower end by the point size; the built-in font has none, so its height.
            default: y = lower - 2 - (ptsize > 0 ? ptsize : h); break;
        }
    } else {
        switch (position) {
            case 1: y = upper; break;
            case 2: y = upper + w; break;
            case 3: y = middle + std::trunc(w / 2); break;
            case 4:
            case 5: y = lower; break;
            default: y = upper + w; break;
        }
    }
    p.s.text(font_entry(opt.xaxis_font_size), font, ptsize, turned ? kHalfPi : 0.0, p.clamp(x),
                    p.clamp(y), text, p.d.colors.line, JustifyCenter);
}

void draw_bars(const DataPlot& p) {
    const int sets = p.sets(1);
    const int half = p.half_bar;
    if (sets < 1 || p.n < 1) return;

    switch (p.opt.stack_type) {
        case Sum:
            return;
        case Beside: {
            // Real division: every set gets an equal share of the bar's full width. A label sits
            // over its own slice and goes on after all bars of the point, so that no
            // neighbouring bar covers it.
            const int slice = static_cast<int>(2.0 * half / sets);
            for (int i = 0; i < p.n; ++i) {
                const int cx = p.px(i + 1);
                const int y0 = p.py(0);
                for (int pass = 0; pass < 2; ++pass)
                    for (int s = 0; s < sets; ++s) {
                        const float v = p.value(s, i);
                        if (!is_present(v)) continue;
                        const int x1 = cx - half + s * slice + 1;
                        const int x2 = std::max(cx - half + (s + 1) * slice, x1);
                        const int y = p.py(v);
                        if (pass == 0)
                            paint_bar(p, p.solid, x1, x2, y0, y, p.front(s, i), p.shade(s, i));
                        else
                            draw_value_label(p, v, (x1 + x2) / 2, y0, y);
                    }
            }
            return;
        }
        case Layer: {
            std::vector<float> values(static_cast<size_t>(sets));
            for (int i = 0; i < p.n; ++i) {
                double total = 0;
                for (int s = 0; s < sets; ++s) {
                    values[s] = p.value(s, i);
                    if (is_present(values[s])) total += values[s];
                }
                const int cx = p.px(i + 1);
                for (const LayerPiece& piece : layer_pieces(values)) {
                    const int ya = p.py(piece.from), yb = p.py(piece.to);
                    paint_bar(p, p.solid, cx - half, cx + half, ya, yb, p.front(piece.set, i), p.shade(piece.set, i));
                    if (p.opt.value_label_position != 1) draw_value_label(p, piece.value, cx, ya, yb);
                }
                // Outside the bar only one label fits: the point's total.
                if (p.opt.value_label_position == 1 && std::fabs(total) <= FLT_MAX)
                    draw_value_label(p, static_cast<float>(total), cx, p.py(0), p.py(total));
            }
            return;
        }
        default:  // Depth
            for (int s = sets - 1; s >= 0; --s) {
                const int step = p.set_step(s);
                for (int i = 0; i < p.n; ++i) {
                    const float v = p.value(s, i);
                    if (!is_present(v)) continue;
                    const int cx = p.px(i + 1, step);
                    const int y0 = p.py(0, step), y = p.py(v, step);
                    paint_bar(p, p.solid, cx - half, cx + half, y0, y, p.front(s, i), p.shade(s, i));
                    draw_value_label(p, v, cx, y0, y);
                }
            }
            return;
    }
}

}  // namespace plotwise
