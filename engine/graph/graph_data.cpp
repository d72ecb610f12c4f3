// The data stage of a graph drawing, in the order things are painted (what comes later covers
// what came before):
//   1. the volume of combo charts, at the back wall
//   2. the annotation line along the back wall and the zero shelf (3D charts): both lie behind
//      the data, which must cover them
//   3. the data of the chart type (and the markers of points no segment reaches)
//   4. legend squares and point markers
//   5. the plot frame
//   6. the annotation line and its note
#include "engine/graph/graph_shapes.h"

namespace plotwise {
namespace {

void draw_chart_type(const DataPlot& p) {
    switch (p.type) {
        case Line:
        case ComboLineBar:
        case ComboLineArea:
        case ComboLineLine: draw_lines(p); return;
        case Line3D:
        case ComboLineBar3D:
        case ComboLineArea3D:
        case ComboLineLine3D: draw_ribbons(p); return;
        case Area:
        case Area3D: draw_areas(p); return;
        case Bar:
        case Bar3D: draw_bars(p); return;
        case FloatingBar:
        case FloatingBar3D: draw_floating_bars(p); return;
        case HighLowClose:
        case ComboHlcBar:
        case ComboHlcArea:
        case HighLowClose3D:
        case ComboHlcBar3D:
        case ComboHlcArea3D: draw_hlc(p); return;
        case XyLine:
        case XyPoint:
        case XyLineStep:
        case XyArea:
        case XyAreaStep: draw_xy(p); return;
        case Reserved20:
        case Reserved21: return;  // axes and frame only
    }
}

// Bars, lines and areas are cut at the plot's edges; the marks of high-low-close charts and
// point charts (caps, diamonds, crosses) stay whole at the edge of the range.
bool stays_in_plot(ChartType type) { return !isHlc(type) && type != XyPoint; }

}  // namespace

void draw_graph_data(GraphDrawing& d) {
    if ((!d.im && !d.surface) || d.in.num_points < 1) return;
    const DataPlot p(d);
    draw_volume(p);
    draw_back_annotation(p);
    draw_zero_shelf(p);
    if (stays_in_plot(p.type)) {
        const DataPlot::PlotClip clip(p);
        draw_chart_type(p);
    } else {
        draw_chart_type(p);
    }
    draw_lone_point_markers(p);
    draw_legend(p);
    draw_plot_frame(p);
    draw_annotation(p);
}

}  // namespace plotwise
