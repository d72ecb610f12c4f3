// Stream codes of a chart container and the staging of stream bytes in the plug-in's own
// memory. Shared by the encoder, the picture and the diagnostic functions; not part of the
// public API.
#pragma once

#include <cstddef>
#include <cstdint>

#include "stand_in/fmhost.h"

namespace plotwise {

// Four-character stream codes (the zero after each is not part of the code).
inline constexpr char kHeaderStream[] = "CHHD";   // the chart block
inline constexpr char kXLabelStream[] = "LABS";   // X labels, packed
inline constexpr char kYLabelStream[] = "LABY";   // Y labels, packed
inline constexpr char kSeriesStream[] = "SERS";   // series records
inline constexpr char kPictureStream[] = "GIFf";  // the latest chart picture
inline constexpr char kSizeStream[] = "SIZE";     // picture width and height, big-endian 16-bit
inline constexpr char kJpegStream[] = "JPEG";     // never written; only reported

// What a staging reports when its block could not be had: the host's classic "memory full".
constexpr int16_t kStagingMemoryFull = -108;

// Copies `size` bytes into a block of the plug-in's own memory and appends them to the
// container as stream `code`: 0, kStagingMemoryFull when the block could not be had, or the
// host's result when it refused the stream (never 0 then).
int16_t stageStream(FMX_BinaryData* container, const char code[4], const void* bytes, uint32_t size);

// Consulted before each staging block is allocated; answering false makes that allocation fail
// as if memory had run out. None is installed in a plug-in; tests install one so that the
// failure path runs on purpose.
using StagingCheck = bool (*)();
void setStagingCheck(StagingCheck check);

}  // namespace plotwise
