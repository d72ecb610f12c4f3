// A container from a stored record, however damaged or crafted: its streams are decoded into
// the working definition, the definition is drawn and encoded into a new container, and that
// container is decoded and encoded once more. The second encoding must give the same streams
// as the first: what the plug-in writes, it reads back unchanged. The diagnostic functions
// and the plotwise program's description of a container file see the same streams.
//
// Input: a container file, or streams framed leniently (container_framing.h).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "app/container_file.h"
#include "app/container_report.h"
#include "container_framing.h"
#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "driver/draw_chart.h"
#include "fuzz_input.h"
#include "tests/support/plugin_calls.h"
#include "tests/support/working_set.h"

namespace h = plotwise::support;

namespace {

// Pictures drawn here stay small: the engines' own fuzz target covers the large sizes.
constexpr uint32_t kLargestSide = 400;

std::vector<plotwise::app::ContainerStream> asFileStreams(const h::Streams& streams) {
    std::vector<plotwise::app::ContainerStream> out;
    for (const auto& [type, bytes] : streams) {
        plotwise::app::ContainerStream s;
        std::copy_n(type.begin(), 4, s.type.begin());
        s.bytes.assign(bytes.begin(), bytes.end());
        out.push_back(std::move(s));
    }
    return out;
}

// A font name from a record is looked up only among the fonts of the font path: names that
// could reach other files (paths, device names) are replaced for the run.
void keepFontsInFontPath(plotwise::ChartBlock& block) {
    for (auto& name : block.fontName) {
        const std::string_view text(name, strnlen(name, sizeof name));
        const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == ' ' ||
                   c == '-' || c == '_';
        });
        if (!plain) std::snprintf(name, sizeof name, "%s", "Times.ttf");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("GDFONTPATH", PLOTWISE_BINARY_DIR "/fonts", 1);
    h::startPlugIn();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const h::Streams streams = plotwise::fuzz::containerStreams(data, size);
    std::ostringstream description;
    plotwise::app::describeContainer(asFileStreams(streams), description);

    // Every run starts from the same state: nothing of an earlier input is left over.
    plotwise::ChartDefinition& working = plotwise::testDefinition();
    std::memset(static_cast<void*>(&working), 0, sizeof working);

    FMX_BinaryData* original = FM_BinaryData_Constructor1(h::err());
    h::addStreams(original, streams);
    plotwise::ChartHeader snapshot;
    plotwise::initHeader(snapshot);
    plotwise::loadDefinition(plotwise::testWorkingSet(), original, snapshot);
    FM_BinaryData_Delete(original, h::err());
    snapshot.width = std::min(snapshot.width, kLargestSide);
    snapshot.height = std::min(snapshot.height, kLargestSide);
    plotwise::commitHeader(plotwise::testDefinition(), snapshot);
    keepFontsInFontPath(working.block);
    plotwise::settleDefinition(working);
    plotwise::drawChart(working);

    const h::Streams first = plotwise::fuzz::encodeWorking();
    FMX_BinaryData* again = FM_BinaryData_Constructor1(h::err());
    h::addStreams(again, first);
    if (!plotwise::decodeDefinition(plotwise::testWorkingSet(), again)) std::abort();
    FM_BinaryData_Delete(again, h::err());
    const h::Streams second = plotwise::fuzz::encodeWorking();
    if (first != second) std::abort();

    // The diagnostic functions on the original streams.
    const h::Outcome analysis = h::call(plotwise::ContainerAnalysis, {h::container(streams), h::text("analysis")});
    if (analysis.returned != 0) std::abort();
    const h::Outcome picture = h::call(plotwise::ExtractPicture, {h::container(streams)});
    if (picture.returned != 0) std::abort();
    return 0;
}
