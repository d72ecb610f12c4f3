// Record tables from CSV files.
#include "app/record_tables.h"

#include <fstream>
#include <sstream>

#include "app/csv.h"
#include "app/diagnostics.h"
#include "app/file_io.h"
#include "app/text_util.h"
#include "common/written_number.h"
#include "stand_in/fmhost.h"

namespace plotwise::app {

namespace {

std::string trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return std::string(s);
}

// The first character a field name cannot have, or 0.
char forbiddenNameCharacter(std::string_view name) {
    for (char c : name)
        if (c == ':' || c == '(' || c == ')' || c == ';' || c == '"') return c;
    return 0;
}

// Why a header cell may hold such a character: the file is separated by something else.
std::string likelyCause(char c, char separator) {
    if (c == ';' && separator != ';')
        return " (is the file separated by semicolons? its header line was read as separated by commas)";
    if (c == '"') return " (a quote inside a field must be doubled, and the field quoted as a whole)";
    return "";
}

}  // namespace

RecordTable RecordTable::fromCsv(std::string name, std::string_view csv, std::string_view source, char decimalMark) {
    std::vector<CsvRecord> records;
    const char separator = detectSeparator(csv);
    try {
        records = readCsv(csv, separator);
    } catch (const CsvError& e) {
        throw UsageError(std::string(source) + ":" + std::to_string(e.line()) + ": " + e.what());
    }
    if (records.empty()) throw UsageError(std::string(source) + ": the file has no header row naming the fields");

    RecordTable table;
    table.name_ = std::move(name);
    const CsvRecord& header = records.front();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        std::string field = trimBlanks(header.fields[i]);
        // A blank name (a trailing comma in the header) names no field; its column is ignored.
        if (!field.empty()) {
            if (const char c = forbiddenNameCharacter(field); c != 0)
                throw UsageError(std::string(source) + ":" + std::to_string(header.line) + ": the field name \"" +
                                 field + "\" holds \"" + c + "\", which a field name cannot have" +
                                 likelyCause(c, separator));
            for (std::size_t j = 0; j < i; ++j)
                if (equalsIgnoringCase(table.fields_[j], field))
                    throw UsageError(std::string(source) + ":" + std::to_string(header.line) + ": the field " +
                                     field + " is named twice");
        }
        table.fields_.push_back(std::move(field));
    }

    const std::size_t width = table.fields_.size();
    // A column is one of numbers when every cell with something in it is a number as people
    // write one ("$1,655.82", "12%", "(1,200.50)") or says that the value is missing ("n/a");
    // any other cell ("2024-01", "Q1") keeps the column's cells as they always were: numbers
    // only where a cell is a plain decimal.
    std::vector<bool> numberColumn(width, true);
    for (std::size_t r = 1; r < records.size(); ++r)
        for (std::size_t i = 0; i < width && i < records[r].fields.size(); ++i)
            if (numberColumn[i] && !isMissingMarker(records[r].fields[i]) &&
                !writtenNumberText(records[r].fields[i], decimalMark))
                numberColumn[i] = false;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        // A short record has empty cells at its end; a long one may only carry empty cells
        // past the named fields, or data would be dropped unseen.
        for (std::size_t i = width; i < record.fields.size(); ++i) {
            if (!trimBlanks(record.fields[i]).empty())
                throw UsageError(std::string(source) + ":" + std::to_string(record.line) + ": the record has " +
                                 std::to_string(record.fields.size()) + " fields, the header names only " +
                                 std::to_string(width));
        }
        std::vector<Cell> cells(width);
        for (std::size_t i = 0; i < width && i < record.fields.size(); ++i) {
            Cell& cell = cells[i];
            const std::optional<std::string> number =
                numberColumn[i] ? writtenNumberText(record.fields[i], decimalMark) : std::nullopt;
            cell.isNumber = number || isDecimalNumber(record.fields[i], decimalMark);
            cell.text = number ? *number : cell.isNumber ? trimBlanks(record.fields[i]) : record.fields[i];
            // The host keeps line breaks inside a value as carriage returns.
            for (char& c : cell.text)
                if (c == '\n') c = '\r';
        }
        table.records_.push_back(std::move(cells));
    }
    return table;
}

int RecordTable::fieldIndex(std::string_view field) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (!fields_[i].empty() && equalsIgnoringCase(fields_[i], field)) return static_cast<int>(i);
    return -1;
}

Value RecordTable::value(std::size_t record, int field) const {
    const Cell& cell = records_.at(record - 1).at(static_cast<std::size_t>(field));
    return cell.isNumber ? Value::numberFromText(cell.text) : Value::text(cell.text);
}

void RecordTables::add(RecordTable table) {
    if (find(table.name())) throw UsageError("the table " + table.name() + " is given twice");
    tables_.push_back(std::move(table));
}

const RecordTable* RecordTables::find(std::string_view name) const {
    for (const RecordTable& table : tables_)
        if (equalsIgnoringCase(table.name(), name)) return &table;
    return nullptr;
}

RecordTable loadTableArgument(std::string_view argument) {
    const std::size_t eq = argument.find('=');
    if (eq == std::string_view::npos || eq == 0 || eq + 1 == argument.size())
        throw UsageError("--table expects NAME=FILE.csv, got \"" + std::string(argument) + "\"");
    const std::string name = trimBlanks(argument.substr(0, eq));
    if (name.empty() || forbiddenNameCharacter(name) != 0)
        throw UsageError("--table: \"" + name + "\" cannot be a table name");
    const std::string path(argument.substr(eq + 1));
    return RecordTable::fromCsv(name, readWholeFile(path), path, fmhost_decimal_mark());
}

}  // namespace plotwise::app
