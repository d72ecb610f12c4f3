// Data values of the six native types, with the getters' conversions between them.
//
// Dates count as numbers the way the host's GetAsNumber shows them: the day number with
// 0001-01-01 as day 1. Times are seconds since midnight, timestamps seconds since
// 0001-01-01 00:00:00. A number below 1 read as a date gives the zero date-time.
#include <cmath>

#include "stand_in/internal.h"

using namespace fmhost;

namespace {


bool isDateTimeType(int32_t type) { return type == kFMX_Date || type == kFMX_Time || type == kFMX_TimeStamp; }

// Seconds of a number read as a value of a date-time type; numbers beyond the calendar
// (or not numbers at all) give the zero date-time.
int64_t secondsFromNumber(long double number, int32_t type) {
    constexpr long double kLimit = 1e15L;  // far past 9999-12-31 in seconds
    if (!std::isfinite(number) || std::fabs(number) > kLimit) return 0;
    if (type == kFMX_Date) {
        const auto day = static_cast<int64_t>(std::floor(number));
        return day < 1 ? 0 : (day - 1) * kSecondsPerDay;
    }
    return static_cast<int64_t>(std::floor(number));
}

long double numberFromSeconds(int64_t seconds, int32_t type) {
    if (type == kFMX_Date) return static_cast<long double>(floorDiv(seconds, kSecondsPerDay) + 1);
    return static_cast<long double>(seconds);
}

// The seconds of a date-time value as another date-time type.
int64_t convertSeconds(int64_t seconds, int32_t from, int32_t to) {
    if (to == kFMX_Date) return from == kFMX_Time ? 0 : floorDiv(seconds, kSecondsPerDay) * kSecondsPerDay;
    if (to == kFMX_Time) return from == kFMX_TimeStamp ? floorMod(seconds, kSecondsPerDay) : (from == kFMX_Date ? 0 : seconds);
    return seconds;  // timestamp: a date is its midnight, a time lies on day one
}

std::string textOf(const FMX_Data& data) {
    switch (data.type) {
    case kFMX_Text:
        return {};  // handled by the caller without conversion
    case kFMX_Number:
        return data.emptyNumber ? std::string() : formatNumber(data.number);
    case kFMX_Date:
        return formatDate(data.seconds, data.locale.kind);
    case kFMX_Time:
        return formatTime(data.seconds);
    case kFMX_TimeStamp:
        return formatTimeStamp(data.seconds, data.locale.kind);
    default:
        return {};
    }
}

// Seconds of the value read as a date-time type (0 when it does not read as one).
int64_t secondsAs(const FMX_Data& data, int32_t type) {
    int64_t seconds = 0;
    switch (data.type) {
    case kFMX_Text: {
        const std::u16string_view text = data.text.units;
        bool ok = false;
        if (type == kFMX_Date) {
            ok = parseDate(text, data.locale.kind, seconds);
            if (!ok && parseTimeStamp(text, data.locale.kind, seconds)) {
                seconds = convertSeconds(seconds, kFMX_TimeStamp, kFMX_Date);
                ok = true;
            }
        } else if (type == kFMX_Time) {
            ok = parseTime(text, seconds);
            if (!ok && parseTimeStamp(text, data.locale.kind, seconds)) {
                seconds = convertSeconds(seconds, kFMX_TimeStamp, kFMX_Time);
                ok = true;
            }
        } else {
            ok = parseTimeStamp(text, data.locale.kind, seconds);
        }
        return ok ? seconds : 0;
    }
    case kFMX_Number:
        return secondsFromNumber(data.number, type);
    case kFMX_Date:
    case kFMX_Time:
    case kFMX_TimeStamp:
        return convertSeconds(data.seconds, data.type, type);
    default:
        return 0;
    }
}

// Bits of FMX_Data::viewsBuilt.
enum : uint8_t { kTextView = 1, kNumberView = 2, kDateView = 4, kTimeView = 8, kStampView = 16 };

// Runs `build` to fill a view unless it was built since the value last changed. The lock keeps
// two readers from building at once; afterwards the view stays as it is.
template <typename Build>
void buildOnce(const FMX_Data* self, uint8_t view, Build&& build) {
    std::lock_guard<std::mutex> lock(self->viewLock);
    if ((self->viewsBuilt & view) != 0) return;
    build();
    self->viewsBuilt = static_cast<uint8_t>(self->viewsBuilt | view);
}

const FMX_DateTime* dateTimeView(const FMX_Data* self, int32_t type, FMX_Error* err) {
    if (!self) return failed<const FMX_DateTime*>(err);
    FMX_DateTime* view = type == kFMX_Date ? &self->dateView : type == kFMX_Time ? &self->timeView : &self->stampView;
    const uint8_t bit = type == kFMX_Date ? kDateView : type == kFMX_Time ? kTimeView : kStampView;
    buildOnce(self, bit, [&] { view->seconds = secondsAs(*self, type); });
    setError(err, kFMX_ErrorNone);
    return view;
}

// Empties the value before a setter stores another; its views are built afresh.
void clearValue(FMX_Data* self) {
    self->text.units.clear();
    self->number = 0;
    self->emptyNumber = false;
    self->seconds = 0;
    self->binary.clear();
    self->viewsBuilt = 0;
}

}  // namespace

extern "C" {

FMX_Data* FM_Data_Constructor1(FMX_Error* err) {
    FMX_Data* data = construct<FMX_Data>(err);
    if (data) data->locale.kind = currentLocaleKind();
    return data;
}

void FM_Data_Delete(FMX_Data* self, FMX_Error* err) { destroy(self, err); }

int32_t FM_Data_GetNativeType(const FMX_Data* self, FMX_Error* err) {
    if (!self) return failed<int32_t>(err);
    setError(err, kFMX_ErrorNone);
    return self->type;
}

const FMX_Text* FM_Data_GetAsText(const FMX_Data* self, FMX_Error* err) {
    if (!self) return failed<const FMX_Text*>(err);
    if (self->type == kFMX_Text) {
        setError(err, kFMX_ErrorNone);
        return &self->text;
    }
    try {
        buildOnce(self, kTextView, [&] { self->textView.units = utf8ToUnits(textOf(*self)); });
        setError(err, kFMX_ErrorNone);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
    return &self->textView;
}

const FMX_FixPt* FM_Data_GetAsNumber(const FMX_Data* self, FMX_Error* err) {
    if (!self) return failed<const FMX_FixPt*>(err);
    buildOnce(self, kNumberView, [&] {
        long double value = 0;
        switch (self->type) {
        case kFMX_Text:
            value = numberOfText(self->text.units, static_cast<char16_t>(localeForm(self->locale.kind).decimal));
            break;
        case kFMX_Number:
            value = self->number;
            break;
        case kFMX_Date:
        case kFMX_Time:
        case kFMX_TimeStamp:
            value = numberFromSeconds(self->seconds, self->type);
            break;
        default:
            break;
        }
        self->numberView.value = value;
    });
    setError(err, kFMX_ErrorNone);
    return &self->numberView;
}

const FMX_DateTime* FM_Data_GetAsDate(const FMX_Data* self, FMX_Error* err) {
    return dateTimeView(self, kFMX_Date, err);
}

const FMX_DateTime* FM_Data_GetAsTime(const FMX_Data* self, FMX_Error* err) {
    return dateTimeView(self, kFMX_Time, err);
}

const FMX_DateTime* FM_Data_GetAsTimeStamp(const FMX_Data* self, FMX_Error* err) {
    return dateTimeView(self, kFMX_TimeStamp, err);
}

// Values of other types read as an empty container.
const FMX_BinaryData* FM_Data_GetBinaryData(const FMX_Data* self, FMX_Error* err) {
    if (!self) return failed<const FMX_BinaryData*>(err);
    setError(err, kFMX_ErrorNone);
    return self->type == kFMX_Container ? &self->binary : &self->binaryView;
}

const FMX_Locale* FM_Data_GetLocale(const FMX_Data* self, FMX_Error* err) {
    if (!self) return failed<const FMX_Locale*>(err);
    setError(err, kFMX_ErrorNone);
    return &self->locale;
}

// Stores a text as the given type; a text that does not read as that type leaves the value
// unchanged and returns non-zero.
int16_t FM_Data_SetAsText(FMX_Data* self, const FMX_Text* text, const FMX_Locale* locale, int32_t nativeType,
                          FMX_Error* err) {
    if (!self || !text) return failed<int16_t>(err) + 1;
    const int32_t kind = locale ? locale->kind : self->locale.kind;
    try {
        if (nativeType == kFMX_Text || nativeType == kFMX_Invalid) {
            std::u16string units = text->units;  // text may be this value's own view
            clearValue(self);
            self->text.units = std::move(units);
            self->type = kFMX_Text;
        } else if (nativeType == kFMX_Number) {
            const long double value = numberOfText(text->units, static_cast<char16_t>(localeForm(kind).decimal));
            // An empty text stored as a number is an empty number field, as the host keeps one.
            const bool empty = text->units.find_first_not_of(u" \t\r\n") == std::u16string::npos;
            clearValue(self);
            self->number = value;
            self->emptyNumber = empty;
            self->type = kFMX_Number;
        } else if (isDateTimeType(nativeType)) {
            int64_t seconds = 0;
            const bool ok = nativeType == kFMX_Date   ? parseDate(text->units, kind, seconds)
                            : nativeType == kFMX_Time ? parseTime(text->units, seconds)
                                                      : parseTimeStamp(text->units, kind, seconds);
            setError(err, kFMX_ErrorNone);
            if (!ok) return 1;
            clearValue(self);
            self->seconds = seconds;
            self->type = nativeType;
        } else {
            return failed<int16_t>(err) + 1;
        }
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
        return 1;
    }
    self->locale.kind = kind;
    setError(err, kFMX_ErrorNone);
    return 0;
}

void FM_Data_SetAsNumber(FMX_Data* self, const FMX_FixPt* number, int32_t nativeType, FMX_Error* err) {
    if (!self || !number) return setError(err, kFMX_ErrorOther);
    const long double value = number->value;
    if (nativeType == kFMX_Number || nativeType == kFMX_Invalid) {
        clearValue(self);
        self->number = value;
        self->type = kFMX_Number;
    } else if (isDateTimeType(nativeType)) {
        clearValue(self);
        self->seconds = secondsFromNumber(value, nativeType);
        self->type = nativeType;
    } else if (nativeType == kFMX_Text) {
        try {
            std::u16string units = utf8ToUnits(formatNumber(value));
            clearValue(self);
            self->text.units = std::move(units);
            self->type = kFMX_Text;
        } catch (const std::bad_alloc&) {
            return setError(err, kFMX_ErrorMemory);
        }
    } else {
        return setError(err, kFMX_ErrorOther);
    }
    setError(err, kFMX_ErrorNone);
}

int32_t FM_Data_SetDateTime(FMX_Data* self, const FMX_DateTime* dateTime, int32_t nativeType, FMX_Error* err) {
    if (!self || !dateTime || !isDateTimeType(nativeType)) return failed<int32_t>(err) + 1;
    const int64_t seconds = convertSeconds(dateTime->seconds, kFMX_TimeStamp, nativeType);
    clearValue(self);
    self->seconds = seconds;
    self->type = nativeType;
    setError(err, kFMX_ErrorNone);
    return 0;
}

void FM_Data_SetBinaryData(FMX_Data* self, const FMX_BinaryData* binary, bool /*forceBinaryNativeType*/,
                           FMX_Error* err) {
    if (!self || !binary) return setError(err, kFMX_ErrorOther);
    try {
        FMX_BinaryData copy = *binary;  // binary may be this value's own
        clearValue(self);
        self->binary = std::move(copy);
        self->type = kFMX_Container;
    } catch (const std::bad_alloc&) {
        return setError(err, kFMX_ErrorMemory);
    }
    setError(err, kFMX_ErrorNone);
}

}  // extern "C"
