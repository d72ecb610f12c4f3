// The streams of a container as tests hold them: type code and bytes, in the container's order.
// The bytes are a std::string by default; tests that build streams from records hold them as
// std::vector<uint8_t>.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plotwise::support {

template <typename Bytes>
using BasicStreams = std::vector<std::pair<std::string, Bytes>>;
using Streams = BasicStreams<std::string>;

// The bytes of the first stream of that type; null when there is none.
template <typename Bytes>
const Bytes* findStream(const BasicStreams<Bytes>& streams, std::string_view type) {
    for (const auto& stream : streams) {
        if (stream.first == type) return &stream.second;
    }
    return nullptr;
}

}  // namespace plotwise::support
