// The chart style keywords a script can give with Plotz_Style, and what each one asks of the
// graph engine: chart type, how sets share a category, which data go in, and whether the
// picture is turned for horizontal bars.
#pragma once

#include <string_view>

#include "engine/chart_options.h"

namespace plotwise {

// How the sets of a style share one category.
enum class StackRule {
    Beside,  // always side by side
    Depth,   // always one step further back
    Bars,    // Layer, or Beside when the substyle is "beside"
};

// How many data sets the engine gets.
enum class SetsRule {
    All,         // every series
    AllButLast,  // every series but the last, which is the volume series
};

// What goes into the engine's extra value array.
enum class ExtraRule {
    None,
    XValues,     // the packed x values of every series
    LastSeries,  // the y values of the last series (volume)
};

// One row of the style table.
struct ChartStyle {
    std::string_view keyword;       // as stored, lower case
    std::string_view alias;         // a second spelling, or empty
    ChartType type;
    ChartType rectangularType;      // the type for the substyle "rectangular"
    StackRule stack;
    SetsRule sets;
    ExtraRule extra;
    bool horizontal;                // picture turned by 90 degrees, sizes passed swapped
    bool xy;                        // x labels made from the x range
};

// The row of a style keyword (whole-text, lower-case comparison); null when unknown.
const ChartStyle* findChartStyle(std::string_view style);
// The chart type of a row for a substyle.
ChartType chartTypeFor(const ChartStyle& row, std::string_view substyle);
// The stack type of a row for a substyle.
StackType stackTypeFor(const ChartStyle& row, std::string_view substyle);
// True for styles whose x labels come from the x range: every style that begins with "xyline"
// or "xyarea", and "xypoint" (also when no row matches them exactly).
bool makesXyLabels(std::string_view style);
// True for the two pie styles.
bool isPieStyle(std::string_view style);

}  // namespace plotwise
