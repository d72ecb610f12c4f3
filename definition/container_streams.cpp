#include "definition/container_streams.h"

#include <cstring>
#include <limits>
#include <memory>

#include "frame/boundary.h"
#include "frame/call_record.h"
#include "frame/host.h"

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

}  // namespace

uint8_t* labelStaging() {
    thread_local const std::unique_ptr<uint8_t[]> buffer(new uint8_t[kLabelStagingSize]);
    return buffer.get();
}

int16_t stageStream(FMX_BinaryData* container, const char code[4], const void* bytes, uint32_t size) {
    if (size == 0) {
        // An empty stream needs no block; the host still gets a valid address.
        static const uint8_t none = 0;
        const int32_t added = host::addStream(container, code, 0, &none);
        return added == 0 ? 0 : failureCode(added, kBoundaryOtherError);
    }
    HostMemoryBlock block(size);
    if (!block.ok()) {
        // A host that names no error must still not let the missing stream pass as success.
        return failureCode(block.memoryError(), kBoundaryMemoryError);
    }
    uint8_t* address = block.lock();
    if (address == nullptr) {
        return kBoundaryMemoryError;
    }
    std::memcpy(address, bytes, size);
    const int32_t added = host::addStream(container, code, size, address);
    block.unlock();
    return added == 0 ? 0 : failureCode(added, kBoundaryOtherError);
}

}  // namespace plotwise
