// Fixed-point numbers, held as long double (about 19 significant digits on x86-64).
#include <cmath>
#include <limits>

#include "stand_in/internal.h"

using namespace fmhost;

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

int32_t FM_FixPt_AsLong(const FMX_FixPt* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    const long double v = self->value;
    if (std::isnan(v)) return 0;
    if (v >= static_cast<long double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (v <= static_cast<long double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);  // truncates toward zero
}

int64_t FM_FixPt_AsLong64(const FMX_FixPt* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    const long double v = self->value;
    if (std::isnan(v)) return 0;
    // 2^63 is exact in long double; anything at or past it saturates.
    if (v >= 0x1p63L) return std::numeric_limits<int64_t>::max();
    if (v <= -0x1p63L) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);  // truncates toward zero
}

double FM_FixPt_AsFloat(const FMX_FixPt* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    return static_cast<double>(self->value);
}

}  // extern "C"
