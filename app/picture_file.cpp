#include "app/picture_file.h"

#include <gd.h>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include "app/text_util.h"
#include "definition/chart_definition.h"
#include "engine/picture/picture_output.h"
#include "engine/picture/surface_vector.h"

namespace plotwise::app {

std::optional<PictureFormat> pictureFormatOf(std::string_view path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    const std::string extension = lowerAscii(path.substr(dot + 1));
    if (extension == "gif") return PictureFormat::Gif;
    if (extension == "png") return PictureFormat::Png;
    if (extension == "svg") return PictureFormat::Svg;
    if (extension == "pdf") return PictureFormat::Pdf;
    return std::nullopt;
}

const ContainerStream* findStream(const std::vector<ContainerStream>& streams, std::string_view type) {
    for (const ContainerStream& s : streams)
        if (std::string_view(s.type.data(), 4) == type) return &s;
    return nullptr;
}

std::string gifToPng(const std::vector<uint8_t>& gif) {
    if (gif.empty() || gif.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error("the picture is not a GIF that gd can read");
    // A GIF of a few bytes may declare a picture of 65535 x 65535, for which gd sets aside a
    // byte per pixel before it reads any. What is larger than the plug-in ever draws is not
    // converted.
    constexpr long kLargestPicture = 1L << 24;
    if (const auto size = gifSize(gif); size && static_cast<long>(size->first) * size->second > kLargestPicture)
        throw std::runtime_error("the picture is larger than 16 megapixels; write it as .gif");
    gdImagePtr image = gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<uint8_t*>(gif.data()));
    if (!image) throw std::runtime_error("the picture is not a GIF that gd can read");
    std::unique_ptr<gdImage, void (*)(gdImagePtr)> owned(image, gdImageDestroy);
    int size = 0;
    void* png = gdImagePngPtr(image, &size);
    if (!png || size <= 0) {
        if (png) gdFree(png);
        throw std::runtime_error("gd could not make a PNG of the picture");
    }
    std::string bytes(static_cast<const char*>(png), static_cast<std::size_t>(size));
    gdFree(png);
    return bytes;
}

namespace {

uint32_t byteSwapped(uint32_t v) {
    return ((v & 0xFF) << 24) | ((v & 0xFF00) << 8) | ((v >> 8) & 0xFF00) | (v >> 24);
}

std::string withThousands(long long n) {
    const std::string digits = std::to_string(n);
    const std::size_t sign = n < 0 ? 1 : 0;
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > sign && (digits.size() - i) % 3 == 0) grouped += ' ';
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

std::string missingPictureReason(const std::vector<ContainerStream>& streams) {
    const ContainerStream* gif = findStream(streams, "GIFf");
    if (gif != nullptr) return "the picture stream \"GIFf\" is empty";
    const ContainerStream* chhd = findStream(streams, "CHHD");
    if (chhd == nullptr) {
        std::string types;
        for (const ContainerStream& s : streams) types += (types.empty() ? "" : ", ") + s.typeName();
        return streams.empty() ? "the container is empty"
                               : "the container holds no chart and no picture (its streams: " + types + ")";
    }
    if (chhd->bytes.size() < sizeof(ChartHeader))
        return "the container's chart header is cut short (" + std::to_string(chhd->bytes.size()) + " of " +
               std::to_string(sizeof(ChartHeader)) + " bytes), so no chart was drawn";
    ChartHeader header;
    std::memcpy(&header, chhd->bytes.data(), sizeof header);
    // A header written on a machine of the other byte order shows an impossible series count.
    if (header.seriesCount > static_cast<uint32_t>(kMaxSeries)) {
        header.width = byteSwapped(header.width);
        header.height = byteSwapped(header.height);
    }
    // The picture is drawn at the low 16 bits of each side, read as a signed number.
    const long long width = static_cast<int16_t>(header.width & 0xFFFF);
    const long long height = static_cast<int16_t>(header.height & 0xFFFF);
    // The sides as Plotz_Draw was given them: a width of -400 is -400.
    std::string size = std::to_string(static_cast<int32_t>(header.width)) + " x " +
                       std::to_string(static_cast<int32_t>(header.height));
    if (width < 1 || height < 1)
        return "the chart's picture size " + size + " has a side outside 1 to 32767 pixels (set it with Plotz_Draw)";
    if (width != header.width || height != header.height)
        size += " (drawn as " + std::to_string(width) + " x " + std::to_string(height) + ")";
    if (!picture_size_usable(width, height))
        return "the chart's picture size " + size + " is " + withThousands(width * height) +
               " pixels, more than the limit of " + withThousands(kMaxPicturePixels) +
               " (4096 x 4096): draw it smaller with Plotz_Draw";
    return "the plug-in drew no picture of the " + size + " chart (the drawing failed, most likely for lack of memory)";
}

std::string missingExportReason(const std::vector<ContainerStream>& result, std::string_view format, int scale) {
    const ContainerStream* gif = findStream(result, "GIFf");
    const std::optional<std::pair<int, int>> size = gif != nullptr ? gifSize(gif->bytes) : std::nullopt;
    if (!size) return missingPictureReason(result);
    if (format == "png") {
        const long long width = static_cast<long long>(size->first) * scale, height = static_cast<long long>(size->second) * scale;
        if (static_cast<double>(width) * static_cast<double>(height) > kMaxExportPixels)
            return "the PNG at scale " + std::to_string(scale) + " would be " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels, more than the limit of " +
                   withThousands(static_cast<long long>(kMaxExportPixels)) +
                   ": use a smaller --scale, or -o FILE.svg or FILE.pdf";
    }
    return "the drawing failed, most likely for lack of memory";
}

std::optional<std::pair<int, int>> gifSize(const std::vector<uint8_t>& b) {
    if (b.size() < 10 || b[0] != 'G' || b[1] != 'I' || b[2] != 'F') return std::nullopt;
    return std::make_pair(b[6] | (b[7] << 8), b[8] | (b[9] << 8));
}

}  // namespace plotwise::app
