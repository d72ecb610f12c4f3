/*
 * fmhost_lp64.h - the call record and host declarations of 64-bit Linux and macOS hosts (LP64:
 * long and pointers are 64-bit). Included by fmhost.h.
 */
#ifndef PLOTWISE_HOST_FMHOST_LP64_H
#define PLOTWISE_HOST_FMHOST_LP64_H

#include <stddef.h>
#include <stdint.h>

#define FMHOST_API __attribute__((visibility("default")))
/* The plug-in's entry point, the one symbol it exports. */
#define FMX_PLUGIN_EXPORT __attribute__((visibility("default")))

/* Record the host hands to the entry point for each message; owned by the host and valid for
 * that one call. Packed: no padding anywhere. The pointer-sized fields are unsigned integers,
 * as the host declares them, not pointers.
 *
 *   offset size field
 *        0    2 extnVersion   the host's interface version
 *        2    4 unusedID      always -1
 *        6    8 entryPoint    the plug-in's own entry point
 *       14    1 unusedFlag
 *       15    1 whichCall     the message
 *       16    1 unsafeCalls   true when not called from the host's main thread
 *       17    1 parm1         start-up: application; idle: level; string request: which string
 *       18    8 parm2         start-up: the host's version (UTF-16); string request: language id
 *       26    8 parm3         string request: capacity of the result buffer in UTF-16 units
 *       34    8 instanceID    the plug-in's module handle
 *       42    8 result        start-up: the answer; string request: address of the UTF-16 buffer
 *       50    8 unused
 *       58    8 cStartScript  host service (not used here)
 *       66    8 cCurrentEnv   host service (not used here)
 */
typedef struct FMX_ExternCallStruct FMX_ExternCallStruct;
typedef void (*FMX_ExternCallProcPtr)(FMX_ExternCallStruct* record);
typedef void (*FMX_HostServicePtr)(void);

#pragma pack(push, 1)
struct FMX_ExternCallStruct {
    int16_t extnVersion;
    int32_t unusedID;
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
static_assert(sizeof(FMX_ExternCallStruct) == 74, "the host's record is 74 bytes");
static_assert(offsetof(FMX_ExternCallStruct, extnVersion) == 0 && offsetof(FMX_ExternCallStruct, unusedID) == 2 &&
                  offsetof(FMX_ExternCallStruct, entryPoint) == 6 && offsetof(FMX_ExternCallStruct, unusedFlag) == 14 &&
                  offsetof(FMX_ExternCallStruct, whichCall) == 15 && offsetof(FMX_ExternCallStruct, unsafeCalls) == 16 &&
                  offsetof(FMX_ExternCallStruct, parm1) == 17 && offsetof(FMX_ExternCallStruct, parm2) == 18 &&
                  offsetof(FMX_ExternCallStruct, parm3) == 26 && offsetof(FMX_ExternCallStruct, instanceID) == 34 &&
                  offsetof(FMX_ExternCallStruct, result) == 42 && offsetof(FMX_ExternCallStruct, unused) == 50 &&
                  offsetof(FMX_ExternCallStruct, cStartScript) == 58 && offsetof(FMX_ExternCallStruct, cCurrentEnv) == 66,
              "the host's record layout");
#else
_Static_assert(sizeof(FMX_ExternCallStruct) == 74, "the host's record is 74 bytes");
#endif

#endif /* PLOTWISE_HOST_FMHOST_LP64_H */
