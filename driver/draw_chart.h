// The draw driver: turns a chart definition into engine options and one engine call. A drawing
// depends on nothing but its arguments: options, labels and picture are made for it alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "boundary/call_locale.h"
#include "definition/chart_definition.h"
#include "engine/chart_options.h"
#include "engine/picture/surface.h"

namespace plotwise {

// Brings the definition to the form in which it is drawn and stored: texts end within their
// fields, style and substyle are lower case, a pie's mark for value texts is taken or dropped.
void settleDefinition(ChartDefinition& definition);

// What a drawing is asked for besides the definition.
struct EngineCall;
struct DrawRequest {
    VectorSurface* surface = nullptr;  // where the chart is drawn; none: a GIF of its own
    CallLocale* locale = nullptr;      // reads date texts; none: the host's current locale
    EngineCall* record = nullptr;      // receives the engine call's arguments; none: no copy made
};

// Draws a settled definition (or its error picture): the GIF's bytes, or the file of the
// request's surface; empty when no picture could be made.
std::string drawChart(const ChartDefinition& definition, const DrawRequest& request = {});

// What a drawing handed to an engine, recorded only when a request asks for it (tests do).
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
    std::string notice;               // the line under a pie, or under a graph's title
    ChartOptions options;             // the options as the drawing left them
};

}  // namespace plotwise
