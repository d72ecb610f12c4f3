// The picture of the latest drawing, kept in memory. A drawing opens the picture for writing
// (which empties it), the engine writes a complete GIF into the stream, and the container
// encoder attaches the bytes as "GIFf" and "SIZE".
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>

#include "stand_in/fmhost.h"

namespace plotwise {

// Opens the picture for writing, discarding the previous one; null when no stream can be had.
FILE* openPictureForWriting();
// Closes the stream; its bytes become the picture.
void closePicture(FILE* stream);
// The bytes of the latest picture (empty when none was written).
std::span<const uint8_t> pictureBytes();
// Appends "GIFf" and "SIZE" (low 16 bits of width and height, big-endian) when there is a
// picture: 0, or the host's memory error code.
int16_t attachPicture(FMX_BinaryData* container, uint32_t width, uint32_t height);

// Appends one stream of `type` holding `bytes`: 0, or the host's memory error code.
int16_t attachStream(FMX_BinaryData* container, const char type[4], std::span<const uint8_t> bytes);

}  // namespace plotwise
