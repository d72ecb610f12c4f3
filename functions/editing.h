// The shared end of every script function that edits a definition: commit the header
// snapshot, draw the chart, and encode the definition with its picture into the result.
#pragma once

#include <cstdint>

#include "definition/call_state.h"
#include "definition/chart_definition.h"
#include "stand_in/fmhost.h"

namespace plotwise {

// Commits `snapshot` (none when null) to the call's working definition, draws it, encodes it into a new
// container and stores that in `result`; when encoding fails, `result` becomes the host's
// memory error code as a number. Returns the host error code of the function (0).
int16_t finishEdit(CallState& call, const ChartHeader* snapshot, FMX_Data* result);

}  // namespace plotwise
