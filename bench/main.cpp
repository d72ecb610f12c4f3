// plotwise_bench: what one calculation call costs the host, measured against the floor of
// each drawing (gd's GIF encoding of the same picture) and of each container operation (a
// memcpy of the same bytes), with the memory a long-running host sees.
//
// Sections: the cases (script functions, drawings and their floors, the GIF writer against
// gd's encoder, the container codec, field reading through the host); memory; the table. Options of Google Benchmark apply
// (e.g. --benchmark_filter=draw); --no-memory leaves out the memory measurements;
// --big-arguments [MB] measures only the long Xdata and Ydata arguments (100 MB by default).
#include <gd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/big_arguments.h"
#include "bench/chart_cases.h"
#include "bench/concurrency.h"
#include "bench/host_session.h"
#include "bench/memory_use.h"
#include "bench/program_start.h"
#include "bench/record_table.h"
#include "bench/results.h"
#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "definition/working_set.h"
#include "engine/picture/gif_writer.h"
#include "engine/text/font_files.h"
#include "engine/text/text_cache.h"
#include "engine/text/text_color.h"
#include "engine/text/text_shaping.h"

namespace plotwise::bench {
namespace {

// The working set the codec benchmarks decode into and encode from, as a call's own.
plotwise::WorkingSet& working() {
    thread_local plotwise::WorkingSet set;
    return set;
}

constexpr int kRecords = 100000;
constexpr long kGrowthCalls = 10000;
constexpr long kGrowthSettleCalls = 100;
constexpr long kFontNameCalls = 100000;
constexpr long kFontNameSettleCalls = 1000;  // the font tables fill up to their budgets
constexpr double kBudget2D = 1.0;          // per draw against its floor
constexpr double kBudget3DOrPie = 1.5;
constexpr double kBudgetRecords = 1.5;     // Plotz_Data over records, its preview left out
constexpr double kBudgetWriter = 0.5;      // the GIF writer against gd's encoder

CollectingReporter* gResults = nullptr;

// A vector export may take this many times the drawing of the chart's GIF: it writes every
// shape out (SVG, PDF), or draws the same layout smoothed at twice the pixels (PNG).
constexpr double kExportBudgetVector = 2;
constexpr double kExportBudgetPng = 4;

// Stops a benchmark whose call did not do what it should; the table shows it as failed.
void fail(benchmark::State& state, const std::string& name, const char* why) {
    if (gResults) gResults->markFailed(name);
    state.SkipWithError(why);
}

// ---- Floors ------------------------------------------------------------------------------------

// gd's GIF encoding of a finished picture: decoded once from the "GIFf" of a call's result.
class Floor {
public:
    explicit Floor(const std::vector<uint8_t>& gif)
        : image_(gif.empty() ? nullptr
                             : gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<uint8_t*>(gif.data()))) {}
    ~Floor() {
        if (image_) gdImageDestroy(image_);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;
    gdImagePtr image() const { return image_; }

private:
    gdImagePtr image_;
};

void registerFloor(const std::string& name, std::shared_ptr<Floor> floor) {
    benchmark::RegisterBenchmark(name.c_str(), [name, floor](benchmark::State& state) {
        if (floor->image() == nullptr) return fail(state, name, "the call gave no picture");
        for (auto _ : state) {
            int size = 0;
            void* bytes = gdImageGifPtr(floor->image(), &size);
            benchmark::DoNotOptimize(bytes);
            gdFree(bytes);
        }
    })->Unit(benchmark::kMicrosecond);
}

// The GIF writer's encoding of the same picture (the same bytes, checked once).
void registerWriter(const std::string& name, std::shared_ptr<Floor> floor) {
    benchmark::RegisterBenchmark(name.c_str(), [name, floor](benchmark::State& state) {
        if (floor->image() == nullptr) return fail(state, name, "the call gave no picture");
        int size = 0;
        void* gd = gdImageGifPtr(floor->image(), &size);
        std::vector<uint8_t> ours;
        const bool same = encode_gif(*floor->image(), ours) && ours.size() == static_cast<std::size_t>(size) &&
                          std::memcmp(ours.data(), gd, ours.size()) == 0;
        gdFree(gd);
        if (!same) return fail(state, name, "the GIF writer gave other bytes than gd");
        for (auto _ : state) {
            ours.clear();
            encode_gif(*floor->image(), ours);
            benchmark::DoNotOptimize(ours.data());
        }
    })->Unit(benchmark::kMicrosecond);
}

// A script-function call with fixed arguments, and the floor of the picture it gives.
std::shared_ptr<Floor> registerCall(const std::string& name, const std::string& floorName, const Function& function,
                                    std::shared_ptr<Arguments> args, const std::function<void()>& before = {},
                                    const std::function<void()>& after = {}) {
    Value first;
    if (before) before();
    callForContainer(function, *args, first);
    if (after) after();
    auto floor = std::make_shared<Floor>(first.stream("GIFf"));
    registerFloor(floorName, floor);
    benchmark::RegisterBenchmark(name.c_str(), [name, function, args, before, after](benchmark::State& state) {
        if (before) before();
        Value result;
        for (auto _ : state) function(*args, result);
        if (after) after();
        if (result.type() != kFMX_Container || result.stream("GIFf").empty())
            fail(state, name, "the call gave no picture");
    })->Unit(benchmark::kMicrosecond);
    return floor;
}

// ---- Container codec ------------------------------------------------------------------------------

// A container holding only the definition streams of `value` ("CHHD", "LABS", "LABY", "SERS").
class DefinitionContainer {
public:
    explicit DefinitionContainer(const Value& value) : binary_(FM_BinaryData_Constructor1(noError())) {
        for (const char* code : {"CHHD", "LABS", "LABY", "SERS"}) {
            std::vector<uint8_t> bytes = value.stream(code);
            FMX_QuadChar* quad = FM_QuadChar_Constructor2(code[0], code[1], code[2], code[3], noError());
            static uint8_t none = 0;
            FM_BinaryData_Add(binary_, quad, static_cast<uint32_t>(bytes.size()), bytes.empty() ? &none : bytes.data(),
                              noError());
            FM_QuadChar_Delete(quad, noError());
            bytes_ += bytes.size();
        }
    }
    ~DefinitionContainer() { FM_BinaryData_Delete(binary_, noError()); }
    DefinitionContainer(const DefinitionContainer&) = delete;
    DefinitionContainer& operator=(const DefinitionContainer&) = delete;
    const FMX_BinaryData* get() const { return binary_; }
    std::size_t bytes() const { return bytes_; }

private:
    FMX_BinaryData* binary_;
    std::size_t bytes_ = 0;
};

void registerMemcpy(const std::string& name, std::size_t bytes) {
    benchmark::RegisterBenchmark(name.c_str(), [bytes](benchmark::State& state) {
        std::vector<uint8_t> from(bytes, 0x5A), to(bytes);
        for (auto _ : state) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::ClobberMemory();
        }
    })->Unit(benchmark::kMicrosecond);
}

void registerCodec(const std::string& label, std::shared_ptr<DefinitionContainer> container) {
    const std::string decodeName = "codec/decode " + label, encodeName = "codec/encode " + label;
    benchmark::RegisterBenchmark(decodeName.c_str(), [container, decodeName](benchmark::State& state) {
        bool ok = true;
        for (auto _ : state) ok = decodeDefinition(working(), container->get()) && ok;
        if (!ok) fail(state, decodeName, "the container held no definition");
    })->Unit(benchmark::kMicrosecond);
    registerMemcpy("memcpy/decode " + label, container->bytes());

    benchmark::RegisterBenchmark(encodeName.c_str(), [container, encodeName](benchmark::State& state) {
        decodeDefinition(working(), container->get());
        FMX_BinaryData* out = FM_BinaryData_Constructor1(noError());
        int16_t error = 0;
        for (auto _ : state) error |= encodeDefinition(working(), out);
        if (error != 0 || FM_BinaryData_GetTotalSize(out, noError()) != container->bytes())
            fail(state, encodeName, "encoding gave other bytes");
        FM_BinaryData_Delete(out, noError());
    })->Unit(benchmark::kMicrosecond);
    registerMemcpy("memcpy/encode " + label, container->bytes());
}

// A definition with every table full: 100 series of 1000 points, every label in use.
std::shared_ptr<DefinitionContainer> fullDefinition() {
    ChartDefinition& d = working().definition();
    ChartHeader snapshot;
    resetDefinition(working().definition(), snapshot);
    std::snprintf(snapshot.style, sizeof snapshot.style, "line");
    snapshot.width = 640;
    snapshot.height = 480;
    snapshot.seriesCount = kMaxSeries;
    snapshot.valueCount = kMaxValues;
    commitHeader(working().definition(), snapshot);
    for (int s = 0; s < kMaxSeries; ++s) {
        SeriesRecord& series = d.series[s];
        series.unreadable = 0;
        series.color = static_cast<uint32_t>(0x10101 * s);
        std::snprintf(series.name, sizeof series.name, "Series %d", s + 1);
        for (int v = 0; v < kMaxValues; ++v) {
            series.x[v] = static_cast<float>(v);
            series.y[v] = static_cast<float>((s * 37 + v * 11) % 1000) / 10.0f;
            std::snprintf(d.xLabel[s][v], kLabelSize, "Point %d ", v + 1);
            std::snprintf(d.yLabel[s][v], kLabelSize, " ");
        }
    }
    Value value;
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(noError());
    encodeDefinition(working(), binary);
    FM_Data_SetBinaryData(value.get(), binary, true, noError());
    FM_BinaryData_Delete(binary, noError());
    return std::make_shared<DefinitionContainer>(value);
}

// ---- Registration ---------------------------------------------------------------------------------

struct Bench {
    std::vector<DrawCase> cases;
    std::unique_ptr<Value> newChart;
    std::shared_ptr<OrderTable> orders;
    std::vector<std::vector<Comparison>> table;
};

Bench& bench() {
    static Bench b;
    return b;
}

void registerScriptCases(Bench& b) {
    const Function plotzNew("Plotz_New"), plotzData("Plotz_Data");
    std::vector<Comparison> rows;

    b.newChart = std::make_unique<Value>();
    callForContainer(plotzNew, Arguments(), *b.newChart);
    registerCall("call/Plotz_New", "floor/Plotz_New", plotzNew, std::make_shared<Arguments>());
    rows.push_back({"Plotz_New", "call/Plotz_New", "floor/Plotz_New", "its GIF encoding"});

    auto numbers = std::make_shared<Arguments>();
    numbers->value(*b.newChart).text(numberList(1000, 1, 1)).text(valueList(1000, 1)).number(0x3060C0).text("Values");
    registerCall("call/Plotz_Data 1000 numbers", "floor/Plotz_Data 1000 numbers", plotzData, numbers);
    rows.push_back({"Plotz_Data 1000 numbers", "call/Plotz_Data 1000 numbers", "floor/Plotz_Data 1000 numbers",
                    "its GIF encoding"});

    auto names = std::make_shared<Arguments>();
    names->value(*b.newChart).text(nameList(1000, "Product ")).text(valueList(1000, 2)).number(0x3060C0).text("Sold");
    registerCall("call/Plotz_Data 1000 names", "floor/Plotz_Data 1000 names", plotzData, names);
    rows.push_back({"Plotz_Data 1000 names", "call/Plotz_Data 1000 names", "floor/Plotz_Data 1000 names",
                    "its GIF encoding"});

    // A field over the found set, summed into its twelve months.
    b.orders = std::make_shared<OrderTable>(kRecords);
    auto records = std::make_shared<Arguments>();
    records->value(*b.newChart).text("Orders::Month").text("Orders::Amount").number(0x3060C0).text("Amount");
    std::shared_ptr<OrderTable> orders = b.orders;
    registerCall("call/Plotz_Data 100000 records", "floor/Plotz_Data 100000 records", plotzData, records,
                 [orders] { orders->install(); }, [] { OrderTable::uninstall(); });
    // Its preview: the same drawing of the container it returns, by Plotz_Draw at the size the
    // preview has. The picture must be the call's own.
    {
        Value result;
        orders->install();
        callForContainer(plotzData, *records, result);
        OrderTable::uninstall();
        const std::vector<uint8_t> size = result.stream("SIZE"), picture = result.stream("GIFf");
        auto preview = std::make_shared<Arguments>();
        preview->value(result)
            .number(size.size() == 4 ? size[0] << 8 | size[1] : 0)
            .number(size.size() == 4 ? size[2] << 8 | size[3] : 0);
        const std::string name = "preview/Plotz_Data 100000 records";
        const Function plotzDraw("Plotz_Draw");
        benchmark::RegisterBenchmark(name.c_str(), [name, plotzDraw, preview, picture](benchmark::State& state) {
            Value drawn;
            for (auto _ : state) plotzDraw(*preview, drawn);
            if (drawn.stream("GIFf") != picture) fail(state, name, "the preview differs from the call's picture");
        })->Unit(benchmark::kMicrosecond);
    }
    // The host's side of those reads: the same expressions, handed over as host texts, evaluated
    // through the host library (which reads the text and calls the hook); and the hook alone.
    auto expressions = std::make_shared<std::vector<std::string>>(orders->readingExpressions());
    benchmark::RegisterBenchmark("host/evaluate x 200001", [orders, expressions](benchmark::State& state) {
        std::vector<FMX_Text*> texts;
        texts.reserve(expressions->size());
        for (const std::string& expression : *expressions) {
            texts.push_back(FM_Text_Constructor1(noError()));
            FM_Text_Assign(texts.back(), expression.c_str(), kFMX_EncodingUTF8, noError());
        }
        orders->install();
        Value value;
        const FMX_ExprEnv* env = HostSession::instance().env();
        for (auto _ : state) {
            for (const FMX_Text* text : texts) FM_ExprEnv_Evaluate(env, text, value.get(), noError());
        }
        OrderTable::uninstall();
        for (FMX_Text* text : texts) FM_Text_Delete(text, noError());
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("host/hook x 200001", [orders, expressions](benchmark::State& state) {
        Value value;
        for (auto _ : state) {
            for (const std::string& expression : *expressions) orders->answer(expression.c_str(), value.get());
        }
    })->Unit(benchmark::kMicrosecond);
    rows.push_back({"Plotz_Data 100000 records", "call/Plotz_Data 100000 records", "host/evaluate x 200001",
                    "host evaluating its reads"});
    rows.push_back({"  (without its preview)", "call/Plotz_Data 100000 records", "host/evaluate x 200001",
                    "host evaluating its reads", Comparison::Ratio, kBudgetRecords,
                    "preview/Plotz_Data 100000 records"});
    rows.push_back({"  (its preview alone)", "preview/Plotz_Data 100000 records", "floor/Plotz_Data 100000 records",
                    "its GIF encoding"});
    rows.push_back({"  (against the hook alone)", "call/Plotz_Data 100000 records", "host/hook x 200001",
                    "the hook answering them", Comparison::Ratio, 0, "preview/Plotz_Data 100000 records"});
    b.table.push_back(rows);
}

void registerDrawCases(Bench& b) {
    const Function plotzDraw("Plotz_Draw");
    b.cases = drawCases();
    std::vector<Comparison> rows, writerRows;
    for (const DrawCase& c : b.cases) {
        auto args = std::make_shared<Arguments>();
        args->value(*c.definition).number(c.width).number(c.height);
        std::string label = "Plotz_Draw " + c.name;
        auto floor = registerCall("draw/" + c.name, "floor/" + c.name, plotzDraw, args);
        rows.push_back({label, "draw/" + c.name, "floor/" + c.name, "its GIF encoding", Comparison::Ratio,
                        c.threeDOrPie ? kBudget3DOrPie : kBudget2D});
        registerWriter("writer/" + c.name, floor);
        writerRows.push_back({"GIF writer: " + c.name, "writer/" + c.name, "floor/" + c.name, "gd's GIF encoding",
                              Comparison::Ratio, kBudgetWriter});
    }
    // The first case again with every text drawn by gd itself: what the text cache saves.
    const DrawCase& vbar = b.cases.front();
    auto args = std::make_shared<Arguments>();
    args->value(*vbar.definition).number(vbar.width).number(vbar.height);
    const std::string name = "draw/" + vbar.name + " texts by gd";
    registerCall(name, "floor/" + vbar.name + " texts by gd", plotzDraw, args, [] { use_text_cache(false); },
                 [] { use_text_cache(true); });
    rows.push_back({"Plotz_Draw " + vbar.name + ", texts by gd", name, "draw/" + vbar.name, "the same drawing cached"});
    b.table.push_back(rows);
    b.table.push_back(writerRows);
}

// The vector export of a chart in each format, against the drawing of its GIF (Plotz_Draw).
void registerExportCases(Bench& b) {
    const Function plotzDraw("Plotz_Draw"), plotzExport("Plotz_Export");
    std::vector<Comparison> rows;
    for (DrawCase& c : exportCases()) {
        auto drawn = std::make_shared<Arguments>();
        drawn->value(*c.definition).number(c.width).number(c.height);
        auto chart = std::make_shared<Value>();
        callForContainer(plotzDraw, *drawn, *chart);
        registerCall("export-gif/" + c.name, "export-floor/" + c.name, plotzDraw, drawn);
        struct Format {
            const char *name, *stream;
            double budget;
        };
        static constexpr Format kFormats[] = {
            {"png", "PNGf", kExportBudgetPng}, {"svg", "SVG ", kExportBudgetVector}, {"pdf", "PDF ", kExportBudgetVector}};
        for (const auto& [format, stream, budget] : kFormats) {
            const std::string name = std::string("export/") + format + " " + c.name;
            auto args = std::make_shared<Arguments>();
            args->value(*chart).text(format);
            benchmark::RegisterBenchmark(name.c_str(), [name, plotzExport, args, type = std::string(stream)](benchmark::State& state) {
                Value result;
                for (auto _ : state) plotzExport(*args, result);
                if (result.type() != kFMX_Container || result.stream(type).empty())
                    fail(state, name, "the export gave no picture");
            })->Unit(benchmark::kMicrosecond);
            rows.push_back({std::string("Plotz_Export ") + format + " " + c.name, name, "export-gif/" + c.name,
                            "drawing its GIF", Comparison::Ratio, budget});
        }
    }
    b.table.push_back(rows);
}

// The PDF and SVG of the largest chart, drawn at 1000 x 1000 and at 4096 x 4096: each within an
// absolute bound, whatever its GIF costs.
void registerLargestExports(Bench& b) {
    constexpr double kBoundSeconds = 2;
    const Function plotzDraw("Plotz_Draw"), plotzExport("Plotz_Export");
    const DrawCase largest = largestChart();
    std::vector<Comparison> rows;
    for (const int side : {1000, 4096}) {
        Arguments drawn;
        drawn.value(*largest.definition).number(side).number(side);
        auto chart = std::make_shared<Value>();
        callForContainer(plotzDraw, drawn, *chart);
        for (const char* format : {"pdf", "svg"}) {
            const std::string name = "export/" + std::string(format) + " " + largest.name + " at " + std::to_string(side);
            auto args = std::make_shared<Arguments>();
            args->value(*chart).text(format);
            benchmark::RegisterBenchmark(name.c_str(), [name, plotzExport, args](benchmark::State& state) {
                Value result;
                for (auto _ : state) plotzExport(*args, result);
                if (result.type() != kFMX_Container) fail(state, name, "the export gave no picture");
            })->Unit(benchmark::kMillisecond)->Iterations(1);
            rows.push_back({"Plotz_Export " + name.substr(7), name, "", "", Comparison::Seconds, kBoundSeconds});
        }
    }
    b.table.push_back(rows);
}

// Every gallery picture encoded by gd and by the GIF writer, one pass over all per iteration.
void registerGalleryWriterCases(Bench& b) {
    auto floors = std::make_shared<std::vector<std::shared_ptr<Floor>>>();
    for (const std::vector<uint8_t>& gif : galleryPictures(PLOTWISE_PROGRAM, PLOTWISE_SOURCE_DIR "/examples/gallery"))
        floors->push_back(std::make_shared<Floor>(gif));
    const std::string label = std::to_string(floors->size()) + " gallery pictures";
    const std::string gdName = "gallery/gd " + label, oursName = "gallery/writer " + label;
    benchmark::RegisterBenchmark(gdName.c_str(), [floors, gdName](benchmark::State& state) {
        if (floors->empty()) return fail(state, gdName, "the gallery gave no pictures");
        for (auto _ : state) {
            for (const auto& floor : *floors) {
                int size = 0;
                void* bytes = gdImageGifPtr(floor->image(), &size);
                benchmark::DoNotOptimize(bytes);
                gdFree(bytes);
            }
        }
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(oursName.c_str(), [floors, oursName](benchmark::State& state) {
        if (floors->empty()) return fail(state, oursName, "the gallery gave no pictures");
        std::vector<uint8_t> ours;
        for (auto _ : state) {
            for (const auto& floor : *floors) {
                ours.clear();
                encode_gif(*floor->image(), ours);
                benchmark::DoNotOptimize(ours.data());
            }
        }
    })->Unit(benchmark::kMicrosecond);
    b.table.back().push_back({"GIF writer: " + label, oursName, gdName, "gd's GIF encoding", Comparison::Ratio,
                              kBudgetWriter});
}

void registerCodecCases(Bench& b) {
    std::vector<Comparison> rows;
    const DrawCase& vbar = b.cases.front();
    auto small = std::make_shared<DefinitionContainer>(*vbar.definition);
    registerCodec("3x12", small);
    auto full = fullDefinition();
    registerCodec("100x1000", full);
    for (const char* label : {"3x12", "100x1000"}) {
        for (const char* op : {"decode", "encode"}) {
            const std::string name = std::string(op) + " " + label;
            rows.push_back({"container " + name, "codec/" + name, "memcpy/" + name, "memcpy of its bytes"});
        }
    }

    // What every call does around its drawing: decode the container, encode the result with
    // its picture.
    const Function plotzDraw("Plotz_Draw");
    auto drawn = std::make_shared<Value>();
    {
        Arguments args;
        args.value(*vbar.definition).number(vbar.width).number(vbar.height);
        callForContainer(plotzDraw, args, *drawn);
    }
    const std::string name = "codec/round trip 3x12";
    benchmark::RegisterBenchmark(name.c_str(), [drawn, plotzDraw, vbar = vbar.definition.get(), name](benchmark::State& state) {
        Arguments args;
        args.value(*vbar).number(640).number(480);
        Value again;
        plotzDraw(args, again);  // the vbar picture is the latest
        const FMX_BinaryData* in = FM_Data_GetBinaryData(drawn->get(), noError());
        FMX_BinaryData* out = FM_BinaryData_Constructor1(noError());
        int16_t error = 0;
        for (auto _ : state) {
            decodeDefinition(working(), in);
            error |= encodeDefinition(working(), out);
        }
        if (error != 0 || FM_BinaryData_GetTotalSize(out, noError()) != drawn->containerBytes())
            fail(state, name, "the round trip changed the container");
        FM_BinaryData_Delete(out, noError());
    })->Unit(benchmark::kMicrosecond);
    rows.push_back({"container round trip 3x12", name, "floor/vbar 3x12", "vbar GIF encoding", Comparison::Percent, 5});
    b.table.push_back(rows);
}

// Loading a container into the host takes time linear in its streams: ten times the streams
// may take at most about ten times as long.
void registerContainerLoading(Bench& b) {
    constexpr int kFew = 20000, kMany = 200000;
    for (const int streams : {kFew, kMany}) {
        const std::string name = "host/load " + std::to_string(streams) + " streams";
        benchmark::RegisterBenchmark(name.c_str(), [streams](benchmark::State& state) {
            FMX_QuadChar* type = FM_QuadChar_Constructor2('L', 'A', 'B', 'S', noError());
            char bytes[8] = "label";
            for (auto _ : state) {
                FMX_BinaryData* container = FM_BinaryData_Constructor1(noError());
                for (int i = 0; i < streams; ++i) FM_BinaryData_Add(container, type, sizeof bytes, bytes, noError());
                benchmark::DoNotOptimize(FM_BinaryData_GetTotalSize(container, noError()));
                FM_BinaryData_Delete(container, noError());
            }
            FM_QuadChar_Delete(type, noError());
        })->Unit(benchmark::kMillisecond);
    }
    b.table.push_back({{"container of 200,000 streams", "host/load 200000 streams", "host/load 20000 streams",
                        "a tenth of the streams", Comparison::Ratio, 15}});
}

// What one text costs gd and FreeType: the drawings above draw 25 to 60 of them.
void registerTextReferences(Bench& b) {
    struct Text {
        const char* name;
        const char* text;
        double points;
    };
    static constexpr Text kTexts[] = {
        {"gd/text label 14 pt", "Jan", 14},
        {"gd/text title 18 pt", "Sales by region", 18},
    };
    std::vector<Comparison> rows;
    for (const Text& t : kTexts) {
        benchmark::RegisterBenchmark(t.name, [t](benchmark::State& state) {
            gdImagePtr image = gdImageCreate(640, 480);
            gdImageColorAllocate(image, 255, 255, 255);
            const int black = gdImageColorAllocate(image, 0, 0, 0);
            // gd given the file itself: the search is not what this row measures.
            std::string font = find_font_file("Times.ttf");
            int box[8];
            char* error = nullptr;
            for (auto _ : state)
                error = gdImageStringFT(image, box, black, font.data(), t.points, 0, 100, 100, const_cast<char*>(t.text));
            gdImageDestroy(image);
            if (error != nullptr) fail(state, t.name, "FreeType could not draw the text");
        })->Unit(benchmark::kMicrosecond);
        rows.push_back({std::string("one gd text: ") + t.text + (t.points > 14 ? " (18 pt)" : " (14 pt)"), t.name, "", ""});
    }
    b.table.push_back(rows);
}

// What shaping costs: a Latin label never reaches HarfBuzz and FriBidi, only the check that
// finds it needs neither; right-to-left and joined labels are shaped and drawn glyph by glyph.
void registerShapingCases(Bench& b) {
    static constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    struct Label {
        const char* name;
        const char* text;
    };
    static constexpr Label kLabels[] = {
        {"text/latin label", "Sales by region"},
        {"text/hebrew label", "מכירות לפי אזור"},
        {"text/arabic label", "المبيعات حسب المنطقة"},
    };
    for (const Label& l : kLabels) {
        benchmark::RegisterBenchmark(l.name, [l](benchmark::State& state) {
            gdImagePtr image = gdImageCreate(640, 480);
            gdImageColorAllocate(image, 255, 255, 255);
            const int black = gdImageColorAllocate(image, 0, 0, 0);
            int fell_back = 0;
            for (auto _ : state)
                fell_back |= draw_text_lines(image, font_entry(2), kFont, 14, 0, 100, 100, l.text, black, JustifyLeft);
            gdImageDestroy(image);
            if (fell_back != 0) fail(state, l.name, "FreeType could not draw the label");
        })->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("text/latin label shaping check", [](benchmark::State& state) {
        for (auto _ : state) benchmark::DoNotOptimize(needs_shaping(kLabels[0].text));
    })->Unit(benchmark::kMicrosecond);
    b.table.push_back({
        {"shaping check of a Latin label", "text/latin label shaping check", "text/latin label", "Latin label drawn",
         Comparison::Percent, 1},
        {"Hebrew label drawn (shaped)", "text/hebrew label", "text/latin label", "Latin label drawn"},
        {"Arabic label drawn (shaped)", "text/arabic label", "text/latin label", "Latin label drawn"},
    });
}

// ---- Memory --------------------------------------------------------------------------------------

// A host that shows records for a long time: the calls of a script building a chart, then
// the drawings of the cases, over and over.
Growth steadyStateGrowth(Bench& b) {
    const Function plotzNew("Plotz_New"), plotzData("Plotz_Data"), plotzStyle("Plotz_Style"),
        plotzTitles("Plotz_Titles"), plotzDraw("Plotz_Draw");
    std::vector<std::function<bool()>> steps;
    auto keep = std::make_shared<Value>();
    auto add = [&steps, keep](const Function& f, std::shared_ptr<Arguments> args) {
        steps.push_back([f, args, keep] { return f(*args, *keep) == 0 && keep->type() == kFMX_Container; });
    };
    add(plotzNew, std::make_shared<Arguments>());
    auto data = std::make_shared<Arguments>();
    data->value(*b.newChart).text("Jan;Feb;Mar;Apr;May;Jun").text("12;19;7;15;22;18").number(0xFF0000).text("North");
    add(plotzData, data);
    const DrawCase& vbar = b.cases.front();
    auto titles = std::make_shared<Arguments>();
    titles->value(*vbar.definition).text("Sales").text("Month").text("Units");
    add(plotzTitles, titles);
    auto style = std::make_shared<Arguments>();
    style->value(*vbar.definition).text("v3dbar");
    add(plotzStyle, style);
    for (const DrawCase& c : b.cases) {
        if (c.width > 640) continue;  // the large picture adds time, not a different kind of call
        auto args = std::make_shared<Arguments>();
        args->value(*c.definition).number(c.width).number(c.height);
        add(plotzDraw, args);
    }
    return measureGrowth(kGrowthCalls, kGrowthSettleCalls,
                         [&steps](long i) { return steps[static_cast<std::size_t>(i) % steps.size()](); });
}

// A host whose callers name a new font each call: a new spelling of one file (a list whose
// first name is found nowhere), or a font found nowhere at all. Every hundredth call exports
// the chart as SVG and as PDF as well, so that the vector back ends meet every name too.
Growth fontNameGrowth(const Value& definition, long calls = kFontNameCalls) {
    const Function plotzTitles("Plotz_Titles"), plotzFont("Plotz_Font"), plotzExport("Plotz_Export");
    const std::string file = find_font_file("Arial.ttf");
    Value titled;
    Arguments titles;
    titles.value(definition).text("Sales").text("Month").text("Units");
    if (plotzTitles(titles, titled) != 0) return Growth{};
    return measureGrowth(calls, kFontNameSettleCalls, [&](long i) {
        std::string name = "missing-" + std::to_string(i) + ".ttf";
        if (i % 2 == 0) name += ";" + file;
        Arguments args;
        args.value(titled).text("charttitle").text(name).number(12);
        Value chart;
        if (plotzFont(args, chart) != 0 || chart.type() != kFMX_Container) return false;
        if (i % 100 != 0) return true;
        for (const char* format : {"svg", "pdf"}) {
            Arguments exported;
            exported.value(chart).text(format);
            Value picture;
            if (plotzExport(exported, picture) != 0 || picture.type() != kFMX_Container) return false;
        }
        return true;
    });
}

}  // namespace
}  // namespace plotwise::bench

int main(int argc, char** argv) {
    using namespace plotwise::bench;
    if (argc > 1 && argv[1] == kMeasurePeakOption) return measurePeakMain(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--big-arguments") == 0) {  // only the long-argument rows
        MemoryFigures figures;
        const long megabytes = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 100;  // to see the cost grow
        figures.bigArguments = measureBigArguments(static_cast<std::size_t>(megabytes > 0 ? megabytes : 100) << 20);
        return printTable(CollectingReporter(), {}, figures) == 0 ? 0 : 1;
    }
    if (argc > 1 && std::strcmp(argv[1], "--font-names") == 0) {  // only the growth over new font names
        MemoryFigures figures;
        const long calls = argc > 2 ? std::strtol(argv[2], nullptr, 10) : kFontNameCalls;
        const std::vector<DrawCase> cases = drawCases();
        figures.fontNameGrowth =
            fontNameGrowth(*cases.front().definition, calls > kFontNameSettleCalls ? calls : kFontNameCalls);
        return printTable(CollectingReporter(), {}, figures) == 0 ? 0 : 1;
    }
    // Defaults first, so that options given on the command line win.
    std::vector<char*> args{argv[0]};
    char repetitions[] = "--benchmark_repetitions=3";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    char minTime[] = "--benchmark_min_time=0.2";
    args.insert(args.end(), {repetitions, aggregates, minTime});
    bool memory = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-memory") == 0) memory = false;
        else args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

    try {
        Bench& b = bench();
        registerScriptCases(b);
        registerDrawCases(b);
        registerGalleryWriterCases(b);  // adds to the GIF writer's rows, the last table so far
        registerExportCases(b);
        registerLargestExports(b);
        registerCodecCases(b);
        registerContainerLoading(b);
        registerTextReferences(b);
        registerShapingCases(b);
        registerConcurrencyCases();
        registerProgramStartCases();

        CollectingReporter results;
        gResults = &results;
        benchmark::RunSpecifiedBenchmarks(&results);
        gResults = nullptr;

        MemoryFigures figures;
        if (memory) {
            figures.growth = steadyStateGrowth(b);
            figures.fontNameGrowth = fontNameGrowth(*b.cases.front().definition);
            figures.peak = galleryPeakMemory(PLOTWISE_PROGRAM, PLOTWISE_SOURCE_DIR "/examples/gallery");
            figures.bigArguments = measureBigArguments();
            bool made = false;
            const long pngKiB = largestPngExportPeakKiB(PLOTWISE_PROGRAM, made);
            std::printf("Largest PNG export (8192 x 8192): peak %ld KiB%s\n", pngKiB, made ? "" : " (failed)");
        }
        printTable(results, b.table, figures);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "plotwise_bench: %s\n", e.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
