// Date-times: seconds since 0001-01-01 00:00:00, with part getters and the rolling setters.
#include <cmath>
#include <limits>

#include "stand_in/internal.h"

using namespace fmhost;

namespace {


int64_t dayOf(const FMX_DateTime* self) { return floorDiv(self->seconds, kSecondsPerDay); }
int64_t secondOfDay(const FMX_DateTime* self) { return floorMod(self->seconds, kSecondsPerDay); }

// Parts above the 16-bit range saturate rather than wrap.
int16_t narrow(int64_t value) {
    if (value > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (value < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return static_cast<int16_t>(value);
}

// Keeps day counts where seconds still fit in 64 bits.
constexpr int64_t kDayLimit = std::numeric_limits<int64_t>::max() / kSecondsPerDay / 2;
constexpr int64_t kSecondLimit = kDayLimit * kSecondsPerDay;

int64_t clampSeconds(__int128 seconds) {
    if (seconds > kSecondLimit) return kSecondLimit;
    if (seconds < -kSecondLimit) return -kSecondLimit;
    return static_cast<int64_t>(seconds);
}

}  // namespace

extern "C" {

FMX_DateTime* FM_DateTime_Constructor1(FMX_Error* err) { return construct<FMX_DateTime>(err); }

void FM_DateTime_Delete(FMX_DateTime* self, FMX_Error* err) { destroy(self, err); }

int16_t FM_DateTime_GetYear(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int16_t>(err);
    setError(err, kFMX_ErrorNone);
    return narrow(civilFromDays(dayOf(self)).year);
}

int16_t FM_DateTime_GetMonth(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int16_t>(err);
    setError(err, kFMX_ErrorNone);
    return narrow(civilFromDays(dayOf(self)).month);
}

int16_t FM_DateTime_GetDay(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int16_t>(err);
    setError(err, kFMX_ErrorNone);
    return narrow(civilFromDays(dayOf(self)).day);
}

int32_t FM_DateTime_GetHour(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int32_t>(err);
    setError(err, kFMX_ErrorNone);
    return static_cast<int32_t>(secondOfDay(self) / 3600);
}

int16_t FM_DateTime_GetMinute(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int16_t>(err);
    setError(err, kFMX_ErrorNone);
    return narrow(secondOfDay(self) / 60 % 60);
}

int16_t FM_DateTime_GetSec(const FMX_DateTime* self, FMX_Error* err) {
    if (!self) return failed<int16_t>(err);
    setError(err, kFMX_ErrorNone);
    return narrow(secondOfDay(self) % 60);
}

void FM_DateTime_GetSecsSinceMidnight(const FMX_DateTime* self, FMX_FixPt* result, FMX_Error* err) {
    if (!self || !result) return setError(err, kFMX_ErrorOther);
    result->value = static_cast<long double>(secondOfDay(self));
    setError(err, kFMX_ErrorNone);
}

void FM_DateTime_GetSecondsSinceEpoch(const FMX_DateTime* self, FMX_FixPt* result, FMX_Error* err) {
    if (!self || !result) return setError(err, kFMX_ErrorOther);
    result->value = static_cast<long double>(self->seconds);
    setError(err, kFMX_ErrorNone);
}

void FM_DateTime_SetSecondsSinceEpoch(FMX_DateTime* self, const FMX_FixPt* seconds, FMX_Error* err) {
    if (!self || !seconds) return setError(err, kFMX_ErrorOther);
    // Whole seconds (a fraction is dropped toward minus infinity), kept where whole days of
    // them still fit in 64 bits, as the other setters keep it: every conversion to dates and
    // days then stays within range.
    const long double whole = std::floor(seconds->value);
    self->seconds = std::isnan(whole)          ? 0
                    : whole >= 0x1p63L         ? kSecondLimit
                    : whole <= -0x1p63L        ? -kSecondLimit
                                               : clampSeconds(static_cast<int64_t>(whole));
    setError(err, kFMX_ErrorNone);
}

// Month 13 is January of the next year, day 0 the last day of the month before, and so on.
void FM_DateTime_SetNormalizedDate(FMX_DateTime* self, int32_t month, int32_t day, int32_t year, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    const int64_t monthIndex = int64_t{year} * 12 + (int64_t{month} - 1);
    const int64_t normalYear = floorDiv(monthIndex, 12);
    const int64_t normalMonth = floorMod(monthIndex, 12) + 1;
    const int64_t days = daysFromCivil(normalYear, normalMonth, 1) + (int64_t{day} - 1);
    self->seconds = clampSeconds(__int128{days} * kSecondsPerDay + secondOfDay(self));
    setError(err, kFMX_ErrorNone);
}

// The time of day may leave the day: 25:00:00 is one o'clock on the next day.
void FM_DateTime_SetNormalizedTime(FMX_DateTime* self, int64_t hour, int32_t minute, int32_t sec, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    const __int128 seconds = __int128{dayOf(self)} * kSecondsPerDay + __int128{hour} * 3600 +
                             __int128{minute} * 60 + sec;
    self->seconds = clampSeconds(seconds);
    setError(err, kFMX_ErrorNone);
}

}  // extern "C"
