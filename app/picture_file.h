// Writing the picture of a container result: ".gif" writes the "GIFf" stream as it is,
// ".png" converts it with gd; ".svg", ".pdf" and ".png" at a scale are the plug-in's vector
// export of the chart.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

enum class PictureFormat { Gif, Png, Svg, Pdf };

// The format a file name asks for by its extension (without regard to case), none when the
// extension is none of .gif, .png, .svg and .pdf.
std::optional<PictureFormat> pictureFormatOf(std::string_view path);

// The "GIFf" stream of a container, null when it has none.
const ContainerStream* findStream(const std::vector<ContainerStream>& streams, std::string_view type);

// The bytes of a GIF picture as PNG; throws std::runtime_error when gd cannot read the GIF.
std::string gifToPng(const std::vector<uint8_t>& gif);

// Why a container holds no picture, for a message that ends "...: nothing was written": the
// size its chart asks for and the limit it is past, a chart without a definition, and so on.
std::string missingPictureReason(const std::vector<ContainerStream>& streams);

// Why an export of a drawing result made no picture in the format ("png", "svg", "pdf"): the
// chart drew no picture at all, a PNG at that scale is past the largest made, or the drawing
// failed.
std::string missingExportReason(const std::vector<ContainerStream>& result, std::string_view format, int scale);

// Width and height from a GIF's logical screen descriptor; none when it is no GIF.
std::optional<std::pair<int, int>> gifSize(const std::vector<uint8_t>& bytes);

}  // namespace plotwise::app
