// Reading a field record by record through the host: "Table::Field" reads the whole found set,
// "Table::Field(a-b)" the records a to b.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "boundary/host_calls.h"
#include "stand_in/fmhost.h"

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

class RecordExpression;

// Reads record after record in the calling environment, one at a time, so that a caller keeps
// only what it stores: next() gives the next record's value until an evaluation fails or the
// range (or kMaxRecordsRead) ends; the value stays valid until the next call.
class RecordReader {
public:
    RecordReader(const FMX_ExprEnv* env, const FieldReference& reference);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    const FMX_Data* next();
    // 0 when at least one record was read, else the host's error code of the first evaluation
    // (0 until an evaluation has been tried).
    int16_t error() const { return read_ > 0 ? 0 : error_; }

private:
    const FMX_ExprEnv* env_;
    FieldReference reference_;
    std::unique_ptr<RecordExpression> expression_;
    host::Data value_;
    long n_;
    long read_ = 0;
    int16_t error_ = 0;
    bool done_ = false;
};

// Evaluates record after record in the calling environment, handing each value to `take`,
// until an evaluation fails, the range ends or `take` says stop. Returns 0 when at least one
// record was read, else the host's error code of the first evaluation.
int16_t readFieldRecords(const FMX_ExprEnv* env, const FieldReference& reference, const RecordSink& take);

}  // namespace plotwise
