// Calls from two threads at once. The plug-in's state (working definition, engine options,
// picture) is process-wide, so every calculation function runs whole under the plug-in lock:
// checked here for each of the twelve functions at the moment it hands its result to the
// host, and by two threads that build and draw different charts at the same time, each of
// which must get exactly the chart it asked for.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "frame/boundary.h"
#include "tests/support/plugin_calls.h"

namespace {

// While set, every result the plug-in stores is checked for the lock.
std::atomic<bool> gWatching{false};
std::atomic<int> gResultsStored{0};
std::atomic<int> gStoredOutsideLock{0};

// True when the plug-in lock is held (by any thread): another thread cannot take it.
bool lockHeldElsewhere() {
    bool taken = false;
    std::thread probe([&] {
        taken = plotwise::pluginLock().try_lock();
        if (taken) plotwise::pluginLock().unlock();
    });
    probe.join();
    return !taken;
}

void noteResult() {
    if (!gWatching) return;
    ++gResultsStored;
    if (!lockHeldElsewhere()) ++gStoredOutsideLock;
}

template <typename F>
F next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

// The three ways a calculation function stores its result, seen on their way to the host
// library: these definitions take the place of the library's for this test program and pass
// every call on.
extern "C" int16_t FM_Data_SetAsText(FMX_Data* self, const FMX_Text* text, const FMX_Locale* locale, int32_t type,
                                     FMX_Error* err) {
    noteResult();
    static const auto real = next<decltype(&FM_Data_SetAsText)>("FM_Data_SetAsText");
    return real(self, text, locale, type, err);
}

extern "C" void FM_Data_SetAsNumber(FMX_Data* self, const FMX_FixPt* number, int32_t type, FMX_Error* err) {
    noteResult();
    static const auto real = next<decltype(&FM_Data_SetAsNumber)>("FM_Data_SetAsNumber");
    real(self, number, type, err);
}

extern "C" void FM_Data_SetBinaryData(FMX_Data* self, const FMX_BinaryData* binary, bool force, FMX_Error* err) {
    noteResult();
    static const auto real = next<decltype(&FM_Data_SetBinaryData)>("FM_Data_SetBinaryData");
    real(self, binary, force, err);
}

namespace plotwise {
namespace {

namespace h = support;

class Threads : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(h::startPlugIn(), kFMX_CurrentVersion); }
};

// A calculation function and arguments under which it stores a result.
struct Function {
    const char* name;
    ScriptFunction function;
    std::vector<h::Value> args;
};

TEST_F(Threads, EveryFunctionStoresItsResultUnderThePluginLock) {
    const h::Value chart = h::container(h::call(Plotz_Data, {h::text("a;b"), h::text("1;2"), h::number(255)}).streams);
    const std::vector<Function> functions = {
        {"Plotz_Version", Plotz_Version, {h::text("long")}},
        {"Plotz_New", Plotz_New, {}},
        {"Plotz_Data", Plotz_Data, {chart, h::text("c;d"), h::text("3;4"), h::number(0)}},
        {"Plotz_Titles", Plotz_Titles, {chart, h::text("t"), h::text("x"), h::text("y")}},
        {"Plotz_Style", Plotz_Style, {chart, h::text("vbar")}},
        {"Plotz_Draw", Plotz_Draw, {chart, h::number(50), h::number(40)}},
        {"Plotz_PieColors", Plotz_PieColors, {chart, h::number(255)}},
        {"Plotz_Font", Plotz_Font, {chart, h::text("charttitle"), h::text("none.ttf"), h::number(0)}},
        {"Plotz_Axis", Plotz_Axis, {chart, h::text("y"), h::text("min"), h::number(0)}},
        {"ContainerAnalysis", ContainerAnalysis, {chart, h::text("analysis")}},
        {"ExtractPicture", ExtractPicture, {chart}},
        {"Plotz_Export", Plotz_Export, {chart, h::text("svg")}},
    };
    ASSERT_EQ(functions.size(), 12u);
    for (const Function& f : functions) {
        gResultsStored = 0;
        gStoredOutsideLock = 0;
        const h::Outcome outcome = h::call(f.function, f.args, nullptr, [](bool running) { gWatching = running; });
        EXPECT_EQ(outcome.returned, 0) << f.name;
        EXPECT_GE(gResultsStored.load(), 1) << f.name << " stored no result";
        EXPECT_EQ(gStoredOutsideLock.load(), 0) << f.name << " stored its result outside the plug-in lock";
    }
}

// A chart as one thread builds it: its own data, style and size.
struct Recipe {
    const char* x;
    const char* y;
    const char* style;
    const char* substyle;
    int width, height;
};

h::Outcome build(const Recipe& r) {
    h::Outcome c = h::call(Plotz_New, {});
    c = h::call(Plotz_Data, {h::container(c.streams), h::text(r.x), h::text(r.y), h::number(0x3050F0), h::text("S")});
    c = h::call(Plotz_Style, {h::container(c.streams), h::text(r.style), h::text(r.substyle)});
    c = h::call(Plotz_Font, {h::container(c.streams), h::text("pielabels"), h::text("none.ttf"), h::number(0)});
    return h::call(Plotz_Draw, {h::container(c.streams), h::number(r.width), h::number(r.height)});
}

TEST_F(Threads, TwoThreadsDrawingAtOnceEachGetTheirOwnChart) {
    // Substyles that set every option these drawings read, so neither chart depends on which
    // drawing came before it.
    const Recipe recipes[2] = {
        {"Jan;Feb;Mar;Apr", "10;20;-5;40", "vbar", "auto", 64, 48},
        {"a;b;c", "1;2;3", "3dpie", "percent", 70, 56},
    };
    const h::Outcome expected[2] = {build(recipes[0]), build(recipes[1])};
    ASSERT_NE(h::findStream(expected[0].streams, "GIFf"), nullptr);
    ASSERT_NE(h::findStream(expected[1].streams, "GIFf"), nullptr);
    ASSERT_NE(*h::findStream(expected[0].streams, "GIFf"), *h::findStream(expected[1].streams, "GIFf"));

    constexpr int kRounds = 50;
    std::atomic<int> wrong[2] = {0, 0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                const h::Outcome got = build(recipes[t]);
                if (got.streams != expected[t].streams) ++wrong[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong[0].load(), 0);
    EXPECT_EQ(wrong[1].load(), 0);
}

}  // namespace
}  // namespace plotwise
