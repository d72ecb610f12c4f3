// Host values for the definition tests, built and read through the host library directly:
// containers with chosen streams, argument lists, and the result of a calculation function.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "definition/chart_definition.h"
#include "frame/call_record.h"
#include "host/fmhost.h"

namespace plotwise::testing {

inline FMX_Error* noError() {
    static FMX_Error err;
    err = FMX_Error{1, 0};
    return &err;
}

inline std::vector<uint8_t> bytesOf(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}
inline std::vector<uint8_t> bytesOf(const std::string& text) { return bytesOf(std::string_view(text)); }
inline std::vector<uint8_t> bytesOf(const char* text) { return bytesOf(std::string_view(text)); }

template <typename T>
std::vector<uint8_t> bytesOf(const T& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof(T));
}

// A container owned by the test.
class Container {
public:
    Container() : binary_(FM_BinaryData_Constructor1(noError())) {}
    ~Container() { FM_BinaryData_Delete(binary_, noError()); }
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    Container& add(const char code[4], const std::vector<uint8_t>& bytes) {
        FMX_QuadChar* type = FM_QuadChar_Constructor2(code[0], code[1], code[2], code[3], noError());
        static const uint8_t none = 0;
        EXPECT_EQ(FM_BinaryData_Add(binary_, type, static_cast<uint32_t>(bytes.size()),
                                    bytes.empty() ? &none : bytes.data(), noError()),
                  0);
        FM_QuadChar_Delete(type, noError());
        return *this;
    }
    FMX_BinaryData* get() { return binary_; }
    const FMX_BinaryData* get() const { return binary_; }

private:
    FMX_BinaryData* binary_;
};

// The streams of a container, in order: type code and bytes.
using Stream = std::pair<std::string, std::vector<uint8_t>>;

inline std::vector<Stream> streamsOf(const FMX_BinaryData* binary) {
    std::vector<Stream> streams;
    const int32_t count = FM_BinaryData_GetCount(binary, noError());
    for (int32_t i = 0; i < count; ++i) {
        char type[4];
        FM_BinaryData_GetType(binary, i, type, noError());
        std::vector<uint8_t> bytes(FM_BinaryData_GetSize(binary, i, noError()));
        if (!bytes.empty()) {
            FM_BinaryData_GetData(binary, i, 0, static_cast<uint32_t>(bytes.size()), bytes.data(), noError());
        }
        streams.emplace_back(std::string(type, 4), std::move(bytes));
    }
    return streams;
}

inline std::vector<std::string> codesOf(const std::vector<Stream>& streams) {
    std::vector<std::string> codes;
    for (const auto& stream : streams) codes.push_back(stream.first);
    return codes;
}

// The bytes of the first stream with that code; fails the test when there is none.
inline std::vector<uint8_t> streamBytes(const std::vector<Stream>& streams, std::string_view code) {
    for (const auto& stream : streams) {
        if (stream.first == code) return stream.second;
    }
    ADD_FAILURE() << "no stream " << code;
    return {};
}

// Rebuilds a container from streams.
inline void fill(Container& container, const std::vector<Stream>& streams) {
    for (const auto& stream : streams) container.add(stream.first.c_str(), stream.second);
}

// A data value owned by the test.
class Value {
public:
    Value() : data_(FM_Data_Constructor1(noError())) {}
    ~Value() { FM_Data_Delete(data_, noError()); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    static void setText(FMX_Data* data, std::string_view utf8) {
        FMX_Text* text = FM_Text_Constructor1(noError());
        const std::string s(utf8);
        FM_Text_Assign(text, s.c_str(), kFMX_EncodingNative, noError());
        FMX_Locale* locale = FM_Locale_Constructor1(1, noError());
        FM_Data_SetAsText(data, text, locale, kFMX_Text, noError());
        FM_Locale_Delete(locale, noError());
        FM_Text_Delete(text, noError());
    }
    Value& text(std::string_view utf8) {
        setText(data_, utf8);
        return *this;
    }
    Value& number(double n) {
        FMX_FixPt* fixed = FM_FixPt_Constructor1(0, 16, noError());
        FM_FixPt_AssignDouble(fixed, n, noError());
        FM_Data_SetAsNumber(data_, fixed, kFMX_Number, noError());
        FM_FixPt_Delete(fixed, noError());
        return *this;
    }
    Value& container(const Container& binary) {
        FM_Data_SetBinaryData(data_, binary.get(), 1, noError());
        return *this;
    }

    FMX_Data* get() { return data_; }
    int32_t type() const { return FM_Data_GetNativeType(data_, noError()); }
    std::string asText() const {
        const FMX_Text* text = FM_Data_GetAsText(data_, noError());
        std::vector<char> buffer(FM_Text_GetSize(text, noError()) * 3 + 1);
        FM_Text_GetBytes(text, buffer.data(), static_cast<uint32_t>(buffer.size()), 0, 0xFFFFFFFFu,
                         kFMX_EncodingUTF8, noError());
        return std::string(buffer.data());
    }
    double asNumber() const { return FM_FixPt_AsFloat(FM_Data_GetAsNumber(data_, noError()), noError()); }
    std::vector<Stream> streams() const { return streamsOf(FM_Data_GetBinaryData(data_, noError())); }

private:
    FMX_Data* data_;
};

// An argument list; values are copied in.
class Args {
public:
    Args() : vect_(FM_DataVect_Constructor1(noError())) {}
    ~Args() { FM_DataVect_Delete(vect_, noError()); }
    Args(const Args&) = delete;
    Args& operator=(const Args&) = delete;

    Args& text(std::string_view utf8) {
        Value value;
        value.text(utf8);
        return push(value);
    }
    Args& number(double n) {
        Value value;
        value.number(n);
        return push(value);
    }
    Args& container(const Container& binary) {
        Value value;
        value.container(binary);
        return push(value);
    }
    Args& push(Value& value) {
        FM_DataVect_PushBack(vect_, value.get(), noError());
        return *this;
    }
    const FMX_DataVect* get() const { return vect_; }

private:
    FMX_DataVect* vect_;
};

// Test set-up shared by the definition tests: a clean host stand-in with a call record whose
// memory callbacks stage the streams, and an all-zero working definition.
class DefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        record_ = FMX_ExternCallStruct{};
        fmhost_init_call_record(&record_);
        storeCallRecord(&record_);
        std::memset(&workingDefinition(), 0, sizeof(ChartDefinition));
    }
    void TearDown() override {
        fmhost_reset();
        EXPECT_EQ(fmhost_live_handles(), 0) << "a host memory block was not disposed of";
        storeCallRecord(nullptr);
    }

private:
    FMX_ExternCallStruct record_{};
};

}  // namespace plotwise::testing
