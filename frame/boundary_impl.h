// Template body of guardedCall (included by boundary.h).
#pragma once

#include <cstdint>
#include <mutex>
#include <new>

namespace plotwise {

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
