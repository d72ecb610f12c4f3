// The container codec alone, without drawing, so that decoding gets millions of executions: a
// container from a stored record, however damaged or crafted, is decoded into the working
// definition and encoded; that container must decode again, and its encoding must give the
// same streams: what the plug-in writes, it reads back unchanged. A definition that loads
// through the editing sequence (snapshot, commit) encodes to the same streams as well.
//
// Input: a container file, or streams framed leniently (container_framing.h).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "container_framing.h"
#include "plugin_harness.h"

namespace h = plotwise::harness;

namespace {

h::Streams encodeWorking() {
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(h::err());
    if (plotwise::encodeDefinition(binary) != 0) std::abort();
    h::Streams streams = h::streamsOf(binary);
    FM_BinaryData_Delete(binary, h::err());
    return streams;
}

// Decodes the streams into the working definition; false when they hold none.
bool decodeStreams(const h::Streams& streams) {
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(h::err());
    h::addStreams(binary, streams);
    const bool decoded = plotwise::decodeDefinition(binary);
    FM_BinaryData_Delete(binary, h::err());
    return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    h::startPlugIn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const h::Streams streams = plotwise::fuzz::containerStreams(data, size);
    // Every run starts from the same state: nothing of an earlier input is left over.
    plotwise::ChartDefinition& working = plotwise::workingDefinition();
    std::memset(static_cast<void*>(&working), 0, sizeof working);
    if (!decodeStreams(streams)) return 0;
    const h::Streams first = encodeWorking();
    if (!decodeStreams(first)) std::abort();
    if (encodeWorking() != first) std::abort();

    // The editing sequence on the written container: the header goes through a snapshot.
    plotwise::ChartHeader snapshot;
    plotwise::initHeader(snapshot);
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(h::err());
    h::addStreams(binary, first);
    plotwise::loadDefinition(binary, snapshot);
    FM_BinaryData_Delete(binary, h::err());
    plotwise::commitHeader(snapshot);
    const h::Streams committed = encodeWorking();
    if (!decodeStreams(committed)) std::abort();
    if (encodeWorking() != committed) std::abort();
    return 0;
}
