// Containers (ordered streams, each a four-character type and its bytes) and four-character codes.
#include <cstring>
#include <limits>

#include "stand_in/internal.h"

using namespace fmhost;

namespace {


bool validIndex(const FMX_BinaryData* self, int32_t index) {
    return self && index >= 0 && static_cast<std::size_t>(index) < self->streams.size();
}

}  // namespace

extern "C" {

FMX_BinaryData* FM_BinaryData_Constructor1(FMX_Error* err) { return construct<FMX_BinaryData>(err); }

void FM_BinaryData_Delete(FMX_BinaryData* self, FMX_Error* err) { destroy(self, err); }

int32_t FM_BinaryData_GetCount(const FMX_BinaryData* self, FMX_Error* err) {
    if (!self) return failed<int32_t>(err);
    setError(err, kFMX_ErrorNone);
    return static_cast<int32_t>(self->streams.size());
}

int32_t FM_BinaryData_GetIndex(const FMX_BinaryData* self, const FMX_QuadChar* type, FMX_Error* err) {
    if (!self || !type) return failed<int32_t>(err) - 1;
    setError(err, kFMX_ErrorNone);
    for (std::size_t i = 0; i < self->streams.size(); ++i) {
        if (self->streams[i].type == type->value) return static_cast<int32_t>(i);
    }
    return -1;
}

uint32_t FM_BinaryData_GetTotalSize(const FMX_BinaryData* self, FMX_Error* err) {
    if (!self) return failed<uint32_t>(err);
    setError(err, kFMX_ErrorNone);
    return static_cast<uint32_t>(self->totalSize);  // Add keeps the total within 32 bits
}

uint32_t FM_BinaryData_GetSize(const FMX_BinaryData* self, int32_t index, FMX_Error* err) {
    if (!validIndex(self, index)) return failed<uint32_t>(err);
    setError(err, kFMX_ErrorNone);
    return static_cast<uint32_t>(self->streams[static_cast<std::size_t>(index)].bytes.size());
}

int32_t FM_BinaryData_GetType(const FMX_BinaryData* self, int32_t index, char type[4], FMX_Error* err) {
    if (!validIndex(self, index) || !type) return failed<int32_t>(err) + 1;
    const uint32_t value = self->streams[static_cast<std::size_t>(index)].type;
    for (int i = 0; i < 4; ++i) type[i] = static_cast<char>(value >> (24 - 8 * i));
    setError(err, kFMX_ErrorNone);
    return 0;
}

// A range outside the stream is the caller's mistake, answered by the result, not the record.
int16_t FM_BinaryData_GetData(const FMX_BinaryData* self, int32_t index, uint32_t offset, uint32_t amount,
                              void* buffer, FMX_Error* err) {
    if (!self) return failed<int16_t>(err) + 1;
    setError(err, kFMX_ErrorNone);
    if (!validIndex(self, index)) return 1;
    const auto& bytes = self->streams[static_cast<std::size_t>(index)].bytes;
    if (uint64_t{offset} + amount > bytes.size()) return 1;
    if (amount == 0) return 0;
    if (!buffer) return 1;
    std::memcpy(buffer, bytes.data() + offset, amount);
    return 0;
}

int16_t FM_BinaryData_Add(FMX_BinaryData* self, const FMX_QuadChar* type, uint32_t size, void* data,
                          FMX_Error* err) {
    if (!self || !type) return failed<int16_t>(err) + 1;
    setError(err, kFMX_ErrorNone);
    if (size > 0 && !data) return 1;
    if (self->totalSize + size > std::numeric_limits<uint32_t>::max()) return 1;
    try {
        const auto* bytes = static_cast<const uint8_t*>(data);
        self->streams.push_back({type->value, std::vector<uint8_t>(bytes, bytes + size)});
        self->totalSize += size;
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
        return 1;
    }
    return 0;
}

void FM_BinaryData_RemoveAll(FMX_BinaryData* self, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    self->clear();
    setError(err, kFMX_ErrorNone);
}

FMX_QuadChar* FM_QuadChar_Constructor2(char c0, char c1, char c2, char c3, FMX_Error* err) {
    FMX_QuadChar* code = construct<FMX_QuadChar>(err);
    if (code) {
        code->value = uint32_t{static_cast<unsigned char>(c0)} << 24 | uint32_t{static_cast<unsigned char>(c1)} << 16 |
                      uint32_t{static_cast<unsigned char>(c2)} << 8 | uint32_t{static_cast<unsigned char>(c3)};
    }
    return code;
}

void FM_QuadChar_Delete(FMX_QuadChar* self, FMX_Error* err) { destroy(self, err); }

uint32_t FM_QuadChar_GetValue(const FMX_QuadChar* self, FMX_Error* err) {
    if (!self) return failed<uint32_t>(err);
    setError(err, kFMX_ErrorNone);
    return self->value;
}

}  // extern "C"
