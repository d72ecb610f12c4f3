#include "engine/format/float_digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <system_error>

#include "common/c_number.h"

namespace plotwise {
namespace {

// Decimals that end at the last digit the float holds: 7 less the digits before the decimal
// mark, more for values below 0.1 (whose leading zeros hold nothing).
int decimals_held(double rounded) {
    const double a = std::fabs(rounded);
    if (a == 0) return kFloatDigits;
    return std::max(0, kFloatDigits - (static_cast<int>(std::floor(std::log10(a))) + 1));
}

}  // namespace

double float_digits(double value) {
    if (value == 0 || !std::isfinite(value)) return value;
    // The decimal exponent form rounds to exactly that many significant digits (written and
    // read in the "C" locale's form, whatever the process's locale).
    char text[64];
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, kFloatDigits - 1);
    return c_number::read(std::string_view(text, static_cast<std::size_t>(r.ptr - text)));
}

std::string print_float_value(double value, int decimals) {
    const double rounded = float_digits(value);
    if (std::isfinite(rounded)) decimals = std::min(decimals, decimals_held(rounded));
    char text[512];
    const std::to_chars_result r =
        std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, std::max(decimals, 0));
    if (r.ec != std::errc{}) return {};
    return std::string(text, static_cast<std::size_t>(r.ptr - text));
}

std::string print_value_as_given(double value) {
    std::string text = print_float_value(value, 60);  // as many decimals as the float holds
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

int decimals_telling_apart(double step, int decimals) {
    if (!(step > 0) || !std::isfinite(step)) return decimals;
    while (decimals < 20 && std::pow(10.0, -decimals) > step * (1 + 1e-9)) ++decimals;
    return decimals;
}

std::string print_float_value_not_zero(double value, int decimals) {
    std::string text = print_float_value(value, decimals);
    // Printed as 0 when no digit but 0 shows.
    if (value != 0 && std::isfinite(value) && std::strpbrk(text.c_str(), "123456789") == nullptr)
        text = print_value_as_given(value);
    return text;
}

}  // namespace plotwise
