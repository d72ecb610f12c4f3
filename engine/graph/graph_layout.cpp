// The layout pass of a graph drawing, with no drawing: fonts, data ranges, the room taken by
// titles, labels, legend and 3D depth, the y scale with its label interval, the plot area and
// the pixel mapping. lay_out runs the steps in order: fonts -> ranges -> text space -> y scale ->
// y label widths -> second axis -> custom y labels -> x scale -> label thinning; where the
// category names do not fit (left out upright, or taking more than half the picture) the
// layout runs again with them turned, broken or shortened. layout_prepared writes the saved
// geometry back last.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/graph/graph_internal.h"
#include "engine/text/text_color.h"
#include "engine/text/text_lines.h"

namespace plotwise {
namespace {

constexpr int kTableSize = 33;

// Label intervals for automatic whole-number-and-fraction labels.
constexpr float kFractionIntervals[kTableSize] = {
    1.0f / 64, 1.0f / 32, 1.0f / 16, 1.0f / 8, 1.0f / 4, 1.0f / 2, 1, 2, 3, 5, 10, 25, 50, 100, 250, 500, 1000,
    2500, 5000, 10000, 25000, 50000, 100000, 500000, 1e6f, 5e6f, 1e7f, 5e7f, 2.5e8f, 5e8f, 1e9f, 5e9f, 2.5e10f};
// Label intervals for labels printed with a printf format.
constexpr float kDecimalIntervals[kTableSize] = {
    0.005f, 0.01f, 0.025f, 0.05f, 0.1f, 0.2f, 0.25f, 0.5f, 1, 2, 3, 5, 10, 25, 50, 100, 250, 500, 1000,
    2500, 5000, 10000, 25000, 50000, 100000, 500000, 1e6f, 5e6f, 2.5e8f, 5e8f, 1e9f, 5e9f, 2.5e10f};
// Label intervals of date and time axes, in seconds (a minute, an hour, a day, a week, ...).
constexpr float kTimeIntervals[kTableSize] = {
    0.005f, 0.01f, 0.025f, 0.05f, 0.1f, 0.2f, 0.25f, 0.5f, 1, 2, 3, 5, 10, 15, 30, 60, 120, 300, 900,
    1800, 3600, 10800, 21600, 43200, 86400, 604800, 2638000, 31536000, 315360000, 3153600000.0f,
    6307200000.0f, 1.27144e10f, 2.54288e10f};

// The y range is held within +-kRangeLimit so that label values above it stay finite.
constexpr double kRangeLimit = 1e36;
// An interval below this share of the largest label value cannot be stepped in single precision.
constexpr double kSmallestStep = 1.0 / (1 << 20);

// A usable point size: 0 (built-in font) for a bad or negative value.
double point_size(double p) { return std::isfinite(p) && p > 0 ? std::min(p, 2000.0) : 0; }

struct FontChoice {
    const char* file;
    bool ttf;
};

// The font of a text type after the probe: the font itself when FreeType can use it, else the
// fallback font; ttf tells whether FreeType will draw the text.
FontChoice choose_font(const char* file, double ptsize, const char* fallback) {
    if (ptsize > 0 && file != nullptr && probe_font(file, ptsize).width > 0) return {file, true};
    bool ttf = ptsize > 0 && fallback != nullptr && probe_font(fallback, ptsize).width > 0;
    return {fallback, ttf};
}

double clamp_range(double v) { return std::clamp(v, -kRangeLimit, kRangeLimit); }

// Data range by stack type, then the volume range, then the adjustments of the chart type and
// the requested bounds.
void find_ranges(const GraphInput& in, const ChartOptions& opt, GraphLayout& L) {
    const int n = in.num_points;
    double hi = -DBL_MAX, lo = DBL_MAX;
    bool found = false;
    auto take = [&](double v) {
        hi = std::max(hi, v);
        lo = std::min(lo, v);
        found = true;
    };
    if (opt.stack_type == Layer) {
        for (int p = 0; p < n; ++p) {
            double pos = 0, neg = 0;
            bool any = false;
            for (const float* row : in.row) {
                if (!is_present(row[p])) continue;
                (row[p] >= 0 ? pos : neg) += row[p];
                any = true;
            }
            if (any) take(pos), take(neg);
        }
    } else if (opt.stack_type == Sum) {
        for (int p = 0; p < n; ++p) {
            double total = 0;
            for (const float* row : in.row) {
                if (!is_present(row[p])) continue;
                total += row[p];
                take(total);
            }
        }
    } else {
        for (const float* row : in.row)
            for (int p = 0; p < n; ++p)
                if (is_present(row[p])) take(row[p]);
    }
    if (!found) lo = 0, hi = 1.0;
    if (in.type == Bar || in.type == Bar3D) {
        if (hi < 0) hi = 0;
        else if (lo > 0) lo = 0;
    }
    if (lo > 0 && opt.requested_ymin == FLT_MAX) lo = 0;  // the definition's automatic minimum
    if (given(opt.requested_ymin) && opt.requested_ymin < lo) lo = opt.requested_ymin;
    if (given(opt.requested_ymax) && opt.requested_ymax > hi) hi = opt.requested_ymax;
    L.lowest = static_cast<float>(clamp_range(lo));
    L.highest = static_cast<float>(clamp_range(hi));

    if (!isCombo(in.type)) return;
    double vhi = -DBL_MAX, vlo = DBL_MAX;
    bool vfound = false;
    for (int p = 0; p < n && in.vol != nullptr; ++p) {
        if (!is_present(in.vol[p])) continue;
        vhi = std::max(vhi, static_cast<double>(in.vol[p]));
        vlo = std::min(vlo, static_cast<double>(in.vol[p]));
        vfound = true;
    }
    if (!vfound) vhi = 1.0, vlo = 0;
    if (given(opt.requested_y2max) && opt.requested_y2max > vhi) vhi = opt.requested_y2max;
    if (given(opt.requested_y2min) && opt.requested_y2min < vlo) vlo = opt.requested_y2min;
    if (in.type != ComboLineLine && in.type != ComboLineLine3D) {  // volume bars and areas stand on 0
        if (vhi < 0) vhi = 0;
        else if (vlo > 0) vlo = 0;
    }
    L.vhighest = static_cast<float>(clamp_range(vhi));
    L.vlowest = static_cast<float>(clamp_range(vlo));
}

// Room for the x labels: the largest vertical extent and horizontal footprint of the labels
// shown, at the label angle.
void measure_x_labels(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, double angle) {
    int vert = -1, horiz = -1;
    const double a = angle * M_PI / 180;
    for (int i = 0; i < in.num_points; ++i) {
        if (opt.xlabel_ctl != nullptr && opt.xlabel_ctl[i] == 0) continue;
        const char* text = x_label_text(in, L, i);
        if (!has_text(text)) continue;
        TextSize t = measure_text(text, opt.xaxis_font_size, L.xaxis_font, L.xaxis_ptsize);
        int v = t.height, h = t.width;
        if (angle == 90) {
            v = turned_label_reach(L.xaxis_font, L.xaxis_ptsize, L.xaxis_ttf, text, t.width), h = t.height;
        } else if (angle != 0 && std::fabs(std::sin(a)) >= 0.01) {
            v = to_int(t.width * std::fabs(std::sin(a)) + t.height * std::fabs(std::cos(a)));
            h = to_int(t.height / std::fabs(std::sin(a)));
        }
        vert = std::max(vert, v);
        horiz = std::max(horiz, h);
    }
    if (vert >= 0) L.xlabel_hgt = vert + 2, L.xlabel_wth = horiz + 2;
}

// Upright FreeType labels are drawn by their first baseline, a whole line (descenders included)
// below their top, so labels without descenders reach past their measured height. The frame
// puts them 3 pixels below the axis and the x title's top `title_rows` rows (its line and a
// tenth) above the picture's bottom edge: the labels' room grows where their ink would otherwise
// come within 2 pixels of the title's ink.
void keep_x_labels_off_title(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, int title_rows) {
    int last = -1;  // the labels' last ink row below their top
    for (int i = 0; i < in.num_points; ++i) {
        if ((opt.xlabel_ctl != nullptr && opt.xlabel_ctl[i] == 0) || !has_text(x_label_text(in, L, i))) continue;
        const TextInk ink = text_ink(L.xaxis_font, L.xaxis_ptsize, x_label_text(in, L, i));
        if (ink.drawn) last = std::max(last, ink.bottom);
    }
    if (last < 0) return;
    const TextInk title = L.xtitle_ttf ? text_ink(L.xtitle_font, L.xtitle_ptsize, opt.xtitle) : TextInk{};
    const int title_first = title.drawn ? title.top : 0;  // below the title's top
    // The labels start at H + 1 - xtitle_hgt - xlabel_hgt - xtick_len, the title at H - title_rows.
    L.xlabel_hgt = std::max(L.xlabel_hgt, last + title_rows - title_first + 4 - L.xtitle_hgt - L.xtick_len);
}

// Widest legend name (legend squares) and its length in characters; the first such entry.
// `drawn_room`: with names drawn by FreeType, the room the widest entry takes from the point
// it is anchored at (square, gap, measured name and a margin); 0 with built-in names.
// `count`: the legend squares; `room`: with built-in names, the room the widest entry takes
// from its anchor (its box, without a margin).
struct LegendSize {
    int width = 0, chars = 0;
    const LegendEntry* first = nullptr;
    int drawn_room = 0;
    int count = 0;
    int room = 0;
};
LegendSize measure_legend(const ChartOptions& opt, const GraphLayout& L) {
    LegendSize s;
    if (opt.legend_entries == nullptr) return s;
    const bool ttf =
        L.yaxis_ptsize > 0 && L.ytitle_font != nullptr && probe_font(L.ytitle_font, L.yaxis_ptsize).width > 0;
    for (int i = 0; i < opt.legend_count; ++i) {
        const LegendEntry& e = opt.legend_entries[i];
        if (e.kind != LegendSquare) continue;
        if (s.first == nullptr) s.first = &e;
        std::string name(e.name, strnlen(e.name, sizeof e.name));
        TextSize t = measure_text(name.c_str(), opt.yaxis_font_size, L.ytitle_font, L.yaxis_ptsize);
        s.width = std::max(s.width, t.width);
        s.chars = std::max(s.chars, static_cast<int>(name.size()));
        // The square is centred 2 half sizes from the anchor, the name starts 2 pixels after it.
        if (ttf) s.drawn_room = std::max(s.drawn_room, 4 * e.width + 2 + t.width + 2);
        if (!ttf) s.room = std::max(s.room, 4 * e.width + 2 + t.width);
        ++s.count;
    }
    return s;
}

// The x labels of categories get fewer when the shown ones would overlap, that is stand less
// than `footprint` pixels apart: positions lie pixels_per_point apart, which on bar and 3D charts is less
// than the plot width shared among the points. Returns the count of labels to take as fitting.
int thin_x_labels(int num_xlbls, int num_points, double pixels_per_point, int footprint) {
    auto pitch = [&](int k) { return (k >= num_points ? 1 : num_points / std::max(k, 1) + 1) * pixels_per_point; };
    while (num_xlbls > 0 && pitch(num_xlbls) < footprint) --num_xlbls;
    return num_xlbls;
}

// How far a label at the plot's first position reaches left of it, with a pixel to spare:
// upright and turned labels are centred on the position, slanted ones end at it.
int first_label_reach(const char* text, const ChartOptions& opt, const GraphLayout& L, double angle) {
    const TextSize t = measure_text(text, opt.xaxis_font_size, L.xaxis_font, L.xaxis_ptsize);
    int reach = t.width / 2;
    if (angle == 90) {
        reach = t.height / 2;
    } else if (angle != 0) {
        const double a = angle * M_PI / 180;
        reach = slanted_label_reach(t.width, t.height, a);
    }
    return std::max(reach, 0) + 2;
}

// Label widths in characters as the layout counts them: 0.7 point sizes each (the product taken
// left to right), or the built-in font's width without a point size.
int label_room(const ChartOptions& opt, const GraphLayout& L, int chars) {
    return L.yaxis_ptsize > 0 ? to_int(chars * L.yaxis_ptsize * 0.7) : chars * font_entry(opt.yaxis_font_size).width;
}

// Room for the labels of a custom y label step, which the frame draws instead of the automatic
// ones: it widens the label room when they are longer.
void reserve_custom_labels(const ChartOptions& opt, GraphLayout& L, int num_points) {
    const double range = static_cast<double>(L.highest) - L.lowest;
    const double fallback = range / (static_cast<double>(num_points) + 1);
    const double magnitude = std::max(std::fabs(L.lowest), std::fabs(L.highest));
    const double pitch = L.yaxis_ptsize > 0 ? L.yaxis_ptsize : font_entry(opt.yaxis_font_size).height;
    const AxisSteps s = axis_steps(opt.yaxis_grid_step, opt.yaxis_tick_step, opt.yaxis_label_step, range, fallback,
                                   fallback, L.plot_height, pitch, magnitude, !isDateKind(opt.y_value_kind));
    const float step = static_cast<float>(s.label);
    int longest = 0, widest = 0;
    float previous = 0;
    for (int k = 0; k < kMaxAxisSteps; ++k) {
        const float v = static_cast<float>(L.lowest + k * s.label);
        if (!(v <= L.highest) || (k > 0 && v == previous)) break;
        previous = v;
        longest = std::max(longest, y_label_length(L, opt, v, step));
        if (L.yaxis_ptsize > 0 && !opt.horizontal) {
            const YLabelWidths w = y_label_widths(L, opt, y_label_text(L, opt, v, step));
            widest = std::max(widest, w.whole + w.fraction);
        }
    }
    L.ylabel_wth = std::max({L.ylabel_wth, label_room(opt, L, longest), widest + 2 - L.ytick_len});
}

// Steps of 1, 2 and 5 times a power of ten below the table's smallest entry: the largest that
// still gives `limit` steps over the range (0 when none does within 40 decades).
double decimal_interval_below(double smallest, double range, double limit) {
    double decade = std::pow(10.0, std::floor(std::log10(smallest)));
    for (int k = 0; k < 40; ++k, decade /= 10)
        for (const double m : {5.0, 2.0, 1.0}) {
            const double c = m * decade;
            if (c < smallest && range / c >= limit) return c;
        }
    return 0;
}

// The smallest entry of the table (or a decade beyond its end) that is at least `least`; below
// the table's smallest entry, the smallest step of 1, 2 or 5 times a power of ten.
float raise_interval(const float* table, float interval, double least) {
    if (interval >= least) return interval;
    if (least < table[0]) {
        const double decade = std::pow(10.0, std::floor(std::log10(least)));
        for (const double m : {1.0, 2.0, 5.0, 10.0})
            if (m * decade >= least && m * decade < table[0]) return static_cast<float>(m * decade);
    }
    for (int i = 0; i < kTableSize; ++i)
        if (table[i] >= least) return table[i];
    double v = table[kTableSize - 1];
    for (int k = 0; k < 40 && v < least; ++k) v *= 10;
    return static_cast<float>(std::min(v, kRangeLimit));
}

// The label interval: the largest table entry below which the labels would not fit, a larger
// requested interval, decades beyond the table for huge ranges, the time table for date and
// time axes, and never so small that single precision cannot step it.
float choose_interval(const ChartOptions& opt, GraphLayout& L, int max_labels) {
    const float* table = L.fraction_labels ? kFractionIntervals : kDecimalIntervals;
    const double range = static_cast<double>(L.highest) - L.lowest;
    double limit = (max_labels - 2) * static_cast<double>(opt.ylabel_density) / 100;
    if (opt.horizontal) limit /= 4;
    int i = 1;
    while (i < kTableSize && !(range / table[i] < limit)) ++i;
    float interval = table[i - 1];
    // A range too small for even the smallest entry gets finer decimal steps, so that it has
    // labels and grid lines like any other.
    if (i == 1 && range > 0 && range / table[0] < limit) {
        const double finer = decimal_interval_below(table[0], range, limit);
        if (finer > 0) interval = static_cast<float>(finer);
    }
    if (given(opt.requested_yinterval) && opt.requested_yinterval > interval)
        interval = std::min(opt.requested_yinterval, static_cast<float>(kRangeLimit));
    // Beyond the table: decades, so that the labels of a huge range stay countable.
    if (i == kTableSize)
        for (int k = 0; k < 40 && range / interval > max_labels && interval < kRangeLimit; ++k) interval *= 10;

    if (isDateKind(opt.y_value_kind)) {
        int t = 0;
        while (t < kTableSize && kTimeIntervals[t] < interval) ++t;
        if (t < kTableSize && interval >= kTimeIntervals[0]) {  // beyond the time steps: keep it
            if (t >= 25) ++t;
            interval = kTimeIntervals[t == 0 ? 0 : t - 1];
        }
    }
    const double magnitude = std::max(std::fabs(L.lowest), std::fabs(L.highest));
    return raise_interval(table, interval, magnitude * kSmallestStep);
}

// The lowest label of the scale for a label interval: data below 0 start a step below the data.
float lowest_label(const ChartOptions& opt, const float* table, float lowest, float interval) {
    if (lowest == 0 || lowest == opt.requested_ymin) return lowest;
    double low = lowest;
    if (low < 0) low -= interval;
    // The first label lies below the data: by the table's smallest entry, or by an interval finer
    // than that.
    const double below = std::min(static_cast<double>(table[0]), static_cast<double>(interval));
    return static_cast<float>(std::trunc((low - below) / interval) * interval);
}

// Whether the turned value labels of horizontal bars, which lie along the axis, keep 3 pixels
// apart at `interval` and show at least two: the scale runs from the lowest label to the first
// label above the data, and neighbouring labels stand plot_height / steps apart.
bool turned_labels_fit(const ChartOptions& opt, const GraphLayout& L, const float* table, float interval) {
    const float low = lowest_label(opt, table, L.lowest, interval);
    const int line = font_entry(opt.yaxis_font_size).height;
    // Labels a few pixels long at most cannot fit: no need to measure them.
    const int most = std::max(L.plot_height / 4, 2);
    int steps = 0, need = 0;
    int above = 0;  // how far the previous label reaches past its value
    for (; steps <= most; ++steps) {
        const float v = static_cast<float>(low + steps * static_cast<double>(interval));
        if (v > L.highest && steps > 0) break;
        const std::string text = y_label_text(L, opt, v, interval).whole;
        const int w = measure_text(text.c_str(), opt.yaxis_font_size, L.yaxis_ttf ? L.yaxis_font : nullptr,
                                   L.yaxis_ttf ? L.yaxis_ptsize : 0).width;
        // How far the label reaches below its value: FreeType labels start a built-in line less
        // 4 pixels further per character after the first, built-in ones are centred.
        const int reach = L.yaxis_ttf ? line / 2 + (y_label_length(L, opt, v, interval) - 1) * (line - 4) : w / 2;
        if (steps > 0) need = std::max(need, above + reach + 3);
        above = w - reach;
    }
    return steps >= 2 && steps <= most && L.plot_height / steps >= need;
}

// The label interval of horizontal bars: the chosen one when its labels fit, else the smallest
// table entry whose labels fit, else the smallest step of 1, 2 or 5 times a power of ten that
// fits within the table's span (the chosen one when none does).
float fit_turned_labels(const ChartOptions& opt, const GraphLayout& L, const float* table, float interval) {
    if (turned_labels_fit(opt, L, table, interval)) return interval;
    for (int i = 0; i < kTableSize; ++i)
        if (turned_labels_fit(opt, L, table, table[i])) return table[i];
    for (double decade = std::pow(10.0, std::floor(std::log10(table[0]))); decade < table[kTableSize - 1]; decade *= 10)
        for (const double m : {1.0, 2.0, 5.0})
            if (turned_labels_fit(opt, L, table, static_cast<float>(m * decade))) return static_cast<float>(m * decade);
    return interval;
}

// Fonts: one that FreeType cannot use is replaced by the fallback font for this drawing.
void choose_fonts(const ChartOptions& opt, GraphLayout& L) {
    L.title_ptsize = point_size(opt.title_ptsize);
    L.ytitle_ptsize = point_size(opt.ytitle_ptsize);
    L.xtitle_ptsize = point_size(opt.xtitle_ptsize);
    L.yaxis_ptsize = point_size(opt.yaxis_ptsize);
    L.xaxis_ptsize = point_size(opt.xaxis_ptsize);
    FontChoice f = choose_font(opt.title_font, L.title_ptsize, opt.fallback_font);
    L.title_font = f.file, L.title_ttf = f.ttf;
    f = choose_font(opt.ytitle_font, L.ytitle_ptsize, opt.fallback_font);
    L.ytitle_font = f.file, L.ytitle_ttf = f.ttf;
    f = choose_font(opt.xtitle_font, L.xtitle_ptsize, opt.fallback_font);
    L.xtitle_font = f.file, L.xtitle_ttf = f.ttf;
    f = choose_font(opt.yaxis_font, L.yaxis_ptsize, opt.fallback_font);
    L.yaxis_font = f.file, L.yaxis_ttf = f.ttf;
    f = choose_font(opt.xaxis_font, L.xaxis_ptsize, opt.fallback_font);
    L.xaxis_font = f.file, L.xaxis_ttf = f.ttf;
}

// The title's lines within the picture (along its height when the picture is turned, the
// title then standing in the left margin); the height they take.
int lay_out_title(const GraphInput& in, const ChartOptions& opt, GraphLayout& L) {
    const int room = (opt.horizontal ? in.height : in.width) - 2;
    TitleLines t = lay_out_title_lines(opt.title, opt.title_size, L.title_font, L.title_ptsize, L.title_ttf, room);
    L.title_lines = std::move(t.lines);
    L.title_pitch = t.pitch;
    return t.height;
}

// What the text-space step finds out that later steps need besides the room in GraphLayout.
struct TextSpace {
    double angle = 0;            // x label angle in degrees as the labels will be drawn
    bool xlabels_shown = false;  // the x axis is on and there are labels
    LegendSize legend;
};

// Text space: the room of the titles, ticks, 3D depth, annotation, x labels (at `angle` degrees)
// and legend.
TextSpace reserve_text_space(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, double angle) {
    const ChartType type = in.type;
    const double spacing = line_spacing(opt);
    int title_h = 0, ytitle_h = 0;  // measured heights
    if (has_text(opt.title)) {
        title_h = lay_out_title(in, opt, L);
        L.title_height = to_int(title_h * spacing + 2);
    } else {
        L.title_height = 2;
    }
    if (L.title_ptsize + 6 > L.title_height) L.title_height = to_int(L.title_height * 1.2);
    int xtitle_h = 0;
    if (has_text(opt.xtitle)) {
        xtitle_h = measure_text(opt.xtitle, opt.xtitle_size, L.xtitle_font, L.xtitle_ptsize).height;
        L.xtitle_hgt = to_int(xtitle_h * spacing + 1);
    }
    if (has_text(opt.ytitle)) {
        ytitle_h = measure_text(opt.ytitle, opt.ytitle_size, L.ytitle_font, L.ytitle_ptsize).height;
        // A FreeType title starts a pixel further in, clear of the picture's edge.
        L.ytitle_wth = ytitle_h + 2 + (L.ytitle_ttf ? kSmoothedSpill : 0);
    }
    if (isCombo(type) && has_text(opt.ytitle2))
        L.ytitle2_wth = measure_text(opt.ytitle2, opt.ytitle_size, L.ytitle_font, L.ytitle_ptsize).height + 2;
    if (opt.ticks && (opt.grid || opt.xaxis)) L.xtick_len = 3;
    if (opt.ticks && (opt.grid || opt.yaxis)) L.ytick_len = 4;
    if (opt.ticks && opt.yaxis && isCombo(type)) L.ytick2_len = 4;
    if (opt.horizontal) {  // the title moves into the left margin of the turned picture
        L.ytitle_wth += L.title_height;
        L.title_height = 2;
        // A FreeType title is drawn by its ink from column 1, the y title 3 pixels after it.
        if (L.title_ttf && has_text(opt.title))
            L.ytitle_wth = std::max(L.ytitle_wth, title_h + 2 + kSmoothedSpill + (has_text(opt.ytitle) ? ytitle_h + 3 : 0));
    }
    if (is3d(type)) {
        double base = (in.width + in.height) / 2 * static_cast<double>(opt.depth_3d) / 100;
        double a = opt.angle_3d * M_PI / 180;
        L.xdepth_3d = std::clamp(to_int(std::cos(a) * base), -100000, 100000);
        L.ydepth_3d = std::clamp(to_int(std::sin(a) * base), -100000, 100000);
    }
    L.xdepth_total = to_int(static_cast<double>(L.set_depth) * L.xdepth_3d);
    L.ydepth_total = to_int(static_cast<double>(L.set_depth) * L.ydepth_3d);
    if (opt.annotation != nullptr && has_text(opt.annotation->note)) {
        TextSize t = measure_text(opt.annotation->note, opt.annotation_font_size, opt.annotation_font,
                                  point_size(opt.annotation_ptsize));
        L.annote_hgt = t.height + 5;
        L.annote_len = t.width;
    }
    TextSpace space;
    // Built-in fonts draw every turned text at 90 degrees.
    space.angle = std::isfinite(angle) ? angle : 0;
    if (space.angle != 0 && !L.xaxis_ttf) space.angle = 90;
    L.xlabel_angle = space.angle;
    space.xlabels_shown = opt.xaxis && in.xlabels != nullptr;
    if (space.xlabels_shown) measure_x_labels(in, opt, L, space.angle);
    if (space.xlabels_shown && space.angle == 0 && L.xaxis_ttf && has_text(opt.xtitle) &&
        !has_numeric_x_axis(type, opt))
        keep_x_labels_off_title(in, opt, L, 1 + to_int(xtitle_h * (spacing + 0.1)));
    space.legend = measure_legend(opt, L);
    const LegendSize& legend = space.legend;
    if (legend.first != nullptr) {
        if (!opt.horizontal) {
            double factor = type == Line || type == Line3D ? 0.95 : 0.75;
            L.legend_wth = to_int(legend.width * factor + legend.first->width * 7 + 1);
        } else {
            // A character of a name is taken as the point size / 1.2 wide, also when no font
            // is found; without a point size the built-in font's width stands for it.
            const double chars = legend.chars + 2;
            const int row = L.yaxis_ptsize > 0 ? to_int(chars * L.yaxis_ptsize / 1.2 + 1)
                                               : to_int(chars * font_entry(opt.yaxis_font_size).width + 1);
            L.legend_hgt = std::max(row, legend.drawn_room);
        }
    }
    return space;
}

// Y scale: the plot height, the label interval and the lowest label. False (result 2) when the
// plot has no room for three labels.
bool choose_y_scale(const GraphInput& in, const ChartOptions& opt, GraphLayout& L) {
    L.plot_height = in.height - (L.xtick_len + L.xtitle_hgt + L.xlabel_hgt + L.title_height + L.annote_hgt +
                                 L.ydepth_total + L.legend_hgt + 2);
    if (opt.keep_geometry && opt.saved_plot_height != 0) L.plot_height = opt.saved_plot_height;
    // The label pitch follows the point size, also when the built-in font draws the labels
    // because no font is found; without a point size the built-in font's height stands for it.
    const double label_pt = L.yaxis_ptsize > 0 ? L.yaxis_ptsize : font_entry(opt.yaxis_font_size).height;
    const int max_labels = to_int(L.plot_height / (2 * label_pt + 3));
    if (max_labels < 3) {
        L.result = 2;
        return false;
    }
    L.fraction_labels = !is_printf_format(opt.ylabel_format);
    const float* table = L.fraction_labels ? kFractionIntervals : kDecimalIntervals;
    L.first_interval = table[0];
    float interval = choose_interval(opt, L, max_labels);
    if (opt.horizontal && opt.yaxis && !isDateKind(opt.y_value_kind) && !given(opt.requested_yinterval))
        interval = fit_turned_labels(opt, L, table, interval);
    L.ylbl_interval = interval;
    L.lowest = lowest_label(opt, table, L.lowest, interval);
    return true;
}

// Label widths: the label pass over the y labels finds the widest label and the first label
// value above the data, which becomes the top of the scale.
void measure_y_labels(const ChartOptions& opt, GraphLayout& L) {
    const float interval = L.ylbl_interval;
    int longest = 0;
    int widest = 0;  // upright FreeType labels: the widest as drawn
    const bool measure_labels = opt.yaxis && L.yaxis_ptsize > 0 && !opt.horizontal;
    float v = L.lowest;
    for (int k = 0; k < kMaxAxisSteps; ++k) {
        v = static_cast<float>(L.lowest + k * static_cast<double>(interval));
        if (v > L.highest) break;
        if (opt.yaxis) longest = std::max(longest, y_label_length(L, opt, v, interval));
        if (measure_labels) {
            const YLabelWidths w = y_label_widths(L, opt, y_label_text(L, opt, v, interval));
            widest = std::max(widest, w.whole + w.fraction);
        }
    }
    // A character is 0.7 point sizes wide (the product taken left to right); without a point
    // size the built-in font's width.
    L.ylabel_wth = label_room(opt, L, longest);
    // Labels end 2 pixels before the axis; one wider than its length suggests (FreeType glyphs,
    // or built-in characters wider than a small point size allows) keeps clear of the y title
    // (the ticks' room counts).
    if (widest > 0) L.ylabel_wth = std::max(L.ylabel_wth, widest + 2 - L.ytick_len);
    if (!given(opt.requested_ymax)) L.highest = v;
    else L.highest = std::max(L.highest, opt.requested_ymax);
    if (!(L.highest > L.lowest)) L.highest = static_cast<float>(L.lowest + static_cast<double>(interval));
}

// Second axis: the volume scale of combination charts with the room of its labels.
void lay_out_second_axis(const GraphInput& in, const ChartOptions& opt, GraphLayout& L) {
    if (isCombo(in.type)) {
        const double steps = (static_cast<double>(L.highest) - L.lowest) / L.ylbl_interval;
        double vhi = L.vhighest, vlo = L.vlowest;
        if (vhi != 0) vhi += (vhi - vlo) / (2 * steps);
        if (vlo != 0) vlo -= (vhi - vlo) / (2 * steps);
        L.vhighest = static_cast<float>(clamp_range(vhi));
        L.vlowest = static_cast<float>(clamp_range(vlo));
        if (opt.yaxis2) {
            std::string text = y2_label_text(opt, L.vhighest);
            TextSize t = measure_text(text.c_str(), opt.yaxis_font_size, L.yaxis_font, L.yaxis_ptsize);
            L.ylabel2_wth = to_int(0.7 * t.width + 1);
            if (L.yaxis_ttf) {
                // The labels start 6 pixels right of the plot's back corner, past the ticks'
                // room: reserve the wider of the two end labels as FreeType draws it.
                std::string low = y2_label_text(opt, L.vlowest);
                const int w = std::max(
                    t.width, measure_text(low.c_str(), opt.yaxis_font_size, L.yaxis_font, L.yaxis_ptsize).width);
                L.ylabel2_wth = std::max(L.ylabel2_wth, 6 + w + 2 - L.ytick2_len);
            }
            L.ylabel2_gap = L.ylabel2_wth + in.width / 60;
        }
    }
}

// The legend column starts the second-axis gap right of the plot's back corner, where the ticks
// and labels of that axis have their room: every name ends inside the picture. A legend taller
// than the picture goes into more columns; a legend wider than half the picture shortens its
// names to the room left.
void lay_out_legend(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, const LegendSize& legend) {
    if (L.legend_wth <= 0 || opt.horizontal) return;
    const int past_axis = L.ylabel2_gap - L.ylabel2_wth - L.ytick2_len;
    // A FreeType name keeps 2 pixels from the edge; a built-in name's box ends inside the
    // picture (its last column is the blank between characters).
    if (legend.drawn_room > 0) L.legend_wth = std::max(L.legend_wth, legend.drawn_room + past_axis);
    if (legend.room > 0) L.legend_wth = std::max(L.legend_wth, legend.room + past_axis - L.ytitle2_wth);
    const int room = std::max(legend.room, legend.drawn_room);
    const int half = legend.first->width;
    const double pitch = std::isfinite(opt.yaxis_ptsize) ? opt.yaxis_ptsize : 0.0;
    const int name_h = std::max(measure_text("Aj", opt.yaxis_font_size, L.ytitle_font, L.yaxis_ptsize).height,
                                static_cast<int>(font_entry(opt.yaxis_font_size).height));
    const double row = legend_row_pitch(opt);
    // Rows from the plot's top (or below the title, where the legend may have to drop) down
    // to the plot's bottom, clear of the x labels.
    const int plot_top = L.ydepth_total + L.title_height + L.annote_hgt;
    const int first = std::max(plot_top, has_text(opt.title) ? L.title_height + 3 + to_int(pitch) : 0);
    const int last = plot_top + L.plot_height - std::max(name_h - to_int(pitch), half);
    const int rows = std::max(1, to_int((last - first) / row) + 1);
    if (legend.count > rows) {
        const int columns = (legend.count + rows - 1) / rows;
        L.legend_rows = rows;
        L.legend_column = room + 2 * half;
        L.legend_wth += (columns - 1) * L.legend_column;
        if (L.legend_wth > in.width / 2) {
            // Every column gets an equal share of half the picture.
            L.legend_column = std::max((in.width / 2 - past_axis) / columns, 1);
            L.legend_wth = columns * L.legend_column + past_axis;
            L.legend_name_room = std::max(L.legend_column - 2 * half - (4 * half + 4), 1);
        }
    } else if (L.legend_wth > in.width / 2) {
        L.legend_wth = std::max(in.width / 2, 1);
        L.legend_name_room = std::max(L.legend_wth - past_axis - (4 * half + 4), 1);
    }
}

// Custom y labels (a step given, or a scale beyond 32-bit integers) and the decimals of the
// automatic ones.
void lay_out_custom_y_labels(const GraphInput& in, const ChartOptions& opt, GraphLayout& L) {
    L.custom_yaxis = given(opt.yaxis_grid_step) || given(opt.yaxis_tick_step) || given(opt.yaxis_label_step) ||
                     L.highest > 2147483648.0f || L.lowest < -2147483648.0f;
    if (L.custom_yaxis && opt.yaxis) reserve_custom_labels(opt, L, in.num_points);
    const double range = static_cast<double>(L.highest) - L.lowest;
    L.label_decimals = range < 10 ? 2 : range >= 100 ? 0 : 1;
    if (range == std::trunc(range)) L.label_decimals = 1;
}

// X scale: the plot width and the pixel mapping of both axes.
void choose_x_scale(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, const TextSpace& space) {
    const ChartType type = in.type;
    const int n = in.num_points;
    const int width = in.width;
    const bool bars = isBarType(type);
    const double angle = space.angle;
    int overhang = 0;
    if (angle != 90) {
        const char* last = space.xlabels_shown ? x_label_text(in, L, n - 1) : nullptr;
        if (has_text(last)) overhang = measure_text(last, opt.xaxis_font_size, L.xaxis_font, L.xaxis_ptsize).width / 2;
        if (angle == 45) overhang /= 2;
        if (L.legend_wth > 0) overhang = std::max(0, overhang - L.legend_wth);
    } else if (L.legend_wth == 0) {
        // Half a turned label juts out past the last position.
        const double xpt = L.xaxis_ptsize > 0 ? L.xaxis_ptsize : font_entry(opt.xaxis_font_size).height;
        overhang = to_int(xpt / 2 + 2);
    }
    int left = L.ytitle_wth + L.ylabel_wth + L.ytick_len;
    // A FreeType label at the first position of a line, area or xy chart must not start left of
    // the picture: wide labels and slanted ones reach further left than the y labels' room.
    if (L.xaxis_ttf && space.xlabels_shown && !bars && !has_numeric_x_axis(type, opt) && has_text(x_label_text(in, L, 0)) &&
        (opt.xlabel_ctl == nullptr || opt.xlabel_ctl[0] != 0))
        left = std::max(left, first_label_reach(x_label_text(in, L, 0), opt, L, angle));
    if (opt.keep_geometry && opt.saved_plot_left != 0) left = opt.saved_plot_left;
    L.plot_width = width - (left + L.ytick2_len + L.ytitle2_wth + L.ylabel2_wth + L.legend_wth + L.xdepth_total);
    if (opt.keep_geometry && opt.saved_plot_width != 0) L.plot_width = opt.saved_plot_width;
    L.plot_width = std::max(L.plot_width, 1);
    L.last_pos = n - (n >= 2 ? 1 : 0) + (bars ? 2 : 0);
    const double span = L.plot_width - L.xdepth_total - overhang;
    L.pixels_per_point = span / L.last_pos;
    if (isXy(type)) {
        double xmin = DBL_MAX, xmax = -DBL_MAX;
        for (const float* row : in.xrow)
            for (int p = 0; p < n; ++p)
                if (is_present(row[p])) xmin = std::min(xmin, static_cast<double>(row[p])), xmax = std::max(xmax, static_cast<double>(row[p]));
        if (xmin > xmax) xmin = 0, xmax = 1.0;
        if (given(opt.requested_xmin) && opt.requested_xmin < xmin) xmin = opt.requested_xmin;
        if (given(opt.requested_xmax) && opt.requested_xmax > xmax) xmax = opt.requested_xmax;
        // One x value for every point: a range around it, so that the points stand in the
        // middle of the plot rather than on its left edge (half a unit to each side, more
        // where single precision cannot tell such a step).
        if (xmax == xmin) {
            const double half = std::max(0.5, std::fabs(xmin) * kSmallestStep);
            xmin -= half, xmax += half;
        }
        if (!(xmax > xmin)) xmax = xmin + 1.0;
        L.xmin = static_cast<float>(xmin);
        L.xmax = static_cast<float>(xmax);
        if (!(L.xmax > L.xmin)) L.xmax = static_cast<float>(xmin + std::max(1.0, std::fabs(xmin) * kSmallestStep));
        L.xyscl = span / (static_cast<double>(L.xmax) - L.xmin);
    }
    L.mark_size = width / 160;
    const double range = static_cast<double>(L.highest) - L.lowest;
    L.yscl = -L.plot_height / range;
    const double vrange = static_cast<double>(L.vhighest) - L.vlowest;
    L.vyscl = static_cast<float>(-L.plot_height / (vrange != 0 ? vrange : 1.0));
    const int top = L.ydepth_total + L.title_height + L.annote_hgt + L.legend_hgt;
    L.vyorig = static_cast<float>(L.plot_height + std::fabs(L.vyscl) * std::min(L.vlowest, L.vhighest) + top);
    L.xorig = static_cast<float>(width - (L.plot_width + L.ytitle2_wth + L.ytick2_len + L.ylabel2_wth + L.legend_wth));
    if (opt.keep_geometry && opt.saved_plot_left != 0) L.xorig = static_cast<float>(opt.saved_plot_left);
    L.yorig = static_cast<float>(L.plot_height + std::fabs(L.yscl) * std::min(L.lowest, L.highest) + top);
    L.half_bar = (L.point_x(2) - L.point_x(1)) * opt.bar_width / 100 / 2;
    L.half_cap = (L.point_x(2) - L.point_x(1)) * opt.hlc_cap_width / 100 / 2;
}

// Label thinning: how many x labels fit along the plot.
void thin_x_axis_labels(const GraphInput& in, const ChartOptions& opt, GraphLayout& L, const TextSpace& space) {
    const int n = in.num_points;
    const int gap = (opt.xlabel_spacing == kEveryLabel ? 0 : opt.xlabel_spacing) + L.xlabel_wth;
    L.num_xlbls = gap > 0 ? L.plot_width / gap : n;
    // FreeType labels of categories, measured, are also thinned by the distance they are drawn
    // apart, so that none overlaps its neighbour.
    if (L.xaxis_ttf && space.xlabels_shown && gap > 0 && opt.xlabel_spacing != kEveryLabel &&
        !has_numeric_x_axis(in.type, opt))
        L.num_xlbls = thin_x_labels(L.num_xlbls, n, L.pixels_per_point, L.xlabel_wth);
}

// The plot geometry kept in the options, for the next drawing with keep_geometry and for the
// caller: the height as soon as it is known (also when the y scale then fails), the rest once
// the plot is placed.
void save_geometry(ChartOptions& opt, const GraphLayout& L) {
    opt.saved_plot_height = L.plot_height;
    if (L.result != 0) return;
    opt.saved_plot_width = L.plot_width;
    opt.saved_plot_left = to_int(L.xorig);
    opt.saved_plot_zero_y = to_int(L.yorig);
}

// How the category names are drawn: their angle in degrees and their texts where they are
// broken or shortened (empty: as given).
struct NamePlan {
    double angle = 0;
    std::vector<std::string> texts;
};

// The whole layout pass for one way of drawing the category names.
GraphLayout lay_out(const GraphInput& in, const ChartOptions& opt, NamePlan plan) {
    GraphLayout L;
    L.rows = in.rows;
    L.set_depth = is3d(in.type) && opt.stack_type == Depth ? std::max(in.num_sets, 1) : 1;
    L.xlabel_texts = std::move(plan.texts);

    choose_fonts(opt, L);
    find_ranges(in, opt, L);
    const TextSpace space = reserve_text_space(in, opt, L, plan.angle);
    if (!choose_y_scale(in, opt, L)) return L;
    measure_y_labels(opt, L);
    lay_out_second_axis(in, opt, L);
    if (space.legend.first != nullptr) lay_out_legend(in, opt, L, space.legend);
    lay_out_custom_y_labels(in, opt, L);
    choose_x_scale(in, opt, L, space);
    thin_x_axis_labels(in, opt, L, space);
    return L;
}

// Whether the category axis leaves out some of its names (every name given is to be drawn).
bool names_left_out(const GraphInput& in, const ChartOptions& opt, const GraphLayout& L) {
    return L.result == 0 && opt.xlabel_ctl == nullptr && opt.xlabel_spacing != kEveryLabel && in.num_points >= 2 &&
           L.num_xlbls < in.num_points;
}

// The plot height below which the names take too much: half the picture, and room for the three
// labels the value axis needs at least.
int least_plot_height(const GraphInput& in, const ChartOptions& opt, const GraphLayout& L) {
    const double label_pt = L.yaxis_ptsize > 0 ? L.yaxis_ptsize : font_entry(opt.yaxis_font_size).height;
    return std::max((in.height + 1) / 2, static_cast<int>(std::ceil(3 * (2 * label_pt + 3))));
}

// Turned or slanted names so long that the plot keeps less than least_plot_height: each
// shortened with a mark to the room across the axis that leaves; the layout again with them.
GraphLayout shorten_long_names(const GraphInput& in, const ChartOptions& opt, GraphLayout L) {
    const int least = least_plot_height(in, opt, L);
    if (L.xlabel_angle == 0 || L.plot_height >= least || !(L.result == 0 || L.result == 2)) return L;
    const int room = std::max(L.xlabel_hgt - (least - L.plot_height) - 2, 1);  // the names' extent
    const double a = L.xlabel_angle * M_PI / 180;
    // A name's extent across the axis: its length turned, its slanted footprint otherwise.
    const LineWidth extent = [&](const std::string& s) {
        const TextSize t = measure_text(s.c_str(), opt.xaxis_font_size, L.xaxis_font, L.xaxis_ptsize);
        if (L.xlabel_angle == 90) return turned_label_reach(L.xaxis_font, L.xaxis_ptsize, L.xaxis_ttf, s.c_str(), t.width);
        return to_int(t.width * std::fabs(std::sin(a)) + t.height * std::fabs(std::cos(a)));
    };
    const std::string mark = L.xaxis_ttf ? kEllipsis : kDots;
    NamePlan plan{L.xlabel_angle, {}};
    for (int i = 0; i < in.num_points; ++i)
        plan.texts.push_back(shorten_to_fit(in.xlabels[i] != nullptr ? in.xlabels[i] : "", room, mark, extent));
    return lay_out(in, opt, std::move(plan));
}

// Category names as they fit: upright names that would be left out turn to 90 degrees where
// their angle is the automatic one and turned they are all drawn; names too long for the
// picture are broken and shortened.
GraphLayout fit_category_names(const GraphInput& in, const ChartOptions& opt, GraphLayout L) {
    if (!opt.xaxis || in.xlabels == nullptr || has_numeric_x_axis(in.type, opt)) return L;
    if (opt.xlabel_angle_automatic && L.xlabel_angle == 0 && names_left_out(in, opt, L)) {
        GraphLayout turned = shorten_long_names(in, opt, lay_out(in, opt, NamePlan{90, {}}));
        if (turned.result == 0 && !names_left_out(in, opt, turned)) return turned;
        return L;
    }
    return shorten_long_names(in, opt, std::move(L));
}

}  // namespace

GraphLayout layout_prepared(const GraphInput& in, ChartOptions& opt) {
    GraphLayout L = fit_category_names(in, opt, lay_out(in, opt, NamePlan{opt.xlabel_angle, {}}));
    save_geometry(opt, L);
    return L;
}

GraphLayout layout_graph(ChartOptions& opt, short width, short height, ChartType type, int num_points, const char* const* xlabels,
                         int num_sets, const float* data, const float* extra) {
    GraphLayout L;
    L.result = check_graph_entry(width, height, type, num_points, num_sets, data, extra);
    if (L.result != 0) return L;
    try {
        load_font_table();
        if (opt.thumbnail) opt.grid = 0, opt.xaxis = 0, opt.yaxis = 0;
        GraphInput in;
        prepare_graph_input(in, opt.interpolate != 0, width, height, type, num_points, xlabels, num_sets, data, extra);
        return layout_prepared(in, opt);
    } catch (const std::exception&) {
        L.result = -1;
        return L;
    }
}

}  // namespace plotwise
