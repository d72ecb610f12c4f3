// Whole numbers with power-of-two fractions for automatic y labels.
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/format/fraction_label.h"

namespace plotwise {
namespace {

struct FractionCase {
    float value;
    const char* text;
    int whole, numerator, denominator;
};

TEST(FractionLabel, WholeNumbersAndFractions) {
    const FractionCase cases[] = {
        {2.5f, "2 1/2", 2, 1, 2},
        {0.75f, "0 3/4", 0, 3, 4},
        {3.0f, "3", 3, 0, 0},
        {0.0f, "0", 0, 0, 0},
        {-0.0f, "0", 0, 0, 0},
        {-7.0f, "-7", -7, 0, 0},
        {100.125f, "100 1/8", 100, 1, 8},
        {1.0f / 256, "0 1/256", 0, 1, 256},
        {255.0f / 256, "0 255/256", 0, 255, 256},
        {0.1f, "0.100000", 0, 0, 0},  // no multiple of 1/256
        {1.3f, "1.300000", 0, 0, 0},
        // a negative whole part makes the fraction positive
        {-1.25f, "-1 1/4", -1, 1, 4},
        {-2.75f, "-2 3/4", -2, 3, 4},
        // below zero the sign sits on the numerator
        {-0.5f, "0 -1/2", 0, -1, 2},
        {-0.1f, "0 -25/256", 0, -25, 256},  // a negative residue is truncated
        // within half a 256th of a 256th: that 256th, reduced
        {0.5000038f, "0 1/2", 0, 1, 2},
        {0.4999962f, "0 1/2", 0, 1, 2},
        {0.9999962f, "1", 1, 0, 0},  // rounds up into the next whole number
        {6.9999962f, "7", 7, 0, 0},
    };
    for (const auto& c : cases) {
        int whole = 99, numerator = 99, denominator = 99;
        EXPECT_EQ(fraction_label(c.value, whole, numerator, denominator, nullptr), c.text) << c.value;
        EXPECT_EQ(whole, c.whole) << c.value;
        EXPECT_EQ(numerator, c.numerator) << c.value;
        EXPECT_EQ(denominator, c.denominator) << c.value;
    }
}

TEST(FractionLabel, EveryMultipleOfA256thBetweenMinusTwoAndTwo) {
    for (int k = -512; k <= 512; ++k) {
        const float value = static_cast<float>(k) / 256.0f;
        int whole = 0, numerator = 0, denominator = 0;
        const std::string text = fraction_label(value, whole, numerator, denominator, nullptr);
        EXPECT_EQ(whole, k / 256) << k;
        if (k % 256 == 0) {
            EXPECT_EQ(numerator, 0) << k;
            EXPECT_EQ(denominator, 0) << k;
            EXPECT_EQ(text, std::to_string(k / 256)) << k;
            continue;
        }
        // The parts add up to the value, the fraction is in lowest terms and the sign is right.
        ASSERT_GT(denominator, 1) << k;
        EXPECT_EQ(256 % denominator, 0) << k;
        EXPECT_NE(numerator % 2, 0) << k;
        const float fraction = static_cast<float>(numerator) / static_cast<float>(denominator);
        const float rebuilt = whole < 0 ? static_cast<float>(whole) - fraction : static_cast<float>(whole) + fraction;
        EXPECT_EQ(rebuilt, value) << k;
        EXPECT_EQ(text, std::to_string(whole) + " " + std::to_string(numerator) + "/" + std::to_string(denominator))
            << k;
    }
}

TEST(FractionLabel, WithAFormat) {
    struct Case {
        const char* format;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {"%.2f", 2.5f, "2.50"},
        {"%5.1f%%", 12.25f, " 12.2%"},
        {"%.2e", 2.5f, "2.50e+00"},
        {"%lf", 0.5f, "0.500000"},
        {"%g", 0.75f, "0.75"},
        {"$%-6.1f|", 1.5f, "$1.5   |"},
        {"units", 1.5f, "units"},
        // formats that would read anything but one double are not used as they are
        {"%s", 2.5f, "2.500000"},
        {"%d", 2.5f, "2.500000"},
        {"%f %f", 2.5f, "2.500000"},
        {"%*f", 2.5f, "2.500000"},
        {"%Lf", 2.5f, "2.500000"},
        {"%n", 2.5f, "2.500000"},
        {"50%", 2.5f, "2.500000"},
    };
    for (const auto& c : cases) {
        int whole = 99, numerator = 99, denominator = 99;
        EXPECT_EQ(fraction_label(c.value, whole, numerator, denominator, c.format), c.text) << c.format;
        EXPECT_EQ(whole, 0);
        EXPECT_EQ(numerator, 0);
        EXPECT_EQ(denominator, 0);
    }
    int whole = 0, numerator = 0, denominator = 0;
    EXPECT_EQ(fraction_label(3e38f, whole, numerator, denominator, "%f").size(), 39u + 7u);
}

TEST(FractionLabel, ValuesBeyondAnInt) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {3e9f, "3000000000"},
        {-3e9f, "-3000000000"},
        {2147483648.0f, "2147483648"},
        {-2147483648.0f, "-2147483648"},
        {2147483520.0f, "2147483520"},  // the largest float below 2^31 still has an int
        {std::numeric_limits<float>::infinity(), "inf"},
        {-std::numeric_limits<float>::infinity(), "-inf"},
    };
    for (const auto& c : cases) {
        int whole = 99, numerator = 99, denominator = 99;
        EXPECT_EQ(fraction_label(c.value, whole, numerator, denominator, nullptr), c.text) << c.value;
        EXPECT_EQ(numerator, 0);
        EXPECT_EQ(denominator, 0);
    }
    int whole = 99, numerator = 99, denominator = 99;
    const std::string nan = fraction_label(std::numeric_limits<float>::quiet_NaN(), whole, numerator, denominator, nullptr);
    EXPECT_NE(nan.find("nan"), std::string::npos);
    EXPECT_EQ(whole, 0);
    EXPECT_EQ(numerator, 0);
    EXPECT_EQ(denominator, 0);
}

}  // namespace
}  // namespace plotwise
