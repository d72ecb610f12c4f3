// Texts of the graph engine's axis labels: printf formats checked before use, the y label of a
// value (number pattern, date or time, automatic whole numbers and fractions), its length as the
// layout counts it, its drawn widths, the second-axis label, the values of the automatic y label
// passes, and how far a turned x label reaches.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/c_number.h"
#include "engine/format/float_digits.h"
#include "engine/format/fraction_label.h"
#include "engine/format/label_format.h"
#include "engine/format/printf_format.h"
#include "engine/graph/graph_internal.h"
#include "engine/text/text_cache.h"
#include "engine/text/text_color.h"
#include "engine/text/text_lines.h"

namespace plotwise {
namespace {

// 21 December 1900, 20:40:59: a moment whose date and time texts are as long as any. Seconds
// since 1970-01-01 UTC for dates and timestamps, since midnight for times.
constexpr double kLongDateMoment = -2178328741.0;
constexpr double kLongTimeMoment = 20 * 3600 + 40 * 60 + 59;

const char* text_or_empty(const char* text) { return text != nullptr ? text : ""; }

// Automatic labels show whole numbers and 256ths of a unit (the fraction labels); a step that
// these cannot show (a custom step such as 0.01 or 2.5, or an interval below the fraction table)
// prints its labels with the decimals it needs instead.
bool needs_decimals(float step) {
    const double s = step;
    if (!(s > 0) || !std::isfinite(s)) return false;
    return s >= 1 ? s != std::trunc(s) : s * 256 != std::trunc(s * 256);
}

// "%.Nf" with the decimals that print every multiple of `step`, but no more than one past the
// step's first significant digit: a step raised to fit the plot (0.2901...) prints as 0.29.
std::string decimals_format(float step) {
    int d = 0;
    double scaled = step;
    while (d < 9 && (scaled < 0.5 || std::fabs(scaled - std::nearbyint(scaled)) > 1e-4 * scaled)) scaled *= 10, ++d;
    const int cap = std::max(0, static_cast<int>(std::ceil(-std::log10(static_cast<double>(step))))) + 1;
    return "%." + std::to_string(std::min(d, cap)) + "f";
}

// A whole-number automatic label, with no more digits than the float holds, or the value
// through the chart's printf format.
std::string automatic_or_formatted(const GraphLayout& L, const ChartOptions& opt, float value) {
    if (L.fraction_labels) return print_float_value(value, 0);
    return format_value(opt.ylabel_format, value);
}

}  // namespace

bool is_printf_format(const char* format) {
    return format != nullptr && std::strpbrk(format, "%geEfF") != nullptr;
}

std::string format_value(const char* format, double value) {
    if (format == nullptr || !takes_at_most_one_double(format)) format = "%.0f";
    const c_number::CNumbers cNumbers;  // "%.2f" writes 1.50 whatever the process's locale
    char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    int n = std::snprintf(text, sizeof text, format, value);
#pragma GCC diagnostic pop
    if (n < 0) return {};
    return text;
}

YLabelText y_label_text(const GraphLayout& L, const ChartOptions& opt, float value, float interval) {
    YLabelText label;
    const int kind = opt.y_value_kind;
    if (kind == NumberValue) {
        label.whole = formatNumberLabel(text_or_empty(opt.ylabel_value_format), value);
    } else if (isDateKind(kind)) {
        label.whole = formatDateValue(text_or_empty(opt.ylabel_value_format), value, kind);
        if (label.whole.empty()) label.whole = "Err";
    } else if (L.fraction_labels && needs_decimals(interval)) {
        label.whole = format_value(decimals_format(interval).c_str(), float_digits(value));
    } else if (L.fraction_labels && interval < 1) {
        int whole = 0, numerator = 0, denominator = 0;
        label.whole = fraction_label(value, whole, numerator, denominator, nullptr);
        if (denominator != 0) {
            // "1/2" rather than "0 1/2"; a negative fraction keeps its sign in front.
            label.whole = whole != 0 ? std::to_string(whole) : numerator < 0 ? "-" : "";
            label.numerator = numerator < 0 ? -numerator : numerator;
            label.denominator = denominator;
        }
    } else {
        label.whole = automatic_or_formatted(L, opt, value);
    }
    return label;
}

int y_label_length(const GraphLayout& L, const ChartOptions& opt, float value, float interval) {
    const int kind = opt.y_value_kind;
    if (kind == NumberValue) return char_count(formatNumberLabel(text_or_empty(opt.ylabel_value_format), value));
    if (isDateKind(kind)) {
        double moment = kind == TimeValue ? kLongTimeMoment : kLongDateMoment;
        std::string text = formatDateValue(text_or_empty(opt.ylabel_value_format), moment, kind);
        return text.empty() ? 3 : char_count(text);
    }
    if (L.fraction_labels && needs_decimals(interval))
        return char_count(format_value(decimals_format(interval).c_str(), float_digits(value)));
    if (L.fraction_labels && interval < 1) {
        int whole = 0, numerator = 0, denominator = 0;
        return char_count(fraction_label(value, whole, numerator, denominator, nullptr));
    }
    return char_count(automatic_or_formatted(L, opt, value));
}

YLabelWidths y_label_widths(const GraphLayout& L, const ChartOptions& opt, const YLabelText& text) {
    const int size_class = opt.yaxis_font_size;
    const char* font = L.yaxis_ttf ? L.yaxis_font : nullptr;
    const double ptsize = L.yaxis_ttf ? L.yaxis_ptsize : 0;
    YLabelWidths w;
    const int len = char_count(text.whole);
    if (L.yaxis_ttf) {
        w.whole = GraphLayout::to_pixel(len * ptsize / 1.5);
        // Wide glyphs would otherwise run into the axis.
        if (!text.whole.empty())
            w.whole = std::max(w.whole, measure_text(text.whole.c_str(), size_class, font, ptsize).width);
    } else if (L.yaxis_ptsize > 0) {
        // Built-in text where a point size is given: placed by the point size, or by its
        // characters when they are wider than that.
        w.whole = std::max(GraphLayout::to_pixel(len * L.yaxis_ptsize / 1.5), len * font_entry(size_class).width);
    } else {
        w.whole = len * font_entry(size_class).width;
    }
    if (text.denominator != 0) {
        // Numerator and denominator are drawn smaller: one size class down, 0.6 of the points.
        const int small_class = std::max(size_class - 1, 0);
        const double small_pt = ptsize * 0.6;
        const bool small_ttf = L.yaxis_ttf && small_pt >= 1;
        const char* small_font = small_ttf ? font : nullptr;
        const std::string num = std::to_string(text.numerator), den = std::to_string(text.denominator);
        w.fraction = measure_text(num.c_str(), small_class, small_font, small_ttf ? small_pt : 0).width +
                     measure_text("/", size_class, font, ptsize).width +
                     measure_text(den.c_str(), small_class, small_font, small_ttf ? small_pt : 0).width;
    }
    return w;
}

int turned_label_reach(const char* font, double ptsize, bool ttf, const char* text, int width) {
    if (!ttf) return width;
    const TextInk ink = text_ink(font, ptsize, text);
    return ink.drawn ? std::max(width, ink.right + kSmoothedSpill) : width;
}

std::string y2_label_text(const ChartOptions& opt, double value) {
    std::string text = opt.ylabel2_format != nullptr ? format_value(opt.ylabel2_format, value) : print_float_value(value, 0);
    // "-0", "-0.0" and the like read as "0"; a text that does not start with a number stays.
    std::size_t used = 0;
    const double back = c_number::read(text, &used);
    if (used != 0 && back == 0) text = "0";
    return text;
}

std::vector<float> y_label_values(float lowest, float highest, float interval) {
    std::vector<float> values;
    if (!(interval > 0)) return values;
    if (lowest < 0) {
        const double start = highest > 0 ? 0.0 : highest;
        values.push_back(static_cast<float>(start));
        for (int k = 1; k < kMaxAxisSteps; ++k) {
            float v = static_cast<float>(start - k * static_cast<double>(interval));
            if (!(v > lowest) || v == values.back()) break;
            values.push_back(v);
        }
    }
    if (highest >= 0) {
        const double start = lowest > 0 ? lowest : 0.0;
        float previous = static_cast<float>(start);
        values.push_back(previous);
        for (int k = 1; k < kMaxAxisSteps; ++k) {
            float v = static_cast<float>(start + k * static_cast<double>(interval));
            if (!(v < highest) || v == previous) break;
            values.push_back(previous = v);
        }
    }
    return values;
}

}  // namespace plotwise
