// UTF-8 in one place: sequences, decoding, encoding and cutting, each against a table worked
// out by hand, and the decoder against the encoder over every character.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace plotwise {
namespace {

TEST(Utf8, SequencesValidAndNot) {
    struct Case {
        std::string_view bytes;
        std::size_t length;  // 0: no valid sequence starts there
        char32_t code;
    } cases[] = {
        {"A", 1, 'A'},
        {"\xC3\x96", 2, 0xD6},             // Ö
        {"\xE2\x82\xAC", 3, 0x20AC},       // €
        {"\xF0\x9F\x98\x80", 4, 0x1F600},  // an emoji
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\x80", 0, 0},                    // a stray continuation byte
        {"\xC3", 0, 0},                    // cut short
        {"\xC3" "A", 0, 0},                // not continued
        {"\xC0\xAF", 0, 0},                // overlong "/"
        {"\xE0\x80\xAF", 0, 0},            // overlong, three bytes
        {"\xF0\x80\x80\xAF", 0, 0},        // overlong, four bytes
        {"\xED\xA0\x80", 0, 0},            // a surrogate
        {"\xF4\x90\x80\x80", 0, 0},        // past U+10FFFF
        {"\xF5\x80\x80\x80", 0, 0},
        {"\xFF", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.bytes)));
        char32_t code = 0;
        EXPECT_EQ(utf8::sequence(c.bytes, 0, code), c.length);
        if (c.length != 0) {
            EXPECT_EQ(static_cast<uint32_t>(code), static_cast<uint32_t>(c.code));
        }
        // The decoder reads what starts no sequence as one Latin-1 byte.
        std::size_t taken = 0;
        const char32_t decoded = utf8::decode(c.bytes, 0, taken);
        EXPECT_EQ(taken, c.length == 0 ? 1 : c.length);
        EXPECT_EQ(static_cast<uint32_t>(decoded),
                  c.length == 0 ? static_cast<unsigned char>(c.bytes[0]) : static_cast<uint32_t>(c.code));
    }
}

// Every character, encoded and read back; surrogates are no characters.
TEST(Utf8, EveryCharacterRoundTrips) {
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) continue;
        std::string bytes;
        utf8::append(bytes, code);
        const std::size_t expected = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        ASSERT_EQ(bytes.size(), expected) << static_cast<uint32_t>(code);
        std::size_t taken = 0;
        ASSERT_EQ(static_cast<uint32_t>(utf8::decode(bytes, 0, taken)), static_cast<uint32_t>(code));
        ASSERT_EQ(taken, expected);
    }
}

TEST(Utf8, CutsEndOnACharacter) {
    const std::string text = "ab\xC3\x96\xE2\x82\xAC";  // a b Ö €
    const struct {
        std::size_t bytes;
        const char* prefix;
    } cases[] = {{0, ""}, {2, "ab"}, {3, "ab"}, {4, "ab\xC3\x96"}, {5, "ab\xC3\x96"}, {6, "ab\xC3\x96"}, {7, text.c_str()}, {99, text.c_str()}};
    for (const auto& c : cases) EXPECT_EQ(utf8::cut(text, c.bytes), c.prefix) << c.bytes;
}

}  // namespace
}  // namespace plotwise
