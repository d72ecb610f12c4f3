#include "definition/field_reference.h"

#include <algorithm>
#include <cstdlib>

#include "frame/host.h"

namespace plotwise {

FieldReference parseFieldReference(std::string_view text) {
    FieldReference reference;
    const std::size_t open = text.find('(');
    reference.field = std::string(text.substr(0, open));
    if (open == std::string_view::npos) return reference;
    const std::size_t dash = text.find('-', open + 1);
    if (dash == std::string_view::npos) return reference;
    const std::string rest(text.substr(open + 1));
    const long a = std::strtol(rest.c_str(), nullptr, 10);
    const long b = std::strtol(rest.c_str() + (dash - open), nullptr, 10);
    if (a > b) return reference;
    // Records count from 1; a range that starts below reads from the first record.
    reference.first = std::max(a, 1L);
    reference.last = b;
    reference.bounded = true;
    return reference;
}

std::string recordExpression(std::string_view field, long n) {
    std::string expression = "GetNthRecord ( ";
    expression += field;
    expression += " ; ";
    expression += std::to_string(n);
    expression += " )";
    return expression;
}

int16_t readFieldRecords(const FMX_ExprEnv* env, const FieldReference& reference, const RecordSink& take) {
    host::Data value;
    long read = 0;
    for (long n = reference.first; read < kMaxRecordsRead; ++n) {
        if (reference.bounded && n > reference.last) break;
        const int16_t error = host::evaluate(env, recordExpression(reference.field, n), value.get());
        if (error != 0) {
            if (read == 0) return error;
            break;
        }
        ++read;
        if (!take(value.get())) break;
    }
    return 0;
}

}  // namespace plotwise
