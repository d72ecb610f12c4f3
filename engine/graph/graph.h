// The graph engine: axis-based charts (lines, areas, bars, combos with a second axis,
// high-low-close, floating bars, xy charts) drawn into a palette picture and written as GIF.
// A drawing reads as a pipeline: layout -> frame -> data -> legend -> output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/chart_options.h"
#include "engine/picture/surface.h"

namespace plotwise {

// Working values of one layout pass, under the names the engine uses throughout.
struct GraphLayout {
    int result = 0;            // 0 drawable; 1 no data; 2 plot too small; -1 bad size; -2 no combo row

    int rows = 0;              // data rows: sets x3 for high-low-close, x2 for floating bars
    int set_depth = 1;         // depth steps: num_sets on 3D charts stacked by Depth, else 1

    float highest = 0, lowest = 0;     // y range
    float vhighest = 0, vlowest = 0;   // volume (second axis) range
    float xmin = 0, xmax = 0;          // x range of xy charts

    int title_height = 0;      // the title's room above the plot (2 without a title)
    int xtitle_hgt = 0, ytitle_wth = 0, ytitle2_wth = 0;
    int xlabel_hgt = 0, xlabel_wth = 0, ylabel_wth = 0, ylabel2_wth = 0;
    int xtick_len = 0, ytick_len = 0, ytick2_len = 0;
    int annote_hgt = 0, annote_len = 0;
    int legend_wth = 0, legend_hgt = 0;
    int legend_rows = 0;       // legend names per column (0: all in one column)
    int legend_column = 0;     // pixels from one legend column to the next
    int legend_name_room = 0;  // widest a legend name may be drawn (0: as wide as it is)
    int ylabel2_gap = 0;       // legend offset right of the plot caused by second-axis labels

    int xdepth_3d = 0, ydepth_3d = 0;          // one depth step
    int xdepth_total = 0, ydepth_total = 0;    // set_depth steps

    int plot_height = 0, plot_width = 0;
    float xorig = 0, yorig = 0, vyorig = 0;
    double pixels_per_point = 0;   // from one category position to the next
    double yscl = 0;           // pixels per y unit (negative)
    float vyscl = 0;           // pixels per volume unit (negative)
    double xyscl = 0;          // pixels per x unit on xy charts
    int mark_size = 0;

    float ylbl_interval = 0;
    int half_bar = 0, half_cap = 0;
    int label_decimals = 0;    // decimals of bar value labels

    // Fonts after the probe (a failing font is replaced by the fallback for this drawing).
    const char* title_font = nullptr;
    const char* ytitle_font = nullptr;
    const char* xtitle_font = nullptr;
    const char* yaxis_font = nullptr;
    const char* xaxis_font = nullptr;

    // Added working values shared by the frame and the data stages.
    int last_pos = 0;          // category position of the plot's right edge (the divisor of pixels_per_point)
    int num_xlbls = 0;         // x labels that fit side by side
    bool fraction_labels = false;  // automatic y labels (whole numbers and power-of-two fractions)
    bool custom_yaxis = false;     // y grid, ticks and labels follow the step options
    float first_interval = 0;      // first entry of the interval table in use
    double xlabel_angle = 0;       // x label angle in degrees as drawn (built-in fonts turn only by 90)
    // Category names as drawn where they are broken into lines or shortened to their room;
    // empty: as given.
    std::vector<std::string> xlabel_texts;
    // The title as drawn: its lines (its own breaks, and breaks at blanks where it is wider
    // than the picture) and the pitch from one line to the next.
    std::vector<std::string> title_lines;
    int title_pitch = 0;
    // Point sizes in use (0 for a bad value) and whether each font draws through FreeType.
    double title_ptsize = 0, ytitle_ptsize = 0, xtitle_ptsize = 0, yaxis_ptsize = 0, xaxis_ptsize = 0;
    bool title_ttf = false, ytitle_ttf = false, xtitle_ttf = false, yaxis_ttf = false, xaxis_ttf = false;

    // Pixel mapping, truncated toward zero: point position p, depth step s (0 at the front).
    // Coordinates are held within +-1e6 first, so that huge or undefined values stay defined.
    static int to_pixel(double v) {
        if (!(v > -1e6)) return v != v ? 0 : -1000000;  // NaN lands on 0
        return v < 1e6 ? static_cast<int>(v) : 1000000;
    }
    int point_x(double p, int s = 0) const { return to_pixel(s * xdepth_3d + xorig + p * pixels_per_point); }
    int PY(double v, int s = 0) const { return to_pixel(yorig - s * ydepth_3d + v * yscl); }
    int PV(double v, int s = 0) const { return to_pixel(vyorig - s * ydepth_3d + v * vyscl); }
    int PXY(double x, int s = 0) const { return to_pixel(s * xdepth_3d + xorig + (x - xmin) * xyscl); }
};

// The layout pass alone, with no drawing: what draw_graph would use for these inputs. Like a
// drawing it stores the plot area in the saved_plot_* options and applies `thumbnail`.
GraphLayout layout_graph(ChartOptions& opt, short width, short height, ChartType type, int num_points,
                         const char* const* xlabels, int num_sets, const float* data, const float* extra);

// Lays out and draws a chart with the options `opt` onto `out`: a vector surface, or the
// engine's palette picture written into a stream. data holds num_points floats per row, set after set;
// extra is the volume row of combo types or the x rows of xy types. Returns 0 drawn, 1 no data
// (no points, no sets, no data, or an xy type without its x rows), 2 plot too small, -1 bad size,
// no stream or no memory for the picture (nothing written), -2 combo type without its volume
// row. `horizontal` is cleared whichever way the drawing ends; a notice of a turned chart has
// the size the caller asked for.
int draw_graph(ChartOptions& opt, short width, short height, PictureTarget out, ChartType type, int num_points,
               const char* const* xlabels, int num_sets, const float* data, const float* extra);

// Values of the automatic y labels: the downward pass (0, or highest when that is not above 0,
// stepping down while above lowest; only for a negative lowest), then the upward pass (0, or a
// positive lowest, stepping up while below highest; only when highest is not negative).
std::vector<float> y_label_values(float lowest, float highest, float interval);

}  // namespace plotwise
