// Fixed-point numbers, held as long double (about 19 significant digits on x86-64).
#include <cmath>
#include <limits>

#include "stand_in/internal.h"

using namespace fmhost;

namespace {

// The number truncated toward zero, as the host converts a number to an integer; values at or
// past the type's ends saturate, NaN gives 0.
template <typename Int>
Int truncated(const FMX_FixPt* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    const long double v = self->value;
    if (std::isnan(v)) return 0;
    // 2^31 and 2^63 are exact in long double.
    const long double end = std::ldexp(1.0L, std::numeric_limits<Int>::digits);
    if (v >= end) return std::numeric_limits<Int>::max();
    if (v <= -end) return std::numeric_limits<Int>::min();
    return static_cast<Int>(v);
}

}  // namespace

extern "C" {

FMX_FixPt* FM_FixPt_Constructor1(int32_t value, int precision, FMX_Error* err) {
    FMX_FixPt* number = construct<FMX_FixPt>(err);
    if (number) {
        number->value = value;
        number->precision = precision;
    }
    return number;
}

void FM_FixPt_Delete(FMX_FixPt* self, FMX_Error* err) { destroy(self, err); }

void FM_FixPt_AssignInt(FMX_FixPt* self, int32_t value, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    self->value = value;
    setError(err, kFMX_ErrorNone);
}

void FM_FixPt_AssignInt64(FMX_FixPt* self, int64_t value, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    self->value = value;  // exact: the mantissa has 64 bits
    setError(err, kFMX_ErrorNone);
}

void FM_FixPt_AssignDouble(FMX_FixPt* self, double value, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    self->value = value;
    setError(err, kFMX_ErrorNone);
}

int32_t FM_FixPt_AsLong(const FMX_FixPt* self, FMX_Error* err) { return truncated<int32_t>(self, err); }

int64_t FM_FixPt_AsLong64(const FMX_FixPt* self, FMX_Error* err) { return truncated<int64_t>(self, err); }

double FM_FixPt_AsFloat(const FMX_FixPt* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    return static_cast<double>(self->value);
}

}  // extern "C"
