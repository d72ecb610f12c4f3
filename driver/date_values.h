// Date, time and timestamp values of axis texts, read by the host in the call's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "boundary/call_locale.h"

namespace plotwise {

// The value of a text read by the host as a date (kind 3, seconds since 0001-01-01), a time
// (kind 4, seconds since midnight) or a timestamp (kind 5, seconds since 0001-01-01); nothing
// when the text does not read as one in `locale`.
std::optional<double> hostDateSeconds(CallLocale& locale, std::string_view text, int kind);

// Calendar parts for label formatting, each out-of-range part replaced by its lowest value
// (a year outside 1900..9999 by 1900).
struct LabelDateParts {
    int year, month, day, hour, minute, second;
};
// The parts of a text read by the host as a date, time or timestamp (kinds 3, 4, 5); nothing
// when the text does not read as one.
std::optional<LabelDateParts> hostDateParts(CallLocale& locale, std::string_view text, int kind);
// The parts of a count of seconds since 0001-01-01 00:00, broken down by the host.
LabelDateParts hostDatePartsOfSeconds(int64_t seconds);

}  // namespace plotwise
