#include "boundary/boundary.h"

#include "boundary/process_locale.h"

namespace plotwise {
namespace {

// Per thread: how deep the guarded calls are nested, the number of the running call and the
// last number given out. Numbers start at 1, so that 0 stands for "no call yet".
thread_local int tDepth = 0;
thread_local uint64_t tCall = 0;
thread_local uint64_t tLastCall = 0;

}  // namespace

CallScope::CallScope() noexcept {
    if (tDepth++ == 0) tCall = ++tLastCall;
}

CallScope::~CallScope() {
    if (--tDepth > 0) return;
    // The call's host objects go back to the host while the call still runs in it.
    releaseProcessLocale();
    tCall = 0;
}

uint64_t currentCall() noexcept { return tCall; }

bool firstUseInCall(uint64_t& seen) noexcept {
    // Outside a call (tests driving the layers directly) the state carries on as it is.
    if (tCall == 0 || seen == tCall) return false;
    seen = tCall;
    return true;
}

}  // namespace plotwise
