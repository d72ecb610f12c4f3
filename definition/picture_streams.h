// The picture streams of a container: a drawing's GIF attached as "GIFf" with its size as
// "SIZE", and any other single stream (the file of an export).
#pragma once

#include <cstdint>
#include <span>

#include "stand_in/fmhost.h"

namespace plotwise {

// Appends "GIFf" holding `picture` and "SIZE" (low 16 bits of width and height, big-endian)
// when there is a picture: 0, or the host's memory error code.
int16_t attachPicture(FMX_BinaryData* container, std::span<const uint8_t> picture, uint32_t width, uint32_t height);

// Appends one stream of `type` holding `bytes`: 0, or the host's memory error code.
int16_t attachStream(FMX_BinaryData* container, const char type[4], std::span<const uint8_t> bytes);

}  // namespace plotwise
