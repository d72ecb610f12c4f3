// The frame of a graph drawing, before any data: title, x title, 3D back wall, y grid, ticks and
// labels (automatic passes or custom steps), the second axis of combo charts, the turned y
// titles, and the x grid, ticks and labels (categories, or the numeric axis of xy charts).
#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdint>
#include <string>

#include "engine/format/float_digits.h"
#include "engine/format/label_format.h"
#include "engine/graph/graph_internal.h"
#include "engine/picture/surface_gd.h"
#include "engine/text/text_color.h"
#include "engine/text/text_lines.h"

namespace plotwise {
namespace {

// One text style: size class, font and point size, and whether FreeType draws it.
struct TextStyle {
    int size_class;
    const char* font;
    double ptsize;
    bool ttf;

    TextSize measure(const char* text) const {
        return measure_text(text, size_class, ttf ? font : nullptr, ttf ? ptsize : 0);
    }
    void draw(Surface& out, double angle, int x, int y, const char* text, int color, int justify) const {
        out.text(font_entry(size_class), ttf ? font : nullptr, ttf ? ptsize : 0, angle, x, y, text,
                        color, justify);
    }
    // The smaller style of fraction numerators and denominators.
    TextStyle smaller() const {
        return {std::max(size_class - 1, 0), font, ptsize * 0.6, ttf && ptsize * 0.6 >= 1};
    }
};

// Calls f(value) for from, from + step, ... while the value is at most `to` (below it when
// `below`), with a bound on the count.
template <class F>
void for_each_step(double from, double to, double step, bool below, F f) {
    float previous = 0;
    for (int k = 0; k < kMaxAxisSteps; ++k) {
        float v = static_cast<float>(from + k * step);
        if (below ? !(v < to) : !(v <= to)) break;
        if (k > 0 && v == previous) break;
        f(v);
        previous = v;
    }
}

class Frame {
public:
    explicit Frame(GraphDrawing& d)
        : own_(d.im), d_(d), L(d.L), opt(d.opt), out(d.surface ? *d.surface : own_), sd(d.L.set_depth), last(d.L.last_pos),
          bg(plain_background(opt.bg_color)) {
        ylabel_style = {opt.yaxis_font_size, L.yaxis_font, L.yaxis_ptsize, L.yaxis_ttf};
        xlabel_style = {opt.xaxis_font_size, L.xaxis_font, L.xaxis_ptsize, L.xaxis_ttf};
        title_style = {opt.title_size, L.title_font, L.title_ptsize, L.title_ttf};
        xtitle_style = {opt.xtitle_size, L.xtitle_font, L.xtitle_ptsize, L.xtitle_ttf};
        ytitle_style = {opt.ytitle_size, L.ytitle_font, L.ytitle_ptsize, L.ytitle_ttf};
    }

    void draw() {
        const GraphColors& c = d_.colors;
        const bool combo = isCombo(d_.in.type);
        const int volume = combo ? c.volume : c.plot;
        title_color = color_or(opt.title_color, -1);
        int xtitle_color = color_or(opt.xtitle_color, c.plot);
        ylabel_color = color_or(opt.ylabel_color, c.line);
        ylabel2_color = color_or(opt.ylabel2_color, volume);
        xlabel_color = color_or(opt.xlabel_color, c.line);

        if (has_text(opt.title) && !opt.horizontal)
            for (size_t k = 0; k < L.title_lines.size(); ++k) {
                const char* line = L.title_lines[k].c_str();
                TextSize t = title_style.measure(line);
                title_style.draw(out, 0, d_.in.width / 2 - t.width / 2, 1 + static_cast<int>(k) * L.title_pitch, line,
                                 title_color, JustifyCenter);
            }
        if (has_text(opt.xtitle)) {
            TextSize t = xtitle_style.measure(opt.xtitle);
            const double spacing = line_spacing(opt);
            xtitle_style.draw(out, 0, d_.in.width / 2 - t.width / 2, d_.in.height - 1 - to_int(t.height * (spacing + 0.1)),
                              opt.xtitle, xtitle_color, JustifyCenter);
        }
        back_wall();
        first_x_label_ = first_x_label_left();
        y_axis();
        if (combo && opt.yaxis2) second_axis();
        y_titles(volume);
        if (has_numeric_x_axis(d_.in.type, opt))
            numeric_x_axis();
        else
            category_x_axis();
    }

private:
    static uint32_t plain_background(uint32_t bg) { return bg == DefaultColor || bg == NoColor ? 0xFFFFFF : bg; }

    // A text colour: DefaultColor (or none) takes the stage's default index; -1 as the default
    // means the colour opposite to the background.
    int color_or(uint32_t color, int fallback) {
        if ((color == DefaultColor || color == NoColor) && fallback >= 0) return fallback;
        return allocate_color(out, color == NoColor ? DefaultColor : color, bg);
    }

    void line(int x1, int y1, int x2, int y2, int color) { out.line(x1, y1, x2, y2, color); }

    // A y grid line: from the front to the back at the value, then along the back wall.
    void y_grid(double v) {
        line(L.point_x(0), L.PY(v), L.point_x(0, sd), L.PY(v, sd), d_.colors.grid);
        line(L.point_x(0, sd), L.PY(v, sd), L.point_x(last, sd), L.PY(v, sd), d_.colors.grid);
    }
    // An x grid line at front pixel column x: front to back at lowest, then up the back wall.
    void x_grid(int x) {
        const int back = to_int(x + static_cast<double>(sd) * L.xdepth_3d);
        line(x, L.PY(L.lowest), back, L.PY(L.lowest, sd), d_.colors.grid);
        line(back, L.PY(L.lowest, sd), back, L.PY(L.highest, sd), d_.colors.grid);
    }
    void y_tick(double v) { line(L.point_x(0) - 2, L.PY(v), L.point_x(0), L.PY(v), d_.colors.line); }
    void x_tick(int x) { line(x, L.PY(L.lowest), x, L.PY(L.lowest) + 2, d_.colors.line); }

    void back_wall() {
        const int border = opt.border;
        if (!is3d(d_.in.type) || opt.grid || !(border == 1 || (border & 2) || (border & 4))) return;
        const int line_color = d_.colors.line;
        line(L.point_x(0), L.PY(L.lowest), L.point_x(0, sd), L.PY(L.lowest, sd), line_color);
        if (border == 1 || (border & 2)) line(L.point_x(0, sd), L.PY(L.lowest, sd), L.point_x(last, sd), L.PY(L.lowest, sd), line_color);
        if (border == 1 || (border & 4)) line(L.point_x(0, sd), L.PY(L.lowest, sd), L.point_x(0, sd), L.PY(L.highest, sd), line_color);
    }

    // One y label at value v, left of the axis (turned when the picture is turned afterwards).
    void y_label(float v, float interval) {
        YLabelText t = y_label_text(L, opt, v, interval);
        if (t.whole.empty() && t.denominator == 0) return;
        const TextStyle& s = ylabel_style;
        const FontEntry& fe = font_entry(s.size_class);
        const TextStyle small = s.smaller();
        std::string num, den;
        TextSize wn{0, 0}, wslash{0, 0};
        if (t.denominator != 0) {
            num = std::to_string(t.numerator);
            den = std::to_string(t.denominator);
            wn = small.measure(num.c_str());
            wslash = s.measure("/");
        }
        const YLabelWidths widths = y_label_widths(L, opt, t);
        const int fraction_w = widths.fraction;
        const int len = char_count(t.whole);
        const int whole_w = widths.whole;
        const int line_h = s.ttf ? text_line_height(s.font, s.ptsize) : fe.height;
        const int small_h = small.ttf ? text_line_height(small.font, small.ptsize) : font_entry(small.size_class).height;
        const int px = L.point_x(0), py = L.PY(v);
        // Built-in text with a point size given (no font found) is placed by that point size.
        const bool sized = !s.ttf && s.ptsize > 0;
        if (!opt.horizontal) {
            const int x = px - 2 - whole_w - fraction_w;
            int y = upright_label_top(py);
            // A label low enough to reach the x labels' row, beside the first of them (the
            // origin's "0" of a line chart), is raised to end above the axis; it is left out
            // when that would bring it within 2 pixels of the label above.
            if (first_x_label_ <= px - 1) {
                const TextInk ink = ink_of(s, t.whole.c_str());
                const int bottom = ink.drawn ? ink.bottom + 1 : line_h - 1;
                const int raised = std::min(y, L.PY(L.lowest) - bottom);
                const float next = static_cast<float>(static_cast<double>(v) + interval);
                if (raised < y && next <= L.highest) {
                    const YLabelText above = y_label_text(L, opt, next, interval);
                    const TextInk next_ink = ink_of(s, above.whole.c_str());
                    const int next_bottom =
                        upright_label_top(L.PY(next)) + (next_ink.drawn ? next_ink.bottom + 1 : line_h - 1);
                    const int top = raised + (ink.drawn ? ink.top + 1 : 0);
                    if (top - next_bottom < 3) return;
                }
                y = raised;
            }
            if (!t.whole.empty()) s.draw(out, 0, x, y, t.whole.c_str(), ylabel_color, JustifyLeft);
            if (t.denominator == 0) return;
            int xf = px - 2 - fraction_w;
            small.draw(out, 0, xf, y, num.c_str(), ylabel_color, JustifyLeft);  // raised
            xf += wn.width;
            s.draw(out, 0, xf, y, "/", ylabel_color, JustifyLeft);
            xf += wslash.width;
            small.draw(out, 0, xf, y + line_h - small_h, den.c_str(), ylabel_color, JustifyLeft);  // lowered
            return;
        }
        // Turned: the text reads upward from its lower end y; its top side faces smaller x.
        int x, y;
        if (s.ttf) {
            x = px - 4 - to_int(1.35 * s.ptsize);
            y = py + fe.height / 2 + (len - 1) * (fe.height - 4);
        } else {
            x = sized ? px - 4 - to_int(1.35 * s.ptsize) : px - 4 - fe.height;
            y = py + (len * fe.width + fraction_w) / 2;  // centred on the grid line
        }
        if (!t.whole.empty()) s.draw(out, kHalfPi, x, y, t.whole.c_str(), ylabel_color, JustifyLeft);
        if (t.denominator == 0) return;
        int yf = y - (s.ttf ? s.measure(t.whole.c_str()).width : len * fe.width);
        small.draw(out, kHalfPi, x, yf, num.c_str(), ylabel_color, JustifyLeft);
        yf -= wn.width;
        s.draw(out, kHalfPi, x, yf, "/", ylabel_color, JustifyLeft);
        yf -= wslash.width;
        small.draw(out, kHalfPi, x + line_h - small_h, yf, den.c_str(), ylabel_color, JustifyLeft);
    }

    // The top row of an upright y label standing for pixel row py.
    int upright_label_top(int py) const {
        const TextStyle& s = ylabel_style;
        const FontEntry& fe = font_entry(s.size_class);
        // Built-in text with a point size given (no font found) is placed by that point size.
        const bool sized = !s.ttf && s.ptsize > 0;
        const int y = py - (s.ttf || sized ? to_int(s.ptsize / 1.6) : fe.height / 2);
        // Built-in characters are shorter than a large point size: the label keeps the row it
        // stands for within its height.
        return sized ? std::max(y, py - (fe.height - 1)) : y;
    }

    // The room of one label along an axis: its point size, also for built-in text when a
    // point size is given; else the built-in font's character height.
    double label_pitch(const TextStyle& s) const { return s.ptsize > 0 ? s.ptsize : font_entry(s.size_class).height; }

    // The effective grid, tick and label steps of a vertical axis over lowest..highest, written
    // back into the step options that asked for them.
    AxisSteps vertical_steps(float& grid, float& tick, float& label, float lowest, float highest) const {
        const double range = static_cast<double>(highest) - lowest;
        const double fallback = range / (static_cast<double>(d_.in.num_points) + 1);
        const double magnitude = std::max(std::fabs(lowest), std::fabs(highest));
        const AxisSteps s = axis_steps(grid, tick, label, range, fallback, fallback, L.plot_height,
                                       label_pitch(ylabel_style), magnitude, !isDateKind(opt.y_value_kind));
        grid = static_cast<float>(s.grid);
        tick = static_cast<float>(s.tick);
        label = static_cast<float>(s.label);
        return s;
    }

    void y_axis() {
        if (L.custom_yaxis) {
            const AxisSteps s = vertical_steps(opt.yaxis_grid_step, opt.yaxis_tick_step, opt.yaxis_label_step,
                                               L.lowest, L.highest);
            if (opt.grid) {
                for_each_step(L.lowest, L.highest, s.grid, true, [&](float v) { y_grid(v); });
                if (is3d(d_.in.type))
                    line(L.point_x(0, sd), L.PY(L.lowest, sd), L.point_x(last, sd), L.PY(L.lowest, sd), d_.colors.grid);
            }
            if (opt.ticks) for_each_step(L.lowest, L.highest, s.tick, false, [&](float v) { y_tick(v); });
            for_each_step(L.lowest, L.highest, s.label, false, [&](float v) {
                label_values.push_back(v);
                if (opt.yaxis) y_label(v, static_cast<float>(s.label));
            });
            return;
        }
        label_values = y_label_values(L.lowest, L.highest, L.ylbl_interval);
        // Both passes start at 0: it is drawn once (twice would thicken smoothed text).
        auto zero = std::find(label_values.begin(), label_values.end(), 0.0f);
        if (zero != label_values.end())
            label_values.erase(std::remove(zero + 1, label_values.end(), 0.0f), label_values.end());
        if (!opt.grid && !opt.ticks && !opt.yaxis) return;
        for (float v : label_values) {
            if (opt.ticks) y_tick(v);
            if (opt.grid) y_grid(v);
            if (opt.yaxis) y_label(v, L.ylbl_interval);
        }
    }

    // Second-axis label with its tick at pixel row `row`, right of the back wall.
    void y2_label(int row, int label_row, const std::string& text) {
        const int x = L.point_x(last, sd);
        if (opt.ticks) line(x, row, x + 3, row, d_.colors.grid);
        const TextStyle& s = ylabel_style;
        const int h = font_entry(s.size_class).height;
        int y = label_row - (s.ptsize > 0 ? to_int(s.ptsize / 1.5) : h / 2);
        if (!s.ttf && s.ptsize > 0) y = std::max(y, label_row - (h - 1));  // built-in text keeps its row
        if (L.ydepth_3d > 10) y -= L.ydepth_3d / 5;
        s.draw(out, 0, x + 6, y, text.c_str(), ylabel2_color, JustifyLeft);
    }

    void second_axis() {
        if (given(opt.y2axis_grid_step) || given(opt.y2axis_tick_step) || given(opt.y2axis_label_step)) {
            const double range = static_cast<double>(L.vhighest) - L.vlowest;
            const AxisSteps s = vertical_steps(opt.y2axis_grid_step, opt.y2axis_tick_step, opt.y2axis_label_step,
                                               L.vlowest, L.vhighest);
            if (!(range > 0)) return;
            const int x = L.point_x(last, sd);
            if (opt.ticks)
                for_each_step(L.vlowest, L.vhighest, s.tick, false,
                              [&](float w) { line(x, L.PV(w, sd), x + 3, L.PV(w, sd), d_.colors.grid); });
            const TextStyle& st = ylabel_style;
            for_each_step(L.vlowest, L.vhighest, s.label, false, [&](float w) {
                const int h = font_entry(st.size_class).height, row = L.PV(w, sd);
                int y = row - (st.ptsize > 0 ? to_int(st.ptsize / 1.5) : h / 2);
                if (!st.ttf && st.ptsize > 0) y = std::max(y, row - (h - 1));  // built-in text keeps its row
                st.draw(out, 0, x + 6, y, y2_label_text(opt, w).c_str(), ylabel2_color, JustifyLeft);
            });
            return;
        }
        // At every y label height, the volume value of that row. The label sits at the back
        // wall's row, next to its tick.
        for (float v : label_values) {
            double w = (L.PY(v) - static_cast<double>(L.vyorig)) / L.vyscl;
            y2_label(L.PY(v, sd), L.PY(v, sd), y2_label_text(opt, w));
        }
    }

    // Where FreeType puts the ink of a text of style s; not `drawn` for built-in text. A turned
    // text (reading upward) drawn at x has its ink in the columns x + top + 1 to x + bottom + 1:
    // FreeType sets it about a descent further right than the x given, so titles are placed by
    // their ink, lest they run into the labels beside them.
    static TextInk ink_of(const TextStyle& s, const char* text) {
        return s.ttf ? text_ink(s.font, s.ptsize, text) : TextInk{};
    }
    // Left x of a turned text whose first ink column is to be `column` (built-in text: column).
    static int turned_x(const TextInk& ink, int column) { return ink.drawn ? column - (ink.top + 1) : column; }
    // The first column of a turned text at the picture's left edge: smoothed FreeType ink
    // reaches a pixel past its measured box, so it starts a pixel further in.
    static int first_column(const TextInk& ink) { return ink.drawn ? 1 + kSmoothedSpill : 1; }

    // The bottom row of a turned text `length` pixels long centred on row `centre`, moved so
    // that the whole text stays inside the picture when it can.
    int turned_bottom(double centre, int length) const {
        const int bottom = to_int(centre + length / 2);
        return std::max(std::min(bottom, d_.in.height - 2), std::min(length + 1, d_.in.height - 2));
    }

    void y_titles(int volume) {
        // Turned titles are centred on half the height down to the plot's lower edge (the zero
        // line when the values start at 0), so that negative values do not push them aside.
        const double top = (static_cast<double>(L.yorig) + L.lowest * L.yscl) / 2;
        if (opt.horizontal) {
            int x = 1;
            if (has_text(opt.title))
                for (size_t k = 0; k < L.title_lines.size(); ++k) {
                    const char* line = L.title_lines[k].c_str();
                    TextSize t = title_style.measure(line);
                    const TextInk ink = ink_of(title_style, line);
                    const int tx = turned_x(ink, first_column(ink)) + static_cast<int>(k) * L.title_pitch;
                    title_style.draw(out, kHalfPi, tx, turned_bottom(top, t.width), line, title_color,
                                     JustifyCenter);
                    x = static_cast<int>(k) * L.title_pitch + t.height + 1;
                    // After a FreeType title the y title keeps 3 pixels from its last ink
                    // column, so that the two never touch.
                    if (ink.drawn) x = std::max(x, tx + ink.bottom + 1 + 3);
                }
            if (has_text(opt.ytitle)) {
                TextSize t = ytitle_style.measure(opt.ytitle);
                ytitle_style.draw(out, kHalfPi, turned_x(ink_of(ytitle_style, opt.ytitle), x),
                                  turned_bottom(top, t.width), opt.ytitle, color_or(opt.ytitle_color, d_.colors.plot),
                                  JustifyCenter);
            }
        } else if (has_text(opt.ytitle)) {
            TextSize t = ytitle_style.measure(opt.ytitle);
            const TextInk ink = ink_of(ytitle_style, opt.ytitle);
            ytitle_style.draw(out, kHalfPi, turned_x(ink, first_column(ink)),
                              turned_bottom(d_.in.height / 2, t.width), opt.ytitle, color_or(opt.ytitle_color, d_.colors.plot),
                              JustifyCenter);
        }
        if (isCombo(d_.in.type) && has_text(opt.ytitle2)) {
            TextSize t = ytitle_style.measure(opt.ytitle2);
            // A turned line is as wide as the font's line (descenders included), which may be
            // more than this text's own height: keep all of it inside the right edge. A FreeType
            // title is placed by its ink, which ends 2 pixels before the edge.
            const int line_h = std::max(t.height, ytitle_style.measure("Aj").height);
            const TextInk ink = ink_of(ytitle_style, opt.ytitle2);
            const int x = ink.drawn ? d_.in.width - 2 - (ink.bottom + 1) : d_.in.width - (line_h + 1);
            ytitle_style.draw(out, kHalfPi, x, turned_bottom(top, t.width), opt.ytitle2,
                              color_or(opt.ytitle2_color, volume), JustifyCenter);
        }
    }

    // An x label at front pixel column x, below the axis, at the label angle.
    void x_label(int x, const char* text) {
        const TextStyle& s = xlabel_style;
        const double angle = L.xlabel_angle;
        TextSize t = s.measure(text);
        const int axis = L.PY(L.lowest);
        if (angle == 0) {
            s.draw(out, 0, x - 1 - t.width / 2, axis + 3, text, xlabel_color, JustifyCenter);
        } else if (angle == 90) {
            const int reach = turned_label_reach(s.font, s.ptsize, s.ttf, text, t.width);
            s.draw(out, kHalfPi, x - 1 - t.height / 2, axis + reach + 3, text, xlabel_color, JustifyLeft);
        } else {
            const double a = angle * M_PI / 180;
            const int y = axis + to_int(t.width * std::sin(a)) + 3;
            const int left = x - 1 - slanted_label_reach(t.width, t.height, a);
            s.draw(out, a, left, y, text, xlabel_color, JustifyLeft);
        }
    }

    // Whether category position i shows its x label, and the point it labels.
    bool x_label_shown(int i, int& point) const {
        const int n = d_.in.num_points;
        point = isBarType(d_.in.type) ? i - 1 : i;
        if (point < 0 || point >= n) return false;
        if (opt.xlabel_ctl != nullptr) return opt.xlabel_ctl[point] != 0;
        const int step = n / std::max(L.num_xlbls, 1) + 1;
        return i % step == 0 || L.num_xlbls >= n || opt.xlabel_spacing == kEveryLabel;
    }

    // Left end of the first x label drawn below the axis, INT_MAX when there is none.
    int first_x_label_left() const {
        if (!opt.xaxis || opt.horizontal) return INT_MAX;
        const char* text = nullptr;
        int x = 0;
        std::string numeric;
        if (has_numeric_x_axis(d_.in.type, opt)) {
            numeric = numeric_x_text(L.xmin, numeric_x_steps().label);
            text = numeric.c_str();
            x = L.PXY(L.xmin);
        } else {
            if (d_.in.xlabels == nullptr) return INT_MAX;
            const int positions = d_.in.num_points + (isBarType(d_.in.type) ? 2 : 0);
            for (int i = 0; i < positions && text == nullptr; ++i) {
                int point = 0;
                if (x_label_shown(i, point) && has_text(x_label_text(d_.in, L, point)))
                    text = x_label_text(d_.in, L, point), x = L.point_x(i);
            }
        }
        if (text == nullptr || *text == '\0') return INT_MAX;
        const TextStyle& s = xlabel_style;
        const double angle = L.xlabel_angle;
        const TextSize t = s.measure(text);
        if (angle == 0) return x - 1 - t.width / 2;
        if (angle == 90) return x - 1 - t.height / 2;
        const double a = angle * M_PI / 180;
        return x - 1 - slanted_label_reach(t.width, t.height, a);
    }

    void category_x_axis() {
        const int n = d_.in.num_points;
        const bool bars = isBarType(d_.in.type);
        const int positions = n + (bars ? 2 : 0);
        if (opt.grid) x_grid(L.point_x(0));
        for (int i = 0; i < positions; ++i) {
            int point = 0;
            const bool shown = x_label_shown(i, point);
            const int x = L.point_x(i);
            if (shown) {
                if (opt.ticks) x_tick(x);
                if (opt.grid) x_grid(x);
                if (opt.xaxis && d_.in.xlabels != nullptr && has_text(x_label_text(d_.in, L, point)))
                    x_label(x, x_label_text(d_.in, L, point));
            }
            if (i >= 1) {
                between(i, opt.grid, [&](int px) { x_grid(px); });
                between(i, opt.ticks, [&](int px) { x_tick(px); });
            }
        }
    }

    // Lines at position i for mode -1 (every position) and N > 0 (N more evenly spaced back to
    // position i - 1).
    template <class F>
    void between(int i, int mode, F f) {
        if (mode != -1 && mode <= 0) return;
        const int x = L.point_x(i);
        f(x);
        if (mode < 0) return;
        const int x0 = L.point_x(i - 1);
        const int gap = static_cast<int>((x - x0) / (static_cast<int64_t>(mode) + 1));
        if (gap <= 0) return;  // no room between the two positions
        for (int k = 1; k <= mode; ++k) {
            const int px = x0 + k * gap;
            if (px >= x) break;
            f(px);
        }
    }

    // The label of x on the numeric x axis, whose labels stand `step` apart.
    std::string numeric_x_text(float x, double step) const {
        const int kind = opt.x_value_kind;
        const char* format = opt.xlabel_value_format != nullptr ? opt.xlabel_value_format : "";
        if (isDateKind(kind)) {
            // Date and timestamp x values count from 0001-01-01, times from midnight, each after
            // the offset the caller took off to keep them precise as floats.
            const double seconds = opt.x_value_offset + x;
            std::string text = formatDateValue(format, kind == TimeValue ? seconds : seconds - kLabelEpochOffset, kind);
            return text.empty() ? "Err" : text;
        }
        if (kind == NumberValue) return formatNumberLabel(format, x);
        const int k = opt.xlabel_decimals;
        return print_float_value(x, decimals_telling_apart(step, k >= 1 && k <= 3 ? k : 0));
    }

    // The grid, tick and label steps of the numeric x axis.
    AxisSteps numeric_x_steps() const {
        const double range = static_cast<double>(L.xmax) - L.xmin;
        const int n = d_.in.num_points;
        const double magnitude = std::max(std::fabs(L.xmin), std::fabs(L.xmax));
        return axis_steps(opt.xaxis_grid_step, opt.xaxis_tick_step, opt.xaxis_label_step, range, range / n,
                          range / (std::max(L.num_xlbls, 0) + 1.0), L.plot_width, label_pitch(xlabel_style), magnitude,
                          !isDateKind(opt.x_value_kind));
    }

    void numeric_x_axis() {
        const AxisSteps s = numeric_x_steps();
        opt.xaxis_grid_step = static_cast<float>(s.grid);
        opt.xaxis_tick_step = static_cast<float>(s.tick);
        opt.xaxis_label_step = static_cast<float>(s.label);
        if (opt.grid) for_each_step(L.xmin, L.xmax, s.grid, true, [&](float x) { x_grid(L.PXY(x)); });
        if (opt.ticks) for_each_step(L.xmin, L.xmax, s.tick, false, [&](float x) { x_tick(L.PXY(x)); });
        if (opt.xaxis)
            for_each_step(L.xmin, L.xmax, s.label, false, [&](float x) {
                std::string text = numeric_x_text(x, s.label);
                if (!text.empty()) x_label(L.PXY(x), text.c_str());
            });
    }

    GdSurface own_;  // the palette picture's surface, when the drawing names no other
    GraphDrawing& d_;
    const GraphLayout& L;
    ChartOptions& opt;
    Surface& out;    // where the frame goes
    const int sd, last;
    const uint32_t bg;
    TextStyle ylabel_style{}, xlabel_style{}, title_style{}, xtitle_style{}, ytitle_style{};
    int title_color = 0, ylabel_color = 0, ylabel2_color = 0, xlabel_color = 0;
    std::vector<float> label_values;  // y label values, for the second axis
    int first_x_label_ = INT_MAX;     // left end of the first x label below the axis
};

}  // namespace

namespace {

// The smallest of 1, 2, 2.5 and 5 times a power of ten that is at least `step`.
double round_step_at_least(double step) {
    if (!(step > 0) || !std::isfinite(step)) return step;
    const double decade = std::pow(10.0, std::floor(std::log10(step)));
    for (const double m : {1.0, 2.0, 2.5, 5.0})
        if (m * decade >= step * (1 - 1e-9)) return m * decade;
    return 10 * decade;
}

}  // namespace

AxisSteps axis_steps(float grid, float tick, float label, double range, double fallback, double label_fallback,
                     int length, double pitch, double magnitude, bool round_numbers) {
    auto pick = [](float s, double other) { return std::isfinite(s) && s > 0 ? static_cast<double>(s) : other; };
    AxisSteps s{pick(grid, fallback), pick(tick, fallback), pick(label, label_fallback)};
    const double lines = std::max(length / 2, 1);
    if (range / s.grid > lines) s.grid = range / lines;
    if (range / s.tick > lines) s.tick = range / lines;
    if (pitch > 0 && range / s.label > length / pitch) s.label = range / std::max(length / (2 * pitch + 1), 1.0);
    const double least = std::max(magnitude / (1 << 20), 1e-30);
    s.grid = std::max(s.grid, least);
    s.tick = std::max(s.tick, least);
    s.label = std::max(s.label, least);
    if (round_numbers && magnitude >= kFloatExact) {
        auto given_step = [](float step) { return std::isfinite(step) && step > 0; };
        if (!given_step(grid)) s.grid = round_step_at_least(s.grid);
        if (!given_step(tick)) s.tick = round_step_at_least(s.tick);
        if (!given_step(label)) s.label = round_step_at_least(s.label);
    }
    return s;
}

void draw_graph_frame(GraphDrawing& d) { Frame(d).draw(); }

}  // namespace plotwise
