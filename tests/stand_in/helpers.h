// Small conveniences over the raw host operations for the stand-in's tests.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "stand_in/fmhost.h"
#include "tests/support/host_values.h"

namespace hosttest {

// Owned objects, released at the end of the test.
struct TextHandle {
    FMX_Text* text;
    explicit TextHandle(const std::string& utf8 = {}) {
        FMX_Error err{1, 0};
        text = FM_Text_Constructor1(&err);
        FM_Text_Assign(text, utf8.c_str(), kFMX_EncodingUTF8, &err);
    }
    ~TextHandle() {
        FMX_Error err{1, 0};
        FM_Text_Delete(text, &err);
    }
    TextHandle(const TextHandle&) = delete;
    TextHandle& operator=(const TextHandle&) = delete;
};

struct DataHandle {
    FMX_Data* data;
    DataHandle() {
        FMX_Error err{1, 0};
        data = FM_Data_Constructor1(&err);
    }
    ~DataHandle() {
        FMX_Error err{1, 0};
        FM_Data_Delete(data, &err);
    }
    DataHandle(const DataHandle&) = delete;
    DataHandle& operator=(const DataHandle&) = delete;
};

// Date-time seconds, which the host exchanges as fixed-point numbers.
using plotwise::support::secondsSinceEpoch;
using plotwise::support::secondsSinceMidnight;
using plotwise::support::setSecondsSinceEpoch;

// Bytes handed to FM_BinaryData_Add, which takes them as non-const but only reads them.
inline void* given(const char* bytes) { return const_cast<char*>(bytes); }

// The UTF-8 bytes of a text, read with a generous buffer.
inline std::string bytesOf(const FMX_Text* text) {
    FMX_Error err{1, 0};
    std::vector<char> buffer(FM_Text_GetSize(text, &err) * 3 + 1);
    FM_Text_GetBytes(text, buffer.data(), static_cast<uint32_t>(buffer.size()), 0, 0xFFFFFFFFu, kFMX_EncodingUTF8,
                     &err);
    return buffer.data();
}

// The UTF-16 units of a text, by way of its byte form and size.
inline uint32_t sizeOf(const FMX_Text* text) {
    FMX_Error err{1, 0};
    return FM_Text_GetSize(text, &err);
}

// A data value holding a text, stored with the host's current locale.
inline void setText(FMX_Data* data, const std::string& utf8, int32_t type = kFMX_Text) {
    TextHandle text(utf8);
    FMX_Error err{1, 0};
    FMX_Locale* locale = FM_Locale_Constructor1(1, &err);
    FM_Data_SetAsText(data, text.text, locale, type, &err);
    FM_Locale_Delete(locale, &err);
}

inline void setNumber(FMX_Data* data, double value) {
    FMX_Error err{1, 0};
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, &err);
    FM_FixPt_AssignDouble(number, value, &err);
    FM_Data_SetAsNumber(data, number, kFMX_Number, &err);
    FM_FixPt_Delete(number, &err);
}

inline std::string textOf(const FMX_Data* data) {
    FMX_Error err{1, 0};
    return bytesOf(FM_Data_GetAsText(data, &err));
}

inline double numberOf(const FMX_Data* data) {
    FMX_Error err{1, 0};
    return FM_FixPt_AsFloat(FM_Data_GetAsNumber(data, &err), &err);
}

// Every test starts from a clean host: no registrations, no armed failures, default locale.
class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_set_locale("default");
    }
    void TearDown() override {
        fmhost_reset();
        fmhost_set_locale("default");
    }
};

}  // namespace hosttest
