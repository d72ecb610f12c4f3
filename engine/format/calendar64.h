// 64-bit calendar conversion: breaks seconds since 1970-01-01 00:00:00 UTC into calendar
// fields for every year the labels need, before 1970 and after 2038 alike.
#pragma once

#include <cstdint>
#include <ctime>

namespace plotwise {

// Calendar tables; the first index is 0 for common years and 1 for leap years.
inline constexpr int days_in_month[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};
// Days of the year before the first of each month.
inline constexpr int julian_days_by_month[2][12] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};
inline constexpr int length_of_year[2] = {365, 366};

// 1 when the year y + 1900 is a leap year (y counted from 1900, as tm_year is), else 0.
constexpr int IS_LEAP(std::int64_t y) {
    const std::int64_t year = y + 1900;
    return (year % 400 == 0 || (year % 4 == 0 && year % 100 != 0)) ? 1 : 0;
}

// Fills `result` (all POSIX fields, tm_isdst 0) and returns it. Returns nullptr, leaving
// `result` untouched, when the year does not fit in tm_year.
std::tm* breakDownTime64(std::int64_t seconds, std::tm* result);
// True when every field of `tm` lies in its range.
bool check_tm(const std::tm* tm);

}  // namespace plotwise
