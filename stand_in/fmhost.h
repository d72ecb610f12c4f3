/*
 * fmhost.h - the host library as the plug-in sees it.
 *
 * On Windows these operations come from the database application's own library. Here the
 * stand-in library libFMWrapper.so provides them with the host's names and binary interface: C
 * linkage, opaque handles (objects passed by reference are pointers), an error record passed
 * last, 16-bit error codes and one-byte bools. After a call the record's code is
 * 0 (success), 1 (memory could not be had) or 2 (any other failure).
 *
 * Sections: error record and handles; the call record; texts; data values; argument vectors;
 * containers; four-character codes; fixed-point numbers; date-times; locales; expression
 * environment and registration; the host side (what a hosting program or a test uses).
 */
#ifndef PLOTWISE_HOST_FMHOST_H
#define PLOTWISE_HOST_FMHOST_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The platform's call record, its types and how the host library's functions are declared
 * (FMHOST_API): 64-bit Windows differs from Linux and macOS in both. */
#if defined(_WIN32)
#include "stand_in/fmhost_win64.h"
#else
#include "stand_in/fmhost_lp64.h"
#endif

/* ---- Error record and handles ------------------------------------------------------- */

/* Passed last to every operation; the host writes its outcome into `code`. */
typedef struct FMX_Error {
    int32_t version; /* 1 */
    int32_t code;    /* 0 success, 1 out of memory, 2 other failure */
} FMX_Error;

enum { kFMX_ErrorNone = 0, kFMX_ErrorMemory = 1, kFMX_ErrorOther = 2 };

typedef struct FMX_Text FMX_Text;
typedef struct FMX_Data FMX_Data;
typedef struct FMX_DataVect FMX_DataVect;
typedef struct FMX_BinaryData FMX_BinaryData;
typedef struct FMX_QuadChar FMX_QuadChar;
typedef struct FMX_FixPt FMX_FixPt;
typedef struct FMX_DateTime FMX_DateTime;
typedef struct FMX_Locale FMX_Locale;
typedef struct FMX_ExprEnv FMX_ExprEnv;

/* Native data types of a data value. */
enum {
    kFMX_Invalid = 0,
    kFMX_Text = 1,
    kFMX_Number = 2,
    kFMX_Date = 3,
    kFMX_Time = 4,
    kFMX_TimeStamp = 5,
    kFMX_Container = 6
};

/* Host error codes the stand-in reports. */
enum {
    kFMX_RecordMissing = 101, /* a record number outside the found set */
    kFMX_FieldMissing = 102,  /* unknown table or field */
    kFMX_CalcError = 1200     /* calculation errors are 1200 and above */
};

/* Text encodings of FM_Text_Assign / FM_Text_GetBytes. The platform's default is not UTF-8 on
 * every host; the stand-in takes it as ISO 8859-1, so bytes sent under the wrong name show. */
enum { kFMX_EncodingNative = 0, kFMX_EncodingUTF8 = 1 };

/* FM_Text_Find's answer when the text does not occur. */
#define kFMX_TextNotFound 0xFFFFFFFFu

/* ---- The call record ------------------------------------------------------------------ */

/* Messages of FMExternCallProc. */
enum {
    kFMXT_Init = 0,
    kFMXT_Idle = 1,
    kFMXT_Shutdown = 4,
    kFMXT_DoAppPreferences = 5,
    kFMXT_GetString = 7,
    kFMXT_SessionShutdown = 8,
    kFMXT_FileShutdown = 9
};

/* String requests (parm1 of kFMXT_GetString). */
enum { kFMXT_NameStr = 128, kFMXT_AppConfigStr = 129, kFMXT_OptionsStr = 131, kFMXT_HelpURLStr = 132 };

/* Host interface versions (extnVersion): the first with 64-bit plug-ins, the one this record
 * layout was built for (version 20.1 hosts and later), and the highest a host may send. */
enum { kFMX_FirstVersion64 = 53, kFMX_CurrentVersion = 71, kFMX_LastVersion = 255 };

/* Start-up answers besides the interface version. */
enum { kFMX_WrongVersion = -1, kFMX_DoNotEnable = -2 };

/* A registered calculation function. */
typedef int16_t (*FMX_ExternCallPtr)(int16_t functionId, const FMX_ExprEnv* env,
                                      const FMX_DataVect* parms, FMX_Data* result);

/* ---- Texts (Unicode; UTF-8 in and out) ------------------------------------------------- */

FMHOST_API FMX_Text* FM_Text_Constructor1(FMX_Error* err);
FMHOST_API void FM_Text_Delete(FMX_Text* self, FMX_Error* err);
FMHOST_API void FM_Text_Assign(FMX_Text* self, const char* s, int32_t encoding, FMX_Error* err);
FMHOST_API void FM_Text_AssignUnicode(FMX_Text* self, const uint16_t* s, FMX_Error* err);
/* Appends `size` characters of `other` from `position` (size 0xFFFFFFFF: all). */
FMHOST_API void FM_Text_AppendText(FMX_Text* self, const FMX_Text* other, uint32_t position,
                                   uint32_t size, FMX_Error* err);
/* Length in characters (UTF-16 code units, as the host counts). */
FMHOST_API uint32_t FM_Text_GetSize(const FMX_Text* self, FMX_Error* err);
/* Writes the characters [position, position + size) as zero-terminated bytes into `buffer`
 * of `capacity` bytes; a text that does not fit is cut at a character boundary. */
FMHOST_API void FM_Text_GetBytes(const FMX_Text* self, char* buffer, uint32_t capacity,
                                 uint32_t position, uint32_t size, int32_t encoding, FMX_Error* err);
/* Position of the first occurrence of `other` at or after `position`, or kFMX_TextNotFound. */
FMHOST_API uint32_t FM_Text_Find(const FMX_Text* self, const FMX_Text* other, uint32_t position,
                                 FMX_Error* err);
FMHOST_API void FM_Text_DeleteText(FMX_Text* self, uint32_t position, uint32_t count, FMX_Error* err);
/* Lowers the case of the text in place (Unicode simple case mapping). */
FMHOST_API void FM_Text_Lowercase(FMX_Text* self, FMX_Error* err);
/* True when both texts hold the same characters (case counts). */
FMHOST_API bool FM_Text_operatorEQ(const FMX_Text* self, const FMX_Text* other, FMX_Error* err);

/* ---- Data values ------------------------------------------------------------------------ */

FMHOST_API FMX_Data* FM_Data_Constructor1(FMX_Error* err);
FMHOST_API void FM_Data_Delete(FMX_Data* self, FMX_Error* err);
FMHOST_API int32_t FM_Data_GetNativeType(const FMX_Data* self, FMX_Error* err);
/* Getters return views owned by the value, valid until it changes or is deleted. Each converts:
 * a number's text is its plain form ("42", "-0.5"); a text reads as a number from its digits,
 * the locale's decimal separator, a minus before the digits and an exponent, passing over
 * anything else ("$1,655.82" is 1655.82, "12%" is 12; 0 without digits); a text reads as a date, time or timestamp by the value's locale (invalid texts
 * give the zero date-time). */
FMHOST_API const FMX_Text* FM_Data_GetAsText(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_FixPt* FM_Data_GetAsNumber(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_DateTime* FM_Data_GetAsDate(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_DateTime* FM_Data_GetAsTime(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_DateTime* FM_Data_GetAsTimeStamp(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_BinaryData* FM_Data_GetBinaryData(const FMX_Data* self, FMX_Error* err);
FMHOST_API const FMX_Locale* FM_Data_GetLocale(const FMX_Data* self, FMX_Error* err);
/* 0 on success; a text that does not read as the native type leaves the value unchanged. */
FMHOST_API int16_t FM_Data_SetAsText(FMX_Data* self, const FMX_Text* text, const FMX_Locale* locale,
                                     int32_t nativeType, FMX_Error* err);
FMHOST_API void FM_Data_SetAsNumber(FMX_Data* self, const FMX_FixPt* number, int32_t nativeType,
                                    FMX_Error* err);
/* nativeType kFMX_Date, kFMX_Time or kFMX_TimeStamp. */
FMHOST_API int32_t FM_Data_SetDateTime(FMX_Data* self, const FMX_DateTime* dateTime,
                                       int32_t nativeType, FMX_Error* err);
FMHOST_API void FM_Data_SetBinaryData(FMX_Data* self, const FMX_BinaryData* binary,
                                      bool forceBinaryNativeType, FMX_Error* err);

/* ---- Argument vectors ------------------------------------------------------------------- */

FMHOST_API FMX_DataVect* FM_DataVect_Constructor1(FMX_Error* err);
FMHOST_API void FM_DataVect_Delete(FMX_DataVect* self, FMX_Error* err);
FMHOST_API void FM_DataVect_PushBack(FMX_DataVect* self, const FMX_Data* value, FMX_Error* err); /* copies */
FMHOST_API uint32_t FM_DataVect_Size(const FMX_DataVect* self, FMX_Error* err);
/* An index at or past the end is a failure (code 2) and gives a null view. */
FMHOST_API const FMX_Data* FM_DataVect_At(const FMX_DataVect* self, uint32_t position, FMX_Error* err);
FMHOST_API const FMX_Text* FM_DataVect_AtAsText(const FMX_DataVect* self, uint32_t position, FMX_Error* err);
FMHOST_API const FMX_FixPt* FM_DataVect_AtAsNumber(const FMX_DataVect* self, uint32_t position, FMX_Error* err);
FMHOST_API const FMX_BinaryData* FM_DataVect_AtAsBinaryData(const FMX_DataVect* self, uint32_t position,
                                                            FMX_Error* err);

/* ---- Containers: ordered lists of (four-character type, bytes) streams --------------------- */

FMHOST_API FMX_BinaryData* FM_BinaryData_Constructor1(FMX_Error* err);
FMHOST_API void FM_BinaryData_Delete(FMX_BinaryData* self, FMX_Error* err);
FMHOST_API int32_t FM_BinaryData_GetCount(const FMX_BinaryData* self, FMX_Error* err);
/* Index of the first stream of that type, or -1. */
FMHOST_API int32_t FM_BinaryData_GetIndex(const FMX_BinaryData* self, const FMX_QuadChar* type, FMX_Error* err);
FMHOST_API uint32_t FM_BinaryData_GetTotalSize(const FMX_BinaryData* self, FMX_Error* err);
FMHOST_API uint32_t FM_BinaryData_GetSize(const FMX_BinaryData* self, int32_t index, FMX_Error* err);
/* Writes the stream's four characters into type[0..3]; 0 on success. */
FMHOST_API int32_t FM_BinaryData_GetType(const FMX_BinaryData* self, int32_t index, char type[4], FMX_Error* err);
/* Copies `amount` bytes from `offset` of stream `index` into buffer; 0 on success, non-zero when
 * the range lies outside the stream. */
FMHOST_API int16_t FM_BinaryData_GetData(const FMX_BinaryData* self, int32_t index, uint32_t offset,
                                         uint32_t amount, void* buffer, FMX_Error* err);
/* Appends a stream; 0 on success. */
FMHOST_API int16_t FM_BinaryData_Add(FMX_BinaryData* self, const FMX_QuadChar* type, uint32_t size,
                                     void* data, FMX_Error* err);
FMHOST_API void FM_BinaryData_RemoveAll(FMX_BinaryData* self, FMX_Error* err);

/* ---- Four-character codes --------------------------------------------------------------- */

FMHOST_API FMX_QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, FMX_Error* err);
FMHOST_API void FM_QuadChar_Delete(FMX_QuadChar* self, FMX_Error* err);
/* The four characters as one number, the first in the highest byte. */
FMHOST_API uint32_t FM_QuadChar_GetValue(const FMX_QuadChar* self, FMX_Error* err);

/* ---- Fixed-point numbers (decimal, at least 16 significant digits) ------------------------ */

FMHOST_API FMX_FixPt* FM_FixPt_Constructor1(int32_t value, int precision, FMX_Error* err);
FMHOST_API void FM_FixPt_Delete(FMX_FixPt* self, FMX_Error* err);
FMHOST_API void FM_FixPt_AssignInt(FMX_FixPt* self, int32_t value, FMX_Error* err);
FMHOST_API void FM_FixPt_AssignInt64(FMX_FixPt* self, int64_t value, FMX_Error* err);
FMHOST_API void FM_FixPt_AssignDouble(FMX_FixPt* self, double value, FMX_Error* err);
/* Truncates toward zero; values beyond the 32-bit range saturate. */
FMHOST_API int32_t FM_FixPt_AsLong(const FMX_FixPt* self, FMX_Error* err);
/* Truncates toward zero; values beyond the 64-bit range saturate. */
FMHOST_API int64_t FM_FixPt_AsLong64(const FMX_FixPt* self, FMX_Error* err);
FMHOST_API double FM_FixPt_AsFloat(const FMX_FixPt* self, FMX_Error* err);

/* ---- Date-times: seconds since 0001-01-01 00:00:00 (proleptic Gregorian) ------------------- */

FMHOST_API FMX_DateTime* FM_DateTime_Constructor1(FMX_Error* err);
FMHOST_API void FM_DateTime_Delete(FMX_DateTime* self, FMX_Error* err);
FMHOST_API int16_t FM_DateTime_GetYear(const FMX_DateTime* self, FMX_Error* err);
FMHOST_API int16_t FM_DateTime_GetMonth(const FMX_DateTime* self, FMX_Error* err);
FMHOST_API int16_t FM_DateTime_GetDay(const FMX_DateTime* self, FMX_Error* err);
FMHOST_API int32_t FM_DateTime_GetHour(const FMX_DateTime* self, FMX_Error* err);
FMHOST_API int16_t FM_DateTime_GetMinute(const FMX_DateTime* self, FMX_Error* err);
FMHOST_API int16_t FM_DateTime_GetSec(const FMX_DateTime* self, FMX_Error* err);
/* Seconds travel as fixed-point numbers: the getters write them into `result`. */
FMHOST_API void FM_DateTime_GetSecsSinceMidnight(const FMX_DateTime* self, FMX_FixPt* result, FMX_Error* err);
FMHOST_API void FM_DateTime_GetSecondsSinceEpoch(const FMX_DateTime* self, FMX_FixPt* result, FMX_Error* err);
FMHOST_API void FM_DateTime_SetSecondsSinceEpoch(FMX_DateTime* self, const FMX_FixPt* seconds, FMX_Error* err);
/* Sets the date part (the time of day stays) and the time of day (the date stays); out-of-range
 * parts roll over as the host's Date ( ) and Time ( ) functions do. */
FMHOST_API void FM_DateTime_SetNormalizedDate(FMX_DateTime* self, int32_t month, int32_t day, int32_t year,
                                              FMX_Error* err);
FMHOST_API void FM_DateTime_SetNormalizedTime(FMX_DateTime* self, int64_t hour, int32_t minute, int32_t sec,
                                              FMX_Error* err);

/* ---- Locales ----------------------------------------------------------------------------- */

/* Type 1: the host's current locale. */
FMHOST_API FMX_Locale* FM_Locale_Constructor1(int32_t type, FMX_Error* err);
FMHOST_API void FM_Locale_Delete(FMX_Locale* self, FMX_Error* err);
/* Copies `other` into self; returns self. */
FMHOST_API FMX_Locale* FM_Locale_operatorAS(FMX_Locale* self, const FMX_Locale* other, FMX_Error* err);

/* ---- Expression environment and registration ---------------------------------------------- */

/* Evaluates a calculation expression through the hosting program's hook; the host error code
 * (0 success). Without a hook every evaluation fails with kFMX_CalcError. */
FMHOST_API int16_t FM_ExprEnv_Evaluate(const FMX_ExprEnv* self, const FMX_Text* expression,
                                       FMX_Data* result, FMX_Error* err);
FMHOST_API int16_t FM_ExprEnv_RegisterExternalFunction(const FMX_QuadChar* pluginId, int16_t functionId,
                                                       const FMX_Text* name, const FMX_Text* prototype,
                                                       int16_t minArgs, int16_t maxArgs, uint32_t flags,
                                                       FMX_ExternCallPtr function, FMX_Error* err);
FMHOST_API int16_t FM_ExprEnv_UnRegisterExternalFunction(const FMX_QuadChar* pluginId, int16_t functionId,
                                                         FMX_Error* err);

/* ---- The host side: used by the hosting program and by tests ------------------------------ */

/* Hook that answers FM_ExprEnv_Evaluate: evaluates the UTF-8 expression into `result`. */
typedef int16_t (*fmhost_evaluate_hook)(void* context, const char* expression, FMX_Data* result);
FMHOST_API void fmhost_set_evaluate_hook(fmhost_evaluate_hook hook, void* context);
/* The hook set now (null when none) and, through `context` when given, its context: a test
 * puts a hook of its own in front of a hosting program's. */
FMHOST_API fmhost_evaluate_hook fmhost_get_evaluate_hook(void** context);

FMHOST_API FMX_ExprEnv* fmhost_env_create(void);
FMHOST_API void fmhost_env_delete(FMX_ExprEnv* env);

/* Fills a call record as a host does before each message: zero everywhere but the interface
 * version (kFMX_CurrentVersion), unusedID -1, the entry point and the module handle. */
FMHOST_API void fmhost_init_call_record(FMX_ExternCallStruct* record, FMX_ExternCallProcPtr entryPoint,
                                        void* instanceID);

/* Process-wide locale used to read texts as dates and times: "default" (month/day/year) or
 * "de" (day.month.year); ISO forms are always read. Returns 0 for a known name. */
FMHOST_API int32_t fmhost_set_locale(const char* name);
/* The decimal separator of numbers written in the process-wide locale: '.' or ','. A text read
 * as a number in a locale takes the locale's separator as its decimal point and passes over
 * every other character but digits, a minus and an exponent ("1.234,5" is 1234.5 under "de"). */
FMHOST_API char fmhost_decimal_mark(void);

/* The functions registered now, in the order of registration. */
typedef struct fmhost_registration {
    uint32_t pluginId;   /* four characters, the first in the highest byte */
    int16_t functionId;
    char name[256];      /* UTF-8 */
    char prototype[1024];
    int16_t minArgs;
    int16_t maxArgs;     /* -1: no upper limit */
    uint32_t flags;
    FMX_ExternCallPtr function;
} fmhost_registration;
FMHOST_API int32_t fmhost_registration_count(void);
FMHOST_API int32_t fmhost_registration_at(int32_t index, fmhost_registration* out); /* 0 on success */
/* Finds a registration by name (without regard to case); 0 on success. */
FMHOST_API int32_t fmhost_find_registration(const char* name, fmhost_registration* out);
FMHOST_API int32_t fmhost_find_registration_id(int16_t functionId, fmhost_registration* out);
/* Function ids passed to FM_ExprEnv_UnRegisterExternalFunction so far, oldest first. */
FMHOST_API int32_t fmhost_unregistration_log(int16_t* ids, int32_t capacity);
/* Clears registrations, logs and failure injection. */
FMHOST_API void fmhost_reset(void);

/* Failure injection, counted from the call that sets it (n = 1: the next one); 0 switches off.
 * A refused registration returns a non-zero result. A failed allocation is any constructor (it
 * returns null with error code 1), or a caller's own allocation counted through
 * fmhost_take_allocation. */
FMHOST_API void fmhost_fail_registration(int32_t n);
FMHOST_API void fmhost_fail_allocation(int32_t n);
/* Allocations still to go before the armed failure; 0 when none is armed (or it has happened). */
FMHOST_API int32_t fmhost_allocations_before_failure(void);
/* Counts one allocation of the caller's own against the failure injection: 0 when this one is
 * to fail, 1 otherwise. Lets a test make a plug-in's own memory run out on the Nth allocation. */
FMHOST_API int32_t fmhost_take_allocation(void);
/* Host objects made by a constructor and not yet deleted, for leak checks. */
FMHOST_API int32_t fmhost_live_objects(void);

#ifdef __cplusplus
}
#endif

#endif /* PLOTWISE_HOST_FMHOST_H */
