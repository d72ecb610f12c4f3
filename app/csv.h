// A reader of CSV text (RFC 4180): fields separated by commas (or, as spreadsheets write them
// in many countries, semicolons or tabs), records by CR LF or LF (or CR), fields in double
// quotes may hold separators, line breaks and doubled quotes. UTF-8, with an optional
// byte-order mark at the start.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise::app {

struct CsvRecord {
    int line = 0;                     // line where the record starts, from 1
    std::vector<std::string> fields;  // quotes removed, doubled quotes made single
};

class CsvError : public std::runtime_error {
public:
    CsvError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The separator of a table: of comma, semicolon and tab, the one found most often outside
// quotes in its first line (the header); a comma when none is found or two are found as often.
char detectSeparator(std::string_view text);

// Every record of the text. Lines that are wholly empty are no records (a file ends with a
// line break, and blank lines between records carry nothing). Throws CsvError for a quoted
// field that is not closed, characters between a closing quote and the next separator, or
// bytes that are not UTF-8.
std::vector<CsvRecord> readCsv(std::string_view text, char separator = ',');

// True when the cell reads wholly as a decimal number: an optional sign, digits with an
// optional decimal point (or a point and digits), an optional exponent; blanks around it
// are allowed. "12", "-3.5", ".5", "1e3" are numbers; "1,5", "12 kg", "0x1F", "inf" are not.
// A locale that writes numbers with a decimal comma passes "," as `decimalMark`: then "1,5"
// is a number too.
bool isDecimalNumber(std::string_view cell, char decimalMark = '.');

}  // namespace plotwise::app
