// The stored call record and host memory blocks reached through its callbacks.
#include "frame/call_record.h"

#include <atomic>
#include <cstdlib>

namespace plotwise {
namespace {

std::atomic<FMX_ExternCallStruct*> gRecord{nullptr};

// A record whose memory callbacks are all present; others fall back to ordinary memory.
bool usable(const FMX_ExternCallStruct* record) {
    return record && record->cNewHandle && record->cLockHandle && record->cUnlockHandle &&
           record->cDisposeHandle && record->cMemoryError;
}

// Reported when ordinary memory stands in and runs out.
constexpr int16_t kOrdinaryMemoryFull = -108;

}  // namespace

void storeCallRecord(FMX_ExternCallStruct* record) { gRecord.store(record); }

FMX_ExternCallStruct* callRecord() { return gRecord.load(); }

HostMemoryBlock::HostMemoryBlock(uint32_t size) : size_(size) {
    FMX_ExternCallStruct* record = callRecord();
    if (usable(record)) {
        if (size > static_cast<uint32_t>(INT32_MAX)) {
            error_ = kOrdinaryMemoryFull;
            return;
        }
        handle_ = record->cNewHandle(static_cast<int32_t>(size));
        if (handle_ == 0) {
            error_ = record->cMemoryError();
            if (error_ == 0) error_ = kOrdinaryMemoryFull;
            return;
        }
        lockCallback_ = record->cLockHandle;
        unlockCallback_ = record->cUnlockHandle;
        disposeCallback_ = record->cDisposeHandle;
        ok_ = true;
        return;
    }
    fallback_ = std::calloc(size > 0 ? size : 1, 1);
    ok_ = fallback_ != nullptr;
    if (!ok_) error_ = kOrdinaryMemoryFull;
}

HostMemoryBlock::~HostMemoryBlock() {
    if (handle_ != 0) {
        if (locked_) unlockCallback_(handle_);
        disposeCallback_(handle_);
    }
    std::free(fallback_);
}

uint8_t* HostMemoryBlock::lock() {
    if (!ok_) return nullptr;
    if (fallback_) return static_cast<uint8_t*>(fallback_);
    void* address = lockCallback_(handle_);
    if (address) locked_ = true;
    return static_cast<uint8_t*>(address);
}

void HostMemoryBlock::unlock() {
    if (!locked_ || handle_ == 0) return;
    unlockCallback_(handle_);
    locked_ = false;
}

}  // namespace plotwise
