#include "driver/date_values.h"

#include "frame/host.h"
#include "frame/process_locale.h"

namespace plotwise {
namespace {

// The host's reading of a text as kind 3, 4 or 5; a view owned by `value`.
const FMX_DateTime* readAs(host::Data& value, std::string_view text, int kind) {
    host::Text hostText(text);
    host::setText(value.get(), hostText.get(), processLocale());
    switch (kind) {
        case 4: return host::dataAsTime(value.get());
        case 5: return host::dataAsTimeStamp(value.get());
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

double hostDateSeconds(std::string_view text, int kind) {
    host::Data value;
    const FMX_DateTime* dateTime = readAs(value, text, kind);
    if (kind == 4) return static_cast<double>(host::secondsSinceMidnight(dateTime));
    return static_cast<double>(host::secondsSinceEpoch(dateTime));
}

LabelDateParts hostDateParts(std::string_view text, int kind) {
    host::Data value;
    return labelParts(readAs(value, text, kind));
}

LabelDateParts hostDatePartsOfSeconds(int64_t seconds) {
    host::DateTime dateTime;
    dateTime.setSecondsSinceEpoch(seconds);
    return labelParts(dateTime.get());
}

}  // namespace plotwise
