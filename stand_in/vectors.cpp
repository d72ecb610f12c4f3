// Argument vectors: ordered copies of data values.
#include "stand_in/internal.h"

using namespace fmhost;

namespace {

// The value at `position`, or null with code 2 when the position is past the end.
const FMX_Data* valueAt(const FMX_DataVect* self, uint32_t position, FMX_Error* err) {
    if (!self || position >= self->values.size()) {
        setError(err, kFMX_ErrorOther);
        return nullptr;
    }
    setError(err, kFMX_ErrorNone);
    return &self->values[position];
}

}  // namespace

extern "C" {

FMX_DataVect* FM_DataVect_Constructor1(FMX_Error* err) { return construct<FMX_DataVect>(err); }

void FM_DataVect_Delete(FMX_DataVect* self, FMX_Error* err) { destroy(self, err); }

void FM_DataVect_PushBack(FMX_DataVect* self, const FMX_Data* value, FMX_Error* err) {
    if (!self || !value) return setError(err, kFMX_ErrorOther);
    try {
        self->values.emplace_back(*value);
        setError(err, kFMX_ErrorNone);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
}

uint32_t FM_DataVect_Size(const FMX_DataVect* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    return static_cast<uint32_t>(self->values.size());
}

const FMX_Data* FM_DataVect_At(const FMX_DataVect* self, uint32_t position, FMX_Error* err) {
    return valueAt(self, position, err);
}

const FMX_Text* FM_DataVect_AtAsText(const FMX_DataVect* self, uint32_t position, FMX_Error* err) {
    const FMX_Data* value = valueAt(self, position, err);
    return value ? FM_Data_GetAsText(value, err) : nullptr;
}

const FMX_FixPt* FM_DataVect_AtAsNumber(const FMX_DataVect* self, uint32_t position, FMX_Error* err) {
    const FMX_Data* value = valueAt(self, position, err);
    return value ? FM_Data_GetAsNumber(value, err) : nullptr;
}

const FMX_BinaryData* FM_DataVect_AtAsBinaryData(const FMX_DataVect* self, uint32_t position, FMX_Error* err) {
    const FMX_Data* value = valueAt(self, position, err);
    return value ? FM_Data_GetBinaryData(value, err) : nullptr;
}

}  // extern "C"
