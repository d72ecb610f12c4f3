#include "engine/format/fraction_label.h"

#include <cmath>
#include <cstdio>

#include "common/c_number.h"
#include "engine/format/printf_format.h"

namespace plotwise {
namespace {

// printf into a string of the right size.
std::string print_value(const char* format, double value) {
    const c_number::CNumbers cNumbers;  // "%.2f" writes 1.50 whatever the process's locale
    char small[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(small, sizeof small, format, value);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < sizeof small) return std::string(small, static_cast<size_t>(length));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
#pragma GCC diagnostic pop
    text.resize(static_cast<size_t>(length));
    return text;
}

constexpr float kHalfStep = 1.0f / 512;  // half of a 256th
constexpr float kIntRange = 2147483648.0f;

}  // namespace

std::string fraction_label(float value, int& whole, int& numerator, int& denominator, const char* format) {
    whole = numerator = denominator = 0;
    if (format != nullptr) return print_value(takes_at_most_one_double(format) ? format : "%f", value);

    // Values without a whole number that fits an int (and NaN) print as they are.
    if (!(value > -kIntRange && value < kIntRange)) return print_value("%.0f", value);

    whole = static_cast<int>(value);
    float f = (value - static_cast<float>(whole)) * 256.0f;
    const float r = f - std::trunc(f);
    if (r >= kHalfStep && 1.0f - r >= kHalfStep) {
        whole = 0;
        return print_value("%f", value);
    }
    // Within half a 256th of a whole 256th: take that one (the next one when just below it).
    f = std::trunc(f) + (r >= kHalfStep ? 1.0f : 0.0f);
    if (f >= 256.0f) {
        ++whole;
        f = 0;
    }
    char text[48];
    int n = static_cast<int>(f);
    if (n == 0) {
        std::snprintf(text, sizeof text, "%d", whole);
        return text;
    }

    int exponent = 8;
    while (n % 2 == 0) {
        n /= 2;
        --exponent;
    }
    if (whole < 0 && n < 0) n = -n;
    numerator = n;
    denominator = 1 << exponent;
    std::snprintf(text, sizeof text, "%d %d/%d", whole, numerator, denominator);
    return text;
}

}  // namespace plotwise
