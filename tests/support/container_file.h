// What the plotwise program leaves behind, read independently of its own reader: container
// files ("PWCF"), the chart definition stored in a container, and the pictures.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "definition/chart_definition.h"
#include "tests/support/streams.h"

namespace plotwise::support {

// "PWCF", version 1, the count, then type, length and bytes of each stream (little-endian).
std::string containerFile(const Streams& streams);
// Reads a well-formed container file; throws std::runtime_error otherwise.
Streams readContainerFile(const std::string& bytes);

// The chart block and the series records of a container.
struct StoredChart {
    ChartBlock block{};
    std::vector<SeriesRecord> series;
    bool ok = false;  // false: no whole "CHHD" stream or no "SERS" stream
};
StoredChart storedChart(const Streams& streams);
// The chart block of a container; all zero when it has no whole "CHHD" stream.
ChartBlock chartBlock(const Streams& streams);

// A decoded GIF or PNG picture: its size and palette.
struct Picture {
    bool decoded = false;
    int width = 0, height = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB, in palette order
};
Picture decodeGif(const std::string& gif);
Picture decodePng(const std::string& png);

// Whether the picture is the error picture: a 3D pie of seven slices in fixed colours, each
// followed in the palette by its half-intensity shade. No chart a script draws allocates that
// run of fourteen colours.
bool isErrorPie(const Picture& picture);

}  // namespace plotwise::support
