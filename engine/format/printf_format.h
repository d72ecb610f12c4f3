// Checking a caller's printf format before a value is printed with it.
#pragma once

namespace plotwise {

// The number of floating-point conversions in a printf format, or -1 when the format asks for
// anything else printf would read an argument for (or a width or precision over three digits).
// Literal text and "%%" are fine.
int double_conversions(const char* format);

// True when printf can take `format` with one double and nothing else.
inline bool takes_at_most_one_double(const char* format) {
    const int conversions = double_conversions(format);
    return conversions == 0 || conversions == 1;
}

}  // namespace plotwise
