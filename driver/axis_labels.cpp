#include "driver/axis_labels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/c_number.h"
#include "definition/codec.h"
#include "driver/date_values.h"
#include "engine/chart_options.h"
#include "engine/format/float_digits.h"
#include "engine/format/label_format.h"

namespace plotwise {
namespace {

constexpr const char* kEmptyLabel = "Empty label";

void put(LabelStore& store, int slot, std::string_view text) { copyText(store[slot], kLabelStoreText, text); }

// printf of one value into a string.
std::string printed(const char* format, double value) {
    const c_number::CNumbers cNumbers;  // "%.2f" writes 1.50 whatever the process's locale
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(n));
    std::string wide(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(wide.data(), wide.size(), format, value);
    wide.resize(static_cast<std::size_t>(n));
    return wide;
}

// The number a label text stands for, when the whole text (but blanks) is one number.
bool labelNumber(const char* text, double& value) {
    std::size_t used = 0;
    value = c_number::read(text, &used);
    if (used == 0) return false;
    while (text[used] == ' ') ++used;
    return text[used] == '\0' && std::isfinite(value);
}

std::string dateLabel(std::string_view format, const LabelDateParts& p) {
    return formatDateParts(format, p.year, p.month, p.day, p.hour, p.minute, p.second);
}

// One category label of series 0 by the axis type; never empty unless the text is.
std::string categoryLabel(CallLocale& locale, const AxisOptions& axis, const char* text) {
    std::string label;
    switch (axis.type) {
        case kAxisNumber: {
            double value = 0;
            if (labelNumber(text, value)) label = formatNumberLabel(axis.format, value);
            break;
        }
        case kAxisText:
            label = formatTextLabel(axis.format, text);
            break;
        case kAxisDate:
        case kAxisTime:
        case kAxisTimestamp:
            // A text the locale does not read as a date keeps its text.
            if (const std::optional<LabelDateParts> parts = hostDateParts(locale, text, axis.type))
                label = dateLabel(axis.format, *parts);
            break;
        default:
            break;
    }
    return label.empty() ? std::string(text) : label;
}

// Decimals of automatic xy labels for the label step d.
int autoDecimals(double d) {
    if (d == std::floor(d)) return 0;
    if (d < 0.1) return 3;
    if (d < 1) return 2;
    if (d < 10) return 1;
    return 0;
}

// Decimals that show a single value as it is (at most 3).
int decimalsOf(double value) {
    for (int k = 0; k < 3; ++k) {
        const double scaled = value * std::pow(10.0, k);
        if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * std::max(1.0, std::fabs(scaled))) return k;
    }
    return 3;
}

}  // namespace

void makeCategoryLabels(LabelStore& store, CallLocale& locale, const ChartDefinition& definition, int valueCount) {
    const AxisOptions& axis = definition.block.axis[0];
    for (int i = 0; i < valueCount; ++i) put(store, i, categoryLabel(locale, axis, definition.xLabel[0][i]));
}

int makeXyLabels(LabelStore& store, const ChartDefinition& definition, const float* xValues, int count, int valueCount,
                 float requestedMin, float requestedMax, double offset) {
    if (valueCount <= 0) return 0;
    const AxisOptions& axis = definition.block.axis[0];

    bool any = false;
    double dataMin = 0, dataMax = 0;
    for (int i = 0; i < count; ++i) {
        const float x = xValues[i];
        if (x == NoValue || !std::isfinite(x)) continue;  // missing points do not set the range
        if (!any || x < dataMin) dataMin = x;
        if (!any || x > dataMax) dataMax = x;
        any = true;
    }
    double xmin = dataMin, xmax = dataMax;
    if (requestedMin < xmin) xmin = requestedMin;
    if (requestedMax > xmax) xmax = requestedMax;

    // One point has no step: its label is its own value.
    const bool single = valueCount == 1;
    if (single) xmin = dataMin;
    const double d = single ? 0.0 : (xmax - xmin) / (valueCount - 1);
    const int decimals = single ? decimalsOf(xmin) : decimals_telling_apart(d, autoDecimals(d));

    for (int i = 0; i < valueCount; ++i) {
        const double p = xmin + i * d;
        std::string label;
        switch (axis.type) {
            case kAxisNumber:
                label = formatNumberLabel(axis.format, p);
                break;
            case kAxisText:
                label = formatTextLabel(axis.format, definition.xLabel[0][i]);
                if (label.empty()) label = definition.xLabel[0][i];
                break;
            case kAxisDate:
            case kAxisTimestamp:
                if (std::fabs(offset + p) < 9e18)  // beyond that no calendar date; the fallback applies
                    label = dateLabel(axis.format, hostDatePartsOfSeconds(static_cast<int64_t>(offset + p)));
                break;
            case kAxisTime:
                label = formatDateValue(axis.format, std::trunc(offset + xmin) + i * d, kAxisTime);
                break;
            default:
                label = print_float_value(p, decimals);
                break;
        }
        if (label.empty() && axis.type != kAxisText) label = printed("%.0f", offset + p);
        put(store, i, label);
    }
    return decimals;
}

std::size_t fillLabelPointers(const LabelStore& store, const char** pointers, int valueCount) {
    std::size_t longest = 0;
    for (int i = 0; i < valueCount; ++i) {
        const char* text = store[i][0] != '\0' ? store[i] : kEmptyLabel;
        pointers[i] = text;
        longest = std::max(longest, std::strlen(text));
    }
    return longest;
}

}  // namespace plotwise
