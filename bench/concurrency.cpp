// Calls from several threads: charts per second on the drawing cases at 1, 2 and 4 threads,
// the wait of a small chart while another thread reads 1 000 000 records, and the peak memory
// of the largest PNG export.
#include "bench/concurrency.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/chart_cases.h"
#include "bench/memory_use.h"
#include "bench/record_table.h"

namespace plotwise::bench {
namespace {

constexpr int kReaderRecords = 1000000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

void registerConcurrencyCases() {
    // The drawing cases drawn by N threads at once, each its own copy of the arguments (made
    // one thread at a time: the copies read the shared values), in turn: charts per second of
    // wall time over all threads.
    auto cases = std::make_shared<std::vector<DrawCase>>(drawCases());
    benchmark::RegisterBenchmark("threads/charts per second", [cases](benchmark::State& state) {
        const int threads = static_cast<int>(state.range(0));
        constexpr int kChartsPerThread = 120;
        const Function plotzDraw("Plotz_Draw");
        std::vector<std::vector<std::unique_ptr<Arguments>>> calls(static_cast<std::size_t>(threads));
        for (auto& list : calls)
            for (const DrawCase& c : *cases) {
                list.push_back(std::make_unique<Arguments>());
                list.back()->value(*c.definition).number(c.width).number(c.height);
            }
        for (auto _ : state) {
            const Clock::time_point start = Clock::now();
            std::vector<std::thread> running;
            for (int t = 0; t < threads; ++t)
                running.emplace_back([&, t] {
                    Value result;
                    const auto& list = calls[static_cast<std::size_t>(t)];
                    for (int i = 0; i < kChartsPerThread; ++i)
                        plotzDraw(*list[static_cast<std::size_t>(i + t) % list.size()], result);
                });
            for (std::thread& thread : running) thread.join();
            state.counters["charts_per_s"] = threads * kChartsPerThread / (millisecondsSince(start) / 1000);
        }
    })->Arg(1)->Arg(2)->Arg(4)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

    // A small chart drawn over and over while another thread reads a field of 1 000 000
    // records: the 99th percentile of its wall time, and the longest.
    auto orders = std::make_shared<OrderTable>(kReaderRecords);
    benchmark::RegisterBenchmark("threads/small chart beside 1000000 records", [orders](benchmark::State& state) {
        const Function plotzNew("Plotz_New"), plotzData("Plotz_Data"), plotzDraw("Plotz_Draw");
        Value chart, small;
        callForContainer(plotzNew, Arguments(), chart);
        Arguments smallArgs;
        smallArgs.value(chart).text("a;b;c").text("3;5;4").number(0x3060C0).text("S");
        callForContainer(plotzData, smallArgs, small);
        Arguments draw;
        draw.value(small).number(200).number(150);
        Arguments reading;
        reading.value(chart).text("Orders::Month").text("Orders::Amount").number(0x3060C0).text("Amount");
        orders->install();
        for (auto _ : state) {
            std::atomic<bool> reading_done{false};
            double readerMs = 0;
            std::thread reader([&] {
                const Clock::time_point start = Clock::now();
                Value result;
                plotzData(reading, result);
                readerMs = millisecondsSince(start);
                reading_done = true;
            });
            std::vector<double> waits;
            Value drawn;
            while (!reading_done) {
                const Clock::time_point start = Clock::now();
                plotzDraw(draw, drawn);
                waits.push_back(millisecondsSince(start));
            }
            reader.join();
            std::sort(waits.begin(), waits.end());
            const std::size_t p99 = waits.empty() ? 0 : std::min(waits.size() - 1, waits.size() * 99 / 100);
            state.counters["p99_ms"] = waits.empty() ? 0 : waits[p99];
            state.counters["max_ms"] = waits.empty() ? 0 : waits.back();
            state.counters["charts"] = static_cast<double>(waits.size());
            state.counters["reader_ms"] = readerMs;
        }
        OrderTable::uninstall();
    })->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
}

long largestPngExportPeakKiB(const std::string& program, bool& succeeded) {
    // The largest PNG an export makes: 8192 x 8192 output pixels (64 megapixels).
    const std::vector<std::string> command{
        program, "eval",
        "Plotz_Export ( Plotz_Draw ( Plotz_Data ( \"a;b;c\" ; \"3;5;4\" ; 255 ) ; 4096 ; 4096 ) ; \"png\" ; 2 )"};
    return measuredPeak(command, std::filesystem::temp_directory_path(), succeeded);
}

}  // namespace plotwise::bench
