// The boundary between the host and a calculation function: no exception ever crosses it,
// and calls from several host threads never interleave.
#pragma once

#include <cstdint>
#include <mutex>
#include <new>

#include "host/fmhost.h"

namespace plotwise {

// Host error codes a calculation function returns when it fails at the boundary.
constexpr int16_t kBoundaryMemoryError = 1;   // memory could not be had
constexpr int16_t kBoundaryOtherError = 2;    // any other failure

// The one lock around the entry point and every calculation function: the plug-in's state
// (working definition, engine options, picture) is process-wide.
std::recursive_mutex& pluginLock();

// Runs `body` (returning the host error code) under the plug-in lock, turning any exception
// into kBoundaryMemoryError or kBoundaryOtherError.
template <typename Body>
int16_t guardedCall(Body&& body) noexcept {
    try {
        std::lock_guard<std::recursive_mutex> lock(pluginLock());
        return body();
    } catch (const std::bad_alloc&) {
        return kBoundaryMemoryError;
    } catch (...) {
        return kBoundaryOtherError;
    }
}

}  // namespace plotwise
