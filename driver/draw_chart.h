// The draw driver: turns the working chart definition into engine options and one engine call.
#pragma once

#include "definition/chart_definition.h"

namespace plotwise {

// Draws the definition (or its error picture) into the picture of the latest drawing.
void drawChart(ChartDefinition& definition);

}  // namespace plotwise
