// Number patterns and text templates.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/format/label_format.h"

namespace plotwise {
namespace {

struct NumberCase {
    const char* pattern;
    double value;
    const char* expected;
};

TEST(NumberLabel, PatternsFromTheAxisFormat) {
    const NumberCase cases[] = {
        // thousands «,», decimals «.», two places
        {"#,###.##", 1234567.891, "1,234,567.89"},
        {"#,###.##", 0.005, "0.01"},
        {"#,###.##", 999.999, "1,000.00"},
        {"#,###.##", 100, "100.00"},
        // no thousands separator, one place
        {"####.#", 1234567.25, "1234567.2"},  // .25 is exact, printf rounds to even
        {"####.#", 1234567.26, "1234567.3"},
        // prefix and suffix around the number
        {"$#,###.## USD", 1234.5, "$1,234.50 USD"},
        {"$#,###.## USD", -1234.5, "$-1,234.50 USD"},
        // no decimals: the fraction is cut off, not rounded
        {"#,###", 2.5, "2"},
        {"#,###", 2.9, "2"},
        {"#,###", -123456, "-123,456"},
        {"#,###", -12345, "-12,345"},
        {"#,###", -123, "-123"},
        {"#,###", 1000, "1,000"},
        {"#,###", 999, "999"},
        {"#,###", 1234567890123.0, "1,234,567,890,123"},
        // continental: thousands «.», decimals «,»
        {"#.###,##", 1234567.891, "1.234.567,89"},
        {"#.###,##", -0.5, "-0,50"},
        // a decimal separator with no places keeps up to three significant decimals
        {"#,###.", 1.5, "1.5"},
        {"#,###.", 2, "2."},
        {"#,###.", 1234.125, "1,234.125"},
        {"#,###.", 1234.1256, "1,234.126"},
        {"####,", 1.25, "1,25"},
        // no '#': the value with its fraction cut off, no prefix, no suffix
        {"", 1234.9, "1234"},
        {"abc", 1234.9, "1234"},
        {"", -7.5, "-7"},
        // the group is read as «####» and whatever follows it separates the decimals
        {"####x##", 3.14159, "3x14"},
        // a single '#': no separator, no decimals
        {"#", 98765.4, "98765"},
        // a prefix with a '#'-free tail after «#,###» and a decimal separator
        {"EUR #,###,", 1234.75, "EUR 1,234,75"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatNumberLabel(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
    }
}

TEST(NumberLabel, FractionDigitsStayTogether) {
    EXPECT_EQ(formatNumberLabel("#,###.####", 1234.5678), "1,234.5678");
    EXPECT_EQ(formatNumberLabel("#.###,######", 1234567.123456), "1.234.567,123456");
    EXPECT_EQ(formatNumberLabel("#,###.", 0.125), "0.125");
}

TEST(NumberLabel, SignOfZeroIsDropped) {
    // A value that rounds to zero reads "0", never "-0".
    EXPECT_EQ(formatNumberLabel("#,###", -0.0001), "0");
    EXPECT_EQ(formatNumberLabel("#,###.##", -0.001), "0.00");
    EXPECT_EQ(formatNumberLabel("", -0.4), "0");
    EXPECT_EQ(formatNumberLabel("#,###.##", -0.01), "-0.01");
    EXPECT_EQ(formatNumberLabel("#,###", -1.5), "-1");
}

TEST(NumberLabel, MultiByteSeparators) {
    // A non-breaking space and a right single quote are single characters of two and three bytes.
    EXPECT_EQ(formatNumberLabel("#\xC2\xA0###,##", 1234567.5), "1\xC2\xA0" "234\xC2\xA0" "567,50");
    EXPECT_EQ(formatNumberLabel("#\xE2\x80\x99###.##", 1234567.5), "1\xE2\x80\x99" "234\xE2\x80\x99" "567.50");
    // A multi-byte decimal separator followed by places.
    EXPECT_EQ(formatNumberLabel("####\xC2\xB7##", 2.5), "2\xC2\xB7" "50");
    // A stray lead byte counts as one character of its own.
    EXPECT_EQ(formatNumberLabel("#\xC2###", 1234), "1\xC2" "234");
}

TEST(NumberLabel, ValuesWithoutAFiniteTextGiveNoLabel) {
    EXPECT_EQ(formatNumberLabel("#,###", std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(formatNumberLabel("#,###", std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(formatNumberLabel("#,###", -std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(formatNumberLabel("", std::numeric_limits<double>::quiet_NaN()), "");
}

TEST(NumberLabel, VeryLargeValuesAreGroupedWhole) {
    const std::string text = formatNumberLabel("#,###", 1e300);
    // 301 digits in 101 groups.
    ASSERT_EQ(text.size(), 301u + 100u);
    EXPECT_EQ(text[0], '1');
    for (size_t i = 0; i < text.size(); ++i) {
        const bool separator = (text.size() - i) % 4 == 0;
        EXPECT_EQ(text[i] == ',', separator) << i;
    }
    const std::string negative = formatNumberLabel("$#,###.## USD", -1e300);
    EXPECT_EQ(negative.substr(0, 3), "$-1");
    EXPECT_EQ(negative.substr(negative.size() - 7), ".00 USD");
}

TEST(NumberLabel, PatternOfThirtyOneHashes) {
    // «####» then '#' as the decimal separator and 26 places.
    const std::string pattern(31, '#');
    EXPECT_EQ(formatNumberLabel(pattern, 1234.5), "1234#" + std::string("5") + std::string(25, '0'));
    EXPECT_EQ(formatNumberLabel(pattern, -2), "-2#" + std::string(26, '0'));
}

TEST(TextLabel, Templates) {
    struct Case {
        const char* textTemplate;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"Item #", "A", "Item A"},
        {"##", "A", "A#"},
        {"#", "Sales", "Sales"},
        {"(#) units", "12", "(12) units"},
        {"no marker", "A", "A"},
        {"", "A", "A"},
        {"Q#", "", "Q"},
        {"#-#", "x", "x-#"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatTextLabel(c.textTemplate, c.text), c.expected) << c.textTemplate;
    }
    const std::string longText(255, 'z');
    EXPECT_EQ(formatTextLabel("[#]", longText), "[" + longText + "]");
}

}  // namespace
}  // namespace plotwise
