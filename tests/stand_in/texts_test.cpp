// Texts: UTF-8 in and out, character counting in UTF-16 units, cutting, case, find and delete.
#include <cstring>

#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

class TextTest : public HostTest {};

// A text built from UTF-16 units, to compare with what UTF-8 input produced.
struct UnitText : TextHandle {
    explicit UnitText(std::u16string units) {
        FMX_Error err{1, 0};
        FM_Text_AssignUnicode(text, reinterpret_cast<const uint16_t*>(units.c_str()), &err);
    }
};

bool sameUnits(const FMX_Text* a, const FMX_Text* b) {
    FMX_Error err{1, 0};
    return FM_Text_operatorEQ(a, b, &err) != 0;
}

std::string cut(const FMX_Text* text, uint32_t capacity, uint32_t position = 0, uint32_t size = 0xFFFFFFFFu) {
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    FMX_Error err{1, 0};
    FM_Text_GetBytes(text, buffer, capacity, position, size, kFMX_EncodingUTF8, &err);
    EXPECT_EQ(err.code, 0);
    return buffer;
}

struct Utf8Case {
    const char* input;
    std::u16string units;
};

TEST_F(TextTest, Utf8InputBecomesUtf16Units) {
    const Utf8Case cases[] = {
        {"abc", u"abc"},
        {"\xC3\xA9", u"\u00E9"},                        // two bytes
        {"\xE2\x82\xAC", u"\u20AC"},                    // three bytes
        {"\xF0\x9D\x84\x9E", u"\xD834\xDD1E"},          // four bytes: a surrogate pair
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E", u"a\u00E9\u20AC\xD834\xDD1E"},
        {"\xEF\xBF\xBF", u"\uFFFF"},                    // highest three-byte character
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},          // U+10FFFF
    };
    for (const auto& c : cases) {
        TextHandle text(c.input);
        UnitText expected(c.units);
        EXPECT_TRUE(sameUnits(text.text, expected.text)) << c.input;
        EXPECT_EQ(sizeOf(text.text), c.units.size()) << c.input;
        EXPECT_EQ(bytesOf(text.text), c.input);
    }
}

// Encoding 0, the platform's default, is not UTF-8 here: each byte is one ISO 8859-1
// character, and a character it cannot hold comes out as "?".
TEST_F(TextTest, TheDefaultEncodingIsNotUtf8) {
    FMX_Error err{1, 0};
    TextHandle text;
    FM_Text_Assign(text.text, "\xC3\xA9", kFMX_EncodingNative, &err);
    UnitText expected(u"\u00C3\u00A9");
    EXPECT_TRUE(sameUnits(text.text, expected.text));
    UnitText euro(u"\u00E9\u20AC");
    char buffer[8] = {};
    FM_Text_GetBytes(euro.text, buffer, sizeof buffer, 0, 0xFFFFFFFFu, kFMX_EncodingNative, &err);
    EXPECT_STREQ(buffer, "\xE9?");
    EXPECT_EQ(err.code, 0);
}

TEST_F(TextTest, InvalidUtf8BecomesReplacementCharacters) {
    const Utf8Case cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},                      // byte that never starts a character
        {"\xC3", u"\uFFFD"},                             // truncated at the end
        {"\xE2\x82x", u"\uFFFDx"},                       // truncated before an ASCII letter
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                   // overlong slash
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},         // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},         // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\x80" "z", u"\uFFFDz"},                        // stray continuation byte
    };
    for (const auto& c : cases) {
        TextHandle text(c.input);
        UnitText expected(c.units);
        EXPECT_TRUE(sameUnits(text.text, expected.text)) << bytesOf(text.text);
    }
}

TEST_F(TextTest, LoneSurrogatesLeaveAsReplacementCharacter) {
    UnitText text(u"x\xD834y");
    EXPECT_EQ(bytesOf(text.text), "x\xEF\xBF\xBDy");
}

TEST_F(TextTest, GetBytesCutsBetweenCharacters) {
    TextHandle text("a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");  // 1 + 2 + 3 + 4 bytes
    EXPECT_EQ(cut(text.text, 11), "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
    EXPECT_EQ(cut(text.text, 10), "a\xC3\xA9\xE2\x82\xAC");  // the pair would need the zero's place
    EXPECT_EQ(cut(text.text, 7), "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(cut(text.text, 6), "a\xC3\xA9");
    EXPECT_EQ(cut(text.text, 4), "a\xC3\xA9");
    EXPECT_EQ(cut(text.text, 3), "a");
    EXPECT_EQ(cut(text.text, 1), "");
}

TEST_F(TextTest, GetBytesWithNoCapacityWritesNothing) {
    TextHandle text("abc");
    char buffer[4] = {'x', 'y', 'z', '\0'};
    FMX_Error err{1, 0};
    FM_Text_GetBytes(text.text, buffer, 0, 0, 0xFFFFFFFFu, kFMX_EncodingUTF8, &err);
    EXPECT_EQ(err.code, 0);
    EXPECT_STREQ(buffer, "xyz");
}

TEST_F(TextTest, GetBytesOfARange) {
    TextHandle text("a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
    EXPECT_EQ(cut(text.text, 64, 1, 2), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(cut(text.text, 64, 3, 2), "\xF0\x9D\x84\x9E");
    EXPECT_EQ(cut(text.text, 64, 4, 1), "\xEF\xBF\xBD");  // half of a pair
    EXPECT_EQ(cut(text.text, 64, 5, 3), "");             // at the end
    EXPECT_EQ(cut(text.text, 64, 99, 3), "");            // past the end
}

TEST_F(TextTest, LowercaseMapsLatinGreekAndCyrillic) {
    const std::pair<const char*, const char*> cases[] = {
        {"@AZ[`az{", "@az[`az{"},                              // ASCII edges
        {"\xC3\x80\xC3\x89\xC3\x9E\xC3\x97\xC3\x9F", "\xC3\xA0\xC3\xA9\xC3\xBE\xC3\x97\xC3\x9F"},  // À É Þ × ß
        {"\xC4\x80\xC4\x86\xC4\xB9\xC5\x81\xC5\xBD", "\xC4\x81\xC4\x87\xC4\xBA\xC5\x82\xC5\xBE"},  // Ā Ć Ĺ Ł Ž
        {"\xC5\xB8\xC4\xB0", "\xC3\xBFi"},                    // Ÿ İ
        {"\xCE\x91\xCE\xA3\xCE\xA9\xCE\x86\xCE\x8F", "\xCE\xB1\xCF\x83\xCF\x89\xCE\xAC\xCF\x8E"},  // Α Σ Ω Ά Ώ
        {"\xD0\x90\xD0\xAF\xD0\x81\xD1\xA2", "\xD0\xB0\xD1\x8F\xD1\x91\xD1\xA3"},  // А Я Ё Ѣ
        {"\xC3\xA0\xCE\xB1\xD0\xB0 123", "\xC3\xA0\xCE\xB1\xD0\xB0 123"},            // already lower
    };
    for (const auto& [upper, lower] : cases) {
        TextHandle text(upper);
        FMX_Error err{1, 0};
        FM_Text_Lowercase(text.text, &err);
        EXPECT_EQ(err.code, 0);
        EXPECT_EQ(bytesOf(text.text), lower) << upper;
    }
}

TEST_F(TextTest, FindFromAPosition) {
    TextHandle banana("banana");
    TextHandle an("an");
    TextHandle empty("");
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 0, &err), 1u);
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 1, &err), 1u);
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 2, &err), 3u);
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 4, &err), kFMX_TextNotFound);
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 6, &err), kFMX_TextNotFound);
    EXPECT_EQ(FM_Text_Find(banana.text, an.text, 0xFFFFFFF0u, &err), kFMX_TextNotFound);
    EXPECT_EQ(FM_Text_Find(banana.text, empty.text, 0, &err), kFMX_TextNotFound);
    EXPECT_EQ(err.code, 0);

    TextHandle clef("\xF0\x9D\x84\x9E(x");
    TextHandle parenthesis("(");
    EXPECT_EQ(FM_Text_Find(clef.text, parenthesis.text, 0, &err), 2u);  // counted in UTF-16 units
}

TEST_F(TextTest, DeleteTextClampsItsRange) {
    const struct {
        uint32_t position, count;
        const char* left;
    } cases[] = {
        {2, 2, "abef"}, {4, 100, "abcd"}, {6, 1, "abcdef"}, {10, 1, "abcdef"}, {0, 0xFFFFFFFFu, ""}, {0, 0, "abcdef"},
    };
    for (const auto& c : cases) {
        TextHandle text("abcdef");
        FMX_Error err{1, 0};
        FM_Text_DeleteText(text.text, c.position, c.count, &err);
        EXPECT_EQ(err.code, 0);
        EXPECT_EQ(bytesOf(text.text), c.left) << c.position << "," << c.count;
    }
}

TEST_F(TextTest, AppendTakesARangeOfTheOtherText) {
    TextHandle text("ab");
    TextHandle other("cdef");
    FMX_Error err{1, 0};
    FM_Text_AppendText(text.text, other.text, 1, 2, &err);
    EXPECT_EQ(bytesOf(text.text), "abde");
    FM_Text_AppendText(text.text, other.text, 3, 0xFFFFFFFFu, &err);
    EXPECT_EQ(bytesOf(text.text), "abdef");
    FM_Text_AppendText(text.text, other.text, 9, 1, &err);
    EXPECT_EQ(bytesOf(text.text), "abdef");
    FM_Text_AppendText(text.text, text.text, 0, 0xFFFFFFFFu, &err);  // onto itself
    EXPECT_EQ(bytesOf(text.text), "abdefabdef");
    EXPECT_EQ(err.code, 0);
}

TEST_F(TextTest, EqualityIsExact) {
    TextHandle lower("abc"), upper("ABC"), same("abc"), empty1(""), empty2("");
    FMX_Error err{1, 0};
    EXPECT_TRUE(FM_Text_operatorEQ(lower.text, same.text, &err));
    EXPECT_FALSE(FM_Text_operatorEQ(lower.text, upper.text, &err));
    EXPECT_FALSE(FM_Text_operatorEQ(lower.text, empty1.text, &err));
    EXPECT_TRUE(FM_Text_operatorEQ(empty1.text, empty2.text, &err));
}

TEST_F(TextTest, MissingObjectsAreFailuresNotCrashes) {
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_Text_GetSize(nullptr, &err), 0u);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    TextHandle text("abc");
    err.code = 0;
    FM_Text_Assign(text.text, nullptr, kFMX_EncodingUTF8, &err);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    EXPECT_EQ(bytesOf(text.text), "abc");
    err.code = 0;
    FM_Text_GetBytes(text.text, nullptr, 10, 0, 0xFFFFFFFFu, kFMX_EncodingUTF8, &err);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
}

}  // namespace
