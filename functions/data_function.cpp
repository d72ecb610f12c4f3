// Plotz_Data ( container ; Xdata ; Ydata ; seriesColor {; seriesName} ): adds one series.
//
// The X side decides the points (pieces or records); the Y side gives their values. Points
// with equal X labels are combined (their Y values summed) unless the Y side gave category
// names, in which case the points are stored as they are. An empty piece between numbers, an
// empty record, a text among numbers, a point the Y side has no value for and a number no
// single-precision value holds (infinities, NaN, 1e400) are points without a value (stored as
// the missing value the engines leave out); they never change how the points are stored.
//
// Both sides are read point by point, together, and only what can be stored is kept: the first
// 1000 points as they came and the first 1000 combined entries. Which of the two is stored is
// known only at the end (a column of names read from records stores plainly), and neither needs
// more than the series record holds, so a long argument costs little more than its own text.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"
#include "boundary/script_functions.h"
#include "common/written_number.h"
#include "definition/call_state.h"
#include "definition/codec.h"
#include "definition/data_text.h"
#include "definition/field_reference.h"
#include "driver/pie_default_colors.h"
#include "functions/editing.h"
#include "functions/script_arguments.h"

namespace plotwise {
namespace {

// The host's answers for a record past the last one of the found set (an empty table's first
// record too) and for a table or field it does not know: the reference is bad, and the chart
// says so as Data's error.
constexpr int16_t kHostRecordMissing = 101;
constexpr int16_t kHostFieldMissing = 102;

// A point without a value: no bar, a gap in a line, no XY point.
constexpr float kMissing = kLowestFloat;

// A value as stored: a single-precision float, or missing when no float holds it.
float storedValue(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kLargestFloat) return kMissing;
    return static_cast<float>(value);
}

// True for a record whose text is empty or blanks: no value was entered.
bool emptyRecord(std::string_view shown) { return shown.find_first_not_of(" \t") == std::string_view::npos; }

// The label of a piece or record: its first bytes and one blank.
std::string labelOf(std::string_view text) {
    std::string label(text.substr(0, labelCut(text)));
    label += ' ';
    return label;
}

// What one side gives for a point.
struct Reading {
    enum Kind { Number, Text, Nothing } kind = Nothing;  // Nothing: an empty piece or record, no number
    double number = 0;
    std::string_view text;  // the piece or the record's text, valid until the next reading
};

// One side of the call (Xdata or Ydata), read point after point.
class Side {
public:
    // `labels`: the readings' texts are wanted (the X side's labels), not only their values.
    Side(const FMX_ExprEnv* env, std::string_view text, NumberMarks marks, bool labels)
        : kind_(classifyDataText(text, marks)), marks_(marks), labels_(labels), numbers_(text), texts_(text) {
        if (kind_ == DataTextKind::FieldReference) records_.emplace(env, parseFieldReference(text));
    }

    DataTextKind kind() const { return kind_; }
    bool isField() const { return kind_ == DataTextKind::FieldReference; }
    // The host's error code when a field reference gave no record.
    int16_t error() const { return records_ ? records_->error() : 0; }

    bool next(Reading& r) {
        switch (kind_) {
            case DataTextKind::Number:
            case DataTextKind::NumberList: {
                if (!numbers_.next(r.text)) return false;
                const std::optional<double> n = pieceNumber(r.text, marks_);
                r.kind = n ? Reading::Number : Reading::Nothing;
                r.number = n.value_or(0);
                return true;
            }
            case DataTextKind::WrittenNumbers: {
                if (!numbers_.next(r.text)) return false;
                const std::optional<double> n = writtenPieceNumber(r.text, marks_);
                r.kind = n ? Reading::Number : Reading::Nothing;
                r.number = n.value_or(0);
                return true;
            }
            case DataTextKind::TextList:
                r.kind = Reading::Text;
                return texts_.next(r.text);
            case DataTextKind::FieldReference:
                break;
        }
        const FMX_Data* value = records_->next();
        if (value == nullptr) return false;
        if (!labels_ && host::nativeType(value) == kFMX_Number) {
            // A Y number needs its text only to tell an empty number field, which reads as 0.
            r.text = std::string_view();
            r.number = host::asDouble(host::dataNumber(value));
            const bool empty = r.number == 0 && host::textBytes(host::dataText(value), 1).empty();
            r.kind = empty ? Reading::Nothing : Reading::Number;
            return true;
        }
        shown_ = host::textBytes(host::dataText(value), kTextArgumentBytes);
        r.text = shown_;
        if (emptyRecord(shown_)) {
            r.kind = Reading::Nothing;  // an empty record, of a number field too
        } else if (host::nativeType(value) == kFMX_Number) {
            r.kind = Reading::Number;
            r.number = host::asDouble(host::dataNumber(value));
        } else {
            r.kind = Reading::Text;
        }
        return true;
    }

private:
    DataTextKind kind_;
    NumberMarks marks_;
    bool labels_;
    NumberPieces numbers_;
    TextPieces texts_;
    std::optional<RecordReader> records_;
    std::string shown_;
};

// The X value of a point. A record that is no number has one only when its column holds no
// numbers at all (then 0, as category names always had); that is known at the end.
struct XValue {
    float value = 0;
    bool fromText = false;  // a text or empty record: 0 or missing, decided at the end
};

// The first kMaxValues points as they came, and how many there were.
struct PlainPoints {
    struct Point {
        std::string xLabel, yLabel;
        XValue x;
        float y;
    };
    std::vector<Point> points;
    std::size_t count = 0;

    void add(std::string_view xText, XValue x, const Reading* y) {
        if (count++ >= static_cast<std::size_t>(kMaxValues)) return;
        Point p{labelOf(xText), std::string(), x, kMissing};
        if (y != nullptr && y->kind == Reading::Number) {
            p.y = storedValue(y->number);
        } else if (y != nullptr && y->kind == Reading::Text) {
            p.y = static_cast<float>(count - 1);  // a category name's value is its place
            p.yLabel = labelOf(y->text);
        }
        points.push_back(std::move(p));
    }
};

// Points with equal X labels as one entry: the X value of the latest, the sum of the Y values
// that are there (an entry of missing values only stays missing). A 1001st entry ends it.
struct CombinedPoints {
    struct Entry {
        std::string label;
        XValue x;
        double sum = 0;  // summed in double: many records must not lose their small values
        bool any = false;
    };
    std::vector<Entry> entries;
    std::unordered_map<std::string_view, int32_t> ids;  // label without its blank -> entry
    bool full = false;

    CombinedPoints() { entries.reserve(kMaxValues); }  // labels never move: ids views them

    void add(std::string_view xText, XValue x, const Reading* y) {
        if (full) return;
        const std::string_view key = xText.substr(0, labelCut(xText));
        auto it = ids.find(key);
        if (it == ids.end()) {
            if (entries.size() == static_cast<std::size_t>(kMaxValues)) {
                full = true;
                return;
            }
            entries.push_back(Entry{labelOf(key), x});
            const std::string& label = entries.back().label;
            it = ids.emplace(std::string_view(label.data(), label.size() - 1), static_cast<int32_t>(entries.size() - 1))
                     .first;
        }
        Entry& e = entries[static_cast<std::size_t>(it->second)];
        e.x = x;
        if (y == nullptr || y->kind != Reading::Number) return;
        const float value = storedValue(y->number);
        if (value == kMissing) return;
        e.sum += value;
        e.any = true;
    }
};

// Both sides read together. The Y side is read no further than the X side's points, but a
// field reference is always tried once, so that a wrong reference is reported.
struct Points {
    PlainPoints plain;
    CombinedPoints combined;
    bool xNumbers = false;  // the X records held numbers
    bool yNumbers = false;
    bool yTexts = false;
    bool storePlain = false;
    // Texts among numbers that say nothing of a missing value ("12 units", "pending"): drawn as
    // missing, and counted so that the picture can say so.
    uint32_t xUnreadable = 0;
    uint32_t yUnreadable = 0;
    uint32_t unreadable() const { return (xNumbers ? xUnreadable : 0) + (storePlain ? 0 : yUnreadable); }
};

// A record's text read where a number was wanted, which does not say that the value is missing.
bool unreadable(const Reading& r, const Side& side) {
    return r.kind == Reading::Text && side.isField() && !isMissingMarker(r.text);
}

Points readPoints(Side& xSide, Side& ySide) {
    Points p;
    bool yMore = true;
    Reading x, y;
    float index = 0;
    while (xSide.next(x)) {
        XValue xv;
        if (xSide.kind() == DataTextKind::TextList) {
            xv.value = index;
        } else if (x.kind == Reading::Number) {
            xv.value = storedValue(x.number);
            p.xNumbers = true;
        } else {
            xv.value = kMissing;
            xv.fromText = xSide.isField();
            p.xUnreadable += unreadable(x, xSide) ? 1 : 0;
        }
        ++index;
        yMore = yMore && ySide.next(y);
        const Reading* given = yMore ? &y : nullptr;
        if (given != nullptr) {
            p.yNumbers = p.yNumbers || y.kind == Reading::Number;
            p.yTexts = p.yTexts || y.kind == Reading::Text;
            p.yUnreadable += unreadable(y, ySide) ? 1 : 0;
        }
        p.plain.add(x.text, xv, given);
        p.combined.add(x.text, xv, given);
    }
    if (index == 0 && ySide.isField()) ySide.next(y);
    // A column of category names stores plainly; among numbers, texts are missing values.
    p.storePlain = ySide.kind() == DataTextKind::TextList || (ySide.isField() && !p.yNumbers && p.yTexts);
    return p;
}

float finalX(const XValue& x, bool xNumbers) { return x.fromText ? (xNumbers ? kMissing : 0.0f) : x.value; }

// Writes the chosen points into series `index`; returns the count (above kMaxValues when
// they do not fit, in which case plain points are not written).
uint32_t storePoints(ChartDefinition& d, const Points& p, int index) {
    SeriesRecord& series = d.series[index];
    series.unreadable = p.unreadable();
    if (p.storePlain) {
        if (p.plain.count > static_cast<std::size_t>(kMaxValues))
            return static_cast<uint32_t>(std::min<std::size_t>(p.plain.count, UINT32_MAX));
        for (std::size_t i = 0; i < p.plain.points.size(); ++i) {
            const PlainPoints::Point& point = p.plain.points[i];
            copyText(d.xLabel[index][i], point.xLabel);
            copyText(d.yLabel[index][i], point.yLabel);
            series.x[i] = finalX(point.x, p.xNumbers);
            series.y[i] = point.y;
        }
        return static_cast<uint32_t>(p.plain.points.size());
    }
    for (std::size_t i = 0; i < p.combined.entries.size(); ++i) {
        const CombinedPoints::Entry& e = p.combined.entries[i];
        copyText(d.xLabel[index][i], e.label);
        copyText(d.yLabel[index][i], " ");
        series.x[i] = finalX(e.x, p.xNumbers);
        series.y[i] = e.any ? storedValue(e.sum) : kMissing;
    }
    return p.combined.full ? kMaxValues + 1 : static_cast<uint32_t>(p.combined.entries.size());
}

// Series of different lengths share the longest one's point count: the points a series does
// not have are missing values, and the X labels of the points the earlier series lack come
// from the new one (the drawing takes its labels from the first series). Returns the count.
uint32_t alignSeries(WorkingSet& working, int index, uint32_t count, uint32_t earlier) {
    // A count past the limit (a series of more than 1000 points, a damaged header) already
    // carries its error; the earlier series hold at most the limit.
    earlier = std::min<uint32_t>(earlier, kMaxValues);
    if (index == 0 || count > kMaxValues) return count;
    ChartDefinition& d = working.definition();
    // The earlier series gain points before the header counts them: the end of the call must
    // still clear them should it end early.
    working.markTablesUsed(index + 1, static_cast<int>(std::max(count, earlier)));
    for (uint32_t p = count; p < earlier; ++p) {
        d.series[index].x[p] = kMissing;
        d.series[index].y[p] = kMissing;
        copyText(d.xLabel[index][p], "");
        copyText(d.yLabel[index][p], "");
    }
    for (int s = 0; s < index; ++s) {
        for (uint32_t p = earlier; p < count; ++p) {
            d.series[s].x[p] = kMissing;
            d.series[s].y[p] = kMissing;
            copyText(d.xLabel[s][p], d.xLabel[index][p]);
            copyText(d.yLabel[s][p], "");
        }
    }
    return std::max(count, earlier);
}

int16_t addSeries(CallState& call, const FMX_ExprEnv* env, const host::Args& args, FMX_Data* result) {
    ChartHeader snapshot;
    initHeader(snapshot);
    if (args.size() < 3) {
        recordArgumentError(call.working.definition(), snapshot, kErrorData, false);
        return finishEdit(call, &snapshot, result);
    }

    // A first argument that is not a container starts a new definition, and the roles shift.
    const bool loaded = args.isContainer(0);
    uint32_t first = 1;
    if (loaded) {
        loadDefinition(call.working, args.container(0), snapshot);
    } else {
        resetDefinition(call.working.definition(), snapshot);
        commitHeader(call.working.definition(), snapshot);
        first = 0;
    }

    // All series records in use: the definition stays as it is.
    if (snapshot.seriesCount >= kMaxSeries) {
        recordError(call.working.definition(), snapshot, kErrorData);
        return finishEdit(call, &snapshot, result);
    }
    const int index = static_cast<int>(snapshot.seriesCount);
    clearSeries(call.working.definition(), index);

    const NumberMarks marks = numberMarks(call.locale.hasDecimalComma());
    const std::string xText = args.text(first);
    Side xSide(env, xText, marks, true);
    const std::string yText = args.text(first + 1);
    Side ySide(env, yText, marks, false);
    const Points points = readPoints(xSide, ySide);

    const uint32_t count =
        alignSeries(call.working, index, storePoints(call.working.definition(), points, index), snapshot.valueCount);
    snapshot.valueCount = count;
    if (count > kMaxValues) recordError(call.working.definition(), snapshot, kErrorTooManyValues);

    SeriesRecord& series = call.working.definition().series[index];
    const uint32_t colorArg = first + 2;
    // Without a colour argument a series gets a colour of its own.
    series.color = colorArg < args.size() ? static_cast<uint32_t>(args.integer(colorArg))
                                          : pieDefaultColors()[static_cast<std::size_t>(index)];
    if (colorArg + 1 < args.size()) copyText(series.name, args.text(colorArg + 1, kTextArgumentBytes));
    snapshot.seriesCount = static_cast<uint32_t>(index + 1);

    // A Y reading that failed speaks for the call; an X failure is kept when the Y side read.
    const int16_t yError = ySide.error();
    const int16_t xError = xSide.error();
    if (yError != 0 || xError != 0) {
        const bool yFailed = yError != 0;
        const int16_t hostError = yFailed ? yError : xError;
        if (hostError == kHostRecordMissing || hostError == kHostFieldMissing) {
            recordError(call.working.definition(), snapshot, yFailed ? kErrorYData : kErrorXData);
        } else {
            // Other host failures end the call with the host's code (one more for Ydata).
            host::setNumber(result, yFailed ? hostError + 1.0 : hostError);
            return 0;
        }
    }
    return finishEdit(call, &snapshot, result);
}

}  // namespace

int16_t Plotz_Data(int16_t, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result) {
    return guardedCall<CallState>(args, [&](CallState& call) -> int16_t {
        return addSeries(call, env, host::Args(args), result);
    });
}

}  // namespace plotwise
