// Stand-ins until the graph engine lands; remove each one as its real code arrives.
#include "engine/graph_internal.h"

namespace plotwise {
void draw_graph_data(GraphDrawing&) {}
}  // namespace plotwise
