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

// Runs `body` (returning the host error code) as one call, turning any exception into
// kBoundaryMemoryError or kBoundaryOtherError. The call's state is made here from the call's
// arguments, handed to `body` and gone when the call ends, however it ends: every call starts
// from the start-up state, a call the host makes while another runs (a field's calculation
// that calls the plug-in again, or another thread) has its own, and nothing of one call is
// left for the next.
template <typename State, typename Body>
int16_t guardedCall(const FMX_DataVect* args, Body&& body) noexcept {
    try {
        State state(args);
        return body(state);
    } catch (const std::bad_alloc&) {
        return kBoundaryMemoryError;
    } catch (...) {
        return kBoundaryOtherError;
    }
}

}  // namespace plotwise
