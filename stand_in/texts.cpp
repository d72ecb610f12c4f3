// Texts: UTF-16 code units inside, UTF-8 at the boundary.
#include <algorithm>

#include "stand_in/internal.h"

using namespace fmhost;

namespace {

// Clamps [position, position + size) to a text of `length` units; size 0xFFFFFFFF means all.
std::pair<std::size_t, std::size_t> clampRange(std::size_t length, uint32_t position, uint32_t size) {
    const std::size_t from = std::min<std::size_t>(position, length);
    const std::size_t count = std::min<std::size_t>(size, length - from);
    return {from, count};
}

bool isHigh(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// The platform's default encoding, taken as ISO 8859-1: each byte is one character.
std::u16string latin1ToUnits(const char* bytes) {
    std::u16string units;
    for (const char* p = bytes; *p; ++p) units.push_back(static_cast<unsigned char>(*p));
    return units;
}

// One character in the given encoding; ISO 8859-1 writes "?" for what it cannot hold.
std::string characterBytes(std::u16string_view character, int32_t encoding) {
    if (encoding == kFMX_EncodingUTF8) return unitsToUtf8(character);
    return std::string(1, character.size() == 1 && character[0] <= 0xFF ? static_cast<char>(character[0]) : '?');
}

}  // namespace

extern "C" {

FMX_Text* FM_Text_Constructor1(FMX_Error* err) { return construct<FMX_Text>(err); }

void FM_Text_Delete(FMX_Text* self, FMX_Error* err) { destroy(self, err); }

void FM_Text_Assign(FMX_Text* self, const char* s, int32_t encoding, FMX_Error* err) {
    if (!self || !s) return setError(err, kFMX_ErrorOther);
    try {
        self->units = encoding == kFMX_EncodingUTF8 ? utf8ToUnits(s) : latin1ToUnits(s);
        setError(err, kFMX_ErrorNone);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
}

void FM_Text_AssignUnicode(FMX_Text* self, const uint16_t* s, FMX_Error* err) {
    if (!self || !s) return setError(err, kFMX_ErrorOther);
    try {
        std::u16string units;
        for (const uint16_t* p = s; *p; ++p) units.push_back(static_cast<char16_t>(*p));
        self->units = std::move(units);
        setError(err, kFMX_ErrorNone);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
}

void FM_Text_AppendText(FMX_Text* self, const FMX_Text* other, uint32_t position, uint32_t size,
                        FMX_Error* err) {
    if (!self || !other) return setError(err, kFMX_ErrorOther);
    try {
        const auto [from, count] = clampRange(other->units.size(), position, size);
        const std::u16string part = other->units.substr(from, count);  // other may be self
        self->units += part;
        setError(err, kFMX_ErrorNone);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
}

uint32_t FM_Text_GetSize(const FMX_Text* self, FMX_Error* err) {
    if (!self) {
        setError(err, kFMX_ErrorOther);
        return 0;
    }
    setError(err, kFMX_ErrorNone);
    return static_cast<uint32_t>(self->units.size());
}

void FM_Text_GetBytes(const FMX_Text* self, char* buffer, uint32_t capacity, uint32_t position, uint32_t size,
                      int32_t encoding, FMX_Error* err) {
    if (!self || (!buffer && capacity > 0)) return setError(err, kFMX_ErrorOther);
    setError(err, kFMX_ErrorNone);
    if (capacity == 0) return;
    const auto [from, count] = clampRange(self->units.size(), position, size);
    const std::u16string_view units(self->units.data() + from, count);
    // Convert character by character so the cut falls between characters.
    std::size_t written = 0;
    try {
        for (std::size_t i = 0; i < units.size();) {
            const std::size_t step = (isHigh(units[i]) && i + 1 < units.size()) ? 2 : 1;
            const std::string bytes = characterBytes(units.substr(i, step), encoding);
            if (written + bytes.size() > capacity - 1) break;
            std::copy(bytes.begin(), bytes.end(), buffer + written);
            written += bytes.size();
            i += step;
        }
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
    buffer[written] = '\0';
}

uint32_t FM_Text_Find(const FMX_Text* self, const FMX_Text* other, uint32_t position, FMX_Error* err) {
    if (!self || !other) {
        setError(err, kFMX_ErrorOther);
        return kFMX_TextNotFound;
    }
    setError(err, kFMX_ErrorNone);
    // An empty text occurs nowhere, as the host's Position ( ) answers for it.
    if (other->units.empty() || position > self->units.size()) return kFMX_TextNotFound;
    const std::size_t found = self->units.find(other->units, position);
    return found == std::u16string::npos ? kFMX_TextNotFound : static_cast<uint32_t>(found);
}

void FM_Text_DeleteText(FMX_Text* self, uint32_t position, uint32_t count, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    const auto [from, n] = clampRange(self->units.size(), position, count);
    self->units.erase(from, n);
    setError(err, kFMX_ErrorNone);
}

void FM_Text_Lowercase(FMX_Text* self, FMX_Error* err) {
    if (!self) return setError(err, kFMX_ErrorOther);
    for (char16_t& unit : self->units) unit = lowerUnit(unit);
    setError(err, kFMX_ErrorNone);
}

bool FM_Text_operatorEQ(const FMX_Text* self, const FMX_Text* other, FMX_Error* err) {
    if (!self || !other) {
        setError(err, kFMX_ErrorOther);
        return false;
    }
    setError(err, kFMX_ErrorNone);
    return self->units == other->units;
}

}  // extern "C"
