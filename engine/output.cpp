#include "engine/output.h"

#include "engine/chart_options.h"

namespace plotwise {

void write_picture(gdImagePtr image, FILE* out, int wbmp_foreground) {
    if (image == nullptr || out == nullptr) return;
    fflush(out);
    // The picture is encoded in memory first and written in one piece, so the stream gets
    // either the whole picture or nothing when memory runs out while encoding.
    int size = 0;
    void* bytes = chartOptions().image_format == 3 ? gdImageWBMPPtr(image, &size, wbmp_foreground)
                                                    : gdImageGifPtr(image, &size);
    if (bytes == nullptr) return;
    if (size > 0) fwrite(bytes, 1, static_cast<size_t>(size), out);
    gdFree(bytes);
}

}  // namespace plotwise
