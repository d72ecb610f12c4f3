#include "functions/editing.h"

#include "boundary/host_calls.h"
#include "definition/codec.h"
#include "driver/draw_chart.h"

namespace plotwise {

int16_t finishEdit(const ChartHeader* snapshot, FMX_Data* result) {
    if (snapshot != nullptr) {
        commitHeader(*snapshot);
    }
    drawChart(workingDefinition());
    host::BinaryData container;
    const int16_t error = encodeDefinition(container.get());
    if (error == 0) {
        host::setContainer(result, container.get());
    } else {
        host::setNumber(result, error);
    }
    return 0;
}

}  // namespace plotwise
