// Calls from several threads: charts per second on the drawing cases at 1, 2 and 4 threads,
// the wait of a small chart while another thread reads 1 000 000 records, and the peak memory
// of the largest PNG export.
#include "bench/concurrency.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
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
    // The drawing cases, shared read-only; each thread copies its arguments once (under a lock:
    // the copies read the shared values) and then draws them in turn.
    auto cases = std::make_shared<std::vector<DrawCase>>(drawCases());
    auto copying = std::make_shared<std::mutex>();
    const Function plotzDraw("Plotz_Draw");
    benchmark::RegisterBenchmark("threads/charts of the drawing cases", [cases, copying, plotzDraw](benchmark::State& state) {
        std::vector<std::unique_ptr<Arguments>> calls;
        {
            const std::lock_guard<std::mutex> guard(*copying);
            for (const DrawCase& c : *cases) {
                calls.push_back(std::make_unique<Arguments>());
                calls.back()->value(*c.definition).number(c.width).number(c.height);
            }
        }
        Value result;
        std::size_t next = static_cast<std::size_t>(state.thread_index());
        for (auto _ : state) {
            plotzDraw(*calls[next % calls.size()], result);
            ++next;
        }
        state.SetItemsProcessed(state.iterations());  // charts
    })->Threads(1)->Threads(2)->Threads(4)->UseRealTime()->Unit(benchmark::kMillisecond);

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
