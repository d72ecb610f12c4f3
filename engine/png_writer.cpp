// PNG files of Cairo's image surfaces, written with zlib: signature, IHDR, one IDAT holding the
// zlib stream of the filtered rows, IEND. Each row takes the filter (Sub or Up) that leaves
// more zero bytes, so that plain areas become long runs of zeros.
#include "engine/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace plotwise {
namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr unsigned char kColorRgb = 2, kColorRgba = 6;
constexpr unsigned char kFilterSub = 1, kFilterUp = 2;
constexpr int kLargestSide = 0x7FFFFFFF / 4;
// Deflate's level: on chart pictures level 3 takes half the time of the default level 6 for
// files about a quarter larger.
constexpr int kLevel = 3;

void put32(std::string& out, uint32_t v) {
    const char bytes[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                           static_cast<char>(v)};
    out.append(bytes, 4);
}

void put_chunk(std::string& out, const char type[4], const unsigned char* data, std::size_t length) {
    put32(out, static_cast<uint32_t>(length));
    const std::size_t start = out.size();
    out.append(type, 4);
    if (length > 0) out.append(reinterpret_cast<const char*>(data), length);
    const auto* typed = reinterpret_cast<const Bytef*>(out.data() + start);
    put32(out, static_cast<uint32_t>(crc32(0, typed, static_cast<uInt>(length + 4))));
}

// One row as PNG samples: colour undivided where opaque, divided by alpha (rounded) elsewhere,
// all zero where fully transparent; alpha last when the picture has any.
void unpremultiply(const uint32_t* in, int width, bool alpha, unsigned char* out) {
    for (int x = 0; x < width; ++x) {
        const uint32_t p = in[x];
        const uint32_t a = p >> 24;
        uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        if (a != 0xFF) {
            if (a == 0) {
                r = g = b = 0;
            } else {
                r = (r * 255 + a / 2) / a, g = (g * 255 + a / 2) / a, b = (b * 255 + a / 2) / a;
            }
        }
        *out++ = static_cast<unsigned char>(r), *out++ = static_cast<unsigned char>(g);
        *out++ = static_cast<unsigned char>(b);
        if (alpha) *out++ = static_cast<unsigned char>(a);
    }
}

// The filtered row (filter byte first) of `row` under `above` (null on the first row): Sub or
// Up, whichever leaves more zero bytes.
void filter_row(const unsigned char* row, const unsigned char* above, std::size_t length, std::size_t pixel,
                unsigned char* out) {
    unsigned char* sub = out + 1;
    const std::size_t lead = std::min(pixel, length);
    std::memcpy(sub, row, lead);
    for (std::size_t i = pixel; i < length; ++i) sub[i] = static_cast<unsigned char>(row[i] - row[i - pixel]);
    out[0] = kFilterSub;
    if (above == nullptr) return;
    std::size_t sub_zeros = 0, up_zeros = 0;
    for (std::size_t i = 0; i < length; ++i) sub_zeros += sub[i] == 0, up_zeros += row[i] == above[i];
    if (up_zeros <= sub_zeros) return;
    out[0] = kFilterUp;
    for (std::size_t i = 0; i < length; ++i) sub[i] = static_cast<unsigned char>(row[i] - above[i]);
}

}  // namespace

bool encode_png(const unsigned char* data, int width, int height, int stride, std::string& out) {
    if (data == nullptr || width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return false;
    bool alpha = false;
    for (int y = 0; y < height && !alpha; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < width; ++x)
            if (row[x] >> 24 != 0xFF) {
                alpha = true;
                break;
            }
    }
    const std::size_t pixel = alpha ? 4 : 3;
    const std::size_t length = static_cast<std::size_t>(width) * pixel;

    z_stream z{};
    if (deflateInit2(&z, kLevel, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    std::vector<unsigned char> rows[2] = {std::vector<unsigned char>(length), std::vector<unsigned char>(length)};
    std::vector<unsigned char> filtered(length + 1);
    std::vector<unsigned char> stream(deflateBound(&z, static_cast<uLong>((length + 1) * height)));
    z.next_out = stream.data();
    z.avail_out = static_cast<uInt>(stream.size());
    bool ok = true;
    for (int y = 0; y < height && ok; ++y) {
        unsigned char* row = rows[y & 1].data();
        unpremultiply(reinterpret_cast<const uint32_t*>(data + static_cast<std::size_t>(y) * stride), width, alpha, row);
        filter_row(row, y > 0 ? rows[(y - 1) & 1].data() : nullptr, length, pixel, filtered.data());
        z.next_in = filtered.data();
        z.avail_in = static_cast<uInt>(filtered.size());
        ok = deflate(&z, y + 1 == height ? Z_FINISH : Z_NO_FLUSH) == (y + 1 == height ? Z_STREAM_END : Z_OK);
    }
    const std::size_t compressed = stream.size() - z.avail_out;
    deflateEnd(&z);
    if (!ok) return false;

    unsigned char header[13];
    const uint32_t sides[2] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    for (int i = 0; i < 8; ++i) header[i] = static_cast<unsigned char>(sides[i / 4] >> (24 - 8 * (i % 4)));
    header[8] = 8;  // bits per sample
    header[9] = alpha ? kColorRgba : kColorRgb;
    header[10] = header[11] = header[12] = 0;  // deflate, adaptive filters, not interlaced
    out.append(reinterpret_cast<const char*>(kSignature), sizeof kSignature);
    put_chunk(out, "IHDR", header, sizeof header);
    put_chunk(out, "IDAT", stream.data(), compressed);
    put_chunk(out, "IEND", nullptr, 0);
    return true;
}

}  // namespace plotwise
