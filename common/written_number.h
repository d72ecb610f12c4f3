// Numbers as people write them in tables and lists ("$1,299.50", "12%", "(11,250)",
// "1 234,56 €"), and the markers people write where a value is missing ("n/a", "-", "?").
// Plotz_Data reads its typed lists with them and the program reads its table columns with them,
// so that a value reads the same whichever way it reaches a chart. Header only: the program
// does not link the plug-in's code.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/c_number.h"

namespace plotwise {
namespace written_number_detail {

// Blanks around a number and between its groups of digits: a blank, a tab, a no-break space
// and the narrow no-break space French and Swiss tables group with.
inline constexpr std::string_view kBlanks[] = {" ", "\t", "\u00A0", "\u202F"};
// Currency signs and units a number may carry on either side.
inline constexpr std::string_view kAffixes[] = {"$", "\u20AC", "\u00A3", "\u00A5", "%", "kg"};
inline constexpr std::string_view kMinus[] = {"-", "\u2212"};
// What people write for a value nobody reported, compared without regard to case.
inline constexpr std::string_view kMissingMarkers[] = {"n/a", "na", "#n/a", "-", "\u2013", "\u2014", "?"};

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The entry of `table` that `text` starts with (or ends with), empty when none.
template <std::size_t N>
inline std::string_view affixOf(std::string_view text, const std::string_view (&table)[N], bool front) {
    for (std::string_view entry : table)
        if (front ? text.starts_with(entry) : text.ends_with(entry)) return entry;
    return {};
}

inline std::string_view trimmed(std::string_view s) {
    for (std::string_view b; !(b = affixOf(s, kBlanks, true)).empty();) s.remove_prefix(b.size());
    for (std::string_view b; !(b = affixOf(s, kBlanks, false)).empty();) s.remove_suffix(b.size());
    return s;
}

// Takes one affix off the front (or the back) of the text, with the blanks beside it.
inline void dropAffix(std::string_view& text, bool front) {
    const std::string_view affix = affixOf(text, kAffixes, front);
    if (affix.empty()) return;
    text = trimmed(front ? text.substr(affix.size()) : text.substr(0, text.size() - affix.size()));
}

// Takes a sign off the front; true when there was one.
inline bool takeSign(std::string_view& text, std::string& out) {
    const std::string_view minus = affixOf(text, kMinus, true);
    if (minus.empty() && !text.starts_with('+')) return false;
    if (!minus.empty()) out.push_back('-');
    text = trimmed(text.substr(minus.empty() ? 1 : minus.size()));
    return true;
}

// The mark that groups digits at text[i], if any: the locale's grouping mark or a blank; its
// length in bytes, 0 when none.
inline std::size_t groupMarkAt(std::string_view text, std::size_t i, char groupMark) {
    if (text[i] == groupMark) return 1;
    const std::string_view blank = affixOf(text.substr(i), kBlanks, true);
    return blank == "\t" ? 0 : blank.size();
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace written_number_detail

// The number a text writes as people write one, as a plain decimal text ("-1234.5", "1.2e-6"),
// or nothing. Blanks around it; a sign ("-", "+" or the minus sign U+2212) or parentheses
// around the whole ("(11,250)" is -11250, as spreadsheets write negative amounts); a currency
// sign or unit before or after ("$", "€", "£", "¥", "%", "kg"); digits grouped in threes by
// the locale's grouping mark ("1,234,567", or with a decimal comma "1.234.567") or by a blank,
// a no-break space or a narrow no-break space ("1 234 567"); at most one decimal mark; an
// exponent ("e" or "E"). Dates, codes and names ("2024-01", "Q1 2024", "A-17", "1,23") are not
// numbers. `decimalMark` is the locale's decimal mark, "." or ",".
inline std::optional<std::string> writtenNumberText(std::string_view text, char decimalMark = '.') {
    using namespace written_number_detail;
    const char groupMark = decimalMark == ',' ? '.' : ',';
    std::string out;
    text = trimmed(text);
    // Parentheses around an amount make it negative; it then carries no sign of its own.
    const bool accounting = text.size() > 2 && text.front() == '(' && text.back() == ')';
    if (accounting) {
        text = trimmed(text.substr(1, text.size() - 2));
        out.push_back('-');
    }
    // A sign may stand before or after a leading currency sign: "-$5", "$-5".
    std::string sign;
    const bool hadSign = takeSign(text, sign);
    dropAffix(text, true);
    if (!hadSign) takeSign(text, sign);
    dropAffix(text, false);
    if (accounting && !sign.empty()) return std::nullopt;
    out += sign;

    std::size_t i = 0, run = 0, digits = 0;
    std::string_view group;  // the mark the number groups with; one kind throughout
    while (i < text.size()) {
        if (isDigit(text[i])) {
            out.push_back(text[i++]);
            ++run;
            ++digits;
            continue;
        }
        const std::size_t mark = groupMarkAt(text, i, groupMark);
        const std::string_view here = text.substr(i, mark);
        if (mark == 0 || run == 0 || (group.empty() ? run > 3 : run != 3 || here != group)) break;
        group = here;
        run = 0;
        i += mark;
    }
    if (!group.empty() && run != 3) return std::nullopt;  // "1,23" or "1,2345" group no thousands
    if (i < text.size() && text[i] == decimalMark) {
        out.push_back('.');
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++digits) out.push_back(text[i]);
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) out.push_back(text[i++]);
        std::size_t exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits) out.push_back(text[i]);
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    return out;
}

// The same number as a value.
inline std::optional<double> writtenNumber(std::string_view text, char decimalMark = '.') {
    const std::optional<std::string> plain = writtenNumberText(text, decimalMark);
    if (!plain) return std::nullopt;
    return c_number::read(*plain);
}

// True for a text that says a value is missing: empty or blanks, "n/a", "na", "#N/A" (in any
// case), "-", "–", "—" or "?".
inline bool isMissingMarker(std::string_view text) {
    using namespace written_number_detail;
    text = trimmed(text);
    if (text.empty()) return true;
    for (std::string_view marker : kMissingMarkers)
        if (equalsIgnoringCase(text, marker)) return true;
    return false;
}

}  // namespace plotwise
