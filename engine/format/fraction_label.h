// Automatic y labels as whole numbers with power-of-two fractions ("2 1/2").
#pragma once

#include <string>

namespace plotwise {

// A value as a whole number and a power-of-two fraction ("2 1/2"); with a format, the value
// printed with it. whole, numerator and denominator receive the parts (0 when not a fraction).
std::string fraction_label(float value, int& whole, int& numerator, int& denominator, const char* format);

}  // namespace plotwise
