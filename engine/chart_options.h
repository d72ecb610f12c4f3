// ChartOptions: the drawing settings of the graph engine and the pie engine, handed to every
// engine call. The driver makes a set for each drawing and writes what the chart needs; every
// other option holds its default. The engines write a few back (the plot area, the picture
// kept by hold_image). Text and array options are borrowed references owned by the writer,
// which keeps them alive until the engine returns.
#pragma once

#include <cstdint>

struct gdImageStruct;

namespace plotwise {

// A missing data value, or a float option that is not given.
constexpr float NoValue = -3.4028235e38f;
// A data value to be filled by interpolation when `interpolate` is on.
constexpr float InterpolateValue = NoValue / 2;
// The colour opposite to the background.
constexpr uint32_t DefaultColor = 0x02000000;
// No colour given (the pie engine then outlines each slice in its own colour).
constexpr uint32_t NoColor = 0x01000000;

// How several data sets share one category.
enum StackType : int {
    Depth = 0,   // 3D charts: each set one step further back
    Sum = 1,     // stacked on top of each other
    Beside = 2,  // side by side
    Layer = 3,   // drawn over each other from the same base
};

// The graph engine's chart kinds.
enum ChartType : int {
    Line = 0,
    Area = 1,
    Bar = 2,
    FloatingBar = 3,
    HighLowClose = 4,
    ComboLineBar = 5,
    ComboHlcBar = 6,
    ComboLineArea = 7,
    ComboLineLine = 8,
    ComboHlcArea = 9,
    HighLowClose3D = 10,
    ComboLineBar3D = 11,
    ComboLineArea3D = 12,
    ComboLineLine3D = 13,
    ComboHlcBar3D = 14,
    ComboHlcArea3D = 15,
    Bar3D = 16,
    FloatingBar3D = 17,
    Area3D = 18,
    Line3D = 19,
    Reserved20 = 20,  // axes and frame only
    Reserved21 = 21,  // axes and frame only
    XyLine = 22,
    XyPoint = 23,
    XyLineStep = 24,
    XyArea = 25,
    XyAreaStep = 26,
};
constexpr int kChartTypeCount = 27;

// Derived groups of chart types.
constexpr bool is3d(ChartType t) { return t >= 10 && t <= 19; }
constexpr bool isCombo(ChartType t) { return (t >= 5 && t <= 9) || (t >= 11 && t <= 15); }
constexpr bool isBarType(ChartType t) { return t == Bar || t == FloatingBar || t == Bar3D || t == FloatingBar3D; }
constexpr bool isHlc(ChartType t) {
    return t == HighLowClose || t == ComboHlcBar || t == ComboHlcArea || t == HighLowClose3D ||
           t == ComboHlcBar3D || t == ComboHlcArea3D;
}
constexpr bool isFloatingBar(ChartType t) { return t == FloatingBar || t == FloatingBar3D; }
constexpr bool isXy(ChartType t) { return t >= 22 && t <= 26; }

// How the labels of an axis read its values.
enum ValueKind : short {
    PlainValue = 0,      // printf format of the axis, or automatic fractions
    NumberValue = 1,     // number through the axis format text
    DateValue = 3,       // seconds since 1970-01-01, shown as a date
    TimeValue = 4,       // seconds since midnight
    TimestampValue = 5,  // seconds since 1970-01-01, shown as date and time
};
// Kinds whose values are moments, labelled through the date formatter.
constexpr bool isDateKind(int kind) { return kind >= DateValue && kind <= TimestampValue; }

// x label spacing that draws every label, however crowded.
constexpr short kEveryLabel = 32767;

// What a legend entry draws.
enum LegendKind : uint32_t {
    MarkerTriangleDown = 0,
    MarkerTriangleUp = 1,
    MarkerCircle = 2,
    LegendSquare = 3,  // a square in the set's colour followed by the set's name
};

// The pie engine's two kinds of pie.
enum PieType : int {
    Pie3D = 0,    // with depth: back faces and side walls
    PieFlat = 1,
};

// Where a slice's percent text goes relative to its label.
enum PercentPlacement : int {
    PercentNone = 0,
    PercentAbove = 1,
    PercentBelow = 2,
    PercentRight = 3,
    PercentLeft = 4,
};

// One legend square or point marker; built by the driver, read by the graph engine in order.
//   OFFSET SIZE  FIELD
//        0    4  point   category position of the anchor
//        4    4  value   y value of the marker (kinds 0..2)
//        8    2  width   kinds 0..2: size in percent of a category; kind 3: half the square side
//       10    2  (padding)
//       12    4  color   fill colour (DefaultColor allowed)
//       16    4  kind    LegendKind: 0 triangle down, 1 triangle up, 2 circle, 3 legend square
//       20   20  name    legend text (kind 3), zero-terminated
struct LegendEntry {
    float point;
    float value;
    uint16_t width;
    uint32_t color;
    uint32_t kind;
    char name[20];
};
static_assert(sizeof(LegendEntry) == 40);
static_assert(__builtin_offsetof(LegendEntry, color) == 12);
static_assert(__builtin_offsetof(LegendEntry, kind) == 16);
static_assert(__builtin_offsetof(LegendEntry, name) == 20);

// An annotation line at a category, with an optional note.
struct Annotation {
    float point;
    uint32_t color;
    const char* note;  // empty: only the line
};

struct ChartOptions {
    // ---- Graph engine ------------------------------------------------------------------
    int image_format = 2;          // 3 writes WBMP, anything else GIF (also the pie engine)
    int write_image = 1;           // 0: nothing is written, a missing stream is no error
    int title_size = 3;            // size classes of the built-in fonts (0..5)
    int ytitle_size = 3;
    int xtitle_size = 3;
    int yaxis_font_size = 2;       // y labels and legend names
    int xaxis_font_size = 2;
    const char* title_font = "Times.ttf";
    const char* ytitle_font = "Times.ttf";   // y titles and legend names
    const char* xtitle_font = "Times.ttf";
    const char* yaxis_font = "Times.ttf";
    const char* xaxis_font = "Times.ttf";    // x labels and bar value labels
    const char* fallback_font = "Times.ttf"; // replaces a font that fails the probe
    double title_ptsize = 18;
    double ytitle_ptsize = 18;
    double xtitle_ptsize = 18;
    double yaxis_ptsize = 12;      // also the row pitch unit of the legend
    double xaxis_ptsize = 12;      // x labels and value labels
    double line_spacing = 1.2;
    short xlabel_spacing = 5;      // kEveryLabel: every label is drawn
    signed char ylabel_density = 80;
    float requested_ymin = NoValue;   // requested bounds only widen the scale
    float requested_ymax = NoValue;
    float requested_y2min = NoValue;
    float requested_y2max = NoValue;
    float requested_xmin = NoValue;
    float requested_xmax = NoValue;
    float xaxis_grid_step = NoValue;
    float xaxis_tick_step = NoValue;
    float xaxis_label_step = NoValue;
    float yaxis_grid_step = NoValue;
    float yaxis_tick_step = NoValue;
    float yaxis_label_step = NoValue;
    float y2axis_grid_step = NoValue;
    float y2axis_tick_step = NoValue;
    float y2axis_label_step = NoValue;
    float requested_yinterval = NoValue;  // smallest y label interval allowed
    short y_value_kind = NumberValue;  // a ValueKind
    short x_value_kind = NumberValue;
    double x_value_offset = 0;  // added to x values before they are formatted as dates or times
    unsigned char zero_shelf = 1;
    int grid = -2;                 // -2 at labels, -1 at every point, 0 none, N: N more between points
    int ticks = -2;
    unsigned char xaxis = 1;
    unsigned char yaxis = 1;
    unsigned char yaxis2 = 1;
    float depth_3d = 5.0f;         // percent of (width + height) / 2
    unsigned char angle_3d = 45;   // degrees
    unsigned char bar_width = 75;  // percent of a category
    int hlc_style = 2;             // bits: 1 diamond, 2 connect closes, 4 second form, 8 caps
    unsigned char hlc_cap_width = 25;
    int annotation_font_size = 2;
    int border = 1;                // 0 none, 1 all, else bits 2 bottom, 4 left, 8 right, 16 top
    uint32_t grid_color = 0xA0A0A0;
    uint32_t line_color = DefaultColor;   // axes, frame, ticks
    uint32_t plot_color = DefaultColor;   // data without set colours; legend outline and text
    uint32_t vol_color = 0xA0A0FF;
    uint32_t title_color = DefaultColor;
    uint32_t xtitle_color = DefaultColor;
    uint32_t ytitle_color = DefaultColor;
    uint32_t ytitle2_color = DefaultColor;
    uint32_t xlabel_color = DefaultColor;
    uint32_t ylabel_color = DefaultColor;
    uint32_t ylabel2_color = DefaultColor;
    int hold_image = 0;            // bit 0 keep the picture in `image`, bit 1 draw into `image`
    gdImageStruct* image = nullptr;
    double xlabel_angle = 0;       // degrees
    bool xlabel_angle_automatic = false;  // category names at 0 degrees may turn to 90 to keep them all
    const char* ylabel_format = nullptr;   // printf format; none: automatic fraction labels
    const char* ylabel2_format = nullptr;  // none: "%.0f"
    const unsigned char* xlabel_ctl = nullptr;  // per point, 0 hides the label
    unsigned char interpolate = 0;
    const char* ylabel_value_format = nullptr;  // axis format text for the label formatters
    const char* xlabel_value_format = nullptr;
    short xlabel_decimals = 0;
    short value_label_position = 0;  // 0 none, 1 outside, 2 top, 3 center, 4 bottom, 5 left, 6 right
    int stack_type = Depth;
    const Annotation* annotation = nullptr;
    const char* annotation_font = nullptr;
    double annotation_ptsize = 0;
    int legend_count = 0;
    const LegendEntry* legend_entries = nullptr;
    unsigned char thumbnail = 0;   // switches grid, xaxis and yaxis off for good
    uint32_t bg_color = 0x000000;
    const uint32_t* ext_vol_color = nullptr;  // per point
    const uint32_t* set_colors = nullptr;     // per set
    const uint32_t* ext_color = nullptr;      // per set and point, set-major
    unsigned char transparent_bg = 0;
    const char* bg_image = nullptr;           // GIF file drawn under the chart
    unsigned char horizontal = 0;             // cleared by the engine after drawing
    unsigned char keep_geometry = 0;
    int saved_plot_left = 0;                  // written by the engine
    int saved_plot_width = 0;
    int saved_plot_height = 0;
    int saved_plot_zero_y = 0;
    const char* title = nullptr;
    const char* xtitle = nullptr;
    const char* ytitle = nullptr;
    const char* ytitle2 = nullptr;

    // ---- Pie engine --------------------------------------------------------------------
    uint32_t pie_bg_color = 0x000000;      // DefaultColor here means white
    uint32_t pie_plot_color = 0xC0C0C0;
    uint32_t pie_line_color = DefaultColor;
    uint32_t pie_edge_color = NoColor;
    uint32_t pie_title_color = DefaultColor;
    uint32_t pie_label_color = DefaultColor;
    uint16_t pie_3d_angle = 45;            // degrees clockwise from twelve o'clock
    uint16_t pie_3d_depth = 10;            // pixels
    int pie_title_size = 3;
    int pie_label_size = 2;
    const char* pie_title_font = "Times.ttf";
    const char* pie_label_font = "Times.ttf";
    const char* pie_fallback_font = "Times.ttf";
    double pie_title_ptsize = 18;          // 0: built-in font
    double pie_label_ptsize = 12;
    int pie_label_dist = 5;
    const char* pie_percent_format = "%.0f%%";  // none: no percent texts
    uint16_t pie_perspective = 0;          // vertical squash in percent
    const char* pie_title = nullptr;
    unsigned char pie_label_line = 0;
    const int* pie_explode = nullptr;
    const uint32_t* pie_colors = nullptr;
    const unsigned char* pie_missing = nullptr;
    int pie_percent_type = PercentNone;    // a PercentPlacement
    const char* pie_notice = nullptr;      // a line under the pie, such as what was left out
};

}  // namespace plotwise
