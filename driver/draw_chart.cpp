// drawChart: a chart definition to one engine call.
//
// Sections, in the order a drawing runs them: error state; text sizes, fonts and colours;
// series values (dates and times read through the host) packed for the engines; then either
// the pie path or the graph path (axis options, legend, x labels, chart type by style).
// Everything a drawing works with (options, label store, picture) belongs to it alone.
#include "driver/draw_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "definition/codec.h"
#include "definition/memory_stream.h"
#include "driver/axis_labels.h"
#include "driver/chart_styles.h"
#include "driver/date_values.h"
#include "driver/error_picture.h"
#include "driver/pie_default_colors.h"
#include "engine/chart_options.h"
#include "engine/format/float_digits.h"
#include "engine/format/label_format.h"
#include "engine/graph/graph.h"
#include "engine/pie/pie.h"
#include "engine/text/text_lines.h"

namespace plotwise {
namespace {

constexpr const char* kEmptyLabel = "Empty label";
constexpr uint32_t kMaxFontSize = 999;

// A GIF written into memory by one engine call; the stream is closed on every way out.
class MemoryPicture {
public:
    MemoryPicture() : stream_(openMemoryStream(&buffer_, &size_)) {}
    ~MemoryPicture() {
        if (stream_ != nullptr) std::fclose(stream_);
        std::free(buffer_);
    }
    MemoryPicture(const MemoryPicture&) = delete;
    MemoryPicture& operator=(const MemoryPicture&) = delete;
    FILE* stream() const { return stream_; }

    // Closes the stream: its bytes, none when writing failed part-way (out of memory) rather
    // than half a picture.
    std::string finish() {
        if (stream_ == nullptr) return {};
        const bool closed = closeMemoryStream(stream_, &buffer_, &size_);
        stream_ = nullptr;
        if (!closed || size_ == 0) return {};
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    size_t size_ = 0;
    FILE* stream_;
};

// One drawing: the definition, the options made for it, its x labels and its picture.
struct Drawing {
    const ChartDefinition& definition;
    CallLocale& locale;
    EngineCall* record;  // none: nothing is recorded
    ChartOptions options;
    PictureTarget target;
    struct Labels {
        LabelStore text;
    };
    // Left unwritten: the labels are made for every point before they are read.
    std::unique_ptr<Labels> labels = std::make_unique_for_overwrite<Labels>();
};

void lowerAscii(char* text) {
    for (; *text != '\0'; ++text) {
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
    }
}

void drawError(Drawing& d, uint32_t code) {
    if (d.record != nullptr) {
        *d.record = EngineCall{};
        d.record->engine = EngineCall::ErrorPicture;
        d.record->errorCode = code;
    }
    const ChartHeader& h = d.definition.header();
    drawErrorPicture(d.options, code, h.width, h.height, d.target);
}

// ---- Text sizes, fonts and colours ----------------------------------------------------------

// Title and label sizes that suit the picture width; the label distance of pies with them.
void setDefaultTextSizes(ChartOptions& o, uint32_t width) {
    double title = 10, label = 8;
    int labelDist = 15;
    if (width > 320) {
        const double w = width;
        title = std::floor(w / 30 - (w - 320) / 120);
        label = std::floor(0.025 * w - 0.00625 * (w - 320));
        labelDist = static_cast<int>(title * 1.3);
    }
    o.title_ptsize = o.ytitle_ptsize = o.xtitle_ptsize = o.pie_title_ptsize = title;
    o.yaxis_ptsize = o.xaxis_ptsize = o.pie_label_ptsize = label;
    o.pie_label_dist = labelDist;
}

void setFonts(ChartOptions& o, const ChartBlock& block) {
    // A size of 0 keeps the size that suits the width.
    auto size = [&](int slot, double& option) {
        if (block.fontSize[slot] != 0) option = std::min(block.fontSize[slot], kMaxFontSize);
    };
    const uint32_t* color = block.fontColor;
    const auto& name = block.fontName;

    size(kChartTitle, o.title_ptsize);
    size(kChartTitle, o.pie_title_ptsize);
    o.title_color = o.pie_title_color = color[kChartTitle];
    o.title_font = o.pie_title_font = name[kChartTitle];

    size(kYAxisTitle, o.ytitle_ptsize);
    o.ytitle_color = o.ytitle2_color = color[kYAxisTitle];
    o.ytitle_font = name[kYAxisTitle];

    size(kXAxisTitle, o.xtitle_ptsize);
    o.xtitle_color = color[kXAxisTitle];
    o.xtitle_font = name[kXAxisTitle];

    size(kYAxisTexts, o.yaxis_ptsize);
    o.ylabel_color = o.ylabel2_color = color[kYAxisTexts];
    o.yaxis_font = name[kYAxisTexts];

    size(kXAxisTexts, o.xaxis_ptsize);
    o.xlabel_color = color[kXAxisTexts];
    o.xaxis_font = name[kXAxisTexts];

    size(kPieLabels, o.pie_label_ptsize);
    o.pie_label_color = color[kPieLabels];
    o.pie_label_font = name[kPieLabels];
}

// ---- Series values ----------------------------------------------------------------------------

struct Packed {
    int sets = 0;     // series in use
    int points = 0;   // values per series
    std::vector<float> y, x;
    std::vector<uint32_t> colors;  // series colours, or slice colours on the pie path
    double xOffset = 0;  // date, time and timestamp x values are seconds after this many
};

// Seconds of date, time and timestamp x texts, handed to the engine relative to the earliest:
// seconds since year 1 are beyond a float's precision (4096 s steps), a range of dates is not.
// A text that does not read as one is a point without a value.
void packDateXValues(CallLocale& locale, const ChartDefinition& definition, int xType, Packed& p) {
    std::vector<double> seconds(p.x.size(), 0);
    std::vector<bool> read(p.x.size(), false);
    bool any = false;
    for (int s = 0; s < p.sets; ++s) {
        for (int v = 0; v < p.points; ++v) {
            const std::size_t at = static_cast<std::size_t>(s) * p.points + v;
            const std::optional<double> value = hostDateSeconds(locale, definition.xLabel[s][v], xType);
            if (!value) continue;
            seconds[at] = *value;
            read[at] = true;
            if (!any || *value < p.xOffset) p.xOffset = *value;
            any = true;
        }
    }
    for (std::size_t i = 0; i < p.x.size(); ++i)
        p.x[i] = read[i] ? static_cast<float>(seconds[i] - p.xOffset) : NoValue;
}

// Series after series; date, time and timestamp axes take their values from the label texts.
Packed packValues(CallLocale& locale, const ChartDefinition& definition, int sets, int points) {
    Packed p;
    p.sets = sets;
    p.points = points;
    const std::size_t n = static_cast<std::size_t>(sets) * static_cast<std::size_t>(points);
    p.y.resize(n);
    p.x.resize(n);
    p.colors.assign(static_cast<std::size_t>(std::max(sets, points)), 0);
    for (int s = 0; s < sets; ++s) p.colors[s] = definition.series[s].color;

    const int yType = definition.block.axis[1].type;
    const int xType = definition.block.axis[0].type;
    const bool yDates = isDateAxis(yType);
    const bool xDates = isDateAxis(xType);
    for (int s = 0; s < sets; ++s) {
        const SeriesRecord& series = definition.series[s];
        // data() + offset, not &v[offset]: with no points the arrays are empty.
        float* y = p.y.data() + static_cast<std::size_t>(s) * points;
        float* x = p.x.data() + static_cast<std::size_t>(s) * points;
        for (int v = 0; v < points; ++v) {
            y[v] = series.y[v];
            x[v] = series.x[v];
            if (yDates && y[v] != NoValue) {  // a missing value stays missing
                // Dates count from 0001-01-01; the label formatter counts from 1970. A text that is
                // no date is missing too, as on a date x axis, not the first day of year 1.
                const std::optional<double> date = hostDateSeconds(locale, definition.yLabel[s][v], yType);
                const float seconds = static_cast<float>(date.value_or(0));
                y[v] = !date ? NoValue : yType == kAxisTime ? seconds : static_cast<float>(seconds - kLabelEpochOffset);
            }
        }
    }
    if (xDates) packDateXValues(locale, definition, xType, p);
    return p;
}

// ---- Pie path ------------------------------------------------------------------------------------

// Whether a pie shows value texts: right after Plotz_Style the substyle decides; a pie that
// showed them keeps showing them.
bool takesValueTexts(const ChartHeader& h) {
    const std::string_view substyle = h.substyle;
    return (h.styleGiven == kStyleJustGiven || h.styleGiven == kPieValueTexts) &&
           (substyle == "values" || substyle == "both");
}

// The texts shown beside the slices when the picture carries value texts (the settled
// definition is marked so); empty when it does not. Value texts are made for the picture
// only: the stored labels stay as they are, so that restyling never adds them twice.
std::vector<std::string> pieValueTexts(const ChartDefinition& definition, const Packed& data) {
    const ChartHeader& h = definition.header();
    const std::string_view substyle = h.substyle;
    std::vector<std::string> shown;
    if (h.styleGiven != kPieValueTexts) return shown;
    shown.reserve(static_cast<std::size_t>(data.points));
    for (int i = 0; i < data.points; ++i) {
        std::string text = definition.xLabel[0][i];
        if (data.y[i] != NoValue) {  // a missing value has no text
            // The value as given (0.25, not 0), at least two characters wide.
            std::string value = print_value_as_given(data.y[i]);
            if (value.size() < 2) value.insert(0, 2 - value.size(), ' ');
            text += (substyle == "values" ? "\n" : ", ") + value;
        }
        shown.push_back(std::move(text));
    }
    return shown;
}

// The pie settings every chart drawing uses, with the header's colours and title.
void setPieOptions(ChartOptions& o, const ChartHeader& h) {
    o.pie_percent_type = std::string_view(h.substyle) == "values" ? PercentNone : PercentBelow;
    o.pie_label_line = 1;
    o.pie_line_color = 0;
    o.pie_label_size = 2;
    o.pie_3d_depth = 10;
    o.pie_3d_angle = 180;
    o.pie_bg_color = h.backgroundColor;
    o.pie_plot_color = h.textColor;
    o.pie_explode = nullptr;
    o.pie_missing = nullptr;
    o.pie_title = h.chartTitle;
}

// The slice labels: the value texts when there are some, else the stored labels; an empty
// label becomes a placeholder text.
std::vector<const char*> pieLabels(const ChartDefinition& definition, const std::vector<std::string>& shown,
                                   int points) {
    std::vector<const char*> labels(static_cast<std::size_t>(std::max(points, 1)));
    for (int i = 0; i < points; ++i) {
        const char* text = !shown.empty() ? shown[i].c_str() : definition.xLabel[0][i];
        labels[i] = text[0] != '\0' ? text : kEmptyLabel;
    }
    return labels;
}

// Slice colours: the stored ones where the chart has its own, else the default colours (a
// chart given 2 colours for 6 slices draws slices 3 to 6 in the default colours).
void setSliceColors(const ChartDefinition& definition, Packed& data) {
    const ChartHeader& h = definition.header();
    const auto& defaults = pieDefaultColors();
    const uint32_t given = h.customPieColors == 0 ? 0 : pieColorsGiven(h) == 0 ? kMaxPieColors : pieColorsGiven(h);
    for (int i = 0; i < data.points; ++i) {
        if (static_cast<uint32_t>(i) < given) data.colors[i] = definition.block.pieColor[i];
        else data.colors[i] = i < kPieDefaultColorCount ? defaults[i] : 0;
    }
}

// The slices a pie draws: a negative value has no share to show, so its slice is left out
// (the others keep their colours and labels); missing values stay, as slices of no size.
struct PieSlices {
    std::vector<float> values;
    std::vector<const char*> labels;
    std::vector<uint32_t> colors;
    int leftOut = 0;    // negative values
    bool positive = false;
    double sum = 0;     // of the values kept, missing ones counting as nothing
};
PieSlices pieSlices(const Packed& data, const std::vector<const char*>& labels) {
    PieSlices p;
    for (int i = 0; i < data.points; ++i) {
        const float v = data.y[i];
        if (v != NoValue && v < 0) {
            ++p.leftOut;
            continue;
        }
        if (v != NoValue) p.sum += v;
        p.positive = p.positive || v > 0;
        p.values.push_back(v);
        p.labels.push_back(labels[i]);
        p.colors.push_back(data.colors[i]);
    }
    return p;
}

// The line under a pie that names the values left out.
std::string leftOutNotice(int count) {
    return std::to_string(count) + (count == 1 ? " negative value left out" : " negative values left out");
}

// The line that says how many values of the first `sets` series could not be read as numbers
// (they are drawn as missing); empty when every value was read.
std::string unreadableNotice(const ChartDefinition& definition, int sets) {
    uint64_t count = 0;
    for (int s = 0; s < sets; ++s) count += definition.series[s].unreadable;
    if (count == 0) return {};
    return std::to_string(count) +
           (count == 1 ? " value could not be read as a number" : " values could not be read as numbers");
}

// A title with a line under it (the title alone when it is empty).
std::string joinTitle(const char* title, const std::string& line) {
    return *title == '\0' ? line : std::string(title) + "\r" + line;
}

// Two notices on one line.
std::string joinNotices(const std::string& first, const std::string& second) {
    return first.empty() || second.empty() ? first + second : first + "; " + second;
}

// Records the arguments of the engine call about to be made, for the diagnostics.
// Null when the drawing records nothing.
EngineCall* recordEngineCall(Drawing& d, EngineCall::Engine engine, short width, short height, int type, int points,
                             int sets, const std::vector<const char*>& labels) {
    if (d.record == nullptr) return nullptr;
    EngineCall& call = *d.record;
    call = EngineCall{};
    call.engine = engine;
    call.width = width;
    call.height = height;
    call.type = type;
    call.points = points;
    call.sets = sets;
    call.labels.assign(labels.begin(), labels.begin() + points);
    return &call;
}

void drawPieChart(Drawing& d, Packed& data) {
    const ChartDefinition& definition = d.definition;
    const ChartHeader& h = definition.header();
    ChartOptions& o = d.options;
    const int points = data.points;
    const PieType pieKind = std::string_view(h.style) == "pie" ? PieFlat : Pie3D;

    const std::vector<std::string> shown = pieValueTexts(definition, data);
    setPieOptions(o, h);
    const std::vector<const char*> labels = pieLabels(definition, shown, points);
    setSliceColors(definition, data);
    PieSlices slices = pieSlices(data, labels);
    if (slices.leftOut > 0 && !slices.positive) {
        drawError(d, kErrorNoPositive);
        return;
    }
    if (slices.sum == 0) {
        drawError(d, kErrorEmpty);
        return;
    }
    const std::string notice = joinNotices(slices.leftOut > 0 ? leftOutNotice(slices.leftOut) : std::string(),
                                           unreadableNotice(definition, data.sets));
    const int count = static_cast<int>(slices.values.size());
    o.pie_colors = slices.colors.data();
    o.pie_notice = notice.empty() ? nullptr : notice.c_str();

    const short width = static_cast<short>(h.width), height = static_cast<short>(h.height);
    if (EngineCall* call = recordEngineCall(d, EngineCall::Pie, width, height, pieKind, count, 1, slices.labels)) {
        call->values = slices.values;
        call->colors = slices.colors;
        call->notice = notice;
    }
    o.pie_edge_color = NoColor;
    draw_pie(o, width, height, d.target, pieKind, count, slices.labels.data(), slices.values.data());
    o.pie_colors = nullptr;  // the colours and the notice die with this drawing
    o.pie_notice = nullptr;
}

// ---- Graph path ------------------------------------------------------------------------------------

void setAxisOptions(ChartOptions& o, const ChartDefinition& definition) {
    const ChartHeader& h = definition.header();
    const AxisOptions& x = definition.block.axis[0];
    const AxisOptions& y = definition.block.axis[1];
    const AxisOptions& y2 = definition.block.axis[2];
    o.requested_xmin = x.min;
    o.requested_xmax = x.max;
    o.requested_ymin = y.min;
    o.requested_ymax = y.max;
    o.requested_y2min = y2.min;
    o.requested_y2max = y2.max;
    o.xaxis_grid_step = x.gridStep;
    o.xaxis_tick_step = x.markStep;
    o.xaxis_label_step = x.labelStep;
    o.yaxis_grid_step = y.gridStep;
    o.yaxis_tick_step = y.markStep;
    o.yaxis_label_step = y.labelStep;
    o.y2axis_grid_step = y2.gridStep;
    o.y2axis_tick_step = y2.markStep;
    o.y2axis_label_step = y2.labelStep;
    o.requested_yinterval = y.labelStep;
    // Text axes and types the engine does not know are labelled as plain numbers; the other
    // axis types are the engine's value kinds of the same number.
    static_assert(int{kAxisNumber} == int{NumberValue} && int{kAxisDate} == int{DateValue} &&
                  int{kAxisTime} == int{TimeValue} && int{kAxisTimestamp} == int{TimestampValue});
    auto valueKind = [](int32_t type) -> short {
        return type == kAxisNumber || isDateAxis(type) ? static_cast<short>(type) : short{PlainValue};
    };
    o.y_value_kind = valueKind(y.type);
    o.x_value_kind = valueKind(x.type);
    o.bg_color = h.backgroundColor;
    o.plot_color = h.textColor;
    o.ylabel_value_format = y.format;
    o.xlabel_value_format = x.format;
    o.title = h.chartTitle;
    o.xtitle = h.xAxisTitle;
    o.ytitle = h.yAxisTitle;
}

constexpr struct {
    std::string_view substyle;
    short position;
} kValueLabelPositions[] = {
    {"auto", 0}, {"outside", 1}, {"top", 2}, {"center", 3}, {"bottom", 4}, {"left", 5}, {"right", 6},
};

// A series name as the legend keeps it: whole characters only, marked with an ellipsis when
// the name is longer than the entry holds.
void copyLegendName(char (&out)[sizeof(LegendEntry::name)], const char* name) {
    const std::string_view whole(name, strnlen(name, kTextFieldSize));
    std::string kept(whole);
    if (whole.size() >= sizeof out)
        kept = std::string(utf8::cut(whole, sizeof out - 1 - std::strlen(kEllipsis))) + kEllipsis;
    std::memcpy(out, kept.c_str(), kept.size() + 1);
}

std::vector<LegendEntry> legendEntries(const ChartDefinition& definition, int sets, int points, uint32_t width) {
    std::vector<LegendEntry> entries;
    const uint16_t half = static_cast<uint16_t>(width <= 320 ? 3 : std::min<uint32_t>(width / 300 + 3, 0xFFFF));
    for (int s = 0; s < sets; ++s) {
        const SeriesRecord& series = definition.series[s];
        if (series.name[0] == '\0') continue;
        LegendEntry e{};
        e.point = static_cast<float>(points - 1);
        e.value = static_cast<float>(2 * s);
        e.width = half;
        e.color = series.color;
        e.kind = LegendSquare;
        copyLegendName(e.name, series.name);
        entries.push_back(e);
    }
    return entries;
}

// A requested axis bound as a value after `offset`; "no bound" stays as it is. On date and
// timestamp axes a bound below the day number of 10000-01-01 is a day number (0001-01-01 is
// day 1), as the host counts dates, and becomes the seconds of that day's midnight.
float relativeBound(float bound, double offset, int32_t type) {
    if (!std::isfinite(bound) || bound == kLargestFloat || bound == kLowestFloat) return bound;
    constexpr double kDayNumberEnd = 3652060;
    double value = bound;
    if ((type == kAxisDate || type == kAxisTimestamp) && std::fabs(value) < kDayNumberEnd)
        value = (value - 1) * 86400;
    if (value == bound && offset == 0) return bound;
    return static_cast<float>(value - offset);
}

// Degrees of the x labels: by the X axis orientation, or upright when they would not fit.
double labelAngle(int32_t orientation, std::size_t longest, double labelSize, int points, uint32_t width) {
    switch (orientation) {
        case kLabelsHorizontal: return 0;
        case kLabelsVertical: return 90;
        case kLabelsSharp: return 60;
        default: return static_cast<double>(longest) * labelSize * 0.7 * points >= width ? 90 : 0;
    }
}

// The value array handed to the engine besides the series: the x values of xy charts, or the
// last series as the volume of combinations, which then is no series of its own.
struct ExtraValues {
    int sets = 0;                       // series drawn as series
    const float* values = nullptr;
    std::size_t count = 0;
    std::vector<uint32_t> volumeColors;  // per point, for the volume
};
ExtraValues extraValues(const ChartStyle& row, const Packed& data) {
    ExtraValues e;
    e.sets = data.sets;
    switch (row.extra) {
        case ExtraRule::None:
            break;
        case ExtraRule::XValues:
            e.values = data.x.data();
            e.count = data.x.size();
            break;
        case ExtraRule::LastSeries:
            // The last series is the volume, drawn against the second axis in its own colour.
            e.sets = std::max(data.sets - 1, 0);
            e.values = data.sets > 0 ? data.y.data() + static_cast<std::size_t>(e.sets) * data.points : nullptr;
            e.count = data.sets > 0 ? static_cast<std::size_t>(data.points) : 0;
            e.volumeColors.assign(static_cast<std::size_t>(data.points), data.sets > 0 ? data.colors[e.sets] : 0);
            break;
    }
    return e;
}

// The x axis: requested bounds counted the way the x values handed to the engine are, the
// labels of xy charts, and the label angle, which depends on the longest label.
void setXAxis(ChartOptions& o, const ChartDefinition& definition, LabelStore& store, const Packed& data,
              std::vector<const char*>& labels, std::size_t longest) {
    const ChartHeader& h = definition.header();
    const AxisOptions& xAxis = definition.block.axis[0];
    const int points = data.points;
    o.requested_xmin = relativeBound(xAxis.min, data.xOffset, xAxis.type);
    o.requested_xmax = relativeBound(xAxis.max, data.xOffset, xAxis.type);
    o.x_value_offset = data.xOffset;
    if (makesXyLabels(h.style)) {
        o.xlabel_decimals = static_cast<short>(makeXyLabels(store, definition, data.x.data(), static_cast<int>(data.x.size()),
                                                            points, o.requested_xmin, o.requested_xmax, data.xOffset));
        longest = fillLabelPointers(store, labels.data(), points);
    }
    o.xlabel_angle = labelAngle(xAxis.labelsOrientation, longest, o.xaxis_ptsize, points, h.width);
    // Names the orientation leaves to the drawing may turn where upright they would be left out.
    const int32_t orientation = xAxis.labelsOrientation;
    o.xlabel_angle_automatic =
        orientation != kLabelsHorizontal && orientation != kLabelsVertical && orientation != kLabelsSharp;
}

void drawGraphChart(Drawing& d, Packed& data) {
    const ChartDefinition& definition = d.definition;
    const ChartHeader& h = definition.header();
    ChartOptions& o = d.options;
    const std::string_view substyle = h.substyle;
    const int points = data.points;

    setAxisOptions(o, definition);
    // Values that could not be read are said under the title, as a line of its own.
    const std::string notice = unreadableNotice(definition, data.sets);
    const std::string title = notice.empty() ? std::string() : joinTitle(h.chartTitle, notice);
    if (!notice.empty()) o.title = title.c_str();
    for (const auto& row : kValueLabelPositions) {
        if (substyle == row.substyle) o.value_label_position = row.position;
    }

    const std::vector<LegendEntry> legend = legendEntries(definition, data.sets, points, h.width);
    o.legend_count = static_cast<int>(legend.size());
    o.legend_entries = legend.empty() ? nullptr : legend.data();

    LabelStore& store = d.labels->text;
    makeCategoryLabels(store, d.locale, definition, points);
    std::vector<const char*> labels(static_cast<std::size_t>(std::max(points, 1)), kEmptyLabel);
    const std::size_t longest = fillLabelPointers(store, labels.data(), points);
    o.set_colors = data.colors.data();

    // Borrowed arrays die with this drawing: no option may keep pointing at them.
    struct Release {
        ChartOptions& o;
        const char* title;
        ~Release() {
            o.title = title;
            o.legend_entries = nullptr;
            o.legend_count = 0;
            o.set_colors = nullptr;
            o.ext_vol_color = nullptr;
        }
    } release{o, h.chartTitle};

    if (points == 0) {
        drawError(d, kErrorEmpty);
        return;
    }
    setXAxis(o, definition, store, data, labels, longest);

    const ChartStyle* row = findChartStyle(h.style);
    if (row == nullptr) {
        drawError(d, kErrorStyle);
        return;
    }
    const ChartType type = chartTypeFor(*row, substyle);
    o.stack_type = stackTypeFor(*row, substyle);
    const ExtraValues extra = extraValues(*row, data);
    if (row->extra == ExtraRule::LastSeries) o.ext_vol_color = extra.volumeColors.data();

    short width = static_cast<short>(h.width);
    short height = static_cast<short>(h.height);
    if (row->horizontal) std::swap(width, height);
    // Set for every graph, so that a horizontal drawing the engine gave up on cannot turn the next.
    o.horizontal = row->horizontal ? 1 : 0;

    if (EngineCall* call = recordEngineCall(d, EngineCall::Graph, width, height, type, points, extra.sets, labels)) {
        call->values.assign(data.y.begin(), data.y.begin() + static_cast<std::ptrdiff_t>(extra.sets) * points);
        if (extra.values != nullptr) call->extra.assign(extra.values, extra.values + extra.count);
        call->colors.assign(data.colors.begin(), data.colors.begin() + data.sets);
        call->volume = extra.volumeColors;
        call->legend = legend;
        call->notice = notice;
    }

    draw_graph(o, width, height, d.target, type, points, labels.data(), extra.sets, data.y.data(), extra.values);
    o.horizontal = 0;
}

}  // namespace

void settleDefinition(ChartDefinition& definition) {
    terminateTexts(definition);
    ChartHeader& h = definition.header();
    if (h.errorCode != 0) return;
    lowerAscii(h.style);
    lowerAscii(h.substyle);
    if (isPieStyle(h.style)) h.styleGiven = takesValueTexts(h) ? kPieValueTexts : 0;
}

std::string drawChart(const ChartDefinition& definition, const DrawRequest& request) {
    MemoryPicture gif;
    CallLocale hostLocale;
    Drawing d{definition, request.locale != nullptr ? *request.locale : hostLocale, request.record, ChartOptions{},
              request.surface != nullptr ? PictureTarget(request.surface) : PictureTarget(gif.stream())};
    // The options as the drawing leaves them go into the record, whichever way it ends.
    struct Record {
        const Drawing& d;
        ~Record() {
            if (d.record != nullptr) d.record->options = d.options;
        }
    } record{d};
    const ChartHeader& h = definition.header();
    if (h.errorCode != 0) {
        drawError(d, h.errorCode);
    } else {
        ChartOptions& o = d.options;
        setDefaultTextSizes(o, h.width);
        setFonts(o, definition.block);

        // A damaged header cannot reach past the tables.
        const int sets = static_cast<int>(std::min<uint32_t>(h.seriesCount, kMaxSeries));
        const int points = sets == 0 ? 0 : static_cast<int>(std::min<uint32_t>(h.valueCount, kMaxValues));
        Packed data = packValues(d.locale, definition, sets, points);

        if (isPieStyle(h.style)) drawPieChart(d, data);
        else drawGraphChart(d, data);
    }
    return request.surface != nullptr ? request.surface->bytes() : gif.finish();
}

}  // namespace plotwise
