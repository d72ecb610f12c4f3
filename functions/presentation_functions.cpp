// The script functions that change how a chart looks: Plotz_Titles, Plotz_Style,
// Plotz_PieColors, Plotz_Font and Plotz_Axis. Each loads the definition from its first
// argument, changes it, and returns it drawn anew; bad arguments become the function's error
// code in the definition.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "common/c_number.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "driver/date_values.h"
#include "functions/editing.h"
#include "functions/script_arguments.h"

namespace plotwise {
namespace {

// ---- Keyword tables (lower case: arguments are lowered before they are looked up) -----------

struct Keyword {
    std::string_view word;
    int32_t value;
};

constexpr Keyword kTextTypes[] = {
    {"charttitle", kChartTitle}, {"yaxistitle", kYAxisTitle}, {"yaxistitle2", kYAxisTitle2},
    {"xaxistitle", kXAxisTitle}, {"yaxistexts", kYAxisTexts}, {"xaxistexts", kXAxisTexts},
    {"pielabels", kPieLabels},
};

constexpr Keyword kAxes[] = {{"x", 0}, {"y", 1}, {"y1", 1}, {"y2", 2}};

constexpr Keyword kAxisTypes[] = {
    {"auto", kAxisAuto}, {"number", kAxisNumber}, {"text", kAxisText},
    {"date", kAxisDate}, {"time", kAxisTime},     {"timestamp", kAxisTimestamp},
};

constexpr Keyword kOrientations[] = {{"auto", 0}, {"horizontal", 1}, {"vertical", 2}, {"sharp", 3}};

// How the value of an axis option is read and stored.
enum class OptionKind { Bound, Step, Type, Format, Scale, Orientation };

struct AxisOption {
    std::string_view name;
    int number;        // index of the option's isAuto flag
    OptionKind kind;
    float AxisOptions::*field;  // Bound and Step
    float automatic;            // Bound and Step: the value of "auto"
};

constexpr AxisOption kAxisOptions[] = {
    {"min", 0, OptionKind::Bound, &AxisOptions::min, kLargestFloat},
    {"max", 1, OptionKind::Bound, &AxisOptions::max, kLowestFloat},
    {"gridstep", 2, OptionKind::Step, &AxisOptions::gridStep, kLowestFloat},
    {"markstep", 3, OptionKind::Step, &AxisOptions::markStep, kLowestFloat},
    {"labelstep", 4, OptionKind::Step, &AxisOptions::labelStep, kLowestFloat},
    {"type", 5, OptionKind::Type, nullptr, 0},
    {"format", 6, OptionKind::Format, nullptr, 0},
    {"scale", 7, OptionKind::Scale, nullptr, 0},
    {"labelsorientation", 8, OptionKind::Orientation, nullptr, 0},
};

template <typename Row, std::size_t N>
const Row* lookUp(const Row (&table)[N], std::string_view word) {
    for (const Row& row : table) {
        if (row.word == word) return &row;
    }
    return nullptr;
}

template <std::size_t N>
std::optional<int32_t> keywordValue(const Keyword (&table)[N], std::string_view word) {
    const Keyword* row = lookUp(table, word);
    return row ? std::optional<int32_t>(row->value) : std::nullopt;
}

const AxisOption* findAxisOption(std::string_view name) {
    for (const AxisOption& option : kAxisOptions) {
        if (option.name == name) return &option;
    }
    return nullptr;
}

// A number typed into a script; beyond the float range it stays at the largest float.
float axisNumber(const std::string& text) {
    const double value = c_number::read(text);
    if (value > FLT_MAX) return FLT_MAX;
    if (value < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(value);
}

// Whether a text is a plain number and nothing else (blanks aside).
bool isPlainNumber(const std::string& text) {
    std::size_t used = 0;
    c_number::read(text, &used);
    if (used == 0) return false;
    while (used < text.size() && (text[used] == ' ' || text[used] == '\t')) ++used;
    return used == text.size();
}

// The host's number of a timestamp kept where a float holds it exactly: at midnight its
// day number (0001-01-01 is day 1), else its seconds since 0001-01-01.
double timestampBound(double seconds) {
    constexpr double kSecondsPerDay = 86400;
    return std::fmod(seconds, kSecondsPerDay) == 0 ? seconds / kSecondsPerDay + 1 : seconds;
}

// An x axis bound given as a date, time or timestamp (a value of that type, or a text that
// reads as one and is not a plain number), as the host's number of it: a date its day number,
// a time its seconds since midnight, a timestamp as timestampBound keeps it. The drawing reads
// it in the units of the axis's values. Nothing for any other value.
std::optional<double> dateTimeBound(CallLocale& locale, const host::Args& args, uint32_t index) {
    switch (args.nativeType(index)) {
        case kFMX_Date:
        case kFMX_Time: return args.number(index);
        case kFMX_TimeStamp: return timestampBound(args.number(index));
        case kFMX_Text: break;
        default: return std::nullopt;
    }
    const std::string text = args.text(index);
    if (isPlainNumber(text)) return std::nullopt;
    if (const std::optional<double> stamp = hostDateSeconds(locale, text, kAxisTimestamp)) return timestampBound(*stamp);
    return hostDateSeconds(locale, text, kAxisTime);
}

// Stores the value of one option, read from argument valueIndex.
void applyAxisOption(CallLocale& locale, AxisOptions& axis, const AxisOption& option, const host::Args& args,
                     uint32_t valueIndex, bool xAxis) {
    switch (option.kind) {
        case OptionKind::Type:
            axis.type = keywordValue(kAxisTypes, loweredArgument(args, valueIndex)).value_or(-1);
            axis.isAuto[option.number] = 0;
            return;
        case OptionKind::Orientation:
            axis.labelsOrientation = keywordValue(kOrientations, loweredArgument(args, valueIndex)).value_or(-1);
            return;
        case OptionKind::Scale:
            // "labels", "linear" or "logarithmic": no drawing has another scale than the
            // linear one, so the value is taken and nothing is kept.
            return;
        case OptionKind::Bound:
        case OptionKind::Step:
        case OptionKind::Format:
            break;
    }
    const std::string value = args.text(valueIndex);
    if (value == "auto") {
        if (option.kind == OptionKind::Format) axis.format[0] = '\0';
        else axis.*option.field = option.automatic;
        axis.isAuto[option.number] = 1;
        return;
    }
    const std::optional<double> dateTime =
        xAxis && option.kind == OptionKind::Bound ? dateTimeBound(locale, args, valueIndex) : std::nullopt;
    if (option.kind == OptionKind::Format) {
        copyText(axis.format, value);
    } else if (dateTime) {
        axis.*option.field = static_cast<float>(*dateTime);
    } else {
        float number = axisNumber(value);
        if (option.kind == OptionKind::Step && number < 0) number = 1;  // a step goes forward
        axis.*option.field = number;
    }
    axis.isAuto[option.number] = 0;
}

// ---- The functions -------------------------------------------------------------------------------

int16_t setTitles(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 4 || !args.isContainer(0)) {
        recordArgumentError(call.working.definition(), snapshot, kErrorTitles, false);
        return finishEdit(call, &snapshot, result);
    }
    loadDefinition(call.working, args.container(0), snapshot);
    copyText(snapshot.chartTitle, args.text(1, kTextArgumentBytes));
    copyText(snapshot.xAxisTitle, args.text(2, kTextArgumentBytes));
    copyText(snapshot.yAxisTitle, args.text(3, kTextArgumentBytes));
    return finishEdit(call, &snapshot, result);
}

int16_t setStyle(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 2 || !args.isContainer(0)) {
        recordArgumentError(call.working.definition(), snapshot, kErrorStyle, false);
    } else {
        loadDefinition(call.working, args.container(0), snapshot);
        copyText(snapshot.style, loweredArgument(args, 1));
        if (args.size() == 3) copyText(snapshot.substyle, loweredArgument(args, 2));
    }
    // The next pie drawing decides whether its labels show the values.
    snapshot.styleGiven = kStyleJustGiven;
    return finishEdit(call, &snapshot, result);
}

int16_t setPieColors(CallState& call, const host::Args& args, FMX_Data* result) {
    if (args.size() < 2 || !args.isContainer(0)) {
        ChartHeader snapshot;
        initHeader(snapshot);
        recordArgumentError(call.working.definition(), snapshot, kErrorColors, false);
        return finishEdit(call, &snapshot, result);
    }
    // The colours go straight into the working definition; no header is committed.
    decodeDefinition(call.working, args.container(0));
    ChartDefinition& d = call.working.definition();
    const uint32_t count = std::min<uint32_t>(args.size() - 1, kMaxPieColors);  // the rest is dropped
    for (uint32_t i = 0; i < count; ++i) d.block.pieColor[i] = static_cast<uint32_t>(args.integer(i + 1));
    d.header().customPieColors = 1;
    // The slices past these colours take the default colours.
    setPieColorsGiven(d.header(), count);
    return finishEdit(call, nullptr, result);
}

int16_t setFont(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 4 || !args.isContainer(0)) {
        recordArgumentError(call.working.definition(), snapshot, kErrorFont, false);
        return finishEdit(call, &snapshot, result);
    }
    loadDefinition(call.working, args.container(0), snapshot);
    const std::string textType = loweredArgument(args, 1);
    const std::string fontName = args.text(2, kTextArgumentBytes);
    int32_t size = args.integer(3);
    const int32_t color = args.size() >= 5 ? args.integer(4) : 0;
    // Below 8 points the engine's own size suits better; above 999 nothing is readable.
    if (size < 8) size = 0;
    if (size > 999) size = 999;
    if (const std::optional<int32_t> slot = keywordValue(kTextTypes, textType)) {
        ChartBlock& block = call.working.definition().block;
        block.fontSize[*slot] = static_cast<uint32_t>(size);
        block.fontColor[*slot] = static_cast<uint32_t>(color);
        copyText(block.fontName[*slot], fontName);
    }
    return finishEdit(call, &snapshot, result);
}

int16_t setAxis(CallState& call, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 4 || !args.isContainer(0)) {
        recordArgumentError(call.working.definition(), snapshot, kErrorAxis, false);
        return finishEdit(call, &snapshot, result);
    }
    loadDefinition(call.working, args.container(0), snapshot);
    const std::optional<int32_t> axisIndex = keywordValue(kAxes, loweredArgument(args, 1));
    if (!axisIndex) {
        recordError(call.working.definition(), snapshot, kErrorAxis);
        return finishEdit(call, &snapshot, result);
    }
    AxisOptions& axis = call.working.definition().block.axis[*axisIndex];
    // Name, value, name, value ...; a word that names no option is stepped over alone.
    uint32_t i = 2;
    while (i < args.size()) {
        const AxisOption* option = findAxisOption(loweredArgument(args, i));
        if (option == nullptr) {
            ++i;
            continue;
        }
        if (i + 1 >= args.size()) break;
        applyAxisOption(call.locale, axis, *option, args, i + 1, *axisIndex == 0);
        i += 2;
    }
    return finishEdit(call, &snapshot, result);
}

}  // namespace

int16_t Plotz_Titles(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return setTitles(call, host::Args(args), result);
    });
}

int16_t Plotz_Style(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return setStyle(call, host::Args(args), result);
    });
}

int16_t Plotz_PieColors(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return setPieColors(call, host::Args(args), result);
    });
}

int16_t Plotz_Font(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return setFont(call, host::Args(args), result);
    });
}

int16_t Plotz_Axis(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return setAxis(call, host::Args(args), result);
    });
}

}  // namespace plotwise
