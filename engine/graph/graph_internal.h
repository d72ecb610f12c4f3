// What the stages of one graph drawing share: the inputs, the layout, the picture and its
// palette. Internal to the graph engine.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gd.h>

#include "engine/chart_options.h"
#include "engine/graph/graph.h"
#include "engine/picture/surface.h"
#include "engine/text/text_ink.h"

namespace plotwise {

// Data values are held within +-kValueLimit; larger ones are drawn at that value, so that
// sums over many sets stay finite in single precision.
constexpr float kValueLimit = 1e32f;
// Upper bound of the steps of any axis loop (labels, grid lines, ticks).
constexpr int kMaxAxisSteps = 100000;

// Inputs of one drawing after preparation. The rows point into `storage`, a cleaned copy: every
// value there is finite and within +-kValueLimit, or NoValue (missing). NaN, infinities and
// InterpolateValue (filled first when `interpolate` is on) become NoValue.
struct GraphInput {
    short width = 0, height = 0;
    ChartType type = Line;
    int num_points = 0;
    const char* const* xlabels = nullptr;
    int num_sets = 0;
    std::vector<const float*> row;    // data rows, each num_points floats
    std::vector<const float*> xrow;   // xy types: x row of each set
    const float* vol = nullptr;       // combo types: the volume row
    std::vector<float> storage;       // owns the cleaned (and interpolated) copies
    int rows = 0;                     // data rows: sets x3 for high-low-close, x2 for floating bars
};

// A data value that is drawn (prepared input holds NoValue for every missing value).
inline bool is_present(float v) { return v != NoValue; }
// A float option holds a value (not NoValue, not NaN or infinite).
inline bool given(float f) { return f != NoValue && std::isfinite(f); }
// A text option holds a text (not null, not empty).
inline bool has_text(const char* t) { return t != nullptr && *t != '\0'; }
// A length or place worked out in the layout, as whole pixels.
inline int to_int(double v) { return GraphLayout::to_pixel(v); }

// Smoothed FreeType ink reaches this many pixels past the box gd measures for it.
constexpr int kSmoothedSpill = 1;

// A quarter turn in radians: the angle of text that reads upward.
constexpr double kHalfPi = 1.57079632679489661923;

// How far left of its anchor a label of width w and height h slanted at a radians (between
// level and upright) reaches: its slanted width plus a share of its height that grows with the
// angle, so that the label's end at the anchor stays in line with the others.
inline int slanted_label_reach(int w, int h, double a) { return to_int(w * std::cos(a) + h * a / kHalfPi / 2); }

// The text of category label i as drawn: broken or shortened to its room, else as given.
inline const char* x_label_text(const GraphInput& in, const GraphLayout& L, int i) {
    return L.xlabel_texts.empty() ? in.xlabels[i] : L.xlabel_texts[static_cast<size_t>(i)].c_str();
}

// Whether the x axis is a number line (an xy chart with a grid, tick or label step given)
// rather than a row of category labels.
inline bool has_numeric_x_axis(ChartType type, const ChartOptions& opt) {
    return isXy(type) && (given(opt.xaxis_grid_step) || given(opt.xaxis_tick_step) || given(opt.xaxis_label_step));
}

// The line spacing factor of titles and labels: 1.2 when it is not a number, else kept within
// 0..100, so that the room the layout keeps and the place the text is drawn agree.
inline double line_spacing(const ChartOptions& opt) {
    return std::isfinite(opt.line_spacing) ? std::clamp(opt.line_spacing, 0.0, 100.0) : 1.2;
}

// Pixels from one legend row to the next: the label point size and 4; without a point size the
// built-in font's height stands for it.
inline double legend_row_pitch(const ChartOptions& opt) {
    const double pitch = std::isfinite(opt.yaxis_ptsize) ? opt.yaxis_ptsize : 0.0;
    return (pitch > 0 ? pitch : font_entry(opt.yaxis_font_size).height) + 4;
}

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

// One drawing in progress. It goes onto `surface`, or (none given) onto the palette picture `im`.
struct GraphDrawing {
    const GraphInput& in;
    const GraphLayout& L;
    ChartOptions& opt;  // the frame writes back the x steps it chose
    gdImagePtr im;
    GraphColors colors;
    Surface* surface = nullptr;
};

// Result of the entry checks: 0 to go on, -1 bad size, 1 no data (no points, no sets, no data,
// or an xy type without its x rows), -2 a combo type without its volume row.
int check_graph_entry(short width, short height, ChartType type, int num_points, int num_sets,
                      const float* data, const float* extra);
// Builds the row tables (and interpolated copies); false for a combo type without extra.
// `interpolate`: missing values marked InterpolateValue are filled from their neighbours.
bool prepare_graph_input(GraphInput& in, bool interpolate, short width, short height, ChartType type, int num_points,
                         const char* const* xlabels, int num_sets, const float* data, const float* extra);
// The layout pass on prepared input; stores the plot area in the saved_plot_* options.
GraphLayout layout_prepared(const GraphInput& in, ChartOptions& opt);

// Titles, back wall, y grid and labels, second axis, y titles, x grid and labels.
void draw_graph_frame(GraphDrawing& d);
// Volume of combo types, the data of the chart type, legend and markers, plot frame, zero
// shelf and annotation (in that order).
void draw_graph_data(GraphDrawing& d);

// The picture turned by 90 degrees clockwise: a new palette picture of swapped size with the
// same palette, pixel (x, y) moved to (height - 1 - y, x). Null when it cannot be made.
gdImagePtr turn_picture(gdImagePtr image);

// Axis step options: a step that is not above 0 becomes the fallback; grid and tick steps give at
// most `length` / 2 lines, label steps at most about `length` / (2 pitch + 1) labels; and no step
// is too small to advance a value of the axis in single precision. With `round_numbers`, on an
// axis whose values are beyond what a float holds exactly (2^24 and more), steps not given are
// round numbers (1, 2, 2.5 or 5 times a power of ten), so that their labels read as such.
struct AxisSteps {
    double grid, tick, label;
};
AxisSteps axis_steps(float grid, float tick, float label, double range, double fallback, double label_fallback,
                     int length, double pitch, double magnitude, bool round_numbers);

// Whether a y label format is a printf format (holds one of "%geEfF"); otherwise the automatic
// fraction labels are used.
bool is_printf_format(const char* format);
// A value printed with a printf format for one floating-point number. A format that would need
// anything else (%d, %s, %n, '*', several conversions, absurd widths) prints with "%.0f".
std::string format_value(const char* format, double value);

// The text of one y label, split for fraction labels: `whole` then, when `denominator` is not 0,
// the fraction numerator/denominator drawn smaller.
struct YLabelText {
    std::string whole;
    int numerator = 0, denominator = 0;
};
YLabelText y_label_text(const GraphLayout& L, const ChartOptions& opt, float value, float interval);
// Length in characters of a y label as the layout counts it.
int y_label_length(const GraphLayout& L, const ChartOptions& opt, float value, float interval);
// A second-axis label: the value printed with `ylabel2_format` ("%.0f" when none); a text that
// reads back as the number 0 ("-0") becomes "0".
std::string y2_label_text(const ChartOptions& opt, double value);

// Widths of a y label as it is drawn upright: the whole-number text (placed by its length in
// characters, or by its measured width when FreeType draws it wider) and the fraction after it.
struct YLabelWidths {
    int whole = 0, fraction = 0;
};
YLabelWidths y_label_widths(const GraphLayout& L, const ChartOptions& opt, const YLabelText& text);

// How far an x label turned to read upward reaches from its start toward the axis: its measured
// width, or the ink of a FreeType label with the smoothing's spill where that reaches further.
int turned_label_reach(const char* font, double ptsize, bool ttf, const char* text, int width);

}  // namespace plotwise
