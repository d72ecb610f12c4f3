// Plotz_Draw ( container ; hsize ; vsize {; backcol ; textcol} ): the definition drawn at a
// size and in colours of the script's choice.
#include "boundary/boundary.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "functions/editing.h"

namespace plotwise {
namespace {

int16_t drawDefinition(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 3 || !args.isContainer(0)) {
        // Shown as the Draw error at the default size, whatever an earlier call left behind.
        snapshot.errorCode = kErrorDraw;
        return finishEdit(call, &snapshot, result);
    }
    loadDefinition(call.working, args.container(0), snapshot);
    snapshot.width = static_cast<uint32_t>(args.integer(1));
    snapshot.height = static_cast<uint32_t>(args.integer(2));
    if (args.size() >= 4) snapshot.backgroundColor = static_cast<uint32_t>(args.integer(3));
    if (args.size() >= 5) snapshot.textColor = static_cast<uint32_t>(args.integer(4));
    return finishEdit(call, &snapshot, result);
}

}  // namespace

int16_t Plotz_Draw(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return drawDefinition(call, host::Args(args), result);
    });
}

}  // namespace plotwise
