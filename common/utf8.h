// UTF-8 in one place: the length of a sequence, a character decoded, one encoded, a text cut at
// a character boundary. Texts come from scripts, records and stored containers and may hold
// bytes that are not UTF-8; each reader says what such a byte is to it (the built-in fonts read
// it as Latin-1). Header only, so that every layer, the stand-in and the program may use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plotwise::utf8 {

// A byte that continues a sequence, never starts a character.
constexpr bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
constexpr bool isContinuation(char byte) { return isContinuation(static_cast<unsigned char>(byte)); }

// The bytes of the valid sequence starting at text[i], 0 when none starts there: a stray
// continuation byte, a sequence cut short, an overlong form, a surrogate, a value past U+10FFFF.
// `code` gets the character of a valid sequence.
constexpr std::size_t sequence(std::string_view text, std::size_t i, char32_t& code) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuation(byte(i + k))) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    constexpr char32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    code = c;
    return length;
}

constexpr std::size_t sequenceLength(std::string_view text, std::size_t i) {
    char32_t code = 0;
    return sequence(text, i, code);
}

// The character at text[i] and, through `taken`, its bytes; a byte that starts no valid
// sequence stands for itself (Latin-1) and takes one byte.
constexpr char32_t decode(std::string_view text, std::size_t i, std::size_t& taken) {
    char32_t code = 0;
    taken = sequence(text, i, code);
    if (taken != 0) return code;
    taken = 1;
    return static_cast<unsigned char>(text[i]);
}

// Appends the UTF-8 bytes of one character (at most U+10FFFF).
inline void append(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
        return;
    }
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    constexpr unsigned char kLead[5] = {0, 0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[length] | (code >> (6 * (length - 1))));
    for (int k = length - 2; k >= 0; --k) out += static_cast<char>(0x80 | ((code >> (6 * k)) & 0x3F));
}

// The bytes of the first `bytes` of `text` that end at a character boundary: a cut never ends
// inside a sequence (it backs up over continuation bytes).
constexpr std::size_t cutLength(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text.size();
    std::size_t n = bytes;
    while (n > 0 && isContinuation(text[n])) --n;
    return n;
}
constexpr std::string_view cut(std::string_view text, std::size_t bytes) { return text.substr(0, cutLength(text, bytes)); }

}  // namespace plotwise::utf8
