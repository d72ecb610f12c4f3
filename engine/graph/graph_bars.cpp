// Bars (Bar, Bar3D) by stack type, and the value labels of bars.
//   Depth   sets from the last to the first, set s at depth step s
//   Beside  all sets at the front, each in its slice of the category, labelled over its slice
//   Layer   stacked pieces, painted in the order of their end totals
//   Sum     no bars
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Pixels kept blank between two value labels.
constexpr int kLabelGap = 1;

// A value label placed: its text, where it is drawn (the top-left corner upright, the lower
// end turned) and the box its ink takes.
struct PlacedLabel {
    std::string text;
    int x = 0, y = 0;
    bool turned = false;
    int left = 0, top = 0, right = 0, bottom = 0;

    bool near(const PlacedLabel& o) const {
        return left <= o.right + kLabelGap && o.left <= right + kLabelGap && top <= o.bottom + kLabelGap &&
               o.top <= bottom + kLabelGap;
    }
};

// What a value label of a bar is drawn with, and where the bar is.
struct LabelRequest {
    float value;
    int xc, ya, yb;   // the bar's centre column and its two ends
    int half;         // half the bar's width
};

class ValueLabelStyle {
public:
    explicit ValueLabelStyle(const DataPlot& p)
        : p_(p), font_(p.L.xaxis_font ? p.L.xaxis_font : p.opt.xaxis_font), ptsize_(whole_points(p.opt.xaxis_ptsize)) {}

    // The text of a value, or nothing for a value that gets no label.
    std::string text(float value) const {
        const int position = p_.opt.value_label_position;
        if (position < 1 || position > 6 || value == 0 || !is_drawable(value)) return {};
        const int decimals = p_.L.label_decimals >= 1 && p_.L.label_decimals <= 3 ? p_.L.label_decimals : 0;
        // No more digits than the float holds: big values print whole, without their noise; a
        // small value is never shown as 0.
        return print_float_value_not_zero(value, decimals);
    }

    // The label where the value-label position puts it; `position` other than the option's
    // places it as that position would (3: centred in the bar).
    PlacedLabel at_position(const std::string& text, const LabelRequest& r, int position) const {
        const ChartOptions& opt = p_.opt;
        const TextSize size = measure_text(text.c_str(), opt.xaxis_font_size, font_, ptsize_);
        const double w = size.width, h = size.height;
        const double spacing = line_spacing(opt);
        const int upper = std::min(r.ya, r.yb), lower = std::max(r.ya, r.yb);
        const double middle = (upper + lower) / 2;

        // Turned text reads upward from its lower end; it is centred on the bar's column.
        double x = r.xc - (h / 2) * spacing * 1.1;
        double y = upper;
        bool turned = true;
        if (!opt.horizontal && position <= 4) {
            turned = false;
            x = r.xc - (std::trunc(w / 2) - 1);
            switch (position) {
                case 1: y = upper - h * spacing * 1.1; break;
                case 2: y = upper; break;
                case 3: y = middle - (std::trunc(h / 2) + 1); break;
                // Above the lower end by the point size; the built-in font has none, so its height.
                default: y = lower - 2 - (ptsize_ > 0 ? ptsize_ : h); break;
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
        return boxed(text, DataPlot::clamp(x), DataPlot::clamp(y), turned, size);
    }

    // The label moved sideways by dx pixels.
    PlacedLabel moved(const PlacedLabel& l, int dx) const {
        return boxed(l.text, DataPlot::clamp(static_cast<double>(l.x) + dx), l.y, l.turned,
                     measure_text(l.text.c_str(), p_.opt.xaxis_font_size, font_, ptsize_));
    }

    void draw(const PlacedLabel& l) const {
        p_.s.text(font_entry(p_.opt.xaxis_font_size), font_, ptsize_, l.turned ? kHalfPi : 0.0, l.x, l.y,
                  l.text.c_str(), p_.d.colors.line, JustifyCenter);
    }

private:
    // The box of a text drawn at (x, y): FreeType ink where FreeType draws it, else the cells.
    PlacedLabel boxed(const std::string& text, int x, int y, bool turned, TextSize size) const {
        PlacedLabel l{text, x, y, turned};
        const TextInk ink = text_ink(font_, ptsize_, text.c_str());
        const int first = ink.drawn ? ink.top : 0, last = ink.drawn ? ink.bottom : size.height - 1;
        const int from = ink.drawn ? ink.left : 0, to = ink.drawn ? ink.right : size.width - 1;
        if (!turned) {
            l.left = x + from, l.right = x + to, l.top = y + first, l.bottom = y + last;
        } else {
            // Turned, the text's rows become columns (a pixel further right for FreeType) and
            // its length runs up from y.
            const int shift = ink.drawn ? 1 : 0;
            l.left = x + first + shift, l.right = x + last + shift, l.top = y - to, l.bottom = y - from;
        }
        return l;
    }

    const DataPlot& p_;
    const char* font_;
    int ptsize_;
};

// The value labels of one chart's bars, in the order they are drawn. They are placed first, the
// larger values first: a label that would come near one placed before moves into the middle of
// its bar, else beside the bar, else it is left out.
class ValueLabels {
public:
    explicit ValueLabels(const DataPlot& p)
        : style_(p), p_(p), columns_(static_cast<size_t>(std::max(p.s.width(), 0) / kColumn + 3)) {}

    void add(const LabelRequest& r) { requests_.push_back(r); }

    void place() {
        std::vector<size_t> order(requests_.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return std::fabs(requests_[a].value) > std::fabs(requests_[b].value);
        });
        placed_.assign(requests_.size(), std::nullopt);
        for (const size_t k : order) {
            const LabelRequest& r = requests_[k];
            const std::string text = style_.text(r.value);
            if (text.empty()) continue;
            const PlacedLabel own = style_.at_position(text, r, p_.opt.value_label_position);
            if (free(own)) {
                take(k, own);
                continue;
            }
            for (const PlacedLabel& other : elsewhere(own, r))
                if (free(other)) {
                    take(k, other);
                    break;
                }
        }
    }

    // Draws the next label in drawing order (nothing for one left out).
    void draw_next() {
        const size_t k = next_++;
        if (k < placed_.size() && placed_[k]) style_.draw(*placed_[k]);
    }

private:
    // Labels placed are found by the columns of the picture they reach, kColumn pixels each
    // (those beyond the picture in the first and the last), so that a chart of many bars does
    // not compare every label with every other.
    static constexpr int kColumn = 64;
    std::pair<size_t, size_t> columns_of(const PlacedLabel& l) const {
        const int last = static_cast<int>(columns_.size()) - 1;
        auto column = [&](int x) { return static_cast<size_t>(std::clamp(x / kColumn + 1, 0, last)); };
        return {column(std::max(l.left - kLabelGap, -kColumn)), column(l.right + kLabelGap)};
    }
    bool free(const PlacedLabel& l) const {
        const auto [from, to] = columns_of(l);
        for (size_t c = from; c <= to; ++c)
            for (const size_t k : columns_[c])
                if (l.near(*placed_[k])) return false;
        return true;
    }
    void take(size_t k, const PlacedLabel& l) {
        placed_[k] = l;
        const auto [from, to] = columns_of(l);
        for (size_t c = from; c <= to; ++c) columns_[c].push_back(k);
    }

    // Where a label that cannot stay at its own place may go, in order: the middle of its bar
    // where the bar holds it, right of the bar, left of it; inside the picture only.
    std::vector<PlacedLabel> elsewhere(const PlacedLabel& own, const LabelRequest& r) const {
        std::vector<PlacedLabel> out;
        const PlacedLabel inside = style_.at_position(own.text, r, 3);
        if (inside.top > std::min(r.ya, r.yb) && inside.bottom < std::max(r.ya, r.yb)) out.push_back(inside);
        out.push_back(style_.moved(own, r.xc + r.half + 2 - own.left));
        out.push_back(style_.moved(own, r.xc - r.half - 2 - own.right));
        const int w = p_.s.width(), h = p_.s.height();
        std::erase_if(out, [&](const PlacedLabel& l) { return l.left < 0 || l.top < 0 || l.right >= w || l.bottom >= h; });
        return out;
    }

    ValueLabelStyle style_;
    const DataPlot& p_;
    std::vector<LabelRequest> requests_;
    std::vector<std::optional<PlacedLabel>> placed_;
    std::vector<std::vector<size_t>> columns_;  // per column of the picture: the labels placed there
    size_t next_ = 0;
};

}  // namespace

void draw_value_label(const DataPlot& p, float value, int xc, int ya, int yb) {
    const ValueLabelStyle style(p);
    const std::string text = style.text(value);
    if (!text.empty()) style.draw(style.at_position(text, {value, xc, ya, yb, 0}, p.opt.value_label_position));
}

namespace {

// The bars of the stack type, painted (`paint`) or only walked to ask for their value labels'
// places; painting draws each label right after its bar, as placed.
void walk_bars(const DataPlot& p, bool paint, ValueLabels& labels) {
    const int sets = p.sets(1);
    const int half = p.half_bar;
    auto label = [&](float value, int xc, int ya, int yb, int half_width) {
        if (paint) labels.draw_next();
        else labels.add({value, xc, ya, yb, half_width});
    };
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
                        if (pass == 0) {
                            if (paint) paint_bar(p, p.solid, x1, x2, y0, y, p.front(s, i), p.shade(s, i));
                        } else {
                            label(v, (x1 + x2) / 2, y0, y, (x2 - x1) / 2);
                        }
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
                    if (paint)
                        paint_bar(p, p.solid, cx - half, cx + half, ya, yb, p.front(piece.set, i), p.shade(piece.set, i));
                    if (p.opt.value_label_position != 1) label(piece.value, cx, ya, yb, half);
                }
                // Outside the bar only one label fits: the point's total.
                if (p.opt.value_label_position == 1 && std::fabs(total) <= FLT_MAX)
                    label(static_cast<float>(total), cx, p.py(0), p.py(total), half);
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
                    if (paint) paint_bar(p, p.solid, cx - half, cx + half, y0, y, p.front(s, i), p.shade(s, i));
                    label(v, cx, y0, y, half);
                }
            }
            return;
    }
}

}  // namespace

void draw_bars(const DataPlot& p) {
    if (p.sets(1) < 1 || p.n < 1) return;
    ValueLabels labels(p);
    walk_bars(p, false, labels);
    labels.place();
    walk_bars(p, true, labels);
}

}  // namespace plotwise
