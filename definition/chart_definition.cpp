#include "definition/chart_definition.h"

#include <memory>

namespace plotwise {

ChartDefinition& workingDefinition() {
    // 7 MB: allocated once, zero-filled, alive for the life of the process.
    static const std::unique_ptr<ChartDefinition> definition(new ChartDefinition{});
    return *definition;
}

}  // namespace plotwise
