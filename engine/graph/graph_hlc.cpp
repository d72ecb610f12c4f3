// Floating bars (FloatingBar, FloatingBar3D) and high-low-close charts (HighLowClose, its 3D
// form and the HLC combos).
//
// A floating bar of set s runs from its low (row 2s) to its high (row 2s + 1), painted like a
// bar in the colour of the low row and labelled with the high value; Depth and Beside place
// the sets as for bars, other stack types draw nothing.
//
// High-low-close marks of set s (rows 3s high, 3s + 1 low, 3s + 2 close), by `hlc_style` bits:
//   always  strokes at the point from the close to the low (low row's colour) and to the high
//           (high row's colour); nothing at a point without a close
//   8       caps half_cap to each side at the high and the low
//   1       a diamond around the close: corners half_cap left, above, right and below
//   2       a line from the previous close to this one
//   4       (bit 2 clear) a step from the previous close: level to this point, then up or
//           down to this close
// Connections are painted first, then the marks of each point over them. In 3D every stroke
// is a wall one depth step deep (shade) with its front edge in the front colour, like the side
// of a bar; caps are plates with a shade front edge, like the top of a bar; the diamond gets
// its visible side faces in the shade under the front face; connections are ribbons.
#include <algorithm>

#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

constexpr int kHlcDiamond = 1;
constexpr int kHlcConnect = 2;
constexpr int kHlcStep = 4;
constexpr int kHlcCaps = 8;

void paint_cap(const DataPlot& p, int x, int y, int half, int front, int shade) {
    if (p.solid) {
        p.fill({{x - half, y}, {x - half + p.xd, y - p.yd}, {x + half + p.xd, y - p.yd}, {x + half, y}}, front);
        p.line(x - half, y, x + half, y, shade);
    } else {
        p.line(x - half, y, x + half, y, front);
    }
}

void paint_stroke(const DataPlot& p, int x, int ya, int yb, int front, int shade) {
    if (p.solid)
        paint_wall(p, x, ya, yb, front, shade);
    else
        p.line(x, ya, x, yb, front);
}

void paint_diamond(const DataPlot& p, int x, int y, int half, int front, int shade) {
    const gdPoint corner[4] = {{x - half, y}, {x, y - half}, {x + half, y}, {x, y + half}};
    if (p.solid) {
        // A side face shows when the depth direction leaves the diamond through its edge.
        for (int k = 0; k < 4; ++k) {
            const gdPoint a = corner[k], b = corner[(k + 1) % 4];
            const long nx = b.y - a.y, ny = a.x - b.x;  // outward normal of a clockwise edge on screen
            if (nx * p.xd - ny * p.yd <= 0) continue;
            p.fill({a, {a.x + p.xd, a.y - p.yd}, {b.x + p.xd, b.y - p.yd}, b}, shade);
        }
    }
    p.fill({corner[0], corner[1], corner[2], corner[3]}, front);
}

void paint_connection(const DataPlot& p, int style, int x1, int y1, int x2, int y2, int front, int shade) {
    const bool step = !(style & kHlcConnect);
    if (!p.solid) {
        if (step) {
            p.line(x1, y1, x2, y1, front);
            p.line(x2, y1, x2, y2, front);
        } else {
            p.line(x1, y1, x2, y2, front);
        }
        return;
    }
    if (step) {
        paint_ribbon(p, x1, y1, x2, y1, front, shade);
        if (y1 != y2) paint_wall(p, x2, y1, y2, front, shade);
    } else {
        paint_ribbon(p, x1, y1, x2, y2, front, shade);
    }
}

}  // namespace

void draw_floating_bars(const DataPlot& p) {
    const int sets = p.sets(2);
    const int half = p.half_bar;
    const int stack = p.opt.stack_type;
    if (sets < 1 || (stack != Depth && stack != Beside)) return;
    const int slice = static_cast<int>(2.0 * half / sets);
    // Side by side, the labels go on after all bars, so that no neighbouring bar covers one.
    const int passes = stack == Beside ? 2 : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (int s = sets - 1; s >= 0; --s) {
            const int low = 2 * s, high = 2 * s + 1;
            const int step = stack == Depth ? p.set_step(s) : 0;
            for (int i = 0; i < p.n; ++i) {
                if (!p.has(low, i) || !p.has(high, i)) continue;
                const int cx = p.px(i + 1, step);
                int x1 = cx - half, x2 = cx + half;
                if (stack == Beside) {
                    x1 = cx - half + s * slice + 1;
                    x2 = std::max(cx - half + (s + 1) * slice, x1);
                }
                const int ya = p.py(p.value(low, i), step), yb = p.py(p.value(high, i), step);
                if (pass == 0) paint_bar(p, p.solid, x1, x2, ya, yb, p.front(low, i), p.shade(low, i));
                if (pass == passes - 1) draw_value_label(p, p.value(high, i), (x1 + x2) / 2, ya, yb);
            }
        }
}

void draw_hlc(const DataPlot& p) {
    const int style = p.opt.hlc_style;
    const int half = std::max(p.half_cap, 0);
    const bool connect = (style & kHlcConnect) || (style & kHlcStep);
    for (int s = p.sets(3) - 1; s >= 0; --s) {
        const int high = 3 * s, low = 3 * s + 1, close = 3 * s + 2;
        const int step = p.opt.stack_type == Depth ? p.set_step(s) : 0;
        if (connect)
            for (int i = 1; i < p.n; ++i) {
                if (!p.has(close, i - 1) || !p.has(close, i)) continue;
                paint_connection(p, style, p.px(i - 1, step), p.py(p.value(close, i - 1), step), p.px(i, step),
                                 p.py(p.value(close, i), step), p.front(close, i), p.shade(close, i));
            }
        for (int i = 0; i < p.n; ++i) {
            if (!p.has(close, i)) continue;
            const int x = p.px(i, step), yc = p.py(p.value(close, i), step);
            for (const int row : {low, high}) {
                if (!p.has(row, i)) continue;
                const int y = p.py(p.value(row, i), step);
                paint_stroke(p, x, yc, y, p.front(row, i), p.shade(row, i));
            }
            if (style & kHlcCaps)
                for (const int row : {high, low})
                    if (p.has(row, i)) paint_cap(p, x, p.py(p.value(row, i), step), half, p.front(row, i), p.shade(row, i));
            if (style & kHlcDiamond) paint_diamond(p, x, yc, half, p.front(close, i), p.shade(close, i));
        }
    }
}

}  // namespace plotwise
