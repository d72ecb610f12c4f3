// The host call record the entry point was last given, and the host memory blocks reached
// through its callbacks.
#pragma once

#include <cstdint>

#include "host/fmhost.h"

namespace plotwise {

// Stores the record of the current entry-point call (every call stores its record first).
void storeCallRecord(FMX_ExternCallStruct* record);
// The last stored record; null before the first entry-point call.
FMX_ExternCallStruct* callRecord();

// A host memory block of a given size, allocated through the call record's callbacks and
// disposed of on destruction. Where no call record is stored, ordinary memory stands in.
class HostMemoryBlock {
public:
    explicit HostMemoryBlock(uint32_t size);
    ~HostMemoryBlock();
    HostMemoryBlock(const HostMemoryBlock&) = delete;
    HostMemoryBlock& operator=(const HostMemoryBlock&) = delete;

    bool ok() const { return ok_; }            // false when the host had no memory
    int16_t memoryError() const { return error_; }  // the host's memory error when !ok()
    uint8_t* lock();                           // address of the block; unlock before disposal
    void unlock();
    uint32_t size() const { return size_; }

private:
    FMX_Handle handle_ = 0;
    void* fallback_ = nullptr;
    uint32_t size_;
    bool ok_ = false;
    bool locked_ = false;
    int16_t error_ = 0;
    // The callbacks the block was allocated with: a later call record may carry others.
    void* (*lockCallback_)(FMX_Handle) = nullptr;
    void (*unlockCallback_)(FMX_Handle) = nullptr;
    void (*disposeCallback_)(FMX_Handle) = nullptr;
};

}  // namespace plotwise
