// 64-bit calendar conversion: breaks seconds since 1970-01-01 00:00:00 UTC into calendar
// fields for every year the labels need, before 1970 and after 2038 alike.
#pragma once

#include <cstdint>
#include <ctime>

namespace plotwise {

// Fills `result` (all POSIX fields, tm_isdst 0) and returns it.
std::tm* breakDownTime64(std::int64_t seconds, std::tm* result);
// True when every field of `tm` lies in its range.
bool check_tm(const std::tm* tm);

}  // namespace plotwise
