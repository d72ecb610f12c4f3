// Values are single-precision floats, which hold 7 significant decimal digits: labels print
// no more digits than that, so that 123456789 (kept as 123456792) reads "123456800", not the
// float's binary noise.
#pragma once

#include <string>

namespace plotwise {

// Significant decimal digits a single-precision float holds.
constexpr int kFloatDigits = 7;
// 2^24: from here on not every whole number is a float, and labels would show the gaps.
constexpr double kFloatExact = 16777216.0;

// The value rounded to kFloatDigits significant digits (0, infinities and NaN as they are).
double float_digits(double value);

// The value rounded to kFloatDigits significant digits and printed with `decimals` decimals,
// fewer where those would lie beyond the digits the float holds: 4249999872 with 1 decimal
// reads "4250000000", 2182.1 reads "2182.1".
std::string print_float_value(double value, int decimals);

// The value printed as print_float_value prints it, unless that reads as 0 for a value that is
// not 0 ("0.00" for 0.004): then as given, with the decimals it needs ("0.004").
std::string print_float_value_not_zero(double value, int decimals);

// Decimals that tell apart values `step` apart: `decimals`, or more where a step is finer than
// they show (labels 1e-7 apart all read "0.000" with 3), at most 20.
int decimals_telling_apart(double step, int decimals);

// The value as given: rounded to kFloatDigits significant digits and printed with the
// decimals it needs and no trailing zeros (0.25 -> "0.25", 46 -> "46").
std::string print_value_as_given(double value);

}  // namespace plotwise
