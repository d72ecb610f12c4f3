// The plain rule for filling a fixed-size text field, written out for comparison: keep the text
// up to its first zero byte, cut it to the field less one byte, step back out of a character
// cut in half, zero-fill the rest.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

namespace plotwise {

inline std::vector<char> plainRule(std::string_view text, std::size_t fieldSize) {
    std::vector<char> field(fieldSize, '\0');
    const std::size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    std::size_t length = text.size();
    if (length > fieldSize - 1) {
        length = fieldSize - 1;
        std::size_t cut = length;
        auto continuation = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80; };
        for (int step = 0; step < 3 && cut > 0 && continuation(cut); ++step) --cut;
        if (!continuation(cut)) length = cut;
    }
    std::memcpy(field.data(), text.data(), length);
    return field;
}

}  // namespace plotwise
