#include "driver/date_values.h"

#include "boundary/host_calls.h"
#include "definition/chart_definition.h"

namespace plotwise {
namespace {

// Stores the host's reading of a text as a date, time or timestamp axis type in `value`; false when the text does
// not read as one. A date or a time may also be given as a timestamp (its day, its time of day).
bool readAs(CallLocale& locale, host::Data& value, std::string_view text, int kind) {
    const host::Text hostText(text);
    const int32_t type = kind == kAxisTime ? kFMX_Time : kind == kAxisTimestamp ? kFMX_TimeStamp : kFMX_Date;
    if (host::setTextAs(value.get(), hostText.get(), locale.get(), type)) return true;
    return type != kFMX_TimeStamp && host::setTextAs(value.get(), hostText.get(), locale.get(), kFMX_TimeStamp);
}

const FMX_DateTime* viewAs(const host::Data& value, int kind) {
    switch (kind) {
        case kAxisTime: return host::dataAsTime(value.get());
        case kAxisTimestamp: return host::dataAsTimeStamp(value.get());
        default: return host::dataAsDate(value.get());
    }
}

int inRange(int value, int low, int high, int replacement) {
    return value < low || value > high ? replacement : value;
}

LabelDateParts labelParts(const FMX_DateTime* dateTime) {
    const host::DateTimeParts p = host::partsOf(dateTime);
    return LabelDateParts{inRange(p.year, 1900, 9999, 1900), inRange(p.month, 1, 12, 1),
                          inRange(p.day, 1, 31, 1),          inRange(p.hour, 0, 23, 0),
                          inRange(p.minute, 0, 59, 0),       inRange(p.second, 0, 59, 0)};
}

}  // namespace

std::optional<double> hostDateSeconds(CallLocale& locale, std::string_view text, int kind) {
    host::Data value;
    if (!readAs(locale, value, text, kind)) return std::nullopt;
    const FMX_DateTime* dateTime = viewAs(value, kind);
    // A time read as a time is a duration, as the host keeps it: "36:00:00" is 36 hours, not
    // the 12:00 of a second day. A timestamp's time is its time of day (the host's view of it).
    if (kind == kAxisTime) return static_cast<double>(host::secondsSinceEpoch(dateTime));
    return static_cast<double>(host::secondsSinceEpoch(dateTime));
}

std::optional<LabelDateParts> hostDateParts(CallLocale& locale, std::string_view text, int kind) {
    host::Data value;
    if (!readAs(locale, value, text, kind)) return std::nullopt;
    return labelParts(viewAs(value, kind));
}

LabelDateParts hostDatePartsOfSeconds(int64_t seconds) {
    host::DateTime dateTime;
    dateTime.setSecondsSinceEpoch(seconds);
    return labelParts(dateTime.get());
}

}  // namespace plotwise
