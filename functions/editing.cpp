#include "functions/editing.h"

#include <span>
#include <string>

#include "boundary/host_calls.h"
#include "definition/codec.h"
#include "driver/draw_chart.h"
#include "engine/text/font_files.h"

namespace plotwise {

int16_t finishEdit(CallState& call, const ChartHeader* snapshot, FMX_Data* result) {
    ChartDefinition& definition = call.working.definition();
    if (snapshot != nullptr) {
        commitHeader(definition, *snapshot);
    }
    settleDefinition(definition);
    // GDFONTPATH once per call rather than once per text; fonts missing before are looked for
    // again.
    refresh_font_search();
    const std::string picture = drawChart(definition, DrawRequest{nullptr, &call.locale});
    host::BinaryData container;
    const int16_t error = encodeDefinition(call.working, container.get(),
                                           std::span(reinterpret_cast<const uint8_t*>(picture.data()), picture.size()));
    if (error == 0) {
        host::setContainer(result, container.get());
    } else {
        host::setNumber(result, error);
    }
    return 0;
}

}  // namespace plotwise
