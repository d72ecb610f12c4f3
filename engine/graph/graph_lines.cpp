// Lines: flat lines (Line and the line part of the flat combos) and 3D ribbons (Line3D and the
// line part of the 3D combos).
//
// Flat lines are two pixels thick, from the last set to the first, each segment in the colour
// of its right-hand point; a point that a segment does not reach on one side is marked by its
// pixel. Ribbons are one depth step deep: with Depth each set in its own depth row, one ribbon
// at a time; with Beside and Sum all sets in the front row, painted one pixel column at a time,
// the sets of a column from the lowest on screen to the highest, so that higher values cover
// lower ones (Sum runs along the running totals). Layer draws no ribbons.
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

// Marks a point no ribbon reaches by its depth edge, so that no value disappears.
void mark_lone_point(const DataPlot& p, int x, int y, int color) {
    p.line(x, y, x + p.xd, y - p.yd, color);
}

void draw_depth_ribbons(const DataPlot& p, int sets) {
    for (int s = sets - 1; s >= 0; --s) {
        const int step = p.set_step(s);
        for (int i = 1; i < p.n; ++i) {
            if (!p.has(s, i - 1) || !p.has(s, i)) continue;
            paint_ribbon(p, p.px(i - 1, step), p.py(p.value(s, i - 1), step), p.px(i, step),
                         p.py(p.value(s, i), step), p.front(s, i), p.shade(s, i));
        }
        for (int i = 0; i < p.n; ++i)
            if (p.has(s, i) && !p.has(s, i - 1) && !p.has(s, i + 1))
                mark_lone_point(p, p.px(i, step), p.py(p.value(s, i), step), p.front(s, i));
    }
}

// One set's part of a segment.
struct RibbonPart {
    int set;
    int y1, y2;      // screen rows at the segment's ends
    int front, shade;
    int prev, cur;   // screen rows at the column being painted
};

void draw_column_ribbons(const DataPlot& p, int sets, bool stacked) {
    // Heights along which each set's ribbon runs: its values, or the running totals.
    std::vector<std::vector<double>> level(static_cast<size_t>(sets), std::vector<double>(p.n, 0.0));
    std::vector<double> total(static_cast<size_t>(p.n), 0.0);
    for (int s = 0; s < sets; ++s)
        for (int i = 0; i < p.n; ++i) {
            if (!p.has(s, i)) continue;
            total[i] = stacked ? total[i] + p.value(s, i) : p.value(s, i);
            level[s][i] = total[i];
        }

    const int reach = std::abs(p.xd) + 1;
    const int right = p.s.width() + reach;
    std::vector<RibbonPart> parts;
    for (int i = 1; i < p.n; ++i) {
        const int x1 = p.px(i - 1), x2 = p.px(i);
        parts.clear();
        for (int s = sets - 1; s >= 0; --s)
            if (p.has(s, i - 1) && p.has(s, i))
                parts.push_back({s, p.py(level[s][i - 1]), p.py(level[s][i]), p.front(s, i), p.shade(s, i), 0, 0});
        if (parts.empty()) continue;
        if (x2 <= x1 || std::abs(p.xd) > 4 * p.s.width() + 64) {
            // No column of its own: the segment is a step at one column (or the scale runs
            // backwards, or the depth dwarfs the picture); paint it as whole ribbons, lowest
            // first.
            std::stable_sort(parts.begin(), parts.end(), [](const RibbonPart& a, const RibbonPart& b) {
                return std::max(a.y1, a.y2) > std::max(b.y1, b.y2);
            });
            for (const RibbonPart& r : parts) paint_ribbon(p, x1, r.y1, x2, r.y2, r.front, r.shade);
            continue;
        }
        const double run = static_cast<double>(x2) - x1;
        auto row_at = [&](const RibbonPart& r, int c) {
            return static_cast<int>(r.y1 + (static_cast<double>(r.y2) - r.y1) * (c - x1) / run);
        };
        // Columns that cannot reach the picture are skipped.
        const int first = std::max(x1 + 1, -reach), last = std::min(x2, right);
        for (int c = first; c <= last; ++c) {
            for (RibbonPart& r : parts) {
                r.prev = row_at(r, c - 1);
                r.cur = row_at(r, c);
            }
            std::stable_sort(parts.begin(), parts.end(),
                             [](const RibbonPart& a, const RibbonPart& b) { return a.cur > b.cur; });
            for (const RibbonPart& r : parts) {
                const bool steep = p.steeper_than_depth(r.prev - r.cur, 1);
                p.fill({{c - 1, r.prev}, {c, r.cur}, {c + p.xd, r.cur - p.yd}, {c - 1 + p.xd, r.prev - p.yd}},
                       steep ? r.shade : r.front);
                if (c == x1 + 1) p.line(x1, r.y1, x1 + p.xd, r.y1 - p.yd, steep ? r.front : r.shade);
            }
        }
    }
    for (int s = sets - 1; s >= 0; --s)
        for (int i = 0; i < p.n; ++i)
            if (p.has(s, i) && !p.has(s, i - 1) && !p.has(s, i + 1))
                mark_lone_point(p, p.px(i), p.py(level[s][i]), p.front(s, i));
}

}  // namespace

void draw_lines(const DataPlot& p) {
    for (int s = p.sets(1) - 1; s >= 0; --s) {
        // Ends first, so that a segment drawn later keeps its own colour up to its end.
        for (int i = 0; i < p.n; ++i)
            if (p.has(s, i) && (!p.has(s, i - 1) || !p.has(s, i + 1)))
                p.pixel(p.px(i), p.py(p.value(s, i)), p.front(s, i));
        for (int i = 1; i < p.n; ++i) {
            if (!p.has(s, i - 1) || !p.has(s, i)) continue;
            const int x1 = p.px(i - 1), y1 = p.py(p.value(s, i - 1));
            const int x2 = p.px(i), y2 = p.py(p.value(s, i));
            const int color = p.front(s, i);
            p.line(x1, y1, x2, y2, color);
            p.line(x1, y1 + 1, x2, y2 + 1, color);
        }
    }
}

void draw_ribbons(const DataPlot& p) {
    const int sets = p.sets(1);
    if (sets < 1 || p.n < 1) return;
    switch (p.opt.stack_type) {
        case Layer: return;
        case Beside: draw_column_ribbons(p, sets, false); return;
        case Sum: draw_column_ribbons(p, sets, true); return;
        default: draw_depth_ribbons(p, sets); return;
    }
}

}  // namespace plotwise
