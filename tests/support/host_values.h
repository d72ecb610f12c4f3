// Host values built and read through the host library, as the host hands them to the plug-in:
// texts, numbers and containers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "stand_in/fmhost.h"
#include "tests/support/streams.h"

namespace plotwise::support {

// A fresh error record for one host call (one per thread).
FMX_Error* err();

void setText(FMX_Data* data, std::string_view utf8);
void setNumber(FMX_Data* data, double n);
// The UTF-8 bytes of a host text.
std::string textOf(const FMX_Text* text);

// Date-time seconds since 0001-01-01, which the host exchanges as fixed-point numbers.
int64_t secondsSinceEpoch(const FMX_DateTime* dateTime);
int64_t secondsSinceMidnight(const FMX_DateTime* dateTime);
void setSecondsSinceEpoch(FMX_DateTime* dateTime, int64_t seconds);

// Adds one stream to a container (a type code shorter than four characters is padded with
// blanks); returns the host's error code.
int32_t addStream(FMX_BinaryData* binary, std::string_view type, const void* bytes, std::size_t size);

template <typename Bytes>
void addStreams(FMX_BinaryData* binary, const BasicStreams<Bytes>& streams) {
    for (const auto& [type, bytes] : streams) addStream(binary, type, bytes.data(), bytes.size());
}

template <typename Bytes = std::string>
BasicStreams<Bytes> streamsOf(const FMX_BinaryData* binary) {
    BasicStreams<Bytes> streams;
    if (binary == nullptr) return streams;
    const int32_t count = FM_BinaryData_GetCount(binary, err());
    for (int32_t i = 0; i < count; ++i) {
        char type[4] = {};
        FM_BinaryData_GetType(binary, i, type, err());
        Bytes bytes(FM_BinaryData_GetSize(binary, i, err()), 0);
        if (!bytes.empty()) {
            FM_BinaryData_GetData(binary, i, 0, static_cast<uint32_t>(bytes.size()), bytes.data(), err());
        }
        streams.emplace_back(std::string(type, 4), std::move(bytes));
    }
    return streams;
}

}  // namespace plotwise::support
