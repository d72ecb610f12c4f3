// The plug-in's one entry point: start-up, shutdown and string requests.
#include <algorithm>
#include <climits>
#include <iterator>

#include "frame/boundary.h"
#include "frame/call_record.h"
#include "frame/registration.h"
#include "resources/strings.h"

namespace plotwise {
namespace {

// Host interface versions the plug-in works with (inclusive), and its start-up answers.
constexpr int16_t kOldestHostVersion = 50;
constexpr int16_t kNewestHostVersion = 255;
constexpr intptr_t kStarted = 51;
constexpr intptr_t kWrongHostVersion = -1;
constexpr intptr_t kRegistrationFailed = -2;

// The options text: the creator code, then the host's option flags.
constexpr char16_t kOptions[] = u"QXPL1nnYnnn";
constexpr int kOptionsUnits = static_cast<int>(std::size(kOptions));  // with the zero
static_assert(kOptionsUnits == 12);

void startUp(FMX_ExternCallStruct* record) {
    if (record->extnVersion < kOldestHostVersion || record->extnVersion > kNewestHostVersion) {
        record->result = kWrongHostVersion;
        return;
    }
    record->result = registerAllFunctions() ? kStarted : kRegistrationFailed;
}

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
}  // namespace plotwise

extern "C" __attribute__((visibility("default"))) void FMExternCallProc(FMX_ExternCallStruct* record) {
    using namespace plotwise;
    if (!record) return;
    try {
        // No lock: the stored record is atomic and the messages touch no state the calculation
        // functions use, so a call in flight finishes while the host shuts the plug-in down
        // (and the host, not a lock of the plug-in, orders its own messages).
        storeCallRecord(record);
        switch (record->whichCall) {
        case kFMXT_Init:
            startUp(record);
            break;
        case kFMXT_Shutdown:
            unregisterAllFunctions();
            break;
        case kFMXT_GetString:
            answerString(record);
            break;
        default:
            break;  // other notifications need nothing from the plug-in
        }
    } catch (...) {
        // No exception reaches the host; a start-up that failed this way did not start.
        if (record->whichCall == kFMXT_Init) record->result = kRegistrationFailed;
    }
}
