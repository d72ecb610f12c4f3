// Conversions between texts, numbers and date-times, as the host shows and reads them.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/c_number.h"
#include "stand_in/internal.h"

namespace fmhost {
namespace {

constexpr int kSignificantDigits = 16;
// Beyond these decimal exponents a number is written with an exponent ("1.5e+25").
constexpr int kPlainExponentMin = -20;
constexpr int kPlainExponentMax = 20;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view trim(std::u16string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A small cursor over a text for the date and time readers.
struct Reader {
    std::u16string_view text;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    char16_t peek() const { return atEnd() ? 0 : text[pos]; }
    bool take(char16_t c) {
        if (peek() != c) return false;
        ++pos;
        return true;
    }
    // Reads 1..maxDigits digits; false when there is none.
    bool number(int64_t& value, int minDigits, int maxDigits) {
        int count = 0;
        value = 0;
        while (count < maxDigits && isDigit(peek())) {
            value = value * 10 + (text[pos++] - u'0');
            ++count;
        }
        return count >= minDigits && !isDigit(peek());
    }
    void skipBlanks() {
        while (!atEnd() && isBlank(peek())) ++pos;
    }
};

bool validDate(int64_t year, int64_t month, int64_t day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, static_cast<int>(month));
}

// ISO "2009-06-12" or the locale's form "6/12/2009" / "12.6.2009".
bool readDate(Reader& in, int32_t localeKind, int64_t& days) {
    const std::size_t start = in.pos;
    int64_t a = 0, b = 0, c = 0;
    if (in.number(a, 4, 4) && in.take(u'-') && in.number(b, 1, 2) && in.take(u'-') && in.number(c, 1, 2)) {
        if (!validDate(a, b, c)) return false;
        days = daysFromCivil(a, b, c);
        return true;
    }
    in.pos = start;
    const LocaleForm& form = localeForm(localeKind);
    if (!(in.number(a, 1, 2) && in.take(form.separator) && in.number(b, 1, 2) && in.take(form.separator) &&
          in.number(c, 4, 4))) {
        return false;
    }
    const int64_t month = form.order == DateOrder::MonthDayYear ? a : b;
    const int64_t day = form.order == DateOrder::MonthDayYear ? b : a;
    if (!validDate(c, month, day)) return false;
    days = daysFromCivil(c, month, day);
    return true;
}

// "14:30", "14:30:00", "14:30:00.25" (fraction dropped), "2:30 PM"; hours up to `maxHour`.
bool readTime(Reader& in, int64_t maxHour, int64_t& seconds) {
    int64_t hour = 0, minute = 0, second = 0;
    if (!in.number(hour, 1, 9) || !in.take(u':') || !in.number(minute, 2, 2)) return false;
    if (in.take(u':')) {
        if (!in.number(second, 2, 2)) return false;
        if (in.take(u'.')) {
            int64_t fraction = 0;
            if (!in.number(fraction, 1, 9)) return false;
        }
    }
    const std::size_t beforeMarker = in.pos;
    in.skipBlanks();
    const char16_t m = in.peek() | 0x20;
    if ((m == u'a' || m == u'p') && in.pos + 1 < in.text.size() && (in.text[in.pos + 1] | 0x20) == u'm') {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (m == u'p' ? 12 : 0);
        in.pos += 2;
    } else {
        in.pos = beforeMarker;
    }
    if (hour > maxHour || minute > 59 || second > 59) return false;
    seconds = hour * 3600 + minute * 60 + second;
    return true;
}

std::string digitsOf(int64_t value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
    return buffer;
}

}  // namespace

std::string formatNumber(long double value) {
    if (!std::isfinite(value)) return "?";
    if (value == 0) return "0";
    char buffer[64];
    // "d.ddddddddddddddde+XX": the digits and the exponent of the rounded value, in the "C"
    // locale's form whatever the process's locale.
    const plotwise::c_number::CNumbers cNumbers;
    std::snprintf(buffer, sizeof buffer, "%.*Le", kSignificantDigits - 1, value);
    std::string text(buffer);
    const bool negative = text[0] == '-';
    if (negative) text.erase(0, 1);
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent < kPlainExponentMin || exponent > kPlainExponentMax) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += exponent < 0 ? "e-" : "e+";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out += digits + std::string(integerDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, integerDigits) + "." + digits.substr(integerDigits);
        }
    }
    return out;
}

long double numberOfText(std::u16string_view text, char16_t decimal) {
    std::string ascii;
    bool negative = false, point = false;
    std::size_t digits = 0, i = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isDigit(c)) {
            ascii.push_back(static_cast<char>(c));
            ++digits;
        } else if (c == decimal && !point) {
            ascii.push_back('.');
            point = true;
        } else if (c == u'-' && digits == 0) {
            negative = true;
        } else if ((c == u'e' || c == u'E') && digits > 0 && i > 0 && (isDigit(text[i - 1]) || text[i - 1] == decimal)) {
            // An exponent counts only when digits follow it ("1e3"; "1e" is 1); it ends the number.
            std::size_t j = i + 1;
            std::string exponent = "e";
            if (j < text.size() && (text[j] == u'-' || text[j] == u'+')) exponent.push_back(static_cast<char>(text[j++]));
            if (j < text.size() && isDigit(text[j])) {
                while (j < text.size() && isDigit(text[j])) exponent.push_back(static_cast<char>(text[j++]));
                ascii += exponent;
                break;
            }
        }
    }
    if (digits == 0) return 0;
    const plotwise::c_number::CNumbers cNumbers;  // the text is written with "." whatever the process's locale
    const long double value = std::strtold(ascii.c_str(), nullptr);
    return negative ? -value : value;
}

std::string formatDate(int64_t seconds, int32_t localeKind) {
    const Civil date = civilFromDays(floorDiv(seconds, kSecondsPerDay));
    const LocaleForm& form = localeForm(localeKind);
    const int first = form.order == DateOrder::MonthDayYear ? date.month : date.day;
    const int second = form.order == DateOrder::MonthDayYear ? date.day : date.month;
    return std::to_string(first) + form.separator + std::to_string(second) + form.separator +
           digitsOf(date.year, 4);
}

// Times beyond a day (durations) keep counting hours: "25:00:00".
std::string formatTime(int64_t seconds) {
    const bool negative = seconds < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(seconds) : static_cast<uint64_t>(seconds);
    return (negative ? "-" : "") + std::to_string(magnitude / 3600) + ":" +
           digitsOf(static_cast<int64_t>(magnitude / 60 % 60), 2) + ":" +
           digitsOf(static_cast<int64_t>(magnitude % 60), 2);
}

std::string formatTimeStamp(int64_t seconds, int32_t localeKind) {
    return formatDate(seconds, localeKind) + " " + formatTime(floorMod(seconds, kSecondsPerDay));
}

bool parseDate(std::u16string_view text, int32_t localeKind, int64_t& seconds) {
    Reader in{trim(text)};
    int64_t days = 0;
    if (!readDate(in, localeKind, days) || !in.atEnd()) return false;
    seconds = days * kSecondsPerDay;
    return true;
}

bool parseTime(std::u16string_view text, int64_t& seconds) {
    Reader in{trim(text)};
    int64_t value = 0;
    if (!readTime(in, 999999999, value) || !in.atEnd()) return false;
    seconds = value;
    return true;
}

// A date, then blanks or "T", then a time of day; a date alone is its midnight.
bool parseTimeStamp(std::u16string_view text, int32_t localeKind, int64_t& seconds) {
    Reader in{trim(text)};
    int64_t days = 0, time = 0;
    if (!readDate(in, localeKind, days)) return false;
    if (!in.atEnd()) {
        const std::size_t before = in.pos;
        in.skipBlanks();
        if (in.pos == before && !in.take(u'T')) return false;
        if (!readTime(in, 23, time) || !in.atEnd()) return false;
    }
    seconds = days * kSecondsPerDay + time;
    return true;
}

}  // namespace fmhost
