// Calls from several threads at once. Every call works on state of its own thread that starts
// from the start-up values, and no lock of the plug-in is held while the host evaluates: four
// threads drawing a mix of charts (and crafted containers) in different orders get the same
// bytes as one thread does, and a host whose evaluation takes a lock of its own, while another
// of its threads calls the plug-in under that lock, does not deadlock. Start-up and shutdown
// while calls run leave every call whole.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "definition/chart_definition.h"
#include "engine/text/text_color.h"
#include "tests/support/plugin_calls.h"

extern "C" void FMExternCallProc(FMX_ExternCallStruct* record);

namespace plotwise {
namespace {

namespace h = support;

class Threads : public ::testing::Test {
protected:
    // A failed start is checked in every test: a failure in the suite's set-up would only skip them.
    static void SetUpTestSuite() { started = h::startPlugIn(); }
    static inline intptr_t started = 0;
    void SetUp() override { ASSERT_EQ(started, kFMX_CurrentVersion); }
};

h::Outcome chart(const char* x, const char* y, const char* style, const char* substyle, const char* name = "S") {
    h::Outcome c = h::call(Plotz_Data, {h::text(x), h::text(y), h::number(0x3050F0), h::text(name)});
    c = h::call(Plotz_Style, {h::container(c.streams), h::text(style), h::text(substyle)});
    c = h::call(Plotz_Font, {h::container(c.streams), h::text("charttitle"), h::text("none.ttf"), h::number(0)});
    return h::call(Plotz_Draw, {h::container(c.streams), h::number(90), h::number(60)});
}

h::Outcome drawn(const h::Streams& streams, int width, int height) {
    return h::call(Plotz_Draw, {h::container(streams), h::number(width), h::number(height)});
}

// Charts whose results depend on nothing but their own arguments; the crafted containers
// lack streams or have short ones, which a call must fill from the start-up state.
std::vector<h::Outcome (*)()> recipes() {
    return {
        [] { return chart("Jan;Feb;Mar;Apr", "10;20;-5;40", "vbar", "top", "SECRET"); },
        [] { return chart("Jan;Feb;Mar", "3;2;1", "vbar", ""); },
        [] {
            const h::Outcome c = chart("a;b;c", "1;2;3", "pie", "");
            return drawn(h::call(Plotz_PieColors, {h::container(c.streams), h::number(0xFF0000), h::number(0x00FF00)})
                             .streams, 80, 60);
        },
        [] { return drawn(chart("p;q;r", "4;5;6", "pie", "").streams, 80, 60); },
        [] { return drawn(h::cutStream(chart("a;b", "1;2", "line", "").streams, "SERS", -1), 70, 50); },
        [] { return drawn(h::cutStream(chart("a;b", "1;2", "line", "").streams, "SERS", 300), 70, 50); },
        [] { return drawn(h::cutStream(chart("a;b", "1;2", "hbar", "").streams, "LABS", -1), 70, 50); },
        [] {
            return drawn(h::cutStream(chart("a;b", "1;2", "area", "").streams, "CHHD", sizeof(ChartHeader)), 70, 50);
        },
    };
}

TEST_F(Threads, AFontThatCannotBeFoundMeasuresTheSameFromFourThreads) {
    // gd reads the message of a failed font from its shared cache: under another thread's
    // text the failure could read as success with an empty box.
    const TextSize alone = measure_text("p\n27%", 0, "no-such-font.ttf", 8);
    ASSERT_GT(alone.width, 0);
    std::vector<int> wrong(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 1000; ++i) {
                // Another text between: each is measured anew (failures are not remembered).
                measure_text("q\n33%", 0, "no-such-font.ttf", 8);
                const TextSize size = measure_text("p\n27%", 0, "no-such-font.ttf", 8);
                if (size.width != alone.width || size.height != alone.height) ++wrong[t];
            }
        });
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

TEST_F(Threads, FourThreadsInAnyOrderGetTheBytesOfOneThread) {
    const auto all = recipes();
    std::vector<h::Outcome> expected;
    for (auto recipe : all) expected.push_back(recipe());
    for (const h::Outcome& e : expected) ASSERT_TRUE(e.isContainer());

    constexpr int kThreads = 4, kRounds = 6;
    std::vector<int> wrong(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Each thread its own order, so every recipe follows different ones.
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t i = 0; i < all.size(); ++i) {
                    const std::size_t k = (i * (2 * t + 1) + static_cast<std::size_t>(round + t)) % all.size();
                    if (all[k]().streams != expected[k].streams) ++wrong[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

TEST_F(Threads, StartUpAndShutdownWhileCallsRunLeaveEveryCallWhole) {
    const h::Outcome expected = chart("a;b;c", "1;2;3", "vbar", "");
    std::atomic<bool> drawing{true};
    std::vector<int> wrong(2, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            while (drawing)
                if (chart("a;b;c", "1;2;3", "vbar", "").streams != expected.streams) ++wrong[t];
        });
    }
    // The host shuts the plug-in down and starts it again while the calls go on.
    static FMX_ExternCallStruct record{};
    fmhost_init_call_record(&record, FMExternCallProc, nullptr);
    for (int round = 0; round < 20; ++round) {
        record.whichCall = kFMXT_Shutdown;
        FMExternCallProc(&record);
        record.whichCall = kFMXT_Init;
        FMExternCallProc(&record);
        const intptr_t answer = record.result;  // the record is packed: read into an aligned copy
        EXPECT_EQ(answer, kFMX_CurrentVersion);
    }
    drawing = false;
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(wrong[0] + wrong[1], 0);
}

// The host's own lock, taken by its evaluation and by a host thread around its calls.
std::mutex gHostLock;

int16_t evaluateUnderLock(void*, const char* expression, FMX_Data* result) {
    const std::lock_guard<std::mutex> guard(gHostLock);
    // "GetNthRecord ( T::F ; n )": three records, 1, 2 and 3.
    const char* n = std::strrchr(expression, ';');
    const long record = n != nullptr ? std::strtol(n + 1, nullptr, 10) : 0;
    if (record < 1 || record > 3) return 401;
    FMX_FixPt* number = FM_FixPt_Constructor1(static_cast<int32_t>(record), 16, nullptr);
    FM_Data_SetAsNumber(result, number, kFMX_Number, nullptr);
    FM_FixPt_Delete(number, nullptr);
    return 0;
}

TEST_F(Threads, AHostEvaluatingUnderItsOwnLockDoesNotDeadlock) {
    fmhost_set_evaluate_hook(evaluateUnderLock, nullptr);
    FMX_ExprEnv* env = fmhost_env_create();
    constexpr int kRounds = 40;
    std::thread reader([&] {
        for (int i = 0; i < kRounds; ++i) {
            const h::Outcome o = h::call(Plotz_Data, {h::text("a;b;c"), h::text("T::F"), h::number(0)}, env);
            EXPECT_TRUE(o.isContainer());
        }
    });
    std::thread caller([&] {
        for (int i = 0; i < kRounds; ++i) {
            const std::lock_guard<std::mutex> guard(gHostLock);
            EXPECT_TRUE(h::call(Plotz_New, {}).isContainer());
        }
    });
    reader.join();
    caller.join();
    fmhost_env_delete(env);
    fmhost_set_evaluate_hook(nullptr, nullptr);
}

}  // namespace
}  // namespace plotwise
