// The host's calls to the plug-in: start-up, shutdown and string requests.
#include "frame/entry.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <mutex>

#include "frame/boundary.h"
#include "frame/call_record.h"
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

void startUp(FMX_ExternCallStruct* record, std::span<const FunctionEntry> functions) {
    if (record->extnVersion < kOldestHostVersion || record->extnVersion > kNewestHostVersion) {
        record->result = kWrongHostVersion;
        return;
    }
    record->result = registerAllFunctions(functions) ? kStarted : kRegistrationFailed;
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

void answerHostCall(FMX_ExternCallStruct* record, std::span<const FunctionEntry> functions) noexcept {
    if (!record) return;
    try {
        std::lock_guard<std::recursive_mutex> lock(pluginLock());
        storeCallRecord(record);
        switch (record->whichCall) {
        case kFMXT_Init:
            startUp(record, functions);
            break;
        case kFMXT_Shutdown:
            unregisterAllFunctions(functions);
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

}  // namespace plotwise
