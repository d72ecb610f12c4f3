// The plotwise program's CSV reader on any bytes: quoted fields with line breaks and doubled
// quotes, unclosed quotes, byte-order marks, bytes that are no UTF-8. What it reads must load
// as a record table, and every cell of every record must be readable.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/csv.h"
#include "app/diagnostics.h"
#include "app/record_tables.h"

namespace app = plotwise::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto records = app::readCsv(text);
        for (const auto& record : records) {
            if (record.line < 1) std::abort();
            for (const auto& field : record.fields) app::isDecimalNumber(field);
        }
    } catch (const app::CsvError& e) {
        if (e.line() < 1) std::abort();
    }
    try {
        const app::RecordTable table = app::RecordTable::fromCsv("T", text, "t.csv");
        for (std::size_t r = 1; r <= table.recordCount(); ++r) {
            for (int f = 0; f < static_cast<int>(table.fields().size()); ++f) table.value(r, f);
        }
        // Every named field can be found again by its name.
        for (const auto& field : table.fields()) {
            if (!field.empty() && table.fieldIndex(field) < 0) std::abort();
        }
    } catch (const app::UsageError&) {
    }
    return 0;
}
