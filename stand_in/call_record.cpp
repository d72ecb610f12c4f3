// The call record as a host fills it before each message.
#include <cstring>

#include "stand_in/internal.h"

extern "C" {

void fmhost_init_call_record(FMX_ExternCallStruct* record, FMX_ExternCallProcPtr entryPoint, void* instanceID) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    record->extnVersion = kFMX_CurrentVersion;
    record->unusedID = -1;
    record->entryPoint = entryPoint;
    record->instanceID = reinterpret_cast<uintptr_t>(instanceID);
}

}  // extern "C"
