#include "definition/field_reference.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "boundary/host_calls.h"

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

// The host text of "GetNthRecord ( field ; n )" for one record after another, changed in
// place: only the digits that differ from the previous number, and the closing " )", are
// replaced, mostly by one deletion and one append of the last digit with " )". The host
// converts every text it is given from UTF-8; giving it the whole expression per record cost
// more than the host's own evaluation of it.
class RecordExpression {
public:
    explicit RecordExpression(std::string_view field)
        : text_(expressionHead(field)), pieces_("0 )1 )2 )3 )4 )5 )6 )7 )8 )9 )") {
        headUnits_ = text_.size();
    }

    const host::Text& read(long n) {
        char digits[24];
        const auto written = std::to_chars(digits, digits + sizeof digits, n);
        const std::string_view number(digits, static_cast<std::size_t>(written.ptr - digits));
        std::size_t same = 0;
        while (same + 1 < number.size() && same < shown_.size() && number[same] == shown_[same]) ++same;
        // Digits are single characters, so characters and bytes count alike after the head.
        text_.erase(headUnits_ + static_cast<uint32_t>(same), kToTheEnd);
        for (std::size_t i = same; i < number.size(); ++i) {
            const bool last = i + 1 == number.size();
            text_.append(pieces_.get(), kPiece * static_cast<uint32_t>(number[i] - '0'), last ? kPiece : 1);
        }
        shown_.assign(number);
        return text_;
    }

private:
    static constexpr uint32_t kPiece = 3;  // a digit and " )" in pieces_
    static constexpr uint32_t kToTheEnd = 0xFFFFFFFFu;

    host::Text text_;
    host::Text pieces_;      // each digit followed by " )"
    uint32_t headUnits_ = 0; // characters of "GetNthRecord ( field ; "
    std::string shown_;      // the digits of the number in text_
};

RecordReader::RecordReader(const FMX_ExprEnv* env, const FieldReference& reference)
    : env_(env), reference_(reference), expression_(std::make_unique<RecordExpression>(reference.field)),
      n_(reference.first) {}

RecordReader::~RecordReader() = default;

const FMX_Data* RecordReader::next() {
    if (done_ || read_ >= kMaxRecordsRead || (reference_.bounded && n_ > reference_.last)) {
        done_ = true;
        return nullptr;
    }
    const int16_t error = host::evaluate(env_, expression_->read(n_++), value_.get());
    if (error != 0) {
        if (read_ == 0) error_ = error;
        done_ = true;
        return nullptr;
    }
    ++read_;
    return value_.get();
}

int16_t readFieldRecords(const FMX_ExprEnv* env, const FieldReference& reference, const RecordSink& take) {
    // One host text serves every record: a found set of many records should cost neither an
    // allocation nor a conversion of the whole expression per record.
    RecordReader reader(env, reference);
    while (const FMX_Data* value = reader.next())
        if (!take(value)) break;
    return reader.error();
}

}  // namespace plotwise
