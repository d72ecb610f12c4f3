// Compile-time proof that the host functions the plug-in calls, their callback and the call
// record have the host's binary shape. The table below is the host's interface; the file is
// compiled against our own declarations (stand_in/fmhost.h) in the tests, and against the vendor's
// headers when the build is given the vendor's SDK (PLOTWISE_FMX_SDK, which defines
// PLOTWISE_VENDOR_HEADERS): both passing means ours and the host's agree.
//
// A shape compares what travels in registers and on the stack, not type names: a pointer or a
// reference is a pointer, an enumeration its underlying integer, so the vendor's own classes
// and typedefs match our opaque handles and fixed-width integers.
#ifdef PLOTWISE_VENDOR_HEADERS
#include PLOTWISE_VENDOR_HEADERS
#else
#include "stand_in/fmhost.h"
#endif

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <tuple>
#include <type_traits>

namespace {

// What one parameter or result is at the binary level.
enum class Slot { Void, P, Bool, Char, I16, U16, I32, U32, I64, U64, F64, Other };

template <typename T>
constexpr Slot slotOf() {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    if constexpr (std::is_void_v<T>) {
        return Slot::Void;
    } else if constexpr (std::is_reference_v<T> || std::is_pointer_v<U>) {
        return Slot::P;
    } else if constexpr (std::is_enum_v<U>) {
        return slotOf<std::underlying_type_t<U>>();
    } else if constexpr (std::is_same_v<U, bool>) {
        return Slot::Bool;
    } else if constexpr (std::is_same_v<U, char>) {
        return Slot::Char;
    } else if constexpr (std::is_integral_v<U>) {
        constexpr bool s = std::is_signed_v<U>;
        switch (sizeof(U)) {
        case 2: return s ? Slot::I16 : Slot::U16;
        case 4: return s ? Slot::I32 : Slot::U32;
        case 8: return s ? Slot::I64 : Slot::U64;
        default: return Slot::Other;
        }
    } else if constexpr (std::is_same_v<U, double>) {
        return Slot::F64;
    } else {
        return Slot::Other;
    }
}

template <typename F>
struct Signature;
template <typename R, typename... A>
struct Signature<R (*)(A...)> {
    using Params = std::tuple<A...>;
    static constexpr Slot slots[] = {slotOf<R>(), slotOf<A>()...};
};
template <typename R, typename... A>
struct Signature<R (*)(A...) noexcept> : Signature<R (*)(A...)> {};

// True when function pointer type F has exactly the result and parameters listed.
template <typename F, Slot... Expected>
constexpr bool shapeIs() {
    constexpr Slot expected[] = {Expected...};
    const auto& actual = Signature<F>::slots;
    if (std::size(actual) != std::size(expected)) return false;
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        if (actual[i] != expected[i]) return false;
    }
    return true;
}

using enum Slot;

// Every host function ends with the error record, passed by reference (a pointer).
#define HOST_FUNCTION(name, result, ...) \
    static_assert(shapeIs<decltype(&::name), result __VA_OPT__(, ) __VA_ARGS__, P>(), #name " differs from the host's")

HOST_FUNCTION(FM_Text_Constructor1, P);
HOST_FUNCTION(FM_Text_Delete, Void, P);
HOST_FUNCTION(FM_Text_Assign, Void, P, P, I32);
HOST_FUNCTION(FM_Text_AssignUnicode, Void, P, P);
HOST_FUNCTION(FM_Text_AppendText, Void, P, P, U32, U32);
HOST_FUNCTION(FM_Text_GetSize, U32, P);
HOST_FUNCTION(FM_Text_GetBytes, Void, P, P, U32, U32, U32, I32);
HOST_FUNCTION(FM_Text_Find, U32, P, P, U32);
HOST_FUNCTION(FM_Text_DeleteText, Void, P, U32, U32);
HOST_FUNCTION(FM_Text_Lowercase, Void, P);
HOST_FUNCTION(FM_Text_operatorEQ, Bool, P, P);
HOST_FUNCTION(FM_Data_Constructor1, P);
HOST_FUNCTION(FM_Data_Delete, Void, P);
HOST_FUNCTION(FM_Data_GetNativeType, I32, P);
HOST_FUNCTION(FM_Data_GetAsText, P, P);
HOST_FUNCTION(FM_Data_GetAsNumber, P, P);
HOST_FUNCTION(FM_Data_GetAsDate, P, P);
HOST_FUNCTION(FM_Data_GetAsTime, P, P);
HOST_FUNCTION(FM_Data_GetAsTimeStamp, P, P);
HOST_FUNCTION(FM_Data_GetLocale, P, P);
HOST_FUNCTION(FM_Data_SetAsText, I16, P, P, P, I32);
HOST_FUNCTION(FM_Data_SetAsNumber, Void, P, P, I32);
HOST_FUNCTION(FM_Data_SetBinaryData, Void, P, P, Bool);
HOST_FUNCTION(FM_DataVect_Size, U32, P);
HOST_FUNCTION(FM_DataVect_At, P, P, U32);
HOST_FUNCTION(FM_DataVect_AtAsText, P, P, U32);
HOST_FUNCTION(FM_DataVect_AtAsNumber, P, P, U32);
HOST_FUNCTION(FM_DataVect_AtAsBinaryData, P, P, U32);
HOST_FUNCTION(FM_BinaryData_Constructor1, P);
HOST_FUNCTION(FM_BinaryData_Delete, Void, P);
HOST_FUNCTION(FM_BinaryData_GetIndex, I32, P, P);
HOST_FUNCTION(FM_BinaryData_GetTotalSize, U32, P);
HOST_FUNCTION(FM_BinaryData_GetSize, U32, P, I32);
HOST_FUNCTION(FM_BinaryData_GetData, I16, P, I32, U32, U32, P);
HOST_FUNCTION(FM_BinaryData_Add, I16, P, P, U32, P);
HOST_FUNCTION(FM_BinaryData_RemoveAll, Void, P);
HOST_FUNCTION(FM_QuadChar_Constructor2, P, Char, Char, Char, Char);
HOST_FUNCTION(FM_QuadChar_Delete, Void, P);
HOST_FUNCTION(FM_FixPt_Constructor1, P, I32, I32);
HOST_FUNCTION(FM_FixPt_Delete, Void, P);
HOST_FUNCTION(FM_FixPt_AssignInt, Void, P, I32);
HOST_FUNCTION(FM_FixPt_AssignInt64, Void, P, I64);
HOST_FUNCTION(FM_FixPt_AssignDouble, Void, P, F64);
HOST_FUNCTION(FM_FixPt_AsLong, I32, P);
HOST_FUNCTION(FM_FixPt_AsLong64, I64, P);
HOST_FUNCTION(FM_FixPt_AsFloat, F64, P);
HOST_FUNCTION(FM_DateTime_Constructor1, P);
HOST_FUNCTION(FM_DateTime_Delete, Void, P);
HOST_FUNCTION(FM_DateTime_GetYear, I16, P);
HOST_FUNCTION(FM_DateTime_GetMonth, I16, P);
HOST_FUNCTION(FM_DateTime_GetDay, I16, P);
HOST_FUNCTION(FM_DateTime_GetHour, I32, P);
HOST_FUNCTION(FM_DateTime_GetMinute, I16, P);
HOST_FUNCTION(FM_DateTime_GetSec, I16, P);
HOST_FUNCTION(FM_DateTime_GetSecsSinceMidnight, Void, P, P);
HOST_FUNCTION(FM_DateTime_GetSecondsSinceEpoch, Void, P, P);
HOST_FUNCTION(FM_DateTime_SetSecondsSinceEpoch, Void, P, P);
HOST_FUNCTION(FM_Locale_Constructor1, P, I32);
HOST_FUNCTION(FM_Locale_Delete, Void, P);
HOST_FUNCTION(FM_Locale_operatorAS, P, P, P);
HOST_FUNCTION(FM_ExprEnv_Evaluate, I16, P, P, P);
HOST_FUNCTION(FM_ExprEnv_RegisterExternalFunction, I16, P, I16, P, P, I16, I16, U32, P);
HOST_FUNCTION(FM_ExprEnv_UnRegisterExternalFunction, I16, P, I16);

// The registered functions' callback, as the host calls it: errcode (functionId, env, args, result).
using Callback = std::tuple_element_t<7, Signature<decltype(&::FM_ExprEnv_RegisterExternalFunction)>::Params>;
static_assert(shapeIs<Callback, I16, I16, P, P, P>(), "the calculation function callback differs from the host's");

// The call record: packed, 74 bytes, each field at the host's offset with the host's width.
using Record = ::FMX_ExternCallStruct;
#define RECORD_FIELD(field, offset, slot)                                                     \
    static_assert(offsetof(Record, field) == (offset), "record field " #field " is misplaced"); \
    static_assert(slotOf<decltype(Record::field)>() == (slot) ||                               \
                      (sizeof(Record::field) == 1 && (slot) == Char),                          \
                  "record field " #field " has another type")

static_assert(sizeof(Record) == 74, "the call record is not the host's 74 bytes");
RECORD_FIELD(extnVersion, 0, I16);
RECORD_FIELD(unusedID, 2, I32);
RECORD_FIELD(entryPoint, 6, P);
RECORD_FIELD(whichCall, 15, Char);
RECORD_FIELD(unsafeCalls, 16, Char);
RECORD_FIELD(parm1, 17, Char);
RECORD_FIELD(instanceID, 34, U64);
RECORD_FIELD(parm2, 18, U64);
RECORD_FIELD(parm3, 26, U64);
RECORD_FIELD(result, 42, U64);
static_assert(offsetof(Record, cStartScript) == 58 && offsetof(Record, cCurrentEnv) == 66,
              "the record's host services are misplaced");

}  // namespace
