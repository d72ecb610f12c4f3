// The streams of a fuzz input taken as a stored container: a container file ("PWCF", version,
// count, then type, length and bytes per stream), or, for bytes that are no well-formed
// container file, streams framed leniently: a type code, a little-endian length (cut to what
// is left) and the bytes, after the file header if any.
// Also the encoding of the working definition, which both container targets compare.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "app/container_file.h"
#include "definition/codec.h"
#include "tests/support/plugin_calls.h"
#include "tests/support/working_set.h"

namespace plotwise::fuzz {

inline support::Streams frameLeniently(const uint8_t* data, size_t size) {
    support::Streams streams;
    size_t at = (size >= 4 && std::memcmp(data, "PWCF", 4) == 0) ? std::min<size_t>(size, 12) : 0;
    while (size - at >= 8) {
        std::string type(reinterpret_cast<const char*>(data + at), 4);
        uint32_t length = 0;
        std::memcpy(&length, data + at + 4, 4);
        at += 8;
        const size_t take = std::min<size_t>(length, size - at);
        streams.emplace_back(std::move(type), std::string(reinterpret_cast<const char*>(data + at), take));
        at += take;
    }
    return streams;
}

inline support::Streams containerStreams(const uint8_t* data, size_t size) {
    support::Streams streams;
    try {
        const auto file = app::decodeContainerFile(std::string_view(reinterpret_cast<const char*>(data), size));
        for (const auto& s : file) streams.emplace_back(s.typeName(), std::string(s.bytes.begin(), s.bytes.end()));
    } catch (const app::ContainerFileError&) {
        streams = frameLeniently(data, size);
    }
    return streams;
}

// The streams the working definition encodes to; a failed encoding is a finding.
inline support::Streams encodeWorking() {
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(support::err());
    if (encodeDefinition(testWorkingSet(), binary) != 0) std::abort();
    support::Streams streams = support::streamsOf(binary);
    FM_BinaryData_Delete(binary, support::err());
    return streams;
}

}  // namespace plotwise::fuzz
