#include "definition/picture_streams.h"

#include "boundary/boundary.h"
#include "definition/container_streams.h"

namespace plotwise {

int16_t attachStream(FMX_BinaryData* container, const char type[4], std::span<const uint8_t> bytes) {
    if (bytes.size() > UINT32_MAX) return kBoundaryMemoryError;
    return stageStream(container, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

int16_t attachPicture(FMX_BinaryData* container, std::span<const uint8_t> picture, uint32_t width, uint32_t height) {
    if (picture.empty()) return 0;
    // A stream's size is a 32-bit count.
    if (picture.size() > UINT32_MAX) return kBoundaryMemoryError;
    const int16_t error = stageStream(container, kPictureStream, picture.data(), static_cast<uint32_t>(picture.size()));
    if (error != 0) return error;
    const uint8_t size[4] = {static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
                             static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height)};
    return stageStream(container, kSizeStream, size, sizeof size);
}

}  // namespace plotwise
