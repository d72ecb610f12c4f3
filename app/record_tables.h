// Record tables: CSV files loaded as the host's tables, so that Table::Field and
// GetNthRecord ( Table::Field ; n ) read their records. Names of tables and fields are
// compared without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

class RecordTable {
public:
    struct Cell {
        std::string text;
        bool isNumber = false;
    };

    // From CSV text: the first record names the fields, every other one is a record.
    // Throws UsageError with the line of the fault (`source` names the file in messages).
    // `decimalMark` is the decimal separator of the host's locale: "1,5" is a number with ",".
    static RecordTable fromCsv(std::string name, std::string_view csv, std::string_view source,
                               char decimalMark = '.');

    const std::string& name() const { return name_; }
    const std::vector<std::string>& fields() const { return fields_; }
    std::size_t recordCount() const { return records_.size(); }
    // Index of a field, -1 when the table has none of that name.
    int fieldIndex(std::string_view field) const;
    // The cell of record `record` (from 1) as a host value: a number or a text.
    Value value(std::size_t record, int field) const;

private:
    std::string name_;
    std::vector<std::string> fields_;
    std::vector<std::vector<Cell>> records_;
};

class RecordTables {
public:
    // Adds a table; throws UsageError when one of that name is already there.
    void add(RecordTable table);
    const RecordTable* find(std::string_view name) const;  // null when unknown
    const std::vector<RecordTable>& all() const { return tables_; }

private:
    std::vector<RecordTable> tables_;
};

// Loads a --table argument, "NAME=FILE.csv"; throws UsageError.
RecordTable loadTableArgument(std::string_view argument);

}  // namespace plotwise::app
