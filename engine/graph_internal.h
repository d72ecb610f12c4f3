// What the stages of one graph drawing share: the inputs, the layout, the picture and its
// palette. Internal to the graph engine.
#pragma once

#include <vector>

#include <gd.h>

#include "engine/chart_options.h"
#include "engine/graph.h"

namespace plotwise {

// Inputs of one drawing after preparation (interpolation works on a private copy).
struct GraphInput {
    short width = 0, height = 0;
    ChartType type = Line;
    int num_points = 0;
    const char* const* xlabels = nullptr;
    int num_sets = 0;
    std::vector<const float*> row;    // data rows, each num_points floats
    std::vector<const float*> xrow;   // xy types: x row of each set
    const float* vol = nullptr;       // combo types: the volume row
    std::vector<float> storage;       // owns the interpolated copies when `interpolate` is on
};

// Palette indices of one drawing.
struct GraphColors {
    int background = 0, line = 0, plot = 0, grid = 0, volume = 0, annotation = 0;
    std::vector<int> volume_at;       // per point
    std::vector<int> front;           // per row and point: row * num_points + point
    std::vector<int> shade;           // 3D types: the halved colour, same indexing
    int set_color(int row, int point) const { return front[static_cast<size_t>(row) * num_points + point]; }
    int set_shade(int row, int point) const { return shade[static_cast<size_t>(row) * num_points + point]; }
    int num_points = 0;
};

// One drawing in progress.
struct GraphDrawing {
    const GraphInput& in;
    const GraphLayout& L;
    const ChartOptions& opt;
    gdImagePtr im;
    GraphColors colors;
};

// Builds the row tables (and interpolated copies); false for a combo type without extra.
bool prepare_graph_input(GraphInput& in, short width, short height, ChartType type, int num_points,
                         const char* const* xlabels, int num_sets, const float* data, const float* extra);
// The layout pass on prepared input.
GraphLayout layout_prepared(const GraphInput& in);

// Titles, back wall, y grid and labels, second axis, y titles, x grid and labels.
void draw_graph_frame(GraphDrawing& d);
// Volume of combo types, the data of the chart type, legend and markers, plot frame, zero
// shelf and annotation (in that order).
void draw_graph_data(GraphDrawing& d);

}  // namespace plotwise
