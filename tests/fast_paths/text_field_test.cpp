// Fixed-size text fields are filled by looking at no more of the text than the field can take;
// they must come out as the plain rule fills them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "definition/codec.h"
#include "tests/fast_paths/plain_rule.h"

namespace plotwise {
namespace {

std::string repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(TextField, FillsAsThePlainRule) {
    using namespace std::string_literals;
    const std::string euro = "\xE2\x82\xAC";        // three bytes
    const std::string clef = "\xF0\x9D\x84\x9E";    // four bytes
    const std::vector<std::string> texts = {
        "",
        "Jan",
        "ab\0cd"s,
        repeat("x", 31),
        repeat("x", 32),
        repeat("x", 33),
        repeat("x", 31) + "\0tail"s,              // zero at the last byte the field keeps
        repeat("x", 32) + "\0tail"s,              // zero just past it
        repeat("x", 40) + "\0tail"s,              // zero far past it
        repeat("x", 30) + euro,                   // a character across the cut
        repeat("x", 29) + euro + "y",
        repeat("x", 28) + clef + "yy",
        repeat(euro, 20),
        repeat(clef, 20),
        "\x80\x80\x80\x80" + repeat("\x80", 40),  // no character start at all
        repeat("y", 300) + "\0"s,
    };
    for (std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{4}, std::size_t{32}, std::size_t{256}}) {
        for (const std::string& text : texts) {
            std::vector<char> field(size, '\x55');
            copyText(field.data(), size, text);
            EXPECT_EQ(field, plainRule(text, size)) << "size " << size << ", text of " << text.size() << " bytes";
        }
    }
}

}  // namespace
}  // namespace plotwise
