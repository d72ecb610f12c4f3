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

// The streams with those of type `type` cut to `size` bytes, or left out when `size` is
// negative: containers that lack a stream or hold a short one.
inline Streams cutStream(const Streams& streams, std::string_view type, long size) {
    Streams out;
    for (const auto& [code, bytes] : streams) {
        if (code != type) out.emplace_back(code, bytes);
        else if (size >= 0) out.emplace_back(code, bytes.substr(0, static_cast<std::size_t>(size)));
    }
    return out;
}

}  // namespace plotwise::support
