// Reading a field record by record through the host: "Table::Field" reads the whole found set,
// "Table::Field(a-b)" the records a to b.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/fmhost.h"

namespace plotwise {

struct FieldReference {
    std::string field;     // the text before the range
    long first = 1;        // first record, from 1
    long last = 0;         // last record when bounded
    bool bounded = false;
};

// Splits off a record range "(a-b)". Without one, or when a > b, reading starts at record 1
// and runs to the end of the found set.
FieldReference parseFieldReference(std::string_view text);

// The expression that reads record n: "GetNthRecord ( field ; n )".
std::string recordExpression(std::string_view field, long n);

// A reading stops after this many records even when the host goes on answering, so that an
// expression that never fails cannot keep a script waiting for ever.
constexpr long kMaxRecordsRead = 1000000;

// Takes one record's value; false stops the reading.
using RecordSink = std::function<bool(const FMX_Data* value)>;

// Evaluates record after record in the calling environment, handing each value to `take`,
// until an evaluation fails, the range ends or `take` says stop. Returns 0 when at least one
// record was read, else the host's error code of the first evaluation.
int16_t readFieldRecords(const FMX_ExprEnv* env, const FieldReference& reference, const RecordSink& take);

}  // namespace plotwise
