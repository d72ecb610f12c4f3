// Encoding the working definition into a container: "CHHD", "LABS", "LABY", "SERS", then the
// picture drawn for it. The cost follows the series and values in use.
#include <algorithm>
#include <cstring>

#include "boundary/host_calls.h"
#include "definition/codec.h"
#include "definition/container_streams.h"
#include "definition/picture_streams.h"
#include "definition/working_set.h"

namespace plotwise {

namespace {

// Packs the labels in use into the staging buffer: each label's bytes and a zero, a blank
// standing for an empty label so that every entry takes at least two bytes. Returns the size.
uint32_t packLabels(uint8_t* out, const LabelTable& table, int series, int values) {
    uint8_t* const start = out;
    for (int s = 0; s < series; ++s) {
        for (int v = 0; v < values; ++v) {
            const char* label = table[s][v];
            const std::size_t length = strnlen(label, kLabelSize - 1);
            if (length == 0) {
                *out++ = ' ';
            } else {
                std::memcpy(out, label, length);
                out += length;
            }
            *out++ = '\0';
        }
    }
    return static_cast<uint32_t>(out - start);
}
static_assert(static_cast<std::size_t>(kMaxSeries) * kMaxValues * kLabelSize <= kLabelStagingSize);

}  // namespace

int16_t encodeDefinition(WorkingSet& working, FMX_BinaryData* container, std::span<const uint8_t> picture) {
    const ChartDefinition& definition = working.definition();
    uint8_t* staging = working.labelStaging();
    const ChartHeader& header = definition.header();
    const int series = seriesInUse(header);
    const int values = valuesInUse(header);

    host::removeAllStreams(container);
    int16_t error = 0;
    // A stream that cannot be staged is left out; the first failure is the result.
    auto keep = [&error](int16_t result) {
        if (error == 0) {
            error = result;
        }
    };

    ChartBlock block;
    std::memcpy(&block, &definition.block, sizeof block);
    block.header.seriesCount = static_cast<uint32_t>(series);  // never more than the records written
    keep(stageStream(container, kHeaderStream, &block, sizeof block));
    keep(stageStream(container, kXLabelStream, staging, packLabels(staging, definition.xLabel, series, values)));
    keep(stageStream(container, kYLabelStream, staging, packLabels(staging, definition.yLabel, series, values)));
    keep(stageStream(container, kSeriesStream, definition.series, static_cast<uint32_t>(series) * sizeof(SeriesRecord)));
    if (error == 0) {
        error = attachPicture(container, picture, header.width, header.height);
    }
    return error;
}

}  // namespace plotwise
