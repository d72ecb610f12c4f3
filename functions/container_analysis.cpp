// ContainerAnalysis (function 11): lists the streams of a container and their sizes.
#include <cctype>
#include <cstdio>
#include <string>
#include <string_view>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "definition/container_streams.h"

namespace plotwise {

namespace {

constexpr std::string_view kAnalysisRequest = "analysis";
constexpr std::size_t kRequestBytes = 255;

// One line per stream, in this order, when the stream holds any bytes.
struct DumpLine {
    const char* code;
    const char* caption;
};
constexpr DumpLine kDumpLines[] = {
    {kPictureStream, "Giff    = "},
    {kSizeStream, "Size    = "},
    {kHeaderStream, "Header  = "},
    {kXLabelStream, "XLabels = "},
    {kYLabelStream, "YLabels = "},
    {kSeriesStream, "Series  = "},
    {kJpegStream, "Jpeg    = "},
};

std::string dumpText(const FMX_BinaryData* container) {
    char line[256];
    std::string text;
    uint32_t total = 0;
    try {
        total = host::totalSize(container);
    } catch (const host::HostFailure&) {
        total = 0;  // reported as empty
    }
    if (total == 0) {
        text = "Container total = Empty";
    } else {
        std::snprintf(line, sizeof line, "Container total = %4li\r", static_cast<long>(total));
        text = line;
    }
    for (const DumpLine& entry : kDumpLines) {
        const int32_t index = host::streamIndex(container, entry.code);
        if (index < 0) {
            continue;
        }
        const uint32_t size = host::streamSize(container, index);
        if (size > 0) {
            std::snprintf(line, sizeof line, "%s%04li\r", entry.caption, static_cast<long>(size));
            text += line;
        }
    }
    return text;
}

}  // namespace

int16_t ContainerAnalysis(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        const host::Args arguments(args);
        if (arguments.size() < 2 || !arguments.isContainer(0)) {
            return 0;  // no result
        }
        const FMX_BinaryData* container = arguments.container(0);
        ChartHeader snapshot;
        initHeader(snapshot);
        loadDefinition(call.working, container, snapshot);

        std::string request = arguments.text(1, kRequestBytes);
        for (char& c : request) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        host::Text text(request == kAnalysisRequest ? dumpText(container) : std::string());
        host::Locale locale(1);
        host::setText(result, text.get(), locale.get());
        return 0;
    });
}

}  // namespace plotwise
