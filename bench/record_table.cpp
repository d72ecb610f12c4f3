#include "bench/record_table.h"

#include <cstring>
#include <string_view>

#include "bench/host_session.h"

namespace plotwise::bench {

namespace {

constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::string_view kHead = "GetNthRecord ( ";
constexpr std::string_view kMonthField = "Orders::Month";
constexpr std::string_view kAmountField = "Orders::Amount";

// Reads the record number after " ; " up to the closing " )"; 0 when there is none.
long recordNumber(const char* p) {
    long n = 0;
    while (*p >= '0' && *p <= '9') {
        n = n * 10 + (*p - '0');
        if (n > 0x7FFFFFFF) return 0;
        ++p;
    }
    return n;
}

}  // namespace

OrderTable::OrderTable(int records) : month_(static_cast<std::size_t>(records)), amount_(month_.size()) {
    // A fixed pseudo-random order book: every month occurs, amounts between 1 and 500.
    uint32_t state = 12345;
    for (std::size_t i = 0; i < month_.size(); ++i) {
        state = state * 1103515245u + 12345u;
        month_[i] = static_cast<uint8_t>((state >> 16) % 12);
        state = state * 1103515245u + 12345u;
        amount_[i] = 1 + (state >> 16) % 50000 / 100.0;
    }
    for (int m = 0; m < 12; ++m) {
        monthNames_[m] = FM_Text_Constructor1(noError());
        FM_Text_Assign(monthNames_[m], kMonthNames[m], kFMX_EncodingUTF8, noError());
    }
    locale_ = FM_Locale_Constructor1(1, noError());
    number_ = FM_FixPt_Constructor1(0, 16, noError());
}

OrderTable::~OrderTable() {
    for (FMX_Text* text : monthNames_) FM_Text_Delete(text, noError());
    FM_Locale_Delete(locale_, noError());
    FM_FixPt_Delete(number_, noError());
}

int16_t OrderTable::answer(const char* expression, FMX_Data* result) const {
    if (std::strncmp(expression, kHead.data(), kHead.size()) != 0) return kFMX_CalcError;
    const char* field = expression + kHead.size();
    const char* separator = std::strstr(field, " ; ");
    if (separator == nullptr) return kFMX_CalcError;
    const std::string_view name(field, static_cast<std::size_t>(separator - field));
    const bool isMonth = name == kMonthField;
    if (!isMonth && name != kAmountField) return kFMX_FieldMissing;
    const long n = recordNumber(separator + 3);
    if (n < 1 || n > records()) return kFMX_RecordMissing;
    const std::size_t record = static_cast<std::size_t>(n - 1);
    if (isMonth) {
        FM_Data_SetAsText(result, monthNames_[month_[record]], locale_, kFMX_Text, noError());
    } else {
        FM_FixPt_AssignDouble(number_, amount_[record], noError());
        FM_Data_SetAsNumber(result, number_, kFMX_Number, noError());
    }
    return 0;
}

int16_t OrderTable::hook(void* context, const char* expression, FMX_Data* result) {
    return static_cast<const OrderTable*>(context)->answer(expression, result);
}

void OrderTable::install() { fmhost_set_evaluate_hook(&OrderTable::hook, this); }

void OrderTable::uninstall() { fmhost_set_evaluate_hook(nullptr, nullptr); }

std::vector<std::string> OrderTable::readingExpressions() const {
    // The X field is read until the first record that fails; the Y field up to the last point.
    std::vector<std::string> expressions;
    expressions.reserve(2 * month_.size() + 1);
    for (int n = 1; n <= records() + 1; ++n)
        expressions.push_back("GetNthRecord ( " + std::string(kMonthField) + " ; " + std::to_string(n) + " )");
    for (int n = 1; n <= records(); ++n)
        expressions.push_back("GetNthRecord ( " + std::string(kAmountField) + " ; " + std::to_string(n) + " )");
    return expressions;
}

}  // namespace plotwise::bench
