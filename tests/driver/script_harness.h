// Calling the script functions the way the host does (through the shared plug-in calls):
// arguments as texts, numbers and charts, containers passed from one call to the next, a
// decoded picture with pixel access, and a small record table that answers
// "GetNthRecord ( Table::Field ; n )" for field references.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <gd.h>
#include <gtest/gtest.h>

#include "boundary/script_functions.h"
#include "definition/chart_definition.h"
#include "driver/draw_chart.h"
#include "stand_in/fmhost.h"
#include "tests/support/plugin_calls.h"
#include "tests/support/working_set.h"

namespace plotwise::testing {

using support::err;
using support::setNumber;
using support::setText;

// A chart as a script holds it: the streams of a returned container.
struct Chart {
    support::Streams streams;
};

// One argument: a text, a number or a container.
using Arg = std::variant<std::string, double, Chart>;
inline Arg text(std::string s) { return Arg(std::move(s)); }
inline Arg num(double n) { return Arg(n); }

// What a script function gave back.
struct Outcome {
    int16_t returned = 0;
    int32_t type = 0;     // native type of the result
    double number = 0;    // when a number
    Chart chart;          // when a container
    bool isChart() const { return type == kFMX_Container; }
};

// The chart the latest call gave back, and the number of calls made so far.
inline Chart& lastChart() {
    thread_local Chart chart;
    return chart;
}
inline long& callCount() {
    thread_local long calls = 0;
    return calls;
}

// Calls a script function with the arguments, as the host would.
inline Outcome call(ScriptFunction function, const std::vector<Arg>& args, const FMX_ExprEnv* env = nullptr) {
    std::vector<support::Value> values;
    for (const Arg& arg : args) {
        if (const auto* s = std::get_if<std::string>(&arg)) values.push_back(support::text(*s));
        else if (const auto* n = std::get_if<double>(&arg)) values.push_back(support::number(*n));
        else values.push_back(support::container(std::get<Chart>(arg).streams));
    }
    support::Outcome result = support::call(function, values, env);
    Outcome outcome{result.returned, result.type, result.number, Chart{std::move(result.streams)}};
    if (outcome.isChart()) lastChart() = outcome.chart;
    ++callCount();
    return outcome;
}

// Calls a function that must give back a container.
inline Chart chartOf(ScriptFunction function, const std::vector<Arg>& args, const FMX_ExprEnv* env = nullptr) {
    Outcome outcome = call(function, args, env);
    EXPECT_EQ(outcome.returned, 0);
    EXPECT_TRUE(outcome.isChart()) << "result type " << outcome.type << " number " << outcome.number;
    return outcome.chart;
}

inline Chart newChart() { return chartOf(Plotz_New, {}); }

// The definition of the chart the latest call gave back, as a call decodes it.
inline const ChartDefinition& lastDefinition() { return decodedDefinition(lastChart().streams); }

// The same in the test working set, to change and draw again.
inline ChartDefinition& editableDefinition() {
    testDefinition() = lastDefinition();
    return testDefinition();
}

// The record of the latest drawing made here, and the call count it belongs to.
struct Replay {
    EngineCall call;
    long calls = -1;
};
inline Replay& replay() {
    thread_local Replay r;
    return r;
}

// Draws `definition` as a script function ends, recording its engine call.
inline const EngineCall& recordDrawing(ChartDefinition& definition) {
    Replay& r = replay();
    r.call = EngineCall{};
    settleDefinition(definition);
    drawChart(definition, DrawRequest{nullptr, nullptr, &r.call});
    r.calls = callCount();
    return r.call;
}

// The engine call that the chart the latest call gave back makes: it is drawn again from its
// container, as the call drew it (or the drawing recordDrawing made since).
inline const EngineCall& lastEngineCall() {
    if (replay().calls != callCount()) recordDrawing(editableDefinition());
    return replay().call;
}

// The chart header stored in a container.
inline ChartBlock blockOf(const Chart& chart) {
    ChartBlock block{};
    const std::string* bytes = support::findStream(chart.streams, "CHHD");
    EXPECT_NE(bytes, nullptr);
    if (bytes != nullptr && bytes->size() == sizeof block) std::memcpy(&block, bytes->data(), sizeof block);
    return block;
}

// The picture of a container, decoded; null when it has none.
struct Picture {
    gdImagePtr image = nullptr;
    explicit Picture(const Chart& chart) {
        const std::string* gif = support::findStream(chart.streams, "GIFf");
        if (gif != nullptr && !gif->empty())
            image = gdImageCreateFromGifPtr(static_cast<int>(gif->size()), const_cast<char*>(gif->data()));
    }
    ~Picture() {
        if (image) gdImageDestroy(image);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    int width() const { return image ? gdImageSX(image) : 0; }
    int height() const { return image ? gdImageSY(image) : 0; }
    uint32_t rgb(int x, int y) const {
        const int c = gdImageGetPixel(image, x, y);
        return static_cast<uint32_t>(gdImageRed(image, c) << 16 | gdImageGreen(image, c) << 8 | gdImageBlue(image, c));
    }
    // Pixels of exactly this colour.
    int count(uint32_t color) const {
        int n = 0;
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x) n += rgb(x, y) == color;
        return n;
    }
};

// Records of named fields, answering the host's evaluation of GetNthRecord expressions.
// A number field's record that holds no value: native type number, empty text.
struct EmptyNumber {};

struct RecordTable {
    using Cell = std::variant<double, std::string, EmptyNumber>;
    std::map<std::string, std::vector<Cell>> fields;
    std::vector<std::string> evaluated;   // every expression, in order
    bool keepLog = true;

    static int16_t answer(void* context, const char* expression, FMX_Data* result) {
        auto* table = static_cast<RecordTable*>(context);
        if (table->keepLog) table->evaluated.emplace_back(expression);
        const std::string_view e(expression);
        constexpr std::string_view head = "GetNthRecord ( ";
        const std::size_t semicolon = e.rfind(" ; ");
        if (!e.starts_with(head) || semicolon == std::string_view::npos) return kFMX_CalcError;
        const std::string field(e.substr(head.size(), semicolon - head.size()));
        const long n = std::strtol(std::string(e.substr(semicolon + 3)).c_str(), nullptr, 10);
        const auto it = table->fields.find(field);
        if (it == table->fields.end()) return kFMX_FieldMissing;
        if (n < 1 || n > static_cast<long>(it->second.size())) return kFMX_RecordMissing;
        const Cell& cell = it->second[static_cast<std::size_t>(n - 1)];
        if (const auto* d = std::get_if<double>(&cell)) {
            setNumber(result, *d);
        } else if (const auto* t = std::get_if<std::string>(&cell)) {
            setText(result, *t);
        } else {
            FMX_Text* empty = FM_Text_Constructor1(err());
            FM_Data_SetAsText(result, empty, nullptr, kFMX_Number, err());
            FM_Text_Delete(empty, err());
        }
        return 0;
    }
};

// A clean host with a call record and an expression environment answered by `records`.
class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_set_locale("default");
        support::countStagingAsHostAllocations();
        env_ = fmhost_env_create();
        fmhost_set_evaluate_hook(&RecordTable::answer, &records);
    }
    void TearDown() override {
        fmhost_set_evaluate_hook(nullptr, nullptr);
        fmhost_env_delete(env_);
        fmhost_reset();
    }

    const FMX_ExprEnv* env() const { return env_; }

    // Plotz_Data on a chart.
    Chart data(const Chart& chart, std::string x, std::string y, double color = 0xFF0000, std::string name = "") {
        std::vector<Arg> args{chart, text(std::move(x)), text(std::move(y)), num(color)};
        if (!name.empty()) args.push_back(text(std::move(name)));
        return chartOf(Plotz_Data, args, env_);
    }
    Chart style(const Chart& chart, std::string style, std::string substyle = "") {
        std::vector<Arg> args{chart, text(std::move(style))};
        if (!substyle.empty()) args.push_back(text(std::move(substyle)));
        return chartOf(Plotz_Style, args);
    }
    Chart draw(const Chart& chart, double width, double height) {
        return chartOf(Plotz_Draw, {chart, num(width), num(height)});
    }

    RecordTable records;

private:
    FMX_ExprEnv* env_ = nullptr;
};

}  // namespace plotwise::testing
