// Plotz_New: a new, empty chart definition in a container.
#include "boundary/boundary.h"
#include "boundary/script_functions.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "functions/editing.h"

namespace plotwise {

int16_t Plotz_New(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        ChartHeader snapshot;
        resetDefinition(call.working.definition(), snapshot);
        return finishEdit(call, &snapshot, result);
    });
}

}  // namespace plotwise
