#include "definition/field_reference.h"

#include <algorithm>
#include <charconv>
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

namespace {

// The expression up to its record number: "GetNthRecord ( field ; ".
std::string expressionHead(std::string_view field) {
    std::string head = "GetNthRecord ( ";
    head += field;
    head += " ; ";
    return head;
}

}  // namespace

std::string recordExpression(std::string_view field, long n) {
    std::string expression = expressionHead(field);
    expression += std::to_string(n);
    expression += " )";
    return expression;
}

int16_t readFieldRecords(const FMX_ExprEnv* env, const FieldReference& reference, const RecordSink& take) {
    host::Data value;
    // One expression and one host text serve every record: only the number changes, and a
    // found set of many records should not cost an allocation per record.
    std::string expression = expressionHead(reference.field);
    const std::size_t head = expression.size();
    host::Text text;
    long read = 0;
    for (long n = reference.first; read < kMaxRecordsRead; ++n) {
        if (reference.bounded && n > reference.last) break;
        char digits[24];
        const auto written = std::to_chars(digits, digits + sizeof digits, n);
        expression.resize(head);
        expression.append(digits, written.ptr);
        expression += " )";
        text.assign(expression);
        const int16_t error = host::evaluate(env, text, value.get());
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
