// Fixed-point numbers: truncation toward zero, saturation, and the precision they keep.
#include <cmath>
#include <limits>

#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

class NumberTest : public HostTest {};

int32_t asLong(double value) {
    FMX_Error err{1, 0};
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, &err);
    FM_FixPt_AssignDouble(number, value, &err);
    const int32_t result = FM_FixPt_AsLong(number, &err);
    EXPECT_EQ(err.code, 0);
    FM_FixPt_Delete(number, &err);
    return result;
}

TEST_F(NumberTest, AsLongTruncatesTowardZeroAndSaturates) {
    const std::pair<double, int32_t> cases[] = {
        {0.0, 0},
        {2.9, 2},
        {-2.9, -2},
        {-0.5, 0},
        {-1.0, -1},
        {2147483647.0, 2147483647},
        {2147483647.9, 2147483647},
        {2147483648.0, 2147483647},
        {1e30, 2147483647},
        {-2147483648.0, -2147483647 - 1},
        {-2147483648.9, -2147483647 - 1},
        {-1e30, -2147483647 - 1},
        {std::numeric_limits<double>::infinity(), 2147483647},
        {-std::numeric_limits<double>::infinity(), -2147483647 - 1},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [value, expected] : cases) EXPECT_EQ(asLong(value), expected) << value;
}

// 64-bit integers (date-time seconds) go in and come out whole; AsLong64 truncates toward zero
// and saturates.
TEST_F(NumberTest, SixtyFourBitIntegersRoundTripAndSaturate) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max(), kMin = std::numeric_limits<int64_t>::min();
    FMX_Error err{1, 0};
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, &err);
    for (const int64_t value : {int64_t{0}, int64_t{-1}, (int64_t{1} << 53) + 1, int64_t{315537897599}, kMax, kMin}) {
        FM_FixPt_AssignInt64(number, value, &err);
        EXPECT_EQ(FM_FixPt_AsLong64(number, &err), value);
    }
    const std::pair<double, int64_t> cases[] = {{-2.9, -2}, {9.3e18, kMax}, {-9.3e18, kMin}, {1e300, kMax}};
    for (const auto& [value, expected] : cases) {
        FM_FixPt_AssignDouble(number, value, &err);
        EXPECT_EQ(FM_FixPt_AsLong64(number, &err), expected) << value;
    }
    EXPECT_EQ(err.code, 0);
    FM_FixPt_Delete(number, &err);
}

TEST_F(NumberTest, ConstructorAndAssignInt) {
    FMX_Error err{1, 0};
    FMX_FixPt* number = FM_FixPt_Constructor1(-17, 16, &err);
    EXPECT_EQ(FM_FixPt_AsLong(number, &err), -17);
    EXPECT_EQ(FM_FixPt_AsFloat(number, &err), -17.0);
    FM_FixPt_AssignInt(number, std::numeric_limits<int32_t>::min(), &err);
    EXPECT_EQ(FM_FixPt_AsLong(number, &err), std::numeric_limits<int32_t>::min());
    FM_FixPt_Delete(number, &err);
    EXPECT_EQ(err.code, 0);
}

// A text of sixteen significant digits survives the trip through a number value.
TEST_F(NumberTest, SixteenSignificantDigitsSurvive) {
    const char* texts[] = {"9999999999999999", "0.1234567890123456", "-98765.43210987654", "1234567.000000001"};
    for (const char* text : texts) {
        DataHandle value;
        setText(value.data, text, kFMX_Number);
        EXPECT_EQ(textOf(value.data), text);
    }
}

TEST_F(NumberTest, MissingNumberIsAFailure) {
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_FixPt_AsLong(nullptr, &err), 0);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
}

}  // namespace
