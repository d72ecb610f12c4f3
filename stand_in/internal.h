// What the host stand-in's objects hold, and the helpers its operation files share.
// Sections: the objects; error records and allocation; UTF-8; calendar; conversions; locale.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in/fmhost.h"

// ---- The objects behind the opaque handles -------------------------------------------------

struct FMX_Text {
    std::u16string units;  // UTF-16 code units, as the host counts characters
};

struct FMX_QuadChar {
    uint32_t value = 0;  // first character in the highest byte
};

struct FMX_FixPt {
    long double value = 0;  // 64-bit mantissa: about 19 significant digits
    int32_t precision = 16;
};

struct FMX_DateTime {
    int64_t seconds = 0;  // since 0001-01-01 00:00:00
};

struct FMX_Locale {
    int32_t kind = 0;  // index into the locale table (0: month/day/year)
};

struct FMX_BinaryData {
    struct Stream {
        uint32_t type;
        std::vector<uint8_t> bytes;
    };
    std::vector<Stream> streams;
    uint64_t totalSize = 0;  // bytes of all streams, kept as streams come and go

    void clear() {
        streams.clear();
        totalSize = 0;
    }
};

struct FMX_Data {
    int32_t type = kFMX_Invalid;
    // The value in its native type; only the member of `type` is meaningful.
    FMX_Text text;
    long double number = 0;
    bool emptyNumber = false;  // a number field without a value: it reads as 0, its text is empty
    int64_t seconds = 0;  // date, time and timestamp
    FMX_BinaryData binary;
    FMX_Locale locale;
    // Views handed out by the getters, each built once from the native value when first asked
    // for and kept until the value changes: readers in several threads may hold a view while
    // another thread asks for it again, so a built view is never written.
    mutable FMX_Text textView;
    mutable FMX_FixPt numberView;
    mutable FMX_DateTime dateView, timeView, stampView;
    const FMX_BinaryData binaryView{};  // what values of other types read as: always empty
    mutable std::mutex viewLock;      // guards building the views and viewsBuilt
    mutable uint8_t viewsBuilt = 0;   // bits of the views built since the value last changed

    FMX_Data() = default;
    // Copies take the value and its locale, not the views.
    FMX_Data(const FMX_Data& other)
        : type(other.type), text(other.text), number(other.number), emptyNumber(other.emptyNumber),
          seconds(other.seconds),
          binary(other.binary), locale(other.locale) {}
    FMX_Data& operator=(const FMX_Data&) = delete;
};

struct FMX_DataVect {
    std::vector<FMX_Data> values;
};

struct FMX_ExprEnv {
    int32_t unused = 0;
};

namespace fmhost {

// ---- Error records and allocation ------------------------------------------------------------

// Writes an outcome into the caller's record (which may be null).
inline void setError(FMX_Error* err, int32_t code) {
    if (err) err->code = code;
}

// Reports a failure of kind "other" and gives the empty result of an operation.
template <typename Result>
Result failed(FMX_Error* err) {
    setError(err, kFMX_ErrorOther);
    return Result{};
}

// The lock around every process-wide registry of the library.
std::mutex& registryMutex();

// Count one allocation or registration against the failure injection; false when this one
// is to fail.
bool allocationAllowed();
bool registrationAllowed();
// Clears the registrations and the unregistration log (part of fmhost_reset).
void clearRegistrations();

// Host objects made by a constructor and not yet deleted (fmhost_live_objects).
std::atomic<int32_t>& liveObjects();

// Creates a host object for a constructor: null with code 1 when the allocation fails
// (injected or real), else the object with code 0.
template <typename T, typename... Args>
T* construct(FMX_Error* err, Args&&... args) {
    if (!allocationAllowed()) {
        setError(err, kFMX_ErrorMemory);
        return nullptr;
    }
    T* object = new (std::nothrow) T{std::forward<Args>(args)...};
    setError(err, object ? kFMX_ErrorNone : kFMX_ErrorMemory);
    if (object) ++liveObjects();
    return object;
}

// Deletes a host object for a destructor (null is a failure, code 2).
template <typename T>
void destroy(T* object, FMX_Error* err) {
    setError(err, object ? kFMX_ErrorNone : kFMX_ErrorOther);
    if (object) --liveObjects();
    delete object;
}

// ---- UTF-8 <-> UTF-16 ------------------------------------------------------------------------

// Invalid or truncated sequences become U+FFFD, one per maximal ill-formed part.
std::u16string utf8ToUnits(std::string_view bytes);
// Lone surrogates become U+FFFD.
std::string unitsToUtf8(std::u16string_view units);
std::u16string asciiUnits(std::string_view ascii);
// Simple lower-case mapping of one UTF-16 unit (characters outside the BMP map to themselves).
char16_t lowerUnit(char16_t unit);

// ---- Calendar (proleptic Gregorian, days counted from 0001-01-01 = 0) --------------------------

constexpr int64_t kSecondsPerDay = 86400;

int64_t daysFromCivil(int64_t year, int64_t month, int64_t day);
struct Civil {
    int64_t year;
    int month, day;
};
Civil civilFromDays(int64_t days);
bool isLeapYear(int64_t year);
int daysInMonth(int64_t year, int month);
// Floor division and its remainder, for negative second counts.
inline int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
inline int64_t floorMod(int64_t a, int64_t b) { return a - floorDiv(a, b) * b; }

// ---- Locale ---------------------------------------------------------------------------------

enum class DateOrder { MonthDayYear, DayMonthYear };
struct LocaleForm {
    const char* name;
    DateOrder order;
    char separator;  // between the date's parts
    char decimal;    // the decimal separator of numbers written in the locale
};
const LocaleForm& localeForm(int32_t kind);
int32_t currentLocaleKind();

// ---- Conversions between native types ------------------------------------------------------

// Plain decimal form with up to 16 significant digits ("42", "-0.5"); "?" for NaN or infinity.
std::string formatNumber(long double value);
// A text read as a number the way the host reads it: the digits, the first of the locale's
// decimal separator `decimal`, a minus before the first digit and an exponent right after the
// digits count; everything else (grouping marks, currency signs, units, blanks) is passed over.
// "$1,655.82" is 1655.82, with `decimal` "," "1.655,82 €" is too, "12%" is 12; 0 without digits.
long double numberOfText(std::u16string_view text, char16_t decimal = u'.');

// Text forms of date-time parts in a locale: "6/12/2009", "14:30:00", "6/12/2009 14:30:00".
std::string formatDate(int64_t seconds, int32_t localeKind);
std::string formatTime(int64_t seconds);
std::string formatTimeStamp(int64_t seconds, int32_t localeKind);
// Reads a text as a date (seconds at midnight), a time (seconds since midnight) or a timestamp;
// false when it is not one. Surrounding blanks are ignored.
bool parseDate(std::u16string_view text, int32_t localeKind, int64_t& seconds);
bool parseTime(std::u16string_view text, int64_t& seconds);
bool parseTimeStamp(std::u16string_view text, int32_t localeKind, int64_t& seconds);

}  // namespace fmhost
