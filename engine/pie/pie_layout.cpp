// Pie layout: the depth offsets, the slice angles, the percent and label texts with their
// boxes, and the fitting of the radius so that every slice, its explosion and its label fit.
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "common/c_number.h"
#include "engine/format/printf_format.h"
#include "engine/pie/pie_internal.h"

namespace plotwise::pie {

namespace {

// A slice value as the engine counts it: negative, infinite and not-a-number values give
// a slice of no size instead of turning the angles around.
float clean_value(float v) { return std::isfinite(v) && v > 0 ? v : 0.0f; }

// r less |over / divisor|; a divisor of 0 means no radius can bring the point inside.
float shrink(float r, double over, double divisor) {
    if (divisor == 0) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(r - std::fabs(over / divisor));
}

// The border checks of one slice's back face, each with the radius current at that moment.
void fit_back_face(Geometry& g, const Slice& sl) {
    const int right = g.cx + g.half_w, left = g.cx - g.half_w;
    const int bottom = g.cy + g.half_h, top = g.cy - g.half_h;

    if (sl.start < kHalfPiF && kHalfPiF < sl.end) {
        const int x = rim_col(g, sl, kPi / 2, 1, g.r);
        if (x > right) g.r = shrink(g.r, x + 1 - right, std::sin(kPi / 2));
    }
    if (sl.start < kThreeHalfPiF && kThreeHalfPiF < sl.end) {
        const int x = rim_col(g, sl, 3 * kPi / 2, 1, g.r);
        if (x < left) g.r = shrink(g.r, left - x, std::sin(3 * kPi / 2));
    }
    if (sl.start < kPiF && kPiF < sl.end) {
        const int y = rim_row(g, sl, kPi, 1, g.r);
        if (y > bottom) g.r = shrink(g.r, y + 1 - bottom, std::cos(kPi));
    }
    for (const float a : {sl.middle, sl.start, sl.end}) {
        const double sa = std::sin(static_cast<double>(a)), ca = std::cos(static_cast<double>(a));
        const int y = rim_row(g, sl, a, 1, g.r);
        if (y < top) g.r = shrink(g.r, top - y, ca);
        if (y > bottom) g.r = shrink(g.r, y + 1 - bottom, ca);
        const int x = rim_col(g, sl, a, 1, g.r);
        if (x < left) g.r = shrink(g.r, left - x, sa);
        if (x > right) g.r = shrink(g.r, x + 1 - right, sa);
    }
}

}  // namespace

float depth_angle(unsigned angle_degrees) {
    return static_cast<float>(angle_degrees / 360.0 * 2 * kPi);
}

void depth_offsets(unsigned angle_degrees, unsigned depth, int& xdepth, int& ydepth) {
    // θ is formed in double from the single-precision angle: the rounding of the angle shows
    // in the truncated offsets (180 degrees and depth 10 give a back face 9 pixels lower).
    double theta = kPi / 2 - static_cast<double>(depth_angle(angle_degrees));
    theta = std::fmod(theta, 2 * kPi);
    if (theta < 0) theta += 2 * kPi;
    xdepth = static_cast<int>(depth * std::cos(theta));
    ydepth = static_cast<int>(depth * std::sin(theta));
}

void format_percent(const char* format, double percent, char (&text)[16]) {
    text[0] = '\0';
    if (format == nullptr || double_conversions(format) != 1) return;
    const c_number::CNumbers cNumbers;  // "%.1f%%" writes 12.5% whatever the process's locale
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int n = std::snprintf(text, sizeof text, format, percent);
#pragma GCC diagnostic pop
    if (n < 0) text[0] = '\0';
}

void lay_out_slices(std::vector<Slice>& slices, const float* values, const char* const* labels,
                    const ChartOptions& opt, const char* label_font) {
    const size_t n = slices.size();
    float total = 0;
    for (size_t i = 0; i < n; ++i) total += clean_value(values[i]);
    // A total beyond the float range is taken in double, so the shares stay meaningful.
    double wide_total = 0;
    if (!std::isfinite(total))
        for (size_t i = 0; i < n; ++i) wide_total += clean_value(values[i]);

    const bool percent_on = opt.pie_percent_format != nullptr && percent_geometry(opt.pie_percent_type).shown &&
                            double_conversions(opt.pie_percent_format) == 1;
    float start = 0;
    for (size_t i = 0; i < n; ++i) {
        Slice& sl = slices[i];
        const float v = clean_value(values[i]);
        if (wide_total > 0)
            sl.share = static_cast<float>(v / wide_total);
        else
            sl.share = total > 0 ? v / total : 0.0f;
        const float span = sl.share * kTwoPiF;
        sl.start = start;
        sl.end = start + span;
        sl.middle = start + span / 2;
        start += span;

        sl.missing = opt.pie_missing != nullptr && opt.pie_missing[i] != 0;
        if (sl.missing) continue;
        sl.explosion = opt.pie_explode != nullptr ? opt.pie_explode[i] : 0;

        if (percent_on) {
            format_percent(opt.pie_percent_format, static_cast<double>(sl.share) * 100, sl.percent);
            sl.percent_size = measure_text(sl.percent, opt.pie_label_size, label_font, opt.pie_label_ptsize);
        }
        sl.label = labels != nullptr ? labels[i] : nullptr;
        if (sl.label == nullptr) continue;
        sl.label_size = measure_text(sl.label, opt.pie_label_size, label_font, opt.pie_label_ptsize);
        const long lw = sl.label_size.width, lh = sl.label_size.height;
        const long pw = sl.percent_size.width, ph = sl.percent_size.height;
        const PercentGeometry placement = percent_geometry(opt.pie_percent_type);
        if (!placement.shown) {
            sl.box_width = to_short(lw);
            sl.box_height = to_short(lh);
        } else if (placement.stacked) {
            sl.box_width = to_short(pw > lw ? pw : lw);
            sl.box_height = to_short(ph + lh + 1);
        } else {
            sl.box_width = to_short(pw + lw + 1);
            sl.box_height = to_short(ph > lh ? ph : lh);
        }
    }
}

void fit_radius(Geometry& g, const std::vector<Slice>& slices, const ChartOptions& opt) {
    for (const Slice& sl : slices) {
        if (sl.missing) continue;
        const double sinm = g.ex * std::sin(static_cast<double>(sl.middle));
        const double cosm = g.ey * std::cos(static_cast<double>(sl.middle));
        const double gap = static_cast<double>(sl.explosion) + (sl.label != nullptr ? opt.pie_label_dist : 0);
        const double ry = cosm == 0 ? FLT_MAX : g.half_h / std::fabs(cosm) - gap - (sl.box_height / 2) / std::fabs(cosm);
        const double rx = sinm == 0 ? FLT_MAX : g.half_w / std::fabs(sinm) - gap - sl.box_width / std::fabs(sinm);
        if (ry < g.r) g.r = static_cast<float>(ry);
        if (rx < g.r) g.r = static_cast<float>(rx);
        if (g.three_d) fit_back_face(g, sl);
    }
}

}  // namespace plotwise::pie
