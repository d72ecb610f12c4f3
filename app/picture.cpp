#include "app/picture.h"

#include <gd.h>
#include <limits>
#include <memory>
#include <stdexcept>

#include "app/text_util.h"

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

std::optional<std::pair<int, int>> gifSize(const std::vector<uint8_t>& b) {
    if (b.size() < 10 || b[0] != 'G' || b[1] != 'I' || b[2] != 'F') return std::nullopt;
    return std::make_pair(b[6] | (b[7] << 8), b[8] | (b[9] << 8));
}

}  // namespace plotwise::app
