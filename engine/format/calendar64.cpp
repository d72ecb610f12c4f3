// Seconds since 1970-01-01 00:00:00 UTC to calendar fields, with 64-bit arithmetic so that
// years before 1901 and after 2038 break down as well as the years in between.
#include "engine/format/calendar64.h"

#include <cassert>
#include <climits>

namespace plotwise {

namespace {

constexpr std::int64_t kDaysPerCycle = 146097;  // days in 400 Gregorian years
// Days from 1970-01-01 to 2008-01-01: starting there shortens the year walk for current dates.
constexpr std::int64_t kDaysTo2008 = 13879;

}  // namespace

std::tm* breakDownTime64(std::int64_t seconds, std::tm* result) {
    if (result == nullptr) return nullptr;

    // Division truncates toward zero, so the remainders carry the sign of `seconds`.
    std::int64_t rest = seconds;
    int sec = static_cast<int>(rest % 60);
    rest /= 60;
    int min = static_cast<int>(rest % 60);
    rest /= 60;
    int hour = static_cast<int>(rest % 24);
    std::int64_t days = rest / 24;

    if (sec < 0) {
        sec += 60;
        --min;
    }
    if (min < 0) {
        min += 60;
        --hour;
    }
    if (hour < 0) {
        hour += 24;
        --days;
    }

    // 1970-01-01 was a Thursday.
    int wday = static_cast<int>((days + 4) % 7);
    if (wday < 0) wday += 7;

    std::int64_t year = 70;
    int mon = 0;
    if (days >= kDaysTo2008) {
        days -= kDaysTo2008;
        year = 108;
    }

    if (days >= 0) {
        // `days` counts from the first of January of `year`.
        const std::int64_t cycles = days / kDaysPerCycle;
        if (cycles != 0) {
            days -= cycles * kDaysPerCycle;
            year += cycles * 400;
        }
        while (days >= length_of_year[IS_LEAP(year)]) {
            days -= length_of_year[IS_LEAP(year)];
            ++year;
        }
        const int leap = IS_LEAP(year);
        while (days >= days_in_month[leap][mon]) {
            days -= days_in_month[leap][mon];
            ++mon;
        }
    } else {
        // `days` counts back from the first of January after `year`.
        year = 69;
        const std::int64_t cycles = days / kDaysPerCycle + 1;
        if (cycles != 0) {
            days -= cycles * kDaysPerCycle;
            year += cycles * 400;
        }
        while (days < -length_of_year[IS_LEAP(year)]) {
            days += length_of_year[IS_LEAP(year)];
            --year;
        }
        const int leap = IS_LEAP(year);
        mon = 11;
        while (days < -days_in_month[leap][mon]) {
            days += days_in_month[leap][mon];
            --mon;
        }
        days += days_in_month[leap][mon];
    }

    if (year < INT_MIN || year > INT_MAX) return nullptr;

    *result = std::tm{};
    result->tm_sec = sec;
    result->tm_min = min;
    result->tm_hour = hour;
    result->tm_mday = static_cast<int>(days) + 1;
    result->tm_mon = mon;
    result->tm_year = static_cast<int>(year);
    result->tm_wday = wday;
    result->tm_yday = julian_days_by_month[IS_LEAP(year)][mon] + static_cast<int>(days);
    result->tm_isdst = 0;
#if defined(__GLIBC__)
    result->tm_gmtoff = 0;
    result->tm_zone = "UTC";
#endif
    assert(check_tm(result));
    return result;
}

bool check_tm(const std::tm* tm) {
    if (tm == nullptr) return false;
    // The month is checked before it indexes the month table.
    const bool monthOk = tm->tm_mon >= 0 && tm->tm_mon <= 11;
    const int leap = IS_LEAP(tm->tm_year);
    return tm->tm_sec >= 0 && tm->tm_sec <= 61 &&  // room for leap seconds
           tm->tm_min >= 0 && tm->tm_min <= 59 &&
           tm->tm_hour >= 0 && tm->tm_hour <= 23 &&
           tm->tm_mday >= 1 && monthOk && tm->tm_mday <= days_in_month[leap][tm->tm_mon] &&
           tm->tm_wday >= 0 && tm->tm_wday <= 6 &&
           tm->tm_yday >= 0 && tm->tm_yday < length_of_year[leap];
}

}  // namespace plotwise
