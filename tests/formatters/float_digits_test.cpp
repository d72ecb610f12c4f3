// Labels of single-precision values: no more digits than a float holds.
#include <string>

#include <gtest/gtest.h>

#include "engine/format/float_digits.h"

namespace plotwise {
namespace {

TEST(FloatDigits, LabelsShowSevenSignificantDigits) {
    struct Case {
        float value;
        int decimals;
        const char* fixed;     // print_float_value
        const char* as_given;  // print_value_as_given
    } cases[] = {
        {123456789.0f, 1, "123456800", "123456800"},  // stored as 123456792
        {4.25e9f, 1, "4250000000", "4250000000"},     // stored as 4249999872
        {-21333334016.0f, 0, "-21333330000", "-21333330000"},
        {1234567.5f, 1, "1234568", "1234568"},         // the decimal is an 8th digit
        {2182.1f, 1, "2182.1", "2182.1"},
        {12.0f, 1, "12.0", "12"},
        {0.25f, 0, "0", "0.25"},
        {0.1f, 3, "0.100", "0.1"},
        {-2.5f, 2, "-2.50", "-2.5"},
        {1e-5f, 3, "0.000", "0.00001"},
        {0.0f, 2, "0.00", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(print_float_value(c.value, c.decimals), c.fixed);
        EXPECT_EQ(print_value_as_given(c.value), c.as_given);
    }
}

}  // namespace
}  // namespace plotwise
