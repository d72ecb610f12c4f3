// Axis label formatters.
//   number patterns  «$#,###.## USD»: prefix, thousands separator, decimal separator,
//                    decimals and suffix around a fixed-point rendering of the value
//   text templates   «Item #»: the text in place of the first '#'
//   dates and times  strftime formats, with the date's weekday and day of the year filled in
// Patterns are UTF-8; a separator may be any one character, such as a non-breaking space.
#include "engine/format/label_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <string>

#include "common/utf8.h"
#include "engine/chart_options.h"
#include "engine/format/calendar64.h"

namespace plotwise {

namespace {

// ---- UTF-8 characters ---------------------------------------------------------------------

// Byte length of the character starting at `pos` (0 at or beyond the end). A byte that does
// not start a complete sequence counts as one character of its own.
size_t charLength(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    return std::max<size_t>(utf8::sequenceLength(text, pos), 1);
}

// The character at byte `pos`; empty beyond the end.
std::string_view charAt(std::string_view text, size_t pos) {
    return pos < text.size() ? text.substr(pos, charLength(text, pos)) : std::string_view{};
}

// Byte position `count` characters after `pos` (may lie beyond the end).
size_t skipChars(std::string_view text, size_t pos, size_t count) {
    for (; count > 0; --count) {
        const size_t length = charLength(text, pos);
        pos += length == 0 ? 1 : length;
    }
    return pos;
}

size_t countChars(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size(); pos += charLength(text, pos)) ++count;
    return count;
}

// ---- Number patterns ----------------------------------------------------------------------

// The five parts of a number pattern; all empty for a pattern without '#'.
struct NumberPattern {
    std::string_view prefix;     // «$» in «$#,###.## USD»
    std::string_view thousands;  // «,»; empty for «####»
    std::string_view decimal;    // «.»; empty: the fraction is dropped
    std::string_view decimals;   // «##»: one character per decimal place
    std::string_view suffix;     // « USD»
};

// The digit group is «#,###» (five characters, the second one the thousands separator) or
// «####» (four characters, no separator); what follows it is the decimal separator, then the
// decimal places up to the last '#', then the suffix.
NumberPattern parseNumberPattern(std::string_view pattern) {
    NumberPattern parts;
    const size_t p = pattern.find('#');
    if (p == std::string_view::npos) return parts;
    parts.prefix = pattern.substr(0, p);

    const std::string_view afterHash = charAt(pattern, p + 1);
    size_t groupLength = 4;
    if (afterHash != "#") {
        parts.thousands = afterHash;
        groupLength = 5;
    }
    const size_t q = pattern.rfind('#');
    const size_t afterGroup = skipChars(pattern, p, groupLength);
    const std::string_view next = charAt(pattern, afterGroup);

    if (afterGroup > q) {
        if (next == "." || next == ",") {
            parts.decimal = next;
            parts.suffix = pattern.substr(afterGroup + 1);
        } else if (afterGroup < pattern.size()) {
            parts.suffix = pattern.substr(afterGroup);
        }
    } else {
        // Whatever character follows the group separates the decimals.
        parts.decimal = next;
        const size_t first = afterGroup + next.size();
        if (first <= q) parts.decimals = pattern.substr(first, q + 1 - first);
        parts.suffix = pattern.substr(q + 1);
    }
    return parts;
}

// The value with a fixed number of decimals, as "%.*f" prints it but with '.' whatever the
// process locale says.
std::string printNumber(int decimals, double value) {
    // Up to 309 integer digits, a sign, the point and the decimals.
    std::string text(static_cast<size_t>(decimals) + 320, '\0');
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    if (error != std::errc{}) return {};
    text.resize(static_cast<size_t>(end - text.data()));
    return text;
}

// A value that rounds to zero is shown without a sign: «0», never «-0».
void dropSignOfZero(std::string& text) {
    if (text.empty() || text[0] != '-') return;
    if (text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
}

// A decimal places count beyond what any double carries only appends zeros; the cap keeps
// the text size small.
constexpr size_t kMaxDecimals = 1100;

// ---- Dates --------------------------------------------------------------------------------

constexpr int kMinYear = 1900;
constexpr int kMaxYear = 9999;
constexpr size_t kDateBufferSize = 512;
// Seconds from 1970-01-01 to 1900-01-01 and to 10000-01-01.
constexpr double kFirstSecond = -2208988800.0;
constexpr double kEndSecond = 253402300800.0;
// Durations on a time axis are labelled up to a million hours.
constexpr double kLongestDuration = 3600.0e6;

// A time format with each %[H] replaced by the duration's whole hours, at least two digits.
std::string withWholeHours(std::string_view format, long long hours) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.compare(i, 4, "%[H]") == 0) {
            out += (hours < 10 ? "0" : "") + std::to_string(hours);
            i += 3;
        } else if (format.compare(i, 2, "%%") == 0) {
            out += "%%";
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

// Leap days in the years 1 .. year - 1.
constexpr int leapDaysBefore(int year) { return (year - 1) / 4 - (year - 1) / 100 + (year - 1) / 400; }

// Weekday (0 Sunday) of a valid date from 1900 on: 1900-01-01 was a Monday.
int weekdayOf(int year, int yday) {
    const int days = 365 * (year - kMinYear) + leapDaysBefore(year) - leapDaysBefore(kMinYear) + yday;
    return (days + 1) % 7;
}

}  // namespace

std::string formatNumberLabel(std::string_view pattern, double value) {
    if (!std::isfinite(value)) return {};
    const NumberPattern parts = parseNumberPattern(pattern);
    const size_t decimals = countChars(parts.decimals);

    std::string text;
    if (decimals > 0) {
        text = printNumber(static_cast<int>(decimals < kMaxDecimals ? decimals : kMaxDecimals), value);
    } else {
        text = printNumber(3, value);
        while (!text.empty() && text.back() == '0') text.pop_back();
    }

    // Without a decimal separator the fraction is cut off, not rounded.
    const size_t dot = text.find('.');
    if (dot != std::string::npos && parts.decimal.empty()) text.resize(dot);
    dropSignOfZero(text);
    size_t integerEnd = text.find('.');
    if (integerEnd == std::string::npos) {
        integerEnd = text.size();
    } else {
        text.replace(integerEnd, 1, parts.decimal);
    }

    // Only the integer digits are grouped: a fraction reads best as one run of digits.
    if (!parts.thousands.empty()) {
        const size_t firstDigit = text[0] == '-' ? 1 : 0;
        for (size_t m = integerEnd; m > firstDigit + 3;) {
            m -= 3;
            text.insert(m, parts.thousands);
        }
    }

    std::string result;
    result.reserve(parts.prefix.size() + text.size() + parts.suffix.size());
    result.append(parts.prefix).append(text).append(parts.suffix);
    return result;
}

std::string formatTextLabel(std::string_view textTemplate, std::string_view text) {
    const size_t p = textTemplate.find('#');
    if (p == std::string_view::npos) return std::string(text);
    std::string result;
    result.reserve(textTemplate.size() - 1 + text.size());
    result.append(textTemplate.substr(0, p)).append(text).append(textTemplate.substr(p + 1));
    return result;
}

std::string formatDateParts(std::string_view format, int year, int month, int day, int hour,
                            int minute, int second) {
    if (format.empty()) return {};
    if (second < 0 || second > 59 || minute < 0 || minute > 59 || hour < 0 || hour > 23 ||
        day < 1 || day > 31 || month < 1 || month > 12 || year < kMinYear || year > kMaxYear) {
        return {};
    }
    const int leap = IS_LEAP(year - 1900);
    // A day its month does not have (the 31st of June) is no date to label.
    if (day > days_in_month[leap][month - 1]) return {};

    std::tm tm{};
    tm.tm_sec = second;
    tm.tm_min = minute;
    tm.tm_hour = hour;
    tm.tm_mday = day;
    tm.tm_mon = month - 1;
    tm.tm_year = year - 1900;
    tm.tm_yday = julian_days_by_month[leap][month - 1] + day - 1;
    tm.tm_wday = weekdayOf(year, tm.tm_yday);
    tm.tm_isdst = 0;
#if defined(__GLIBC__)
    tm.tm_zone = "UTC";
#endif

    const std::string formatText(format);
    char buffer[kDateBufferSize];
    const size_t length = std::strftime(buffer, sizeof buffer, formatText.c_str(), &tm);
    return std::string(buffer, length);
}

std::string formatDateValue(std::string_view format, double value, int kind) {
    int year = kMinYear, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::string durationFormat;
    if (kind == TimeValue) {
        // Seconds since midnight, or a duration that runs past a day ("36:00:00"): %H is the
        // hour of its day, as strftime defines it, and %[H] its whole hours.
        if (!(value > -1.0 && value < kLongestDuration)) return {};
        const long long s = static_cast<long long>(value);
        const long long hours = s / 3600;
        hour = static_cast<int>(hours % 24);
        minute = static_cast<int>(s / 60 % 60);
        second = static_cast<int>(s % 60);
        durationFormat = withWholeHours(format, hours);
        format = durationFormat;
    } else if (kind == DateValue || kind == TimestampValue) {
        // Checked before the conversion to int64, which NaN or a huge value would overflow.
        if (!(value > kFirstSecond - 1.0 && value < kEndSecond)) return {};
        std::tm tm{};
        if (breakDownTime64(static_cast<std::int64_t>(value), &tm) == nullptr) return {};
        second = tm.tm_sec;
        minute = tm.tm_min;
        hour = tm.tm_hour;
        day = tm.tm_mday;
        month = tm.tm_mon + 1;
        year = tm.tm_year + 1900;
    } else {
        return {};
    }
    return formatDateParts(format, year, month, day, hour, minute, second);
}

}  // namespace plotwise
