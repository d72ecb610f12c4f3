// Areas (Area, Area3D). A segment joins two neighbouring present values and takes the colour
// of its right-hand point; the area stands on the base (lowest when that is positive, else 0).
//   Sum     sets stacked, each over the running total of the sets before it
//   Beside  all sets at the front, from the last set to the first
//   Depth   from the last set to the first, set s at depth step s (Layer likewise, within the
//           depth steps the layout made room for)
// A present value with no present neighbour is drawn as an area of no width (a line from the
// base, a wall in 3D), so that no value disappears.
#include <vector>

#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

bool isolated(const DataPlot& p, int row, int i) {
    return p.has(row, i) && !p.has(row, i - 1) && !p.has(row, i + 1);
}

void draw_stacked_areas(const DataPlot& p, int sets, double base) {
    std::vector<double> total(static_cast<size_t>(p.n), 0.0), below;
    for (int s = 0; s < sets; ++s) {
        below = total;
        for (int i = 0; i < p.n; ++i)
            if (p.has(s, i)) total[i] += p.value(s, i);
        auto lower = [&](int i) { return p.py(s == 0 ? base : below[i]); };
        for (int i = 1; i < p.n; ++i) {
            if (!p.has(s, i - 1) || !p.has(s, i)) continue;
            paint_area_segment(p, p.solid, p.px(i - 1), p.py(total[i - 1]), p.px(i), p.py(total[i]), lower(i - 1),
                               lower(i), p.front(s, i), p.shade(s, i));
        }
        for (int i = 0; i < p.n; ++i) {
            if (!isolated(p, s, i)) continue;
            const int x = p.px(i), y = p.py(total[i]);
            paint_area_segment(p, p.solid, x, y, x, y, lower(i), lower(i), p.front(s, i), p.shade(s, i));
        }
    }
}

}  // namespace

void draw_areas(const DataPlot& p) {
    const int sets = p.sets(1);
    if (sets < 1 || p.n < 1) return;
    const double base = p.L.lowest > 0 ? p.L.lowest : 0.0;
    if (p.opt.stack_type == Sum) {
        draw_stacked_areas(p, sets, base);
        return;
    }
    for (int s = sets - 1; s >= 0; --s) {
        const int step = p.opt.stack_type == Beside ? 0 : p.set_step(s);
        const int yb = p.py(base, step);
        for (int i = 1; i < p.n; ++i) {
            if (!p.has(s, i - 1) || !p.has(s, i)) continue;
            paint_area_segment(p, p.solid, p.px(i - 1, step), p.py(p.value(s, i - 1), step), p.px(i, step),
                               p.py(p.value(s, i), step), yb, yb, p.front(s, i), p.shade(s, i));
        }
        for (int i = 0; i < p.n; ++i) {
            if (!isolated(p, s, i)) continue;
            const int x = p.px(i, step), y = p.py(p.value(s, i), step);
            paint_area_segment(p, p.solid, x, y, x, y, yb, yb, p.front(s, i), p.shade(s, i));
        }
    }
}

}  // namespace plotwise
