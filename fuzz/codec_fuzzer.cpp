// The container codec alone, without drawing, so that decoding gets millions of executions: a
// container from a stored record, however damaged or crafted, is decoded into the working
// definition and encoded; that container must decode again, and its encoding must give the
// same streams: what the plug-in writes, it reads back unchanged.
//
// Input: a container file, or streams framed leniently (container_framing.h).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "container_framing.h"
#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "tests/support/plugin_calls.h"
#include "tests/support/working_set.h"

namespace h = plotwise::support;

namespace {

// The label rows and columns an input may have written: decoding and encoding touch labels
// only within the series and values in use. The first run clears everything.
constexpr int kRoundTripLabels = 2000;

int gDirtySeries = plotwise::kMaxSeries;
int gDirtyValues = plotwise::kMaxValues;

// Every run starts from the same state: nothing of an earlier input is left over. Clearing
// only the labels an earlier run could reach keeps a run from writing 6.4 MB of zeros.
void clearWorking() {
    plotwise::ChartDefinition& w = plotwise::testDefinition();
    std::memset(static_cast<void*>(&w.block), 0, sizeof w.block);
    std::memset(static_cast<void*>(w.series), 0, sizeof w.series);
    for (int s = 0; s < gDirtySeries; ++s) {
        std::memset(w.xLabel[s], 0, static_cast<std::size_t>(gDirtyValues) * plotwise::kLabelSize);
        std::memset(w.yLabel[s], 0, static_cast<std::size_t>(gDirtyValues) * plotwise::kLabelSize);
    }
    gDirtySeries = 0;
    gDirtyValues = 0;
}

void noteLabelsInUse() {
    const plotwise::ChartHeader& header = plotwise::testDefinition().header();
    gDirtySeries = std::max(gDirtySeries, plotwise::seriesInUse(header));
    gDirtyValues = std::max(gDirtyValues, plotwise::valuesInUse(header));
}

// Decodes the streams into the working definition; false when they hold none.
bool decodeStreams(const h::Streams& streams) {
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(h::err());
    h::addStreams(binary, streams);
    const bool decoded = plotwise::decodeDefinition(plotwise::testWorkingSet(), binary);
    FM_BinaryData_Delete(binary, h::err());
    noteLabelsInUse();
    return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    h::startPlugIn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const h::Streams streams = plotwise::fuzz::containerStreams(data, size);
    clearWorking();
    if (!decodeStreams(streams)) return 0;
    // The round trip of large tables costs milliseconds a run; the drawing container target
    // takes them through it. Here it runs on definitions of up to kRoundTripLabels labels.
    const plotwise::ChartHeader& header = plotwise::testDefinition().header();
    if (plotwise::seriesInUse(header) * plotwise::valuesInUse(header) > kRoundTripLabels) return 0;
    const h::Streams first = plotwise::fuzz::encodeWorking();
    if (!decodeStreams(first)) std::abort();
    if (plotwise::fuzz::encodeWorking() != first) std::abort();
    return 0;
}
