// Numbers in the "C" locale's form: the reader against strtod in the "C" locale over a table
// and over seeded random texts, and printf formats written with a decimal point whatever the
// process's locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "common/c_number.h"

namespace plotwise {
namespace {

// strtod as the "C" locale reads, the reference the reader must equal.
double referenceRead(const std::string& text, std::size_t& used) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    const double value = strtod_l(text.c_str(), &end, c);
    used = static_cast<std::size_t>(end - text.c_str());
    return value;
}

void expectAsStrtod(const std::string& text) {
    std::size_t used = 0, expectedUsed = 0;
    const double value = c_number::read(text, &used);
    const double expected = referenceRead(text, expectedUsed);
    EXPECT_EQ(used, expectedUsed) << "\"" << text << "\"";
    if (std::isnan(expected)) EXPECT_TRUE(std::isnan(value)) << text;
    else EXPECT_EQ(value, expected) << "\"" << text << "\"";
}

TEST(CNumber, ReadsAsStrtodInTheCLocale) {
    for (const char* text : {"", " ", "1", "-1.5", "+2.25", " \t\n12", "1e3", "1E-2", "1e", "1e+", ".5", "5.", ".",
                             "-", "+-1", "--1", "1,5", "0x1F", "0x", "0x-1", "0X1p3", "inf", "-Infinity", "nan",
                             "1e400", "-1e400", "1e-400", "4.9e-324", "1.7976931348623157e308", "12abc", "1.2.3",
                             "007", "1e3.5", "0x1.8p1"})
        expectAsStrtod(text);
}

TEST(CNumber, SeededTextsReadAsStrtod) {
    std::mt19937 random(20261208);
    const std::string alphabet = "0123456789+-.eEx pP";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const int length = static_cast<int>(random() % 12);
        for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
        expectAsStrtod(text);
    }
}

TEST(CNumber, PrintfFormatsWriteAPointInAnyLocale) {
    char before[32], inside[32], after[32];
    std::snprintf(before, sizeof before, "%.1f", 1.5);  // "1,5" in a German run
    {
        const c_number::CNumbers cNumbers;
        std::snprintf(inside, sizeof inside, "%.2f", 1.5);
    }
    std::snprintf(after, sizeof after, "%.1f", 1.5);
    EXPECT_STREQ(inside, "1.50");
    EXPECT_STREQ(after, before);  // the thread's own locale is back
}

}  // namespace
}  // namespace plotwise
