// Failure injection (the Nth allocation or registration fails) and the library's one lock.
#include "stand_in/internal.h"

namespace fmhost {
namespace {

// Calls still to go before the one that fails; 0 means no failure is armed. Guarded by
// registryMutex().
int32_t gAllocationsToFailure = 0;
int32_t gRegistrationsToFailure = 0;

// Counts one call down; true when this is the call that fails (which disarms the trigger).
bool countDown(int32_t& remaining) {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (remaining <= 0) return false;
    return --remaining == 0;
}

}  // namespace

std::mutex& registryMutex() {
    static std::mutex mutex;
    return mutex;
}

bool allocationAllowed() { return !countDown(gAllocationsToFailure); }

std::atomic<int32_t>& liveObjects() {
    static std::atomic<int32_t> count{0};
    return count;
}
bool registrationAllowed() { return !countDown(gRegistrationsToFailure); }

}  // namespace fmhost

using namespace fmhost;

extern "C" {

void fmhost_fail_allocation(int32_t n) {
    std::lock_guard<std::mutex> lock(registryMutex());
    gAllocationsToFailure = n > 0 ? n : 0;
}

int32_t fmhost_allocations_before_failure(void) {
    std::lock_guard<std::mutex> lock(registryMutex());
    return gAllocationsToFailure;
}

int32_t fmhost_live_objects(void) { return liveObjects().load(); }

int32_t fmhost_take_allocation(void) { return allocationAllowed() ? 1 : 0; }

void fmhost_fail_registration(int32_t n) {
    std::lock_guard<std::mutex> lock(registryMutex());
    gRegistrationsToFailure = n > 0 ? n : 0;
}

void fmhost_reset(void) {
    clearRegistrations();
    std::lock_guard<std::mutex> lock(registryMutex());
    gAllocationsToFailure = 0;
    gRegistrationsToFailure = 0;
}

}  // extern "C"
