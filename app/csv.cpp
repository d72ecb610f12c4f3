// The CSV reader: a single pass that keeps track of line numbers for messages.
#include "app/csv.h"

#include "common/utf8.h"

namespace plotwise::app {

namespace {

bool validUtf8(std::string_view s, std::size_t& badAt) {
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = utf8::sequenceLength(s, i);
        if (n == 0) {
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

}  // namespace plotwise::app
