// Host memory blocks behind the call record's callbacks: handles that lock to an address.
#include <memory>
#include <unordered_map>

#include "host/internal.h"

using namespace fmhost;

namespace {

// The memory errors the callbacks report (the classic host codes).
constexpr int16_t kMemoryFull = -108;   // no memory for the block
constexpr int16_t kNoSuchHandle = -109;  // a handle that is not (or no longer) allocated
constexpr int16_t kBadSize = -50;        // a negative size

struct Block {
    std::unique_ptr<uint8_t[]> bytes;
    int32_t size;
    int32_t locks = 0;
};

// Guarded by registryMutex().
std::unordered_map<FMX_Handle, Block> gBlocks;
FMX_Handle gNextHandle = 1;
int16_t gMemoryError = 0;

FMX_Handle newHandle(int32_t size) {
    const bool allowed = allocationAllowed();
    std::lock_guard<std::mutex> lock(registryMutex());
    if (size < 0) {
        gMemoryError = kBadSize;
        return 0;
    }
    if (!allowed) {
        gMemoryError = kMemoryFull;
        return 0;
    }
    // Zero-sized blocks still get an address of their own.
    std::unique_ptr<uint8_t[]> bytes(new (std::nothrow) uint8_t[size > 0 ? size : 1]());
    if (!bytes) {
        gMemoryError = kMemoryFull;
        return 0;
    }
    try {
        const FMX_Handle handle = gNextHandle++;
        gBlocks.emplace(handle, Block{std::move(bytes), size});
        gMemoryError = 0;
        return handle;
    } catch (const std::bad_alloc&) {
        gMemoryError = kMemoryFull;
        return 0;
    }
}

void* lockHandle(FMX_Handle handle) {
    std::lock_guard<std::mutex> lock(registryMutex());
    const auto found = gBlocks.find(handle);
    if (found == gBlocks.end()) {
        gMemoryError = kNoSuchHandle;
        return nullptr;
    }
    ++found->second.locks;
    gMemoryError = 0;
    return found->second.bytes.get();
}

void unlockHandle(FMX_Handle handle) {
    std::lock_guard<std::mutex> lock(registryMutex());
    const auto found = gBlocks.find(handle);
    if (found == gBlocks.end()) {
        gMemoryError = kNoSuchHandle;
        return;
    }
    if (found->second.locks > 0) --found->second.locks;
    gMemoryError = 0;
}

void disposeHandle(FMX_Handle handle) {
    std::lock_guard<std::mutex> lock(registryMutex());
    gMemoryError = gBlocks.erase(handle) ? 0 : kNoSuchHandle;
}

int16_t memoryError() {
    std::lock_guard<std::mutex> lock(registryMutex());
    return gMemoryError;
}

}  // namespace

extern "C" {

void fmhost_init_call_record(FMX_ExternCallStruct* record) {
    if (!record) return;
    record->cNewHandle = newHandle;
    record->cLockHandle = lockHandle;
    record->cUnlockHandle = unlockHandle;
    record->cDisposeHandle = disposeHandle;
    record->cMemoryError = memoryError;
}

int32_t fmhost_live_handles(void) {
    std::lock_guard<std::mutex> lock(registryMutex());
    return static_cast<int32_t>(gBlocks.size());
}

}  // extern "C"
