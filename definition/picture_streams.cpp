// The picture of the latest drawing of a thread, kept in memory: a drawing writes into a
// memory stream, and closing the stream makes its bytes the picture. Nothing goes through a
// shared file, so two processes never mix their pictures, nor two threads.
#include "definition/picture_streams.h"

#include <cstdlib>
#include <cstring>

#include "boundary/boundary.h"
#include "definition/container_streams.h"

namespace plotwise {

namespace {

// The stream being written, the buffer it writes into (owned by the stream until closed) and
// the finished picture; one set per thread, freed when the thread ends. A call starts with no
// picture, as a freshly started plug-in does.
struct PictureState {
    FILE* writing = nullptr;
    char* writingBuffer = nullptr;
    size_t writingSize = 0;
    char* pictureData = nullptr;
    size_t pictureSize = 0;
    uint64_t call = 0;

    ~PictureState() {
        abandonStream();
        discardPicture();
    }
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
};

PictureState& pictureState() {
    thread_local PictureState state;
    if (firstUseInCall(state.call)) {
        state.abandonStream();
        state.discardPicture();
    }
    return state;
}

}  // namespace

FILE* openPictureForWriting() {
    PictureState& p = pictureState();
    p.abandonStream();
    p.discardPicture();
    p.writing = open_memstream(&p.writingBuffer, &p.writingSize);
    return p.writing;
}

void closePicture(FILE* stream) {
    PictureState& p = pictureState();
    // Only the stream handed out last is closed here; any other (already closed) is ignored.
    if (stream == nullptr || stream != p.writing) return;
    // A stream that failed part-way (out of memory) leaves no picture rather than half a one.
    const bool failed = ferror(stream) != 0;
    const bool closed = fclose(stream) == 0;
    p.writing = nullptr;
    if (failed || !closed || p.writingSize == 0) {
        std::free(p.writingBuffer);
    } else {
        p.pictureData = p.writingBuffer;
        p.pictureSize = p.writingSize;
    }
    p.writingBuffer = nullptr;
    p.writingSize = 0;
}

std::span<const uint8_t> pictureBytes() {
    const PictureState& p = pictureState();
    if (p.pictureData == nullptr) return {};
    return {reinterpret_cast<const uint8_t*>(p.pictureData), p.pictureSize};
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
