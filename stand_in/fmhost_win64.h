/*
 * fmhost_win64.h - the call record and host declarations of 64-bit Windows hosts. Included by
 * fmhost.h. Two differences from Linux make the record 72 bytes, not 74: unusedID is 16-bit,
 * and long is 32-bit on Windows, so the host's 64-bit quantities are long long and its
 * pointer-sized fields unsigned 64-bit integers. The host's entry point and callbacks are
 * __stdcall, which on x64 is the one Windows calling convention.
 */
#ifndef PLOTWISE_HOST_FMHOST_WIN64_H
#define PLOTWISE_HOST_FMHOST_WIN64_H

#include <stddef.h>
#include <stdint.h>

/* The stand-in (FMWrapper.dll) exports its functions by name; a plug-in or program imports
 * them through FMWrapper.dll's import library. */
#ifdef PLOTWISE_BUILDING_HOST
#define FMHOST_API __declspec(dllexport)
#else
#define FMHOST_API
#endif
/* The plug-in's entry point, the one symbol it exports. */
#define FMX_PLUGIN_EXPORT __declspec(dllexport)

/* Record the host hands to the entry point for each message; owned by the host and valid for
 * that one call. Packed: no padding anywhere.
 *
 *   offset size field
 *        0    2 extnVersion   the host's interface version
 *        2    2 unusedID      always -1
 *        4    8 entryPoint    the plug-in's own entry point
 *       12    1 unusedFlag
 *       13    1 whichCall     the message
 *       14    1 unsafeCalls   true when not called from the host's main thread
 *       15    1 parm1         start-up: application; idle: level; string request: which string
 *       16    8 parm2         start-up: the host's version (UTF-16); string request: language id
 *       24    8 parm3         string request: capacity of the result buffer in UTF-16 units
 *       32    8 instanceID    the plug-in's module handle (HINSTANCE)
 *       40    8 result        start-up: the answer; string request: address of the UTF-16 buffer
 *       48    8 unused
 *       56    8 cStartScript  host service (not used here)
 *       64    8 cCurrentEnv   host service (not used here)
 */
typedef struct FMX_ExternCallStruct FMX_ExternCallStruct;
typedef void(__stdcall* FMX_ExternCallProcPtr)(FMX_ExternCallStruct* record);
typedef void(__stdcall* FMX_HostServicePtr)(void);

#pragma pack(push, 1)
struct FMX_ExternCallStruct {
    int16_t extnVersion;
    int16_t unusedID;
    FMX_ExternCallProcPtr entryPoint;
    uint8_t unusedFlag;
    uint8_t whichCall;
    uint8_t unsafeCalls;
    uint8_t parm1;
    uint64_t parm2;
    uint64_t parm3;
    uint64_t instanceID;
    uint64_t result;
    uint64_t unused;
    FMX_HostServicePtr cStartScript;
    FMX_HostServicePtr cCurrentEnv;
};
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(void*) == 8 && sizeof(FMX_ExternCallProcPtr) == 8, "a 64-bit Windows build");
static_assert(sizeof(FMX_ExternCallStruct) == 72, "the host's record is 72 bytes");
static_assert(offsetof(FMX_ExternCallStruct, extnVersion) == 0 && offsetof(FMX_ExternCallStruct, unusedID) == 2 &&
                  offsetof(FMX_ExternCallStruct, entryPoint) == 4 && offsetof(FMX_ExternCallStruct, unusedFlag) == 12 &&
                  offsetof(FMX_ExternCallStruct, whichCall) == 13 && offsetof(FMX_ExternCallStruct, unsafeCalls) == 14 &&
                  offsetof(FMX_ExternCallStruct, parm1) == 15 && offsetof(FMX_ExternCallStruct, parm2) == 16 &&
                  offsetof(FMX_ExternCallStruct, parm3) == 24 && offsetof(FMX_ExternCallStruct, instanceID) == 32 &&
                  offsetof(FMX_ExternCallStruct, result) == 40 && offsetof(FMX_ExternCallStruct, unused) == 48 &&
                  offsetof(FMX_ExternCallStruct, cStartScript) == 56 && offsetof(FMX_ExternCallStruct, cCurrentEnv) == 64,
              "the host's record layout");
#else
_Static_assert(sizeof(FMX_ExternCallStruct) == 72, "the host's record is 72 bytes");
#endif

#endif /* PLOTWISE_HOST_FMHOST_WIN64_H */
