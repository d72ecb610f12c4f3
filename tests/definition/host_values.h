// Host values for the definition tests, owned by the test and built and read with the shared
// host-value helpers: containers with chosen streams, argument lists, and the result of a
// calculation function.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "definition/chart_definition.h"
#include "stand_in/fmhost.h"
#include "tests/support/host_values.h"
#include "tests/support/working_set.h"
#include "tests/support/plugin_calls.h"

namespace plotwise::testing {

using support::err;

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
    Container() : binary_(FM_BinaryData_Constructor1(err())) {}
    ~Container() { FM_BinaryData_Delete(binary_, err()); }
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;

    Container& add(const char code[4], const std::vector<uint8_t>& bytes) {
        EXPECT_EQ(support::addStream(binary_, std::string_view(code, 4), bytes.data(), bytes.size()), 0);
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
    return support::streamsOf<std::vector<uint8_t>>(binary);
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
    Value() : data_(FM_Data_Constructor1(err())) {}
    ~Value() { FM_Data_Delete(data_, err()); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    Value& text(std::string_view utf8) {
        support::setText(data_, utf8);
        return *this;
    }
    Value& number(double n) {
        support::setNumber(data_, n);
        return *this;
    }
    Value& container(const Container& binary) {
        FM_Data_SetBinaryData(data_, binary.get(), true, err());
        return *this;
    }

    FMX_Data* get() { return data_; }
    int32_t type() const { return FM_Data_GetNativeType(data_, err()); }
    std::string asText() const { return support::textOf(FM_Data_GetAsText(data_, err())); }
    double asNumber() const { return FM_FixPt_AsFloat(FM_Data_GetAsNumber(data_, err()), err()); }
    std::vector<Stream> streams() const { return streamsOf(FM_Data_GetBinaryData(data_, err())); }

private:
    FMX_Data* data_;
};

// An argument list; values are copied in.
class Args {
public:
    Args() : vect_(FM_DataVect_Constructor1(err())) {}
    ~Args() { FM_DataVect_Delete(vect_, err()); }
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
        FM_DataVect_PushBack(vect_, value.get(), err());
        return *this;
    }
    const FMX_DataVect* get() const { return vect_; }

private:
    FMX_DataVect* vect_;
};

// Test set-up shared by the definition tests: a clean host stand-in whose failure injection
// reaches the staging blocks, and an all-zero working definition.
class DefinitionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        support::countStagingAsHostAllocations();
        std::memset(&testDefinition(), 0, sizeof(ChartDefinition));
    }
    void TearDown() override { fmhost_reset(); }
};

}  // namespace plotwise::testing
