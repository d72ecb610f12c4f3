// Numbers read and written the same way whatever locale the process runs in. A host, or another
// plug-in in its process, may set a German LC_NUMERIC; the texts of scripts, stored formats and
// labels still write "1.5", so every conversion of ours reads and writes in the "C" locale.
// Header only, so that every layer, the stand-in and the program may use it.
#pragma once

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>
#include <system_error>

namespace plotwise::c_number {

// The number at the start of `text` as strtod reads it in the "C" locale: blanks, a sign,
// decimal digits with a point and an exponent, a hexadecimal number after "0x", "inf" or "nan".
// `used` gets the bytes read, 0 when no number starts the text (the value is then 0). A number
// beyond the range of a double reads as an infinity, one below it as 0, as strtod has them.
inline double read(std::string_view text, std::size_t* used = nullptr) {
    const auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (used) *used = 0;
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return 0;

    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    const bool hex = last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X');
    double value = 0;
    std::from_chars_result r = hex ? std::from_chars(first + 2, last, value, std::chars_format::hex)
                                   : std::from_chars(first, last, value);
    if (hex && (r.ec == std::errc::invalid_argument || *(first + 2) == '-')) {
        // "0x" followed by no hexadecimal digits: the "0" alone is the number.
        value = 0;
        r = {first + 1, std::errc{}};
    }
    if (r.ec == std::errc::invalid_argument) return 0;
    if (r.ec == std::errc::result_out_of_range) {
        // Too large or too small: the exponent written decides which.
        const std::string_view written(first, static_cast<std::size_t>(r.ptr - first));
        const std::size_t mark = written.find_first_of(hex ? "pP" : "eE");
        const bool small = mark != std::string_view::npos && mark + 1 < written.size() && written[mark + 1] == '-';
        value = small ? 0.0 : HUGE_VAL;
    }
    if (used) *used = static_cast<std::size_t>(r.ptr - text.data());
    return negative ? -value : value;
}

// While alive, the calling thread reads and writes numbers in the "C" locale: a printf format
// that a script gives ("%.2f") writes "1.50" even where the process's locale writes "1,50".
// The thread's own locale comes back at the end of the scope.
class CNumbers {
public:
    CNumbers() : previous_(uselocale(cLocale())) {}
    ~CNumbers() { uselocale(previous_); }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t previous_;
};

}  // namespace plotwise::c_number
