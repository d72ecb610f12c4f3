// The 64-bit calendar against an independent day count (std::chrono's civil calendar and a
// days-from-civil formula), over every day from 1900 to 9999 and many random seconds.
#include <chrono>
#include <climits>
#include <cstdint>
#include <ctime>
#include <random>

#include <gtest/gtest.h>

#include "engine/format/calendar64.h"

namespace plotwise {
namespace {

using std::int64_t;

struct Civil {
    int64_t year;
    int month;  // 1..12
    int day;    // 1..31
};

// Days since 1970-01-01 of a proleptic Gregorian date, in years counted from March so that the
// leap day ends the year; valid for any int64 year this test uses.
int64_t daysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// The expected fields of `seconds`, from std::chrono for the days and floor division for the
// time of day.
std::tm expectedFields(int64_t seconds) {
    namespace ch = std::chrono;
    const int64_t days = floorDiv(seconds, 86400);
    const int64_t secondOfDay = seconds - days * 86400;
    const ch::sys_days date{ch::days{days}};
    const ch::year_month_day ymd{date};
    const ch::sys_days newYear{ymd.year() / ch::January / 1};
    std::tm tm{};
    tm.tm_year = static_cast<int>(ymd.year()) - 1900;
    tm.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
    tm.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
    tm.tm_hour = static_cast<int>(secondOfDay / 3600);
    tm.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    tm.tm_sec = static_cast<int>(secondOfDay % 60);
    tm.tm_wday = static_cast<int>(ch::weekday{date}.c_encoding());
    tm.tm_yday = static_cast<int>((date - newYear).count());
    return tm;
}

// Compares all fields; returns false at the first difference so that a failing sweep stops.
bool sameFields(int64_t seconds, const std::tm& got, const std::tm& want) {
    const bool same = got.tm_year == want.tm_year && got.tm_mon == want.tm_mon && got.tm_mday == want.tm_mday &&
                      got.tm_hour == want.tm_hour && got.tm_min == want.tm_min && got.tm_sec == want.tm_sec &&
                      got.tm_wday == want.tm_wday && got.tm_yday == want.tm_yday && got.tm_isdst == 0;
    EXPECT_TRUE(same) << "seconds " << seconds << ": got " << got.tm_year + 1900 << "-" << got.tm_mon + 1 << "-"
                      << got.tm_mday << " " << got.tm_hour << ":" << got.tm_min << ":" << got.tm_sec << " wday "
                      << got.tm_wday << " yday " << got.tm_yday << ", want " << want.tm_year + 1900 << "-"
                      << want.tm_mon + 1 << "-" << want.tm_mday << " " << want.tm_hour << ":" << want.tm_min << ":"
                      << want.tm_sec << " wday " << want.tm_wday << " yday " << want.tm_yday;
    return same;
}

bool breaksDownRight(int64_t seconds) {
    std::tm got{};
    got.tm_isdst = -1;
    if (breakDownTime64(seconds, &got) != &got) {
        ADD_FAILURE() << "no result for " << seconds;
        return false;
    }
    if (!check_tm(&got)) {
        ADD_FAILURE() << "fields out of range for " << seconds;
        return false;
    }
    return sameFields(seconds, got, expectedFields(seconds));
}

TEST(Calendar, KnownMoments) {
    struct Case {
        int64_t seconds;
        int year, month, day, hour, minute, second, wday, yday;
    };
    const Case cases[] = {
        {-1, 1969, 12, 31, 23, 59, 59, 3, 364},
        {0, 1970, 1, 1, 0, 0, 0, 4, 0},
        {951782400, 2000, 2, 29, 0, 0, 0, 2, 59},        // leap day of a year divisible by 400
        {4107542400LL, 2100, 3, 1, 0, 0, 0, 1, 59},      // 2100 has no leap day
        {4107542399LL, 2100, 2, 28, 23, 59, 59, 0, 58},
        {-2208988800LL, 1900, 1, 1, 0, 0, 0, 1, 0},
        {-2203891200LL, 1900, 3, 1, 0, 0, 0, 4, 59},     // 1900 has no leap day
        {1199145600LL, 2008, 1, 1, 0, 0, 0, 2, 0},       // where the forward walk starts
        {1199145599LL, 2007, 12, 31, 23, 59, 59, 1, 364},
        {2147483647LL, 2038, 1, 19, 3, 14, 7, 2, 18},
        {2147483648LL, 2038, 1, 19, 3, 14, 8, 2, 18},
        {-2147483648LL, 1901, 12, 13, 20, 45, 52, 5, 346},
        {253402300799LL, 9999, 12, 31, 23, 59, 59, 5, 364},
    };
    for (const auto& c : cases) {
        std::tm tm{};
        ASSERT_EQ(breakDownTime64(c.seconds, &tm), &tm) << c.seconds;
        EXPECT_EQ(tm.tm_year, c.year - 1900) << c.seconds;
        EXPECT_EQ(tm.tm_mon, c.month - 1) << c.seconds;
        EXPECT_EQ(tm.tm_mday, c.day) << c.seconds;
        EXPECT_EQ(tm.tm_hour, c.hour) << c.seconds;
        EXPECT_EQ(tm.tm_min, c.minute) << c.seconds;
        EXPECT_EQ(tm.tm_sec, c.second) << c.seconds;
        EXPECT_EQ(tm.tm_wday, c.wday) << c.seconds;
        EXPECT_EQ(tm.tm_yday, c.yday) << c.seconds;
        EXPECT_EQ(tm.tm_isdst, 0) << c.seconds;
        EXPECT_TRUE(check_tm(&tm)) << c.seconds;
    }
}

TEST(Calendar, EveryDayFrom1900To9999) {
    const int64_t first = daysFromCivil(1900, 1, 1);
    const int64_t last = daysFromCivil(9999, 12, 31);
    ASSERT_EQ(first, -25567);
    ASSERT_EQ(last, 2932896);
    for (int64_t day = first; day <= last; ++day) {
        // A different time of day each day, so every hour, minute and second comes round.
        const int64_t seconds = day * 86400 + (day * 7919 % 86400 + 86400) % 86400;
        if (!breaksDownRight(seconds)) break;
    }
}

TEST(Calendar, FirstAndLastSecondOfEveryDayAroundTheEpoch) {
    for (int64_t day = -800; day <= 800; ++day) {
        if (!breaksDownRight(day * 86400) || !breaksDownRight(day * 86400 + 86399)) break;
    }
}

TEST(Calendar, RandomSeconds) {
    std::mt19937_64 random(20090612);
    std::uniform_int_distribution<int64_t> wide(daysFromCivil(1900, 1, 1) * 86400, daysFromCivil(10000, 1, 1) * 86400 - 1);
    std::uniform_int_distribution<int64_t> near(-100LL * 86400 * 366, 100LL * 86400 * 366);
    for (int i = 0; i < 200000; ++i) {
        if (!breaksDownRight(wide(random))) break;
    }
    for (int i = 0; i < 100000; ++i) {
        if (!breaksDownRight(near(random))) break;
    }
}

// Fields of a date far from today, from the days-from-civil formula alone.
void expectDate(int64_t seconds, int64_t year, int month, int day) {
    std::tm tm{};
    ASSERT_EQ(breakDownTime64(seconds, &tm), &tm) << seconds;
    EXPECT_EQ(static_cast<int64_t>(tm.tm_year) + 1900, year) << seconds;
    EXPECT_EQ(tm.tm_mon + 1, month) << seconds;
    EXPECT_EQ(tm.tm_mday, day) << seconds;
    EXPECT_TRUE(check_tm(&tm)) << seconds;
}

TEST(Calendar, YearsAsFarAsTmYearReaches) {
    const int64_t lastYear = int64_t{INT_MAX} + 1900;
    const int64_t firstYear = int64_t{INT_MIN} + 1900;
    const int64_t lastSecond = daysFromCivil(lastYear, 12, 31) * 86400 + 86399;
    const int64_t firstSecond = daysFromCivil(firstYear, 1, 1) * 86400;
    expectDate(lastSecond, lastYear, 12, 31);
    expectDate(firstSecond, firstYear, 1, 1);
    expectDate(daysFromCivil(123456788, 2, 29) * 86400 + 5, 123456788, 2, 29);
    expectDate(daysFromCivil(-123456788, 2, 29) * 86400 + 5, -123456788, 2, 29);
    expectDate(daysFromCivil(-123456788, 2, 29) * 86400 - 5, -123456788, 2, 28);
    expectDate(daysFromCivil(-123456700, 3, 1) * 86400 - 5, -123456700, 2, 28);  // no leap day

    // One second further the year no longer fits: no result, and the structure is left alone.
    for (int64_t beyond : {lastSecond + 1, firstSecond - 1, int64_t{INT64_MAX}, int64_t{INT64_MIN}}) {
        std::tm tm{};
        tm.tm_mday = 99;
        EXPECT_EQ(breakDownTime64(beyond, &tm), nullptr) << beyond;
        EXPECT_EQ(tm.tm_mday, 99) << beyond;
    }
    EXPECT_EQ(breakDownTime64(0, nullptr), nullptr);
}

TEST(Calendar, CheckTmRejectsEachFieldOutOfRange) {
    std::tm valid{};
    ASSERT_EQ(breakDownTime64(951782400, &valid), &valid);  // 2000-02-29, a Tuesday
    ASSERT_TRUE(check_tm(&valid));
    struct Change {
        int std::tm::*field;
        int value;
        bool ok;
    };
    const Change changes[] = {
        {&std::tm::tm_sec, -1, false},   {&std::tm::tm_sec, 61, true},    {&std::tm::tm_sec, 62, false},
        {&std::tm::tm_min, -1, false},   {&std::tm::tm_min, 59, true},    {&std::tm::tm_min, 60, false},
        {&std::tm::tm_hour, -1, false},  {&std::tm::tm_hour, 23, true},   {&std::tm::tm_hour, 24, false},
        {&std::tm::tm_mday, 0, false},   {&std::tm::tm_mday, 30, false},  {&std::tm::tm_mon, -1, false},
        {&std::tm::tm_mon, 12, false},   {&std::tm::tm_mon, 100000, false}, {&std::tm::tm_mon, INT_MIN, false},
        {&std::tm::tm_wday, -1, false},  {&std::tm::tm_wday, 6, true},    {&std::tm::tm_wday, 7, false},
        {&std::tm::tm_yday, -1, false},  {&std::tm::tm_yday, 365, true},  {&std::tm::tm_yday, 366, false},
        {&std::tm::tm_year, 101, false},  // 2001-02-29 does not exist
        {&std::tm::tm_year, 0, false},    // nor does 1900-02-29
        {&std::tm::tm_year, 104, true},
    };
    for (const auto& change : changes) {
        std::tm tm = valid;
        tm.*change.field = change.value;
        EXPECT_EQ(check_tm(&tm), change.ok) << "value " << change.value;
    }
    std::tm commonYear = valid;
    commonYear.tm_year = 101;
    commonYear.tm_mday = 28;
    commonYear.tm_yday = 364;
    EXPECT_TRUE(check_tm(&commonYear));
    commonYear.tm_yday = 365;
    EXPECT_FALSE(check_tm(&commonYear));
    EXPECT_FALSE(check_tm(nullptr));
}

TEST(Calendar, LeapYearRule) {
    EXPECT_EQ(IS_LEAP(100), 1);   // 2000
    EXPECT_EQ(IS_LEAP(0), 0);     // 1900
    EXPECT_EQ(IS_LEAP(200), 0);   // 2100
    EXPECT_EQ(IS_LEAP(104), 1);   // 2004
    EXPECT_EQ(IS_LEAP(109), 0);   // 2009
    EXPECT_EQ(IS_LEAP(-1900), 1); // year 0
    EXPECT_EQ(IS_LEAP(-1904), 1); // 4 BC as year -4
    EXPECT_EQ(IS_LEAP(-2000), 0); // year -100
    for (int leap = 0; leap < 2; ++leap) {
        int sum = 0;
        for (int m = 0; m < 12; ++m) {
            EXPECT_EQ(julian_days_by_month[leap][m], sum);
            sum += days_in_month[leap][m];
        }
        EXPECT_EQ(sum, length_of_year[leap]);
    }
}

}  // namespace
}  // namespace plotwise
