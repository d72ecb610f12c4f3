// strftime labels for date parts and for values of seconds.
#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "engine/format/label_format.h"

namespace plotwise {
namespace {

struct ValueCase {
    const char* format;
    double value;
    int kind;
    const char* expected;  // "" for no label
};

TEST(DateValueLabel, TimesDatesAndTimestamps) {
    const ValueCase cases[] = {
        // kind 4: seconds since midnight
        {"%H:%M", 45296, 4, "12:34"},
        {"%H:%M:%S", 45296, 4, "12:34:56"},
        {"%H:%M:%S", 0, 4, "00:00:00"},
        {"%H:%M:%S", 86399, 4, "23:59:59"},
        {"%H:%M:%S", 86399.9, 4, "23:59:59"},
        {"%H:%M:%S", -0.5, 4, "00:00:00"},  // truncates toward zero
        // a duration past a day: %H is the hour of its day, %[H] the whole hours
        {"%H:%M", 86400, 4, "00:00"},
        {"%H:%M", 129600, 4, "12:00"},
        {"%[H]:%M", 129600, 4, "36:00"},
        {"%[H]:%M:%S", 91800, 4, "25:30:00"},
        {"%[H]h", 3600, 4, "01h"},
        {"%[H]", 3599999999.0, 4, "999999"},
        {"%[H]", 3.6e9, 4, ""},
        {"%%[H] %[H]", 7200, 4, "%[H] 02"},
        {"%H:%M", -1, 4, ""},
        {"%H:%M", 1e12, 4, ""},
        {"%Y-%m-%d %H", 3600, 4, "1900-01-01 01"},  // a time keeps the first date
        // kind 3: seconds since 1970-01-01 UTC
        {"%Y-%m-%d", 0, 3, "1970-01-01"},
        {"%Y-%m-%d", -2208988800.0, 3, "1900-01-01"},
        {"%Y-%m-%d", -2208988800.5, 3, "1900-01-01"},
        {"%Y-%m-%d", -2208988801.0, 3, ""},
        {"%Y-%m-%d %H:%M:%S", 253402300799.0, 3, "9999-12-31 23:59:59"},
        {"%Y-%m-%d", 253402300800.0, 3, ""},
        {"%Y-%m-%d", -1, 3, "1969-12-31"},
        {"%Y-%m-%d", 951782400, 3, "2000-02-29"},
        // kind 5: timestamps, beyond the 32-bit range as well
        {"%Y", 4102444800.0, 5, "2100"},
        {"%Y-%m-%d %H:%M:%S", 1234567890, 5, "2009-02-13 23:31:30"},
        {"%Y-%m-%d %H:%M:%S", 2147483648.0, 5, "2038-01-19 03:14:08"},
        {"%Y-%m-%d %H:%M:%S", -1.5, 5, "1969-12-31 23:59:59"},
        {"%Y-%m-%d %H:%M:%S", -0.5, 5, "1970-01-01 00:00:00"},
        // kinds without a date or time
        {"%Y", 0, 0, ""},
        {"%Y", 0, 1, ""},
        {"%Y", 0, 2, ""},
        {"%Y", 0, 6, ""},
        // no format
        {"", 0, 3, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDateValue(c.format, c.value, c.kind), c.expected)
            << c.format << " " << c.value << " kind " << c.kind;
    }
}

TEST(DateValueLabel, ValuesOutsideEveryRangeGiveNoLabel) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (int kind : {3, 4, 5}) {
        for (double value : {nan, inf, -inf, 1e19, -1e19, 9.3e18, -9.3e18, 1e300, -1e300}) {
            EXPECT_EQ(formatDateValue("%Y", value, kind), "") << value << " kind " << kind;
        }
    }
}

TEST(DateValueLabel, WeekdayAndDayOfYearComeFromTheDate) {
    struct Case {
        double seconds;
        const char* expected;
    };
    const Case cases[] = {
        {-2208988800.0, "Mon Monday 1 001 00 01"},  // 1900-01-01
        {-86400, "Wed Wednesday 3 365 52 52"},     // 1969-12-31
        {0, "Thu Thursday 4 001 00 00"},           // 1970-01-01
        {951782400, "Tue Tuesday 2 060 09 09"},    // 2000-02-29
        {4107542400.0, "Mon Monday 1 060 09 09"},  // 2100-03-01
        {253402214400.0, "Fri Friday 5 365 52 52"},  // 9999-12-31
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDateValue("%a %A %w %j %U %W", c.seconds, 3), c.expected) << c.seconds;
    }
}

struct PartsCase {
    const char* format;
    int year, month, day, hour, minute, second;
    const char* expected;
};

TEST(DatePartsLabel, PartsAndTheirRanges) {
    const PartsCase cases[] = {
        {"%d.%m.%Y", 2009, 6, 12, 0, 0, 0, "12.06.2009"},
        {"%d.%m.%Y", 2009, 13, 12, 0, 0, 0, ""},
        {"%Y-%m-%d %H:%M:%S", 1900, 1, 1, 0, 0, 0, "1900-01-01 00:00:00"},
        {"%Y-%m-%d %H:%M:%S", 9999, 12, 31, 23, 59, 59, "9999-12-31 23:59:59"},
        {"%Y", 1899, 12, 31, 0, 0, 0, ""},
        {"%Y", 10000, 1, 1, 0, 0, 0, ""},
        {"%Y", 2009, 0, 1, 0, 0, 0, ""},
        {"%Y", 2009, 1, 0, 0, 0, 0, ""},
        {"%Y", 2009, 1, 32, 0, 0, 0, ""},
        {"%Y", 2009, 1, 1, 24, 0, 0, ""},
        {"%Y", 2009, 1, 1, -1, 0, 0, ""},
        {"%Y", 2009, 1, 1, 0, 60, 0, ""},
        {"%Y", 2009, 1, 1, 0, -1, 0, ""},
        {"%Y", 2009, 1, 1, 0, 0, 60, ""},
        {"%Y", 2009, 1, 1, 0, 0, -1, ""},
        // days a month does not have
        {"%d.%m.%Y", 2009, 6, 31, 0, 0, 0, ""},
        {"%d.%m.%Y", 2009, 6, 30, 0, 0, 0, "30.06.2009"},
        {"%d.%m.%Y", 2000, 2, 29, 0, 0, 0, "29.02.2000"},
        {"%d.%m.%Y", 2004, 2, 29, 0, 0, 0, "29.02.2004"},
        {"%d.%m.%Y", 1900, 2, 29, 0, 0, 0, ""},
        {"%d.%m.%Y", 2100, 2, 29, 0, 0, 0, ""},
        {"%d.%m.%Y", 2009, 2, 29, 0, 0, 0, ""},
        // weekday, day of the year and week numbers
        {"%a %j %U %W", 2009, 6, 12, 0, 0, 0, "Fri 163 23 23"},
        {"%A %j", 2038, 1, 19, 3, 14, 8, "Tuesday 019"},
        // literal text and an empty result
        {"Q %%", 2009, 6, 12, 0, 0, 0, "Q %"},
        {"", 2009, 6, 12, 0, 0, 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatDateParts(c.format, c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected)
            << c.format << " " << c.year << "-" << c.month << "-" << c.day << " " << c.hour << ":" << c.minute
            << ":" << c.second;
    }
}

TEST(DatePartsLabel, ResultsLongerThanTheBufferGiveNoLabel) {
    std::string fits;
    for (int i = 0; i < 127; ++i) fits += "%Y";  // 508 characters
    EXPECT_EQ(formatDateParts(fits, 2009, 6, 12, 0, 0, 0).size(), 508u);
    EXPECT_EQ(formatDateParts(fits + "%Y", 2009, 6, 12, 0, 0, 0), "");  // 512 and the terminator
    std::string literal(511, 'x');
    EXPECT_EQ(formatDateParts(literal, 2009, 6, 12, 0, 0, 0), literal);
    EXPECT_EQ(formatDateParts(literal + "x", 2009, 6, 12, 0, 0, 0), "");
}

}  // namespace
}  // namespace plotwise
