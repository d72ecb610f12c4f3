// Takes typed values off the front of a fuzz input, so that one byte string drives a whole
// call: small numbers, floats and doubles (all bit patterns, NaN and infinities included),
// texts and byte runs. Once the input is used up every value reads as zero or empty, so any
// input, however short, makes a complete call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace plotwise::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return size_ == 0; }
    std::size_t remaining() const { return size_; }

    uint8_t byte() {
        if (size_ == 0) return 0;
        const uint8_t b = *data_;
        ++data_;
        --size_;
        return b;
    }
    bool flag() { return (byte() & 1) != 0; }

    template <typename T>
    T raw() {
        T value{};
        const std::size_t n = size_ < sizeof value ? size_ : sizeof value;
        if (n > 0) std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }

    // A value in [low, high], from as few bytes as the span needs.
    int64_t range(int64_t low, int64_t high) {
        if (high <= low) return low;
        const uint64_t span = static_cast<uint64_t>(high - low);
        uint64_t value = 0;
        for (uint64_t reach = 0; reach < span && size_ > 0; reach = (reach << 8) | 0xFF) value = (value << 8) | byte();
        if (span != UINT64_MAX) value %= span + 1;
        return low + static_cast<int64_t>(value);
    }

    // A text of at most `limit` bytes: a length byte (or two) then the bytes.
    std::string text(std::size_t limit = 255) {
        std::size_t length = byte();
        if (length == 255 && limit > 255) length = static_cast<std::size_t>(range(0, static_cast<int64_t>(limit)));
        if (length > limit) length = limit;
        return std::string(bytes(length));
    }

    // Up to `n` bytes as they stand.
    std::string_view bytes(std::size_t n) {
        if (n > size_) n = size_;
        std::string_view view(reinterpret_cast<const char*>(data_), n);
        data_ += n;
        size_ -= n;
        return view;
    }

    // Everything left.
    std::string_view rest() { return bytes(size_); }

    // A float that is often one of the values that matter to charts, else any bit pattern.
    float chartFloat() {
        static constexpr float kSpecial[] = {
            0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 100.0f, 1e6f, 1e-6f,
            -3.4028235e38f,          // missing value
            -1.7014117e38f,          // to be interpolated
            3.4028235e38f,           // automatic minimum
            __builtin_inff(), -__builtin_inff(), __builtin_nanf(""), 1e38f, -1e38f,
        };
        const uint8_t choice = byte();
        if (choice < 2 * std::size(kSpecial)) return kSpecial[choice % std::size(kSpecial)];
        if (choice < 200) return static_cast<float>(static_cast<int16_t>(raw<uint16_t>()));
        return raw<float>();
    }

private:
    const uint8_t* data_;
    std::size_t size_;
};

}  // namespace plotwise::fuzz
