#include "definition/container_streams.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"

namespace plotwise {

namespace {

// A host result as a 16-bit error code that never reads as success.
int16_t failureCode(int32_t hostResult, int16_t fallback) {
    if (hostResult == 0 || hostResult < std::numeric_limits<int16_t>::min() ||
        hostResult > std::numeric_limits<int16_t>::max()) {
        return fallback;
    }
    return static_cast<int16_t>(hostResult);
}

std::atomic<StagingCheck> gStagingCheck{nullptr};

// A staging block, or null when memory could not be had (or the installed check says so).
std::unique_ptr<uint8_t[]> stagingBlock(uint32_t size) {
    const StagingCheck check = gStagingCheck.load();
    if (check && !check()) return nullptr;
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

}  // namespace

int16_t stageStream(FMX_BinaryData* container, const char code[4], const void* bytes, uint32_t size) {
    if (size == 0) {
        // An empty stream needs no block; the host still gets a valid address.
        static uint8_t none = 0;
        const int32_t added = host::addStream(container, code, 0, &none);
        return added == 0 ? 0 : failureCode(added, kBoundaryOtherError);
    }
    const std::unique_ptr<uint8_t[]> block = stagingBlock(size);
    if (!block) return kStagingMemoryFull;
    std::memcpy(block.get(), bytes, size);
    const int32_t added = host::addStream(container, code, size, block.get());
    return added == 0 ? 0 : failureCode(added, kBoundaryOtherError);
}

void setStagingCheck(StagingCheck check) { gStagingCheck.store(check); }

}  // namespace plotwise
