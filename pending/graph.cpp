// Stand-ins until the graph engine lands; remove each one as its real code arrives.
#include "engine/graph_internal.h"

namespace plotwise {
GraphLayout layout_graph(short, short, ChartType, int, const char* const*, int, const float*, const float*) {
    return {};
}
int draw_graph(short, short, FILE*, ChartType, int, const char* const*, int, const float*, const float*) {
    return -1;
}
bool prepare_graph_input(GraphInput&, short, short, ChartType, int, const char* const*, int, const float*,
                         const float*) { return false; }
GraphLayout layout_prepared(const GraphInput&) { return {}; }
void draw_graph_frame(GraphDrawing&) {}
void draw_graph_data(GraphDrawing&) {}
}  // namespace plotwise
