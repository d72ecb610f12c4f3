// Xy charts: x from the set's x row, y from its value row, sets from the last to the first.
//   XyLine      lines between neighbouring present points, doubled one pixel lower
//   XyLineStep  level from the left point to the right point's x (doubled one pixel lower),
//               then up or down to the right point (doubled one pixel to the right)
//   XyArea      area segments over the base (straight)
//   XyAreaStep  area segments over the base (level at the left point's height)
//   XyPoint     a cross of two diagonals reaching mark_size pixels from each point
// Apart from XyPoint, a point that no segment reaches on one side is marked by its pixel.
#include <algorithm>

#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

struct XyPoint2 {
    bool present;
    int x, y;
};

}  // namespace

void draw_xy(const DataPlot& p) {
    const double base = p.L.lowest > 0 ? p.L.lowest : 0.0;
    const int yb = p.py(base);
    std::vector<XyPoint2> pts(static_cast<size_t>(p.n));
    for (int s = p.sets(1) - 1; s >= 0; --s) {
        for (int i = 0; i < p.n; ++i) {
            const float x = p.xvalue(s, i), y = p.value(s, i);
            pts[i] = {is_present(x) && is_present(y), p.pxy(x), p.py(y)};
        }
        auto present = [&](int i) { return i >= 0 && i < p.n && pts[i].present; };

        if (p.type == XyPoint) {
            const int m = std::max(p.mark_size, 0);
            for (int i = 0; i < p.n; ++i) {
                if (!present(i)) continue;
                const int x = pts[i].x, y = pts[i].y;
                p.line(x - m, y - m, x + m, y + m, p.front(s, i));
                p.line(x - m, y + m, x + m, y - m, p.front(s, i));
            }
            continue;
        }

        for (int i = 0; i < p.n; ++i)
            if (present(i) && (!present(i - 1) || !present(i + 1))) p.pixel(pts[i].x, pts[i].y, p.front(s, i));

        for (int i = 1; i < p.n; ++i) {
            if (!present(i - 1) || !present(i)) continue;
            const int x1 = pts[i - 1].x, y1 = pts[i - 1].y, x2 = pts[i].x, y2 = pts[i].y;
            const int front = p.front(s, i);
            switch (p.type) {
                case XyLineStep:
                    p.line(x1, y1, x2, y1, front);
                    p.line(x1, y1 + 1, x2, y1 + 1, front);
                    p.line(x2, y1, x2, y2, front);
                    p.line(x2 + 1, y1, x2 + 1, y2, front);
                    break;
                case XyArea:
                    paint_area_segment(p, p.solid, x1, y1, x2, y2, yb, yb, front, p.shade(s, i));
                    break;
                case XyAreaStep:
                    paint_area_segment(p, p.solid, x1, y1, x2, y1, yb, yb, front, p.shade(s, i));
                    break;
                default:  // XyLine
                    p.line(x1, y1, x2, y2, front);
                    p.line(x1, y1 + 1, x2, y2 + 1, front);
                    break;
            }
        }
    }
}

}  // namespace plotwise
