// Plotz_Data ( container ; Xdata ; Ydata ; seriesColor {; seriesName} ): adds one series.
//
// The X side decides the points (pieces or records); the Y side gives their values. Points
// with equal X labels are combined (their Y values summed) unless the Y side gave category
// names, in which case the points are stored as they are. An empty piece between numbers, an
// empty record and a text among numbers are points without a value (stored as the missing
// value the engines leave out); they never change how the points are stored.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "definition/codec.h"
#include "definition/data_text.h"
#include "definition/field_reference.h"
#include "driver/pie_default_colors.h"
#include "frame/boundary.h"
#include "frame/host.h"
#include "frame/process_locale.h"
#include "frame/script_functions.h"
#include "functions/editing.h"
#include "functions/script_arguments.h"

namespace plotwise {
namespace {

constexpr int16_t kHostFieldMissing = 102;

// The points of one call. Equal X labels share one text, so that a found set of many records
// summed into a few categories stays small.
struct Scratch {
    std::vector<std::string> labels;                      // distinct X labels
    std::unordered_map<std::string, int32_t> labelIds;    // label -> index into labels
    std::vector<int32_t> labelOf;                         // per point
    std::vector<float> x;                                 // per point
    std::vector<float> y;                                 // per point
    std::vector<std::string> yLabels;                     // the first kMaxValues points
    bool plain = false;                                   // the Y side gave category names

    std::size_t points() const { return labelOf.size(); }

    void addX(std::string_view text, float value) {
        std::string label(text.substr(0, labelCut(text)));
        label += ' ';
        auto [it, added] = labelIds.try_emplace(std::move(label), static_cast<int32_t>(labels.size()));
        if (added) labels.push_back(it->first);
        labelOf.push_back(it->second);
        x.push_back(value);
    }

    void setYLabel(std::size_t point, std::string_view text) {
        if (point >= yLabels.size()) return;
        yLabels[point] = std::string(text.substr(0, labelCut(text)));
        yLabels[point] += ' ';
    }
};

// A point without a value: no bar, a gap in a line.
constexpr float kMissing = kLowestFloat;

float numberOr(std::optional<double> value, float otherwise) {
    return value ? static_cast<float>(*value) : otherwise;
}

// True for a record whose text is empty or blanks: no value was entered.
bool emptyRecord(const std::string& shown) { return shown.find_first_not_of(" \t") == std::string::npos; }

// Reads the X side; the host's error code when a field reference gave no record.
int16_t readX(const FMX_ExprEnv* env, std::string_view text, bool decimalComma, Scratch& s) {
    switch (classifyDataText(text)) {
        case DataTextKind::Number:
        case DataTextKind::NumberList:
            for (std::string_view piece : splitNumberText(text)) s.addX(piece, numberOr(pieceNumber(piece, decimalComma), kMissing));
            return 0;
        case DataTextKind::TextList: {
            float index = 0;
            for (std::string_view piece : splitDataText(text, true)) s.addX(piece, index++);
            return 0;
        }
        case DataTextKind::FieldReference:
            break;
    }
    // Texts and empty records of a column that holds numbers have no X value; in a column of
    // names they are the categories, as they always were.
    std::vector<std::size_t> others;
    bool numbers = false;
    const int16_t error = readFieldRecords(env, parseFieldReference(text), [&](const FMX_Data* value) {
        const std::string shown = host::textBytes(host::dataText(value), kTextArgumentBytes);
        if (host::nativeType(value) == kFMX_Number && !emptyRecord(shown)) {
            s.addX(shown, static_cast<float>(host::asDouble(host::dataNumber(value))));
            numbers = true;
        } else {
            others.push_back(s.points());
            s.addX(shown, 0);
        }
        return true;
    });
    if (numbers)
        for (std::size_t p : others) s.x[p] = kMissing;
    return error;
}

// Reads the Y side into the points read so far; the host's error code when a field reference
// gave no record.
int16_t readY(const FMX_ExprEnv* env, std::string_view text, bool decimalComma, Scratch& s) {
    const std::size_t points = s.points();
    s.y.assign(points, 0.0f);
    s.yLabels.assign(std::min<std::size_t>(points, kMaxValues), std::string());
    switch (classifyDataText(text)) {
        case DataTextKind::Number:
        case DataTextKind::NumberList: {
            std::size_t i = 0;
            for (std::string_view piece : splitNumberText(text)) {
                if (i >= points) break;
                s.y[i++] = numberOr(pieceNumber(piece, decimalComma), kMissing);
            }
            return 0;
        }
        case DataTextKind::TextList: {
            s.plain = true;
            std::size_t i = 0;
            for (std::string_view piece : splitDataText(text, true)) {
                if (i >= points) break;
                s.setYLabel(i, piece);
                s.y[i] = static_cast<float>(i);
                ++i;
            }
            return 0;
        }
        case DataTextKind::FieldReference:
            break;
    }
    // An empty record is a missing value. A text is one too when the column also holds
    // numbers ("n/a" among amounts); a column of texts alone names its points, stored plainly.
    // Records past the last point would be ignored, so they are not read (but the field is
    // always tried once, so that a wrong reference is reported).
    std::vector<std::size_t> texts;
    bool numbers = false;
    std::size_t i = 0;
    const int16_t error = readFieldRecords(env, parseFieldReference(text), [&](const FMX_Data* value) {
        if (i >= points) return false;
        if (host::nativeType(value) == kFMX_Number) {
            s.y[i] = static_cast<float>(host::asDouble(host::dataNumber(value)));
            numbers = true;
            return ++i < points;
        }
        const std::string shown = host::textBytes(host::dataText(value), kTextArgumentBytes);
        if (emptyRecord(shown)) {
            s.y[i] = kMissing;
        } else {
            texts.push_back(i);
            s.y[i] = static_cast<float>(i);
            s.setYLabel(i, shown);
        }
        return ++i < points;
    });
    if (numbers) {
        for (std::size_t p : texts) {
            s.y[p] = kMissing;
            if (p < s.yLabels.size()) s.yLabels[p].clear();
        }
    } else if (!texts.empty()) {
        s.plain = true;
    }
    return error;
}

// Points with equal X labels become one entry: the X value of the latest, the sum of the Y
// values that are there (an entry of missing values only stays missing). Returns the count,
// kMaxValues + 1 when a 1001st entry was needed.
uint32_t storeCombined(const Scratch& s, int index) {
    ChartDefinition& d = workingDefinition();
    SeriesRecord& series = d.series[index];
    std::vector<int32_t> entryOf(s.labels.size(), -1);
    std::vector<double> sums;  // summed in double: many records must not lose their small values
    uint32_t count = 0;
    for (std::size_t p = 0; p < s.points(); ++p) {
        int32_t& entry = entryOf[s.labelOf[p]];
        if (entry < 0) {
            if (count == kMaxValues) return kMaxValues + 1;
            entry = static_cast<int32_t>(count++);
            copyText(d.xLabel[index][entry], s.labels[s.labelOf[p]]);
            copyText(d.yLabel[index][entry], " ");
            sums.push_back(0);
            series.y[entry] = kMissing;
        }
        series.x[entry] = s.x[p];
        if (s.y[p] == kMissing) continue;
        sums[entry] += s.y[p];
        series.y[entry] = static_cast<float>(sums[entry]);
    }
    return count;
}

// Every point as it came; nothing is written beyond kMaxValues points.
uint32_t storePlain(const Scratch& s, int index) {
    const std::size_t points = s.points();
    if (points > kMaxValues) return static_cast<uint32_t>(std::min<std::size_t>(points, UINT32_MAX));
    ChartDefinition& d = workingDefinition();
    SeriesRecord& series = d.series[index];
    for (std::size_t p = 0; p < points; ++p) {
        copyText(d.xLabel[index][p], s.labels[s.labelOf[p]]);
        copyText(d.yLabel[index][p], s.yLabels[p]);
        series.x[p] = s.x[p];
        series.y[p] = s.y[p];
    }
    return static_cast<uint32_t>(points);
}

int16_t addSeries(const FMX_ExprEnv* env, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 3) {
        recordArgumentError(snapshot, kErrorData, false);
        return finishEdit(&snapshot, result);
    }

    // A first argument that is not a container starts a new definition, and the roles shift.
    const bool loaded = args.isContainer(0);
    uint32_t first = 1;
    if (loaded) {
        loadDefinition(args.container(0), snapshot);
    } else {
        resetDefinition(snapshot);
        commitHeader(snapshot);
        first = 0;
    }

    // All series records in use: the definition stays as it is.
    if (snapshot.seriesCount >= kMaxSeries) {
        recordError(snapshot, kErrorData);
        return finishEdit(&snapshot, result);
    }
    const int index = static_cast<int>(snapshot.seriesCount);
    clearSeries(index);

    const std::string xText = args.text(first);
    const std::string yText = args.text(first + 1);
    const bool xIsField = classifyDataText(xText) == DataTextKind::FieldReference;
    const bool yIsField = classifyDataText(yText) == DataTextKind::FieldReference;
    Scratch s;
    const bool decimalComma = processLocaleHasDecimalComma();
    const int16_t xError = readX(env, xText, decimalComma, s);
    const int16_t yError = readY(env, yText, decimalComma, s);

    const uint32_t count = s.plain ? storePlain(s, index) : storeCombined(s, index);
    snapshot.valueCount = count;
    if (count > kMaxValues) recordError(snapshot, kErrorTooManyValues);

    SeriesRecord& series = workingDefinition().series[index];
    const uint32_t colorArg = first + 2;
    // Without a colour argument a series gets a colour of its own.
    series.color = colorArg < args.size() ? static_cast<uint32_t>(args.integer(colorArg))
                                          : pieDefaultColors()[static_cast<std::size_t>(index)];
    if (colorArg + 1 < args.size()) copyText(series.name, args.text(colorArg + 1, kTextArgumentBytes));
    snapshot.seriesCount = static_cast<uint32_t>(index + 1);

    // A Y reading that failed speaks for the call; an X failure is kept when the Y side read.
    const bool yFailed = yIsField && yError != 0;
    const bool xFailed = xIsField && xError != 0;
    if (yFailed || xFailed) {
        const int16_t hostError = yFailed ? yError : xError;
        if (hostError == kHostFieldMissing) {
            recordError(snapshot, yFailed ? kErrorYData : kErrorXData);
        } else {
            // Other host failures end the call with the host's code (one more for Ydata).
            host::setNumber(result, yFailed ? hostError + 1.0 : hostError);
            return 0;
        }
    }
    return finishEdit(&snapshot, result);
}

}  // namespace

int16_t Plotz_Data(int16_t, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall([&]() -> int16_t {
        rememberLocale(args);
        return addSeries(env, host::Args(args), result);
    });
}

}  // namespace plotwise
