// Times gathered from one run of the benchmarks, and the table of ratios and budgets made
// from them.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/big_arguments.h"
#include "bench/memory_use.h"

namespace plotwise::bench {

// CPU seconds per iteration of each benchmark, by name: the median of the repetitions when
// there are several. The console report is printed as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    std::optional<double> seconds(const std::string& name) const;
    // Names of benchmarks that stopped with an error.
    void markFailed(const std::string& name) { failed_.insert(name); }
    bool failed(const std::string& name) const { return failed_.count(name) != 0; }

private:
    std::map<std::string, double> seconds_;
    std::set<std::string> medians_;
    std::set<std::string> failed_;
};

// One line of the table: a case, what it is compared with, and its budget.
struct Comparison {
    enum Kind { Ratio, Percent, Seconds };  // Seconds: the case's own time, no reference
    std::string label;       // shown in the first column
    std::string measured;    // benchmark name of the case
    std::string reference;   // benchmark name of what it is compared with
    std::string referenceLabel;
    Kind kind = Ratio;
    double budget = 0;       // largest ratio (percent, seconds) allowed; 0 = no budget
    std::string without = {};  // benchmark name of a part taken out of the case's time, if any
};

struct MemoryFigures {
    std::optional<Growth> growth;
    std::optional<Growth> fontNameGrowth;  // every call naming a font never named before
    std::optional<PeakMemory> peak;
    std::vector<BigArgument> bigArguments;
};

// Prints the table; returns the number of budgets missed.
int printTable(const CollectingReporter& results, const std::vector<std::vector<Comparison>>& sections,
               const MemoryFigures& memory);

}  // namespace plotwise::bench
