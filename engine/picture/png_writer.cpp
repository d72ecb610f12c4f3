// The PNG writer: signature, header, the rows deflated into IDAT chunks, end.
#include "engine/picture/png_writer.h"

#include <cstring>

namespace plotwise {
namespace {

constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kFilterUp = 2;
// Deflate's effort: the fast end, which on the runs of a chart costs a fraction of the default
// and gives files little larger.
constexpr int kCompressionLevel = 3;
constexpr size_t kChunkBytes = 1 << 16;

void put_u32(unsigned char* at, uint32_t v) {
    at[0] = static_cast<unsigned char>(v >> 24);
    at[1] = static_cast<unsigned char>(v >> 16);
    at[2] = static_cast<unsigned char>(v >> 8);
    at[3] = static_cast<unsigned char>(v);
}

// A channel of a premultiplied pixel brought back to its straight value, as Cairo's own PNG
// writer does (rounded to nearest).
unsigned char straight(uint32_t channel, uint32_t alpha) {
    return static_cast<unsigned char>((channel * 255 + alpha / 2) / alpha);
}

}  // namespace

PngWriter::PngWriter(std::string& out, int width, int height, bool opaque)
    : out_(out), width_(width), height_(height), channels_(opaque ? 3 : 4) {
    const size_t row_bytes = static_cast<size_t>(width) * channels_;
    previous_.assign(row_bytes, 0);
    current_.resize(row_bytes);
    filtered_.resize(row_bytes + 1);
    compressed_.resize(kChunkBytes);
    out_.append(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    unsigned char header[13];
    put_u32(header, static_cast<uint32_t>(width));
    put_u32(header + 4, static_cast<uint32_t>(height));
    header[8] = 8;                     // bits per channel
    header[9] = opaque ? 2 : 6;        // RGB or RGBA
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filters, not interlaced
    chunk("IHDR", header, sizeof header);
    ok_ = deflateInit(&zip_, kCompressionLevel) == Z_OK;
}

PngWriter::~PngWriter() { deflateEnd(&zip_); }

void PngWriter::row(const uint32_t* pixels) {
    if (!ok_ || rows_ >= height_) return;
    unsigned char* to = current_.data();
    for (int x = 0; x < width_; ++x) {
        const uint32_t p = pixels[x], alpha = p >> 24;
        uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        if (channels_ == 4 && alpha != 0xFF) {
            if (alpha == 0) {
                r = g = b = 0;
            } else {
                r = straight(r, alpha), g = straight(g, alpha), b = straight(b, alpha);
            }
        }
        *to++ = static_cast<unsigned char>(r);
        *to++ = static_cast<unsigned char>(g);
        *to++ = static_cast<unsigned char>(b);
        if (channels_ == 4) *to++ = static_cast<unsigned char>(alpha);
    }
    filtered_[0] = kFilterUp;
    for (size_t i = 0; i < current_.size(); ++i)
        filtered_[i + 1] = static_cast<unsigned char>(current_[i] - previous_[i]);
    previous_.swap(current_);
    zip_.next_in = filtered_.data();
    zip_.avail_in = static_cast<uInt>(filtered_.size());
    deflate_into_chunks(Z_NO_FLUSH);
    ++rows_;
}

bool PngWriter::finish() {
    if (ok_ && rows_ == height_) {
        zip_.next_in = nullptr;
        zip_.avail_in = 0;
        deflate_into_chunks(Z_FINISH);
        chunk("IEND", nullptr, 0);
    }
    return ok_ && rows_ == height_;
}

void PngWriter::deflate_into_chunks(int flush) {
    for (;;) {
        zip_.next_out = compressed_.data();
        zip_.avail_out = static_cast<uInt>(compressed_.size());
        const int status = deflate(&zip_, flush);
        if (status == Z_STREAM_ERROR) {
            ok_ = false;
            return;
        }
        const size_t made = compressed_.size() - zip_.avail_out;
        if (made > 0) chunk("IDAT", compressed_.data(), made);
        // Done when deflate left room in the buffer: all input taken (or, finishing, the end written).
        if (flush == Z_FINISH ? status == Z_STREAM_END : zip_.avail_out != 0) return;
    }
}

void PngWriter::chunk(const char type[4], const unsigned char* data, size_t size) {
    unsigned char length[4], crc[4];
    put_u32(length, static_cast<uint32_t>(size));
    uLong sum = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0) sum = crc32(sum, data, static_cast<uInt>(size));
    put_u32(crc, static_cast<uint32_t>(sum));
    out_.append(reinterpret_cast<const char*>(length), 4);
    out_.append(type, 4);
    if (size > 0) out_.append(reinterpret_cast<const char*>(data), size);
    out_.append(reinterpret_cast<const char*>(crc), 4);
}

}  // namespace plotwise
