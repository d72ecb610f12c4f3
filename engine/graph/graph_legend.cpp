// Legend squares with their names, and point markers, for each LegendEntry in order. An entry
// whose point lies outside the points of the chart is skipped.
//   kind 0  filled triangle pointing down at (point_x(point), PY(value))
//   kind 1  filled triangle pointing up
//   kind 2  filled circle
//   kind 3  legend square with its name: a column right of the plot, or a row above it when
//           the picture is to be turned (`horizontal`). On bar charts the column is anchored
//           one position further right than the point's bar, at the plot's right edge as on
//           other charts, so that it never covers the last bar.
// On charts other than bars a marker at the first point keeps only its right half and one at
// the last point only its left half (a single point counts as the first).
// A line or area chart of a single point has no segment to show it: each set's point gets a
// filled diamond in its colour instead.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/graph/graph_shapes.h"
#include "engine/picture/region_fill.h"
#include "engine/pie/pie_internal.h"
#include "engine/text/text_color.h"
#include "engine/text/text_lines.h"

namespace plotwise {
namespace {


enum class Part { Whole, Right, Left };

// A palette entry for a temporary border: a colour no entry of the picture has, so that only
// the border stops the fill. -1 when the palette is full.
int allocate_spare(gdImagePtr im) {
    uint32_t v = kSpareColorStart;
    for (int tries = 0; tries <= gdMaxColors; ++tries) {
        const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
        if (gdImageColorExact(im, r, g, b) < 0) return gdImageColorAllocate(im, r, g, b);
        v = (v & 0xFFFF00) | ((b + 1) & 0xFF);
    }
    return -1;
}

void paint_circle(const DataPlot& p, int x, int y, int half, int color, Part part) {
    if (half < 1) {
        p.pixel(x, y, color);
        return;
    }
    // Circles that miss the picture, or dwarf it, are left out.
    const int largest = std::max(p.s.width(), p.s.height());
    if (!p.touches(x - half, y - half, x + half, y + half) || half > 4 * largest + 64) return;
    const int size = 2 * half;
    const int start = part == Part::Right ? 270 : part == Part::Left ? 90 : 0;
    const int end = part == Part::Whole ? 360 : start + 180;
    auto border = [&](int c) {
        p.s.arc(x, y, size, size, start, end, c);
        if (part != Part::Whole) p.line(x, y - half, x, y + half, c);
    };
    const int seed_x = part == Part::Right ? x + half / 2 : part == Part::Left ? x - half / 2 : x;

    // The outline goes down in the spare colour, the inside is flooded up to it, and every
    // spare pixel (outline and inside) then takes the entry colour. A flood in the entry colour
    // itself would stop at pixels that already have it. Small circles, circles larger than the
    // picture and circles whose seed lies outside it are painted directly.
    // Vector surfaces fill the circle itself.
    gdImagePtr im = p.s.raster();
    const bool seed_inside = seed_x >= 0 && seed_x < p.s.width() && y >= 0 && y < p.s.height();
    const bool modest = half <= largest;
    const int spare = im && half >= 3 && modest && seed_inside ? allocate_spare(im) : -1;
    if (spare < 0) {
        p.s.filled_arc(x, y, size, size, start, end, color);
        border(color);
        return;
    }
    border(spare);
    // The region fill that keeps its work on the heap: gd's own recurses once per row, and a
    // marker as tall as the picture would overflow a small thread stack.
    if (gdImageGetPixel(im, seed_x, y) != spare) fill_to_border(im, seed_x, y, spare, spare);
    const int x0 = std::max(x - half - 1, 0), x1 = std::min(x + half + 1, gdImageSX(im) - 1);
    const int y0 = std::max(y - half - 1, 0), y1 = std::min(y + half + 1, gdImageSY(im) - 1);
    for (int yy = y0; yy <= y1; ++yy)
        for (int xx = x0; xx <= x1; ++xx)
            if (gdImageGetPixel(im, xx, yy) == spare) gdImageSetPixel(im, xx, yy, color);
    gdImageColorDeallocate(im, spare);
}

void paint_triangle(const DataPlot& p, int x, int y, int half, bool down, int color, Part part) {
    const int base = down ? y - half : y + half;
    const int left = part == Part::Right ? x : x - half;
    const int right = part == Part::Left ? x : x + half;
    p.fill({{x, y}, {left, base}, {right, base}}, color);
}

void paint_marker(const DataPlot& p, const LegendEntry& e, int color) {
    if (!is_drawable(e.value)) return;
    const int x = p.px(e.point + p.offset), y = p.py(e.value);
    const int half = std::abs(p.clamp(static_cast<double>(p.px(2) - p.px(1)) * e.width / 100 / 2));
    Part part = Part::Whole;
    if (!isBarType(p.type)) {
        if (e.point == 0)
            part = Part::Right;
        else if (e.point == p.n - 1)
            part = Part::Left;
    }
    if (e.kind == MarkerCircle)
        paint_circle(p, x, y, half, color, part);
    else
        paint_triangle(p, x, y, half, e.kind == MarkerTriangleDown, color, part);
}

// How far the legend column moves down so that its first row keeps 3 pixels below the chart
// title where the two share columns (a long title, or a narrow picture); 0 when clear.
int drop_below_title(const DataPlot& p, int left, int top) {
    const ChartOptions& opt = p.opt;
    // Without a title the first row still starts inside the picture.
    if (opt.horizontal || opt.title == nullptr || opt.title[0] == '\0') return std::max(1 - top, 0);
    const bool ttf = p.L.title_ttf;
    auto measure = [&](const std::string& line) {
        return measure_text(line.c_str(), opt.title_size, ttf ? p.L.title_font : nullptr, ttf ? p.L.title_ptsize : 0);
    };
    int title_right = 0, title_bottom = 0;  // drawn from row 1, line after line
    const std::vector<std::string>& lines = p.L.title_lines;
    for (size_t k = 0; k < lines.size(); ++k) {
        const TextSize t = measure(lines[k]);
        const int line_top = static_cast<int>(k) * p.L.title_pitch;
        // FreeType lines are set by their baseline, a line height below their top: their ink
        // may reach lower than the measured height, and smoothing spills a pixel further.
        const TextInk ink = ttf ? text_ink(p.L.title_font, p.L.title_ptsize, lines[k].c_str()) : TextInk{};
        const int spill = ink.drawn ? kSmoothedSpill : 0;
        title_right = std::max(title_right, p.s.width() / 2 - t.width / 2 + t.width + spill);
        title_bottom = std::max(line_top + t.height, ink.drawn ? line_top + ink.bottom + 2 + spill : 0);
    }
    if (left > title_right + 2 || top >= title_bottom + 3) return std::max(1 - top, 0);
    return title_bottom + 3 - top;
}

void paint_square(const DataPlot& p, const LegendEntry& e, int index, int color, int& drop) {
    const ChartOptions& opt = p.opt;
    const double pitch = std::isfinite(opt.yaxis_ptsize) ? opt.yaxis_ptsize : 0.0;
    const int half = e.width;
    // A tall legend goes on in further columns to the right.
    const int rows = p.L.legend_rows;
    const int column = rows > 0 && !opt.horizontal ? index / rows : 0;
    if (column > 0) index %= rows;
    int cx, cy;
    if (opt.horizontal) {
        cx = p.clamp(p.px(1) + index * (pitch + 4));
        cy = p.clamp(static_cast<double>(p.py(p.L.highest)) - (p.solid ? p.L.ydepth_total : 0) - 2.0 * half);
    } else {
        // The last point's column stands at the plot's right edge, also when a single point
        // leaves that edge a whole position further right.
        const double position = e.point == p.n - 1 ? p.last_position() : e.point + 2.0 * p.offset;
        cx = p.clamp(static_cast<double>(p.px(position)) + (p.solid ? p.L.xdepth_total : 0) +
                     p.L.ylabel2_gap + 2.0 * half + column * p.L.legend_column);
        cy = p.clamp(p.py(p.L.highest) + index * legend_row_pitch(opt));
        if (drop < 0) drop = drop_below_title(p, cx - half, std::min(cy - half, p.clamp(cy - pitch)));
        cy = p.clamp(static_cast<double>(cy) + drop);
    }
    p.rect(cx - half, cy - half, cx + half, cy + half, color);
    p.outline(cx - half, cy - half, cx + half, cy + half, p.d.colors.plot);

    std::string name(e.name, strnlen(e.name, sizeof e.name));
    if (name.empty()) return;
    const char* font = p.L.ytitle_font ? p.L.ytitle_font : opt.ytitle_font;
    // The name's top (its left side when turned) is a point size before the square's centre.
    // Built-in characters (no font found) are shorter than a large point size: they never end
    // before that centre.
    const bool built_in = !(pitch > 0 && probe_font(font, pitch).width > 0);
    if (p.L.legend_name_room > 0 && !opt.horizontal)
        name = shorten_to_fit(name, p.L.legend_name_room, built_in ? kDots : kEllipsis, [&](const std::string& s) {
            return measure_text(s.c_str(), opt.yaxis_font_size, font, pitch).width;
        });
    const int char_h = font_entry(opt.yaxis_font_size).height;
    auto start = [&](int centre) {
        return p.clamp(built_in ? std::max(centre - pitch, static_cast<double>(centre - char_h)) : centre - pitch);
    };
    if (opt.horizontal)
        p.s.text( font_entry(opt.yaxis_font_size), font, pitch, kHalfPi, start(cx), cy - 2 * half - 2,
                        name.c_str(), p.d.colors.plot, JustifyLeft);
    else
        p.s.text( font_entry(opt.yaxis_font_size), font, pitch, 0.0, cx + 2 * half + 2, start(cy), name.c_str(),
                        p.d.colors.plot, JustifyLeft);
}

}  // namespace

void draw_legend(const DataPlot& p) {
    const LegendEntry* entries = p.opt.legend_entries;
    if (!entries || p.n < 1) return;
    int drop = -1;  // found at the first legend square
    for (int k = 0; k < p.opt.legend_count; ++k) {
        const LegendEntry& e = entries[k];
        if (!(e.point >= 0 && e.point <= p.n - 1) || e.kind > LegendSquare) continue;
        const uint32_t bg = p.opt.bg_color == DefaultColor || p.opt.bg_color == NoColor ? 0xFFFFFF : p.opt.bg_color;
        const int color = e.color == NoColor ? p.d.colors.plot : allocate_color(p.s, e.color, bg);
        if (e.kind == LegendSquare)
            paint_square(p, e, k, color, drop);
        else
            paint_marker(p, e, color);
    }
}

namespace {

// Line and area types, flat, 3D and xy, whose points are joined by segments.
bool joins_points(ChartType type) {
    switch (type) {
        case Line: case Line3D: case Area: case Area3D:
        case XyLine: case XyLineStep: case XyArea: case XyAreaStep: return true;
        default: return false;
    }
}

}  // namespace

void draw_lone_point_markers(const DataPlot& p) {
    if (!joins_points(p.type)) return;
    const int half = std::max(2 * p.mark_size, 4);  // twice the cross of a point chart
    for (int s = p.sets(1) - 1; s >= 0; --s) {
        // A point no segment reaches: the only point, or one between two missing values.
        const auto present = [&](int i) {
            return p.has(s, i) && (!isXy(p.type) || is_present(p.xvalue(s, i)));
        };
        for (int i = 0; i < p.n; ++i) {
            if (!present(i) || present(i - 1) || present(i + 1)) continue;
            const int cx = isXy(p.type) ? p.pxy(p.xvalue(s, i)) : p.px(i), cy = p.py(p.value(s, i));
            if (!p.in_plot_rows(cy)) continue;  // a value beyond the axis range has no place in the plot
            p.fill({{cx, cy - half}, {cx + half, cy}, {cx, cy + half}, {cx - half, cy}}, p.front(s, i));
        }
    }
}

}  // namespace plotwise
