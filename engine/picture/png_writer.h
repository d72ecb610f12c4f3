// PNG files written a row at a time from Cairo's pixels, so that a picture can be written in
// bands without ever being whole in memory. Each row is filtered by its difference from the
// row above (charts are mostly runs of one colour, which that turns into runs of zeros) and
// deflated as it comes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace plotwise {

class PngWriter {
public:
    // A picture of width x height pixels (both at least 1), written to the end of `out`: 8-bit
    // RGB when `opaque`, else 8-bit RGBA.
    PngWriter(std::string& out, int width, int height, bool opaque);
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    // The next row, in Cairo's ARGB32 (premultiplied alpha, native byte order), `width` pixels.
    void row(const uint32_t* pixels);
    // Ends the file once every row is written; false when it could not be made.
    bool finish();

private:
    void deflate_into_chunks(int flush);
    void chunk(const char type[4], const unsigned char* data, size_t size);

    std::string& out_;
    int width_, height_, channels_;
    int rows_ = 0;
    bool ok_ = true;
    z_stream zip_{};
    std::vector<unsigned char> previous_, current_, filtered_, compressed_;
};

}  // namespace plotwise
