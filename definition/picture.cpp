// The picture of the latest drawing, kept in memory: a drawing writes into a memory stream,
// and closing the stream makes its bytes the picture. Nothing goes through a shared file, so
// two processes never mix their pictures.
#include "definition/picture.h"

#include <cstdlib>
#include <cstring>

#include "definition/container_streams.h"
#include "frame/boundary.h"

namespace plotwise {

namespace {

// The stream being written and the buffer it writes into (owned by the stream until closed).
FILE* writing = nullptr;
char* writingBuffer = nullptr;
size_t writingSize = 0;

// The finished picture.
char* pictureData = nullptr;
size_t pictureSize = 0;

void discardPicture() {
    std::free(pictureData);
    pictureData = nullptr;
    pictureSize = 0;
}

void abandonStream() {
    if (writing == nullptr) return;
    fclose(writing);
    std::free(writingBuffer);
    writing = nullptr;
    writingBuffer = nullptr;
    writingSize = 0;
}

}  // namespace

FILE* openPictureForWriting() {
    abandonStream();
    discardPicture();
    writing = open_memstream(&writingBuffer, &writingSize);
    return writing;
}

void closePicture(FILE* stream) {
    // Only the stream handed out last is closed here; any other (already closed) is ignored.
    if (stream == nullptr || stream != writing) return;
    // A stream that failed part-way (out of memory) leaves no picture rather than half a one.
    const bool failed = ferror(stream) != 0;
    const bool closed = fclose(stream) == 0;
    writing = nullptr;
    if (failed || !closed || writingSize == 0) {
        std::free(writingBuffer);
    } else {
        pictureData = writingBuffer;
        pictureSize = writingSize;
    }
    writingBuffer = nullptr;
    writingSize = 0;
}

std::span<const uint8_t> pictureBytes() {
    if (pictureData == nullptr) return {};
    return {reinterpret_cast<const uint8_t*>(pictureData), pictureSize};
}

int16_t attachStream(FMX_BinaryData* container, const char type[4], std::span<const uint8_t> bytes) {
    if (bytes.size() > UINT32_MAX) return kBoundaryMemoryError;
    return stageStream(container, type, bytes.data(), static_cast<uint32_t>(bytes.size()));
}

int16_t attachPicture(FMX_BinaryData* container, uint32_t width, uint32_t height) {
    const std::span<const uint8_t> picture = pictureBytes();
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
