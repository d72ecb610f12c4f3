#include "engine/picture/picture_output.h"

#include <algorithm>
#include <new>
#include <vector>

#include "engine/picture/gif_writer.h"

namespace plotwise {

namespace {

// gd's encoding, for WBMP and for what the GIF writer leaves to gd (true-colour pictures).
void write_gd_picture(gdImagePtr image, FILE* out, bool wbmp, int wbmp_foreground) {
    int size = 0;
    void* bytes = wbmp ? gdImageWBMPPtr(image, &size, wbmp_foreground) : gdImageGifPtr(image, &size);
    if (bytes == nullptr) return;
    if (size > 0) fwrite(bytes, 1, static_cast<size_t>(size), out);
    gdFree(bytes);
}

}  // namespace

void write_picture(gdImagePtr image, FILE* out, bool wbmp, int wbmp_foreground) {
    if (image == nullptr || out == nullptr) return;
    fflush(out);
    // The picture is encoded in memory first and written in one piece, so the stream gets
    // either the whole picture or nothing when memory runs out while encoding.
    if (wbmp) return write_gd_picture(image, out, true, wbmp_foreground);
    std::vector<uint8_t> bytes;
    try {
        // Chart pictures compress to about a bit per pixel or less.
        const std::size_t pixels = static_cast<std::size_t>(gdImageSX(image)) * static_cast<std::size_t>(gdImageSY(image));
        bytes.reserve(std::min<std::size_t>(pixels / 8, std::size_t{1} << 22) + 1024);
        if (!encode_gif(*image, bytes)) return write_gd_picture(image, out, false, wbmp_foreground);
    } catch (const std::bad_alloc&) {
        return;
    }
    fwrite(bytes.data(), 1, bytes.size(), out);
}

}  // namespace plotwise
