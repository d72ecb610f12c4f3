// What the data painters of the graph engine share: a view of one drawing (the pixel mapping
// with every coordinate clamped to a safe range before it becomes an int, the values with
// missing ones recognised, the colours of rows and points) and the solids every chart family
// is painted with (bars, area segments, ribbons, walls). Internal to the graph engine.
//
// Families, in their files: bars and value labels (graph_bars.cpp), areas (graph_areas.cpp),
// lines and 3D ribbons (graph_lines.cpp), high-low-close and floating bars (graph_hlc.cpp),
// xy charts (graph_xy.cpp), legend squares and markers (graph_legend.cpp), volume, plot frame,
// zero shelf and annotation (graph_decor.cpp); graph_data.cpp runs them in drawing order.
#pragma once

#include <span>
#include <vector>

#include "engine/graph/graph_internal.h"
#include "engine/picture/surface_gd.h"

namespace plotwise {

// True for a value that can be drawn, whatever its source: NoValue is missing, an
// InterpolateValue that reaches drawing (interpolation off) is missing too, and NaN and
// infinities are never drawn. Values read through DataPlot pass this test or are NoValue.
bool is_drawable(float v);

// One piece of a Layer bar: stacked from `from` to `to` (totals), labelled with `value`.
struct LayerPiece {
    int set;
    double from;
    double to;
    float value;
};
// The pieces of one point: present values stacked in set order, positive ones on the running
// positive total and negative ones on the running negative total, sorted by their end total
// (ascending; pieces with equal ends keep set order). This is also the order of painting.
std::vector<LayerPiece> layer_pieces(std::span<const float> values);

// One drawing as the data painters see it.
class DataPlot {
    GdSurface own_;     // the palette picture's surface, when the drawing names no other

public:
    explicit DataPlot(GraphDrawing& d);

    GraphDrawing& d;
    const GraphInput& in;
    const GraphLayout& L;
    const ChartOptions& opt;
    Surface& s;         // where the drawing goes
    ChartType type;
    int n;              // points per row
    bool solid;         // 3D chart: faces one depth step deep
    int xd, yd;         // one depth step in pixels (0 on flat charts)
    int offset;         // position of point 0: 1 on bar types, else 0
    int back;           // depth step of the back wall
    int half_bar, half_cap, mark_size;  // the layout's sizes, held to the coordinate range

    // Pixel mapping, truncated toward zero like GraphLayout's, but held within +-kFar first,
    // so that sums of a few coordinates and sizes stay far inside int.
    static constexpr int kFar = 1 << 24;
    int px(double p, int s = 0) const;
    int py(double v, int s = 0) const;
    int pv(double v, int s = 0) const;
    int pxy(double x, int s = 0) const;
    // A coordinate or size within +-kFar (NaN goes to the lower end).
    static int clamp(double v);

    // Position of the plot's right edge (the last position; 1 with a single point on charts
    // other than bars).
    double last_position() const;
    // Depth step of set s on charts that give each set its own row (stack type Depth).
    int set_step(int s) const;
    // Rows that exist, and sets that have all their `per_set` rows.
    int rows() const;
    int sets(int per_set) const;
    // A value, or NoValue when it is missing, not drawable or out of range.
    float value(int row, int point) const;
    float volume(int point) const;
    bool has(int row, int point) const { return is_present(value(row, point)); }
    // x value of a point on xy charts (the point index when the set has no x row; NoValue when
    // missing).
    float xvalue(int set, int point) const;

    int front(int row, int point) const;
    // The half-intensity colour on 3D charts; the front colour where there is none.
    int shade(int row, int point) const;
    int volume_color(int point) const;

    // True when a rise of `rise` pixels over `run` pixels is steeper than the depth direction
    // (run 0 counts as the steepest slope, a depth step with no x shift as steeper still).
    bool steeper_than_depth(double rise, double run) const;

    // Drawing. Shapes that reach far outside the picture are clipped (exactly, in floating
    // point) to a margin around it first, so that gd's own arithmetic stays within int.
    void line(int x1, int y1, int x2, int y2, int color) const;
    void fill(std::initializer_list<gdPoint> points, int color) const;
    void rect(int x1, int y1, int x2, int y2, int color) const;
    void outline(int x1, int y1, int x2, int y2, int color) const;
    void pixel(int x, int y, int color) const;
    // Whether a box reaches the picture.
    bool touches(int x1, int y1, int x2, int y2) const;

    // While alive, the data stays within the plot's rows (from the front wall's bottom to the
    // back wall's top): fills are clipped to them, lines and pixels to one row beyond (the second
    // row of a line on the plot's edge). A value beyond the axis range, or an area standing on a
    // base outside it, is cut at the plot's edge rather than drawn over the titles.
    class PlotClip {
    public:
        explicit PlotClip(const DataPlot& p);
        ~PlotClip();
        PlotClip(const PlotClip&) = delete;
        PlotClip& operator=(const PlotClip&) = delete;

    private:
        const DataPlot& p_;
        int saved_[5];
    };
    // True when row y lies within the plot's rows (the front wall's and the back wall's).
    bool in_plot_rows(int y) const;

private:
    // The clip box: the picture and a margin around it, or the plot's box (PlotClip).
    mutable int left_, top_, right_, bottom_;
    mutable int line_margin_ = 0;  // how far lines and pixels may pass the clip box
    bool inside(int x, int y, int margin = 0) const {
        return x >= left_ - margin && x <= right_ + margin && y >= top_ - margin && y <= bottom_ + margin;
    }
};

// A bar from screen row ya to yb between columns x1 and x2: on 3D charts with its right side
// face (shade) and top face, the front rectangle, and a shade line along the front's top edge.
void paint_bar(const DataPlot& p, bool solid, int x1, int x2, int ya, int yb, int front, int shade);
// An area segment from (x1, y1) to (x2, y2) over the lower edge from (x1, yb1) to (x2, yb2).
void paint_area_segment(const DataPlot& p, bool solid, int x1, int y1, int x2, int y2, int yb1, int yb2,
                        int front, int shade);
// A ribbon one depth step deep along (x1, y1)-(x2, y2), in the front colour unless it rises
// more steeply than the depth direction; its left edge in the other colour.
void paint_ribbon(const DataPlot& p, int x1, int y1, int x2, int y2, int front, int shade);
// A vertical wall one depth step deep at column x from ya to yb: the side in the shade, the
// front edge in the front colour.
void paint_wall(const DataPlot& p, int x, int ya, int yb, int front, int shade);

// The value label of a bar whose centre column is xc and whose ends are rows ya and yb.
void draw_value_label(const DataPlot& p, float value, int xc, int ya, int yb);

// The families.
void draw_volume(const DataPlot& p);
void draw_bars(const DataPlot& p);
void draw_areas(const DataPlot& p);
void draw_lines(const DataPlot& p);
void draw_ribbons(const DataPlot& p);
void draw_floating_bars(const DataPlot& p);
void draw_hlc(const DataPlot& p);
void draw_xy(const DataPlot& p);
void draw_legend(const DataPlot& p);
// A point of a line or area chart that no segment reaches (the only point, or one between two
// missing values), as a filled diamond.
void draw_lone_point_markers(const DataPlot& p);
void draw_back_annotation(const DataPlot& p);
void draw_plot_frame(const DataPlot& p);
void draw_zero_shelf(const DataPlot& p);
void draw_annotation(const DataPlot& p);

}  // namespace plotwise
