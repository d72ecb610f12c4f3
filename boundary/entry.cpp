// The host's calls to the plug-in: start-up, shutdown and string requests.
#include "boundary/entry.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "boundary/boundary.h"
#include "resources/strings.h"

namespace plotwise {
namespace {

// The options text: the creator code, then the host's option flags.
constexpr char16_t kOptions[] = u"QXPL1nnYnnn";
constexpr int kOptionsUnits = static_cast<int>(std::size(kOptions));  // with the zero
static_assert(kOptionsUnits == 12);

// Hosts from the first 64-bit interface on are served; the answer is the interface version
// the record layout was built for.
void startUp(FMX_ExternCallStruct* record, std::span<const FunctionEntry> functions) {
    if (record->extnVersion < kFMX_FirstVersion64 || record->extnVersion > kFMX_LastVersion) {
        record->result = kFMX_WrongVersion;
        return;
    }
    record->result = registerAllFunctions(functions) ? intptr_t{kFMX_CurrentVersion} : intptr_t{kFMX_DoNotEnable};
}

// Withdraws the functions. The plug-in holds no host object between calls: each call's
// objects go back to the host when the call ends.
void shutDown(std::span<const FunctionEntry> functions) { unregisterAllFunctions(functions); }

// Fills the host's UTF-16 buffer; requests the plug-in does not answer leave it untouched.
void answerString(const FMX_ExternCallStruct* record) {
    auto* buffer = reinterpret_cast<char16_t*>(record->result);
    if (!buffer) return;
    const int capacity = record->parm3 > INT_MAX ? INT_MAX : static_cast<int>(record->parm3);
    switch (record->parm1) {
    case kFMXT_NameStr:
        loadStringResource(kNameString, buffer, capacity);
        break;
    case kFMXT_AppConfigStr:
        loadStringResource(kDescriptionString, buffer, capacity);
        break;
    case kFMXT_OptionsStr:
        // The options are read as a whole; a buffer too small for them gets nothing.
        if (capacity >= kOptionsUnits) std::copy(kOptions, kOptions + kOptionsUnits, buffer);
        break;
    default:
        break;
    }
}

}  // namespace

void answerHostCall(FMX_ExternCallStruct* record, std::span<const FunctionEntry> functions) noexcept {
    if (!record) return;
    try {
        // No lock: the messages touch no state the calculation functions use, so a call in
        // flight finishes while the host shuts the plug-in down (and the host, not a lock of
        // the plug-in, orders its own messages).
        switch (record->whichCall) {
        case kFMXT_Init:
            startUp(record, functions);
            break;
        case kFMXT_Shutdown:
            shutDown(functions);
            break;
        case kFMXT_GetString:
            answerString(record);
            break;
        default:
            break;  // idle, preferences, session and file shutdown need nothing from the plug-in
        }
    } catch (...) {
        // No exception reaches the host; a start-up that failed this way did not start.
        if (record->whichCall == kFMXT_Init) record->result = kFMX_DoNotEnable;
    }
}

}  // namespace plotwise
