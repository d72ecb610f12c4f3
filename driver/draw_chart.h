// The draw driver: turns the working chart definition into engine options and one engine call.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "definition/chart_definition.h"
#include "engine/chart_options.h"

namespace plotwise {

// Draws the definition (or its error picture) into the picture of the latest drawing.
void drawChart(ChartDefinition& definition);

// What the latest drawing handed to an engine, kept so that tests can see it.
struct EngineCall {
    enum Engine { None, Graph, Pie, ErrorPicture };
    Engine engine = None;
    int width = 0, height = 0;        // size arguments in the order passed
    int type = 0;                     // ChartType, or the pie kind (0 3D, 1 flat)
    int points = 0;
    int sets = 0;
    uint32_t errorCode = 0;           // ErrorPicture
    std::vector<std::string> labels;  // the label texts passed
    std::vector<float> values;        // sets x points data values (pie: the slice values)
    std::vector<float> extra;         // the extra value array (empty when none)
    std::vector<uint32_t> colors;     // set colours (graph) or slice colours (pie)
    std::vector<uint32_t> volume;     // volume colours of combination charts
    std::vector<LegendEntry> legend;
    std::string notice;               // the line under a pie
};
const EngineCall& lastEngineCall();

}  // namespace plotwise
