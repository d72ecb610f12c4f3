// Plotz_New: a new, empty chart definition in a container.
#include "boundary/boundary.h"
#include "boundary/process_locale.h"
#include "boundary/script_functions.h"
#include "definition/codec.h"
#include "functions/editing.h"

namespace plotwise {

int16_t Plotz_New(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall([&]() -> int16_t {
        rememberLocale(args);
        ChartHeader snapshot;
        resetDefinition(snapshot);
        return finishEdit(&snapshot, result);
    });
}

}  // namespace plotwise
