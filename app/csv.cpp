// The CSV reader: a single pass that keeps track of line numbers for messages.
#include "app/csv.h"

namespace plotwise::app {

namespace {

bool validUtf8(std::string_view s, std::size_t& badAt) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = b < 0x80 ? 1 : (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3
                                                                    : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
        if (n == 0 || i + n > s.size()) {
            badAt = i;
            return false;
        }
        uint32_t cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
        for (std::size_t k = 1; k < n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                badAt = i;
                return false;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        constexpr uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kSmallest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            badAt = i;
            return false;
        }
        i += n;
    }
    return true;
}

int lineAt(std::string_view s, std::size_t offset) {
    int line = 1;
    for (std::size_t i = 0; i < offset && i < s.size(); ++i) {
        if (s[i] == '\n') ++line;
        else if (s[i] == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n')) ++line;
    }
    return line;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

char detectSeparator(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::size_t commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;  // a doubled quote flips twice
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (semicolons > commas && semicolons > tabs) return ';';
    if (tabs > commas && tabs > semicolons) return '\t';
    return ',';
}

std::vector<CsvRecord> readCsv(std::string_view text, char separator) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::size_t badAt = 0;
    if (!validUtf8(text, badAt)) throw CsvError(lineAt(text, badAt), "the text is not UTF-8");

    std::vector<CsvRecord> records;
    std::size_t i = 0;
    int line = 1;
    const auto atLineBreak = [&](std::size_t k) { return k < text.size() && (text[k] == '\n' || text[k] == '\r'); };
    // Moves past the line break at i and counts it.
    const auto skipLineBreak = [&]() {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        ++i;
        ++line;
    };

    while (i < text.size()) {
        if (atLineBreak(i)) {  // a wholly empty line
            skipLineBreak();
            continue;
        }
        CsvRecord record;
        record.line = line;
        for (;;) {
            std::string field;
            if (i < text.size() && text[i] == '"') {
                const int opened = line;
                ++i;
                for (;;) {
                    if (i >= text.size())
                        throw CsvError(opened, "a quoted field opened on this line is not closed");
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\r' || text[i] == '\n') {
                        // A line break inside quotes is part of the field; CR LF reads as LF.
                        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
                        field += crlf ? '\n' : text[i];
                        skipLineBreak();
                        continue;
                    }
                    field += text[i++];
                }
                if (i < text.size() && text[i] != separator && !atLineBreak(i))
                    throw CsvError(line, std::string("expected '") + (separator == '\t' ? "\\t" : std::string(1, separator)) +
                                             "' or the end of the line after a closing quote");
            } else {
                while (i < text.size() && text[i] != separator && !atLineBreak(i)) field += text[i++];
            }
            record.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == separator) {
                ++i;
                continue;
            }
            break;
        }
        records.push_back(std::move(record));
        if (i < text.size()) skipLineBreak();
    }
    return records;
}

bool isDecimalNumber(std::string_view cell, char decimalMark) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!cell.empty() && blank(cell.front())) cell.remove_prefix(1);
    while (!cell.empty() && blank(cell.back())) cell.remove_suffix(1);
    std::size_t i = 0;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < cell.size() && isDigit(cell[i])) ++i, ++digits;
    if (i < cell.size() && (cell[i] == '.' || cell[i] == decimalMark)) {
        ++i;
        while (i < cell.size() && isDigit(cell[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < cell.size() && (cell[i] == 'e' || cell[i] == 'E')) {
        ++i;
        if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
        std::size_t exponentDigits = 0;
        while (i < cell.size() && isDigit(cell[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == cell.size();
}

namespace {

// Currency signs and units a number may carry on either side.
constexpr std::string_view kAffixes[] = {"$", "\u20AC", "\u00A3", "%", "kg"};

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Takes one affix off the front (or the back) of the cell, with the blanks beside it.
void dropAffix(std::string_view& cell, bool front) {
    for (std::string_view affix : kAffixes) {
        if (front ? cell.starts_with(affix) : cell.ends_with(affix)) {
            cell = trimmed(front ? cell.substr(affix.size()) : cell.substr(0, cell.size() - affix.size()));
            return;
        }
    }
}

bool takeSign(std::string_view& cell, std::string& out) {
    if (cell.empty() || (cell.front() != '-' && cell.front() != '+')) return false;
    if (cell.front() == '-') out.push_back('-');
    cell = trimmed(cell.substr(1));
    return true;
}

}  // namespace

std::optional<std::string> writtenNumber(std::string_view cell, char decimalMark) {
    const char groupMark = decimalMark == ',' ? '.' : ',';
    std::string out;
    cell = trimmed(cell);
    // A sign may stand before or after a leading currency sign: "-$5", "$-5".
    const bool hadSign = takeSign(cell, out);
    dropAffix(cell, true);
    if (!hadSign) takeSign(cell, out);
    dropAffix(cell, false);

    std::size_t i = 0, run = 0, digits = 0;
    bool grouped = false;
    for (; i < cell.size(); ++i) {
        const char c = cell[i];
        if (isDigit(c)) {
            out.push_back(c);
            ++run;
            ++digits;
        } else if (c == groupMark && run > 0 && (grouped ? run == 3 : run <= 3)) {
            grouped = true;
            run = 0;
        } else {
            break;
        }
    }
    if (grouped && run != 3) return std::nullopt;  // "1,23" or "1,2345" group no thousands
    if (i < cell.size() && cell[i] == decimalMark) {
        out.push_back('.');
        for (++i; i < cell.size() && isDigit(cell[i]); ++i, ++digits) out.push_back(cell[i]);
    }
    if (digits == 0) return std::nullopt;
    if (i < cell.size() && (cell[i] == 'e' || cell[i] == 'E')) {
        out.push_back('e');
        ++i;
        if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) out.push_back(cell[i++]);
        std::size_t exponentDigits = 0;
        for (; i < cell.size() && isDigit(cell[i]); ++i, ++exponentDigits) out.push_back(cell[i]);
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != cell.size()) return std::nullopt;
    return out;
}

}  // namespace plotwise::app
