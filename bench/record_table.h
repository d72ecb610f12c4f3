// An in-memory found set of orders that answers the host's evaluation of
// "GetNthRecord ( Orders::Month ; n )" and "GetNthRecord ( Orders::Amount ; n )", as the host
// answers them from its records: the values are ready, only the expression is read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stand_in/fmhost.h"

namespace plotwise::bench {

class OrderTable {
public:
    explicit OrderTable(int records);
    ~OrderTable();
    OrderTable(const OrderTable&) = delete;
    OrderTable& operator=(const OrderTable&) = delete;

    int records() const { return static_cast<int>(month_.size()); }

    // Answers one expression into `result`: 0, kFMX_RecordMissing past the last record,
    // kFMX_FieldMissing for another field, kFMX_CalcError for another expression.
    int16_t answer(const char* expression, FMX_Data* result) const;

    // Installs this table as the host's evaluation hook (and removes it again).
    void install();
    static void uninstall();

    // The expressions one reading of both fields evaluates, in order (for timing the hook alone).
    std::vector<std::string> readingExpressions() const;

private:
    static int16_t hook(void* context, const char* expression, FMX_Data* result);

    std::vector<uint8_t> month_;   // 0..11 per record
    std::vector<double> amount_;   // per record
    FMX_Text* monthNames_[12] = {};
    FMX_Locale* locale_ = nullptr;
    FMX_FixPt* number_ = nullptr;
};

}  // namespace plotwise::bench
