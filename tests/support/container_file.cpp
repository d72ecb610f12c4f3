#include "tests/support/container_file.h"

#include <gd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace plotwise::support {
namespace {

void putWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint32_t word(const std::string& bytes, std::size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

Picture pictureOf(gdImagePtr image) {
    Picture picture;
    if (image == nullptr) return picture;
    picture.decoded = true;
    picture.width = gdImageSX(image);
    picture.height = gdImageSY(image);
    if (!gdImageTrueColor(image)) {
        for (int i = 0; i < gdImageColorsTotal(image); ++i) {
            picture.palette.push_back((static_cast<uint32_t>(gdImageRed(image, i)) << 16) |
                                      (static_cast<uint32_t>(gdImageGreen(image, i)) << 8) |
                                      static_cast<uint32_t>(gdImageBlue(image, i)));
        }
    }
    gdImageDestroy(image);
    return picture;
}

}  // namespace

std::string containerFile(const Streams& streams) {
    std::string out = "PWCF";
    putWord(out, 1);
    putWord(out, static_cast<uint32_t>(streams.size()));
    for (const auto& [type, bytes] : streams) {
        out += (type + "    ").substr(0, 4);
        putWord(out, static_cast<uint32_t>(bytes.size()));
        out += bytes;
    }
    return out;
}

Streams readContainerFile(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "PWCF") != 0) throw std::runtime_error("not a container file");
    const uint32_t count = word(bytes, 8);
    Streams streams;
    std::size_t at = 12;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 8) throw std::runtime_error("truncated stream header");
        const std::string type = bytes.substr(at, 4);
        const uint32_t length = word(bytes, at + 4);
        at += 8;
        if (bytes.size() - at < length) throw std::runtime_error("truncated stream");
        streams.emplace_back(type, bytes.substr(at, length));
        at += length;
    }
    if (at != bytes.size()) throw std::runtime_error("bytes after the last stream");
    return streams;
}

StoredChart storedChart(const Streams& streams) {
    StoredChart chart;
    const std::string* block = findStream(streams, "CHHD");
    const std::string* series = findStream(streams, "SERS");
    if (block == nullptr || block->size() != sizeof(ChartBlock) || series == nullptr) return chart;
    std::memcpy(&chart.block, block->data(), sizeof(ChartBlock));
    // Records are several kilobytes each: copied through the heap, never a stack temporary.
    const std::size_t n = series->size() / sizeof(SeriesRecord);
    auto records = std::make_unique<SeriesRecord[]>(n);
    if (n > 0) std::memcpy(records.get(), series->data(), n * sizeof(SeriesRecord));
    chart.series.assign(records.get(), records.get() + n);
    chart.ok = true;
    return chart;
}

ChartBlock chartBlock(const Streams& streams) {
    ChartBlock block{};
    const std::string* bytes = findStream(streams, "CHHD");
    if (bytes != nullptr && bytes->size() == sizeof block) std::memcpy(&block, bytes->data(), sizeof block);
    return block;
}

Picture decodeGif(const std::string& gif) {
    if (gif.empty()) return {};
    return pictureOf(gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<char*>(gif.data())));
}

Picture decodePng(const std::string& png) {
    if (png.empty()) return {};
    return pictureOf(gdImageCreateFromPngPtr(static_cast<int>(png.size()), const_cast<char*>(png.data())));
}

bool isErrorPie(const Picture& picture) {
    static constexpr uint32_t kSlices[] = {0xFF4040, 0x80FF80, 0x8080FF, 0xFF80FF, 0xFFFF80, 0x80FFFF, 0x0080FF};
    std::vector<uint32_t> run;
    for (uint32_t c : kSlices) {
        run.push_back(c);
        run.push_back(((c >> 1) & 0x7F0000) | ((c >> 1) & 0x007F00) | ((c >> 1) & 0x00007F));
    }
    for (std::size_t i = 0; i + run.size() <= picture.palette.size(); ++i) {
        if (std::equal(run.begin(), run.end(), picture.palette.begin() + static_cast<std::ptrdiff_t>(i))) return true;
    }
    return false;
}

}  // namespace plotwise::support
