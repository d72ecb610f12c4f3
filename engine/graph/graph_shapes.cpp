// The view of one drawing that the data painters share, and the solids they paint with.
#include "engine/graph/graph_shapes.h"

#include <algorithm>
#include <cmath>

namespace plotwise {
namespace {

// More depth steps than any chart has sets.
constexpr int kMaxSets = 1 << 20;

}  // namespace

bool is_drawable(float v) {
    return std::isfinite(v) && v != NoValue && v != InterpolateValue;
}

std::vector<LayerPiece> layer_pieces(std::span<const float> values) {
    std::vector<LayerPiece> pieces;
    double positive = 0, negative = 0;
    for (size_t s = 0; s < values.size(); ++s) {
        const float v = values[s];
        if (!is_drawable(v)) continue;
        double& total = v >= 0 ? positive : negative;
        pieces.push_back({static_cast<int>(s), total, total + v, v});
        total += v;
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const LayerPiece& a, const LayerPiece& b) { return a.to < b.to; });
    return pieces;
}

DataPlot::DataPlot(GraphDrawing& drawing)
    : own_(drawing.im), d(drawing), in(drawing.in), L(drawing.L), opt(drawing.opt),
      s(drawing.surface ? *drawing.surface : own_), type(drawing.in.type),
      n(std::max(drawing.in.num_points, 0)), solid(is3d(drawing.in.type)),
      xd(solid ? clamp(drawing.L.xdepth_3d) : 0), yd(solid ? clamp(drawing.L.ydepth_3d) : 0),
      offset(isBarType(drawing.in.type) ? 1 : 0), back(std::clamp(drawing.L.set_depth, 0, kMaxSets)),
      half_bar(clamp(drawing.L.half_bar)), half_cap(clamp(drawing.L.half_cap)), mark_size(clamp(drawing.L.mark_size)) {
    // A margin wide enough that clipped shapes keep their look, narrow enough that gd's
    // polygon arithmetic ((y - y1) * (x2 - x1) in int) cannot overflow even on the largest
    // pictures.
    const int w = s.width(), h = s.height();
    const int margin = 64 + std::min(std::max(w, h), 4096);
    left_ = -margin;
    top_ = -margin;
    right_ = w - 1 + margin;
    bottom_ = h - 1 + margin;
}

int DataPlot::clamp(double v) {
    if (!(v > -kFar)) return -kFar;
    if (v > kFar) return kFar;
    return static_cast<int>(v);
}

// The sums below keep GraphLayout's order of operations (an int and a float added in float,
// then the double term), so that results within range equal its point_x, PY, PV and PXY.
int DataPlot::px(double p, int s) const {
    return clamp(static_cast<double>(static_cast<float>(static_cast<double>(s) * xd) + L.xorig) + p * L.pixels_per_point);
}
int DataPlot::py(double v, int s) const {
    return clamp(static_cast<double>(L.yorig - static_cast<float>(static_cast<double>(s) * yd)) + v * L.yscl);
}
int DataPlot::pv(double v, int s) const {
    return clamp(static_cast<double>(L.vyorig - static_cast<float>(static_cast<double>(s) * yd)) +
                 v * static_cast<double>(L.vyscl));
}
int DataPlot::pxy(double x, int s) const {
    return clamp(static_cast<double>(static_cast<float>(static_cast<double>(s) * xd) + L.xorig) +
                 (x - static_cast<double>(L.xmin)) * L.xyscl);
}

double DataPlot::last_position() const {
    if (L.last_pos > 0) return L.last_pos;
    // The positions the x scale was divided into: n - 1 points apart, two more on bar types;
    // a single point still spans one.
    return n - (n >= 2 ? 1 : 0) + (isBarType(type) ? 2 : 0);
}

int DataPlot::set_step(int s) const {
    return std::clamp(s, 0, std::max(back - 1, 0));
}

int DataPlot::rows() const { return static_cast<int>(in.row.size()); }

int DataPlot::sets(int per_set) const {
    return std::clamp(in.num_sets, 0, rows() / std::max(per_set, 1));
}

float DataPlot::value(int row, int point) const {
    if (row < 0 || row >= rows() || point < 0 || point >= n || !in.row[row]) return NoValue;
    const float v = in.row[row][point];
    return is_drawable(v) ? v : NoValue;
}

float DataPlot::volume(int point) const {
    if (!in.vol || point < 0 || point >= n) return NoValue;
    return is_drawable(in.vol[point]) ? in.vol[point] : NoValue;
}

float DataPlot::xvalue(int set, int point) const {
    if (point < 0 || point >= n) return NoValue;
    if (set < 0 || set >= static_cast<int>(in.xrow.size()) || !in.xrow[set]) return static_cast<float>(point);
    const float x = in.xrow[set][point];
    return is_drawable(x) ? x : NoValue;
}

int DataPlot::front(int row, int point) const {
    const GraphColors& c = d.colors;
    if (row < 0 || point < 0 || point >= c.num_points) return c.plot;
    const size_t i = static_cast<size_t>(row) * c.num_points + point;
    return i < c.front.size() ? c.front[i] : c.plot;
}

int DataPlot::shade(int row, int point) const {
    const GraphColors& c = d.colors;
    if (row < 0 || point < 0 || point >= c.num_points) return front(row, point);
    const size_t i = static_cast<size_t>(row) * c.num_points + point;
    return solid && i < c.shade.size() ? c.shade[i] : front(row, point);
}

int DataPlot::volume_color(int point) const {
    const GraphColors& c = d.colors;
    return point >= 0 && static_cast<size_t>(point) < c.volume_at.size() ? c.volume_at[point] : c.volume;
}

bool DataPlot::steeper_than_depth(double rise, double run) const {
    if (xd == 0) return false;  // the depth direction is the steepest slope there is
    if (run == 0) return true;
    return rise / run > static_cast<double>(yd) / xd;
}

bool DataPlot::touches(int x1, int y1, int x2, int y2) const {
    return std::max(x1, x2) >= 0 && std::min(x1, x2) < s.width() && std::max(y1, y2) >= 0 &&
           std::min(y1, y2) < s.height();
}

bool DataPlot::in_plot_rows(int y) const {
    const int b = back;
    return y >= std::min(py(L.highest), py(L.highest, b)) && y <= std::max(py(L.lowest), py(L.lowest, b));
}

DataPlot::PlotClip::PlotClip(const DataPlot& p)
    : p_(p), saved_{p.left_, p.top_, p.right_, p.bottom_, p.line_margin_} {
    // The rows of the plot as the frame draws it, the front wall and the back wall. Values run
    // up and down; along the x axis the data never leave the plot (the range holds every x value)
    // but for the half of a bar or a cap, which keep their look.
    const int b = p.back;
    p.top_ = std::max(p.top_, std::min(p.py(p.L.highest), p.py(p.L.highest, b)));
    p.bottom_ = std::min(p.bottom_, std::max(p.py(p.L.lowest), p.py(p.L.lowest, b)));
    p.line_margin_ = 1;
}

DataPlot::PlotClip::~PlotClip() {
    p_.left_ = saved_[0];
    p_.top_ = saved_[1];
    p_.right_ = saved_[2];
    p_.bottom_ = saved_[3];
    p_.line_margin_ = saved_[4];
}

void DataPlot::line(int x1, int y1, int x2, int y2, int color) const {
    const int m = line_margin_;
    if (inside(x1, y1, m) && inside(x2, y2, m)) {
        s.line(x1, y1, x2, y2, color);
        return;
    }
    // Liang-Barsky against the clip box.
    const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {static_cast<double>(x1) - (left_ - m), static_cast<double>(right_ + m) - x1,
                         static_cast<double>(y1) - (top_ - m), static_cast<double>(bottom_ + m) - y1};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return;
    }
    s.line(static_cast<int>(std::lround(x1 + t0 * dx)), static_cast<int>(std::lround(y1 + t0 * dy)),
                static_cast<int>(std::lround(x1 + t1 * dx)), static_cast<int>(std::lround(y1 + t1 * dy)), color);
}

void DataPlot::fill(std::initializer_list<gdPoint> points, int color) const {
    constexpr size_t kMax = 8;
    bool all_inside = points.size() <= kMax;
    for (const gdPoint& q : points) all_inside = all_inside && inside(q.x, q.y);
    if (all_inside) {
        gdPoint pts[kMax];
        std::copy(points.begin(), points.end(), pts);
        s.polygon(std::span<const gdPoint>(pts, points.size()), color);
        return;
    }
    // Sutherland-Hodgman against the four sides of the clip box.
    struct P {
        double x, y;
    };
    std::vector<P> poly, next;
    for (const gdPoint& q : points) poly.push_back({static_cast<double>(q.x), static_cast<double>(q.y)});
    const double bound[4] = {static_cast<double>(left_), static_cast<double>(right_), static_cast<double>(top_),
                             static_cast<double>(bottom_)};
    for (int side = 0; side < 4 && !poly.empty(); ++side) {
        auto in = [&](const P& a) {
            switch (side) {
                case 0: return a.x >= bound[0];
                case 1: return a.x <= bound[1];
                case 2: return a.y >= bound[2];
                default: return a.y <= bound[3];
            }
        };
        auto cross = [&](const P& a, const P& b) {
            const bool vertical = side < 2;
            const double t = vertical ? (bound[side] - a.x) / (b.x - a.x) : (bound[side] - a.y) / (b.y - a.y);
            return vertical ? P{bound[side], a.y + t * (b.y - a.y)} : P{a.x + t * (b.x - a.x), bound[side]};
        };
        next.clear();
        for (size_t k = 0; k < poly.size(); ++k) {
            const P& a = poly[k];
            const P& b = poly[(k + 1) % poly.size()];
            if (in(a)) {
                next.push_back(a);
                if (!in(b)) next.push_back(cross(a, b));
            } else if (in(b)) {
                next.push_back(cross(a, b));
            }
        }
        poly.swap(next);
    }
    if (poly.size() < 3) return;
    std::vector<gdPoint> pts;
    for (const P& q : poly) pts.push_back({static_cast<int>(std::lround(q.x)), static_cast<int>(std::lround(q.y))});
    s.polygon(pts, color);
}

void DataPlot::rect(int x1, int y1, int x2, int y2, int color) const {
    if (!touches(x1, y1, x2, y2)) return;
    const int xa = std::clamp(std::min(x1, x2), left_, right_), ya = std::clamp(std::min(y1, y2), top_, bottom_);
    const int xb = std::clamp(std::max(x1, x2), left_, right_), yb = std::clamp(std::max(y1, y2), top_, bottom_);
    s.rect(xa, ya, xb, yb, color);
}

void DataPlot::outline(int x1, int y1, int x2, int y2, int color) const {
    line(x1, y1, x2, y1, color);
    line(x2, y1, x2, y2, color);
    line(x2, y2, x1, y2, color);
    line(x1, y2, x1, y1, color);
}

void DataPlot::pixel(int x, int y, int color) const {
    if (line_margin_ > 0 && !inside(x, y, line_margin_)) return;  // within a PlotClip only
    s.pixel(x, y, color);
}

void paint_bar(const DataPlot& p, bool solid, int x1, int x2, int ya, int yb, int front, int shade) {
    const int top = std::min(ya, yb), bottom = std::max(ya, yb);
    const int xd = solid ? p.xd : 0, yd = solid ? p.yd : 0;
    if (solid) {
        if (ya != yb) p.fill({{x2, ya}, {x2 + xd, ya - yd}, {x2 + xd, yb - yd}, {x2, yb}}, shade);
        p.fill({{x1, top}, {x1 + xd, top - yd}, {x2 + xd, top - yd}, {x2, top}}, front);
    }
    p.rect(x1, top, x2, bottom, front);
    if (solid) p.line(x1, top, x2, top, shade);
}

void paint_area_segment(const DataPlot& p, bool solid, int x1, int y1, int x2, int y2, int yb1, int yb2,
                        int front, int shade) {
    if (solid) {
        const int xd = p.xd, yd = p.yd;
        p.line(x1 + xd, yb1 - yd, x2 + xd, yb2 - yd, shade);
        const int top_color = p.steeper_than_depth(y1 - y2, x2 - x1) ? shade : front;
        auto top_face = [&] { p.fill({{x1, y1}, {x1 + xd, y1 - yd}, {x2 + xd, y2 - yd}, {x2, y2}}, top_color); };
        auto bottom_face = [&] { p.fill({{x1, yb1}, {x1 + xd, yb1 - yd}, {x2 + xd, yb2 - yd}, {x2, yb2}}, front); };
        // The face nearer the viewer goes last: above the lower edge that is the top face,
        // below it (or crossing) the face along the lower edge.
        if (y1 <= yb1 && y2 <= yb2) {
            bottom_face();
            top_face();
        } else {
            top_face();
            bottom_face();
        }
        p.fill({{x2, yb2}, {x2 + xd, yb2 - yd}, {x2 + xd, y2 - yd}, {x2, y2}}, shade);
        p.line(x1, y1, x1 + xd, y1 - yd, shade);
        p.line(x1, yb1, x1 + xd, yb1 - yd, shade);
        p.line(x2, y2, x2 + xd, y2 - yd, shade);
        p.line(x2, yb2, x2 + xd, yb2 - yd, shade);
        const double d1 = y1 - yb1, d2 = y2 - yb2;
        if ((d1 < 0 && d2 > 0) || (d1 > 0 && d2 < 0)) {
            const double t = d1 / (d1 - d2);
            const int xc = p.clamp(x1 + t * (x2 - x1));
            const int yc = p.clamp(yb1 + t * (yb2 - yb1));
            p.line(xc, yc, xc + xd, yc - yd, shade);
        }
    }
    p.fill({{x1, yb1}, {x2, yb2}, {x2, y2}, {x1, y1}}, front);
    p.line(x1, yb1, x2, yb2, shade);
}

void paint_ribbon(const DataPlot& p, int x1, int y1, int x2, int y2, int front, int shade) {
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const bool steep = p.steeper_than_depth(y1 - y2, x2 - x1);
    p.fill({{x1, y1}, {x2, y2}, {x2 + p.xd, y2 - p.yd}, {x1 + p.xd, y1 - p.yd}}, steep ? shade : front);
    p.line(x1, y1, x1 + p.xd, y1 - p.yd, steep ? front : shade);
}

void paint_wall(const DataPlot& p, int x, int ya, int yb, int front, int shade) {
    p.fill({{x, ya}, {x + p.xd, ya - p.yd}, {x + p.xd, yb - p.yd}, {x, yb}}, shade);
    p.line(x, ya, x, yb, front);
}

}  // namespace plotwise
