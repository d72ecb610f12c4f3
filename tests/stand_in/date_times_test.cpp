// Date-times: the calendar across leap years and centuries, part getters and the rolling setters.
#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

// Parts of a date-time as the getters report them.
struct Parts {
    int year, month, day, hour, minute, second;
    bool operator==(const Parts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parts& p) {
    return out << p.year << "-" << p.month << "-" << p.day << " " << p.hour << ":" << p.minute << ":" << p.second;
}

class DateTimeTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        FMX_Error err{1, 0};
        dt = FM_DateTime_Constructor1(&err);
        ASSERT_NE(dt, nullptr);
    }
    void TearDown() override {
        FMX_Error err{1, 0};
        FM_DateTime_Delete(dt, &err);
        HostTest::TearDown();
    }

    Parts parts() const {
        FMX_Error err{1, 0};
        return Parts{FM_DateTime_GetYear(dt, &err), FM_DateTime_GetMonth(dt, &err),  FM_DateTime_GetDay(dt, &err),
                     FM_DateTime_GetHour(dt, &err), FM_DateTime_GetMinute(dt, &err), FM_DateTime_GetSec(dt, &err)};
    }
    void setSeconds(int64_t seconds) {
        setSecondsSinceEpoch(dt, seconds);
    }
    int64_t seconds() const {
        return secondsSinceEpoch(dt);
    }
    void setDate(int month, int day, int year) {
        FMX_Error err{1, 0};
        FM_DateTime_SetNormalizedDate(dt, month, day, year, &err);
        EXPECT_EQ(err.code, 0);
    }
    void setTime(int64_t hour, int minute, int second) {
        FMX_Error err{1, 0};
        FM_DateTime_SetNormalizedTime(dt, hour, minute, second, &err);
        EXPECT_EQ(err.code, 0);
    }

    FMX_DateTime* dt = nullptr;
};

constexpr int64_t kDay = 86400;

TEST_F(DateTimeTest, KnownInstants) {
    const struct {
        int64_t seconds;
        Parts parts;
    } cases[] = {
        {0, {1, 1, 1, 0, 0, 0}},
        {kDay * 31 - 1, {1, 1, 31, 23, 59, 59}},
        {719162 * kDay, {1970, 1, 1, 0, 0, 0}},
        {719162 * kDay - 1, {1969, 12, 31, 23, 59, 59}},  // before 1970
        {63087379200, {2000, 2, 29, 0, 0, 0}},             // 2000 is a leap year
        {733569 * kDay + 52200, {2009, 6, 12, 14, 30, 0}},
        {315537897599, {9999, 12, 31, 23, 59, 59}},
    };
    for (const auto& c : cases) {
        setSeconds(c.seconds);
        EXPECT_EQ(parts(), c.parts) << c.seconds;
        EXPECT_EQ(secondsSinceMidnight(dt),
                  c.parts.hour * 3600 + c.parts.minute * 60 + c.parts.second);
    }
}

// Walks the whole calendar a day at a time with a plain month-length table and compares.
TEST_F(DateTimeTest, EveryDayFromYearOneTo9999) {
    int year = 1, month = 1, day = 1;
    auto leap = [](int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; };
    const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int64_t days = 0; year <= 9999; ++days) {
        setSeconds(days * kDay + 43200);
        const Parts p = parts();
        if (p.year != year || p.month != month || p.day != day) {
            FAIL() << "day " << days << " reads " << p << ", expected " << year << "-" << month << "-" << day;
        }
        const int length = month == 2 && leap(year) ? 29 : lengths[month - 1];
        if (++day > length) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
}

TEST_F(DateTimeTest, NormalizedDateRollsOverLikeDate) {
    const struct {
        int month, day, year;
        Parts expected;
    } cases[] = {
        {6, 12, 2009, {2009, 6, 12, 0, 0, 0}},
        {13, 1, 2008, {2009, 1, 1, 0, 0, 0}},
        {0, 1, 2009, {2008, 12, 1, 0, 0, 0}},
        {-1, 1, 2000, {1999, 11, 1, 0, 0, 0}},
        {3, 0, 2000, {2000, 2, 29, 0, 0, 0}},   // leap year
        {3, 0, 1900, {1900, 2, 28, 0, 0, 0}},   // 1900 is not
        {2, 29, 1900, {1900, 3, 1, 0, 0, 0}},
        {1, 366, 2000, {2000, 12, 31, 0, 0, 0}},
        {1, 366, 2001, {2002, 1, 1, 0, 0, 0}},
        {12, 31, 9999, {9999, 12, 31, 0, 0, 0}},
        {1, 1, 1, {1, 1, 1, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        setSeconds(0);
        setDate(c.month, c.day, c.year);
        EXPECT_EQ(parts(), c.expected) << c.month << "/" << c.day << "/" << c.year;
    }
}

TEST_F(DateTimeTest, NormalizedDateKeepsTheTimeOfDay) {
    setSeconds(10 * kDay + 3723);  // 01:02:03
    setDate(6, 12, 2009);
    EXPECT_EQ(parts(), (Parts{2009, 6, 12, 1, 2, 3}));
}

TEST_F(DateTimeTest, NormalizedTimeRollsIntoNeighbouringDays) {
    const struct {
        int64_t hour;
        int minute, second;
        Parts expected;
    } cases[] = {
        {14, 30, 0, {2009, 6, 12, 14, 30, 0}},
        {25, 0, 0, {2009, 6, 13, 1, 0, 0}},
        {0, -1, 0, {2009, 6, 11, 23, 59, 0}},
        {0, 90, 75, {2009, 6, 12, 1, 31, 15}},
        {48, 0, -1, {2009, 6, 13, 23, 59, 59}},
    };
    for (const auto& c : cases) {
        setSeconds(0);
        setDate(6, 12, 2009);
        setTime(c.hour, c.minute, c.second);
        EXPECT_EQ(parts(), c.expected) << c.hour << ":" << c.minute << ":" << c.second;
    }
}

TEST_F(DateTimeTest, HugeInputsDoNotOverflow) {
    setTime(INT64_MAX, 0, 0);
    EXPECT_GT(seconds(), 0);
    setTime(INT64_MIN, 0, 0);
    EXPECT_LT(seconds(), 0);
    setDate(INT32_MAX, INT32_MAX, INT32_MAX);  // must neither crash nor trip the sanitizer
}

TEST_F(DateTimeTest, NegativeSecondsCountBackFromYearOne) {
    setSeconds(-1);
    EXPECT_EQ(secondsSinceMidnight(dt), 86399);
    EXPECT_EQ(parts(), (Parts{0, 12, 31, 23, 59, 59}));
}

}  // namespace
