// Fixed-size text fields are filled by looking at no more of the text than the field can take:
// the text up to its first zero byte, cut to the field less one byte, stepped back out of a
// character cut in half, the rest zero-filled. Every case below is worked out by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "definition/codec.h"

namespace plotwise {
namespace {

std::string repeat(std::string_view piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(TextField, KeepsWholeCharactersUpToTheFieldLessOneByte) {
    using namespace std::string_literals;
    const std::string euro = "\xE2\x82\xAC";      // three bytes
    const std::string clef = "\xF0\x9D\x84\x9E";  // four bytes
    const struct {
        std::size_t size;
        std::string text, kept;
    } cases[] = {
        {1, "Jan", ""},
        {2, euro, ""},                                        // cut after its first byte
        {4, "", ""},
        {4, "Jan", "Jan"},
        {4, "ab\0cd"s, "ab"},                                 // up to the first zero byte
        {4, "abcd", "abc"},
        {4, "ab" + euro, "ab"},                               // cut after two of its bytes
        {4, "a" + euro, "a"},                                 // cut after its last byte but one
        {4, euro + "x", euro},                                // ends at the cut: kept whole
        {4, "\x80\x80\x80\x80\x80", "\x80\x80\x80"},          // no character start: cut plainly
        {32, repeat("x", 31), repeat("x", 31)},
        {32, repeat("x", 32), repeat("x", 31)},
        {32, repeat("x", 31) + "\0tail"s, repeat("x", 31)},   // zero at the last byte kept
        {32, repeat("x", 32) + "\0tail"s, repeat("x", 31)},   // zero just past it
        {32, repeat("x", 30) + euro, repeat("x", 30)},
        {32, repeat("x", 29) + euro + "y", repeat("x", 29)},
        {32, repeat("x", 28) + clef + "yy", repeat("x", 28)},
        {32, repeat(euro, 20), repeat(euro, 10)},             // 30 bytes
        {32, repeat(clef, 20), repeat(clef, 7)},              // 28 bytes: three steps back
        {32, repeat("\x80", 44), repeat("\x80", 31)},
        {256, repeat("y", 300) + "\0"s, repeat("y", 255)},
    };
    for (const auto& c : cases) {
        std::vector<char> field(c.size, '\x55');
        copyText(field.data(), c.size, c.text);
        std::vector<char> expected(c.size, '\0');
        std::memcpy(expected.data(), c.kept.data(), c.kept.size());
        EXPECT_EQ(field, expected) << "size " << c.size << ", text of " << c.text.size() << " bytes";
    }
}

}  // namespace
}  // namespace plotwise
