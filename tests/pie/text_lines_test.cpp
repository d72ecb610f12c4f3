// Texts cut into lines: own line breaks, breaks at blanks, shortening on character boundaries.
// Widths are counted as 6 pixels a character (UTF-8 sequences count once), as the built-in
// small font draws them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/text/text_lines.h"

namespace plotwise {
namespace {

int six_per_character(const std::string& s) {
    int n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return 6 * n;
}

using Lines = std::vector<std::string>;

TEST(TextLines, SplitAtEveryKindOfBreak) {
    const struct {
        const char* text;
        Lines lines;
    } cases[] = {
        {"", {""}},
        {"one", {"one"}},
        {"a\rb", {"a", "b"}},
        {"a\nb\r\nc", {"a", "b", "c"}},
        {"a\r\rb\n", {"a", "", "b", ""}},  // an empty line keeps its place
    };
    for (const auto& c : cases) EXPECT_EQ(split_lines(c.text), c.lines) << c.text;
}

TEST(TextLines, FitWithinTheRoom) {
    const struct {
        const char* text;
        int room;  // pixels: 6 a character
        Lines lines;
    } cases[] = {
        {"Sales by region", 90, {"Sales by region"}},            // exactly fits
        {"Sales by region", 84, {"Sales by", "region"}},          // a pixel short: breaks at the blank
        {"Sales  by region", 60, {"Sales by", "region"}},         // a broken line's blanks join as one
        {"Sales\rby region", 90, {"Sales", "by region"}},          // own breaks first
        {"Quarterly", 36, {"Qua..."}},                             // a word too wide is shortened
        {"a Quarterly b", 35, {"a", "Qu...", "b"}},
        {"\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C", 18, {"..."}},          // nothing fits beside the mark
        {"\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C\xC3\x9C", 29, {"\xC3\x9C..."}},  // whole characters kept
        {"abc", 12, {""}},                                         // not even the mark fits
    };
    for (const auto& c : cases) EXPECT_EQ(fit_lines(c.text, c.room, kDots, six_per_character), c.lines) << c.text << " in " << c.room;
}

}  // namespace
}  // namespace plotwise
