// The boundary between the host and a calculation function: no exception ever crosses it,
// and every call starts from the state of a freshly started plug-in.
#pragma once

#include <cstdint>
#include <new>

#include "stand_in/fmhost.h"

namespace plotwise {

// Host error codes a calculation function returns when it fails at the boundary.
constexpr int16_t kBoundaryMemoryError = 1;   // memory could not be had
constexpr int16_t kBoundaryOtherError = 2;    // any other failure

// Marks the calls on the calling thread: the outermost guarded call gets a number of its own.
// Calls of different threads run side by side; nothing here is shared between threads.
class CallScope {
public:
    CallScope() noexcept;
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
};

// The number of the call running on this thread (0 outside any call).
uint64_t currentCall() noexcept;

// True the first time it is asked for `seen` during the current call, and then records the
// call in `seen`: the working state of a thread is brought back to its start-up values once
// per call, when the call first uses it.
bool firstUseInCall(uint64_t& seen) noexcept;

// Runs `body` (returning the host error code) as one call, turning any exception into
// kBoundaryMemoryError or kBoundaryOtherError.
template <typename Body>
int16_t guardedCall(Body&& body) noexcept {
    try {
        const CallScope scope;
        return body();
    } catch (const std::bad_alloc&) {
        return kBoundaryMemoryError;
    } catch (...) {
        return kBoundaryOtherError;
    }
}

}  // namespace plotwise
