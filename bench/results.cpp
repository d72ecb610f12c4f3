#include "bench/results.h"

#include <cstdio>

namespace plotwise::bench {

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const std::string name = run.run_name.function_name;
        const double seconds = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "median") {
                seconds_[name] = seconds;
                medians_.insert(name);
            }
        } else if (medians_.count(name) == 0 && run.iterations > 0) {
            // Without repetitions the one run is the figure.
            seconds_[name] = seconds;
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<double> CollectingReporter::seconds(const std::string& name) const {
    if (failed(name)) return std::nullopt;
    const auto it = seconds_.find(name);
    if (it == seconds_.end()) return std::nullopt;
    return it->second;
}

namespace {

std::string duration(std::optional<double> seconds) {
    if (!seconds) return "-";
    char text[32];
    if (*seconds >= 1) std::snprintf(text, sizeof text, "%.2f s", *seconds);
    else if (*seconds >= 1e-3) std::snprintf(text, sizeof text, "%.2f ms", *seconds * 1e3);
    else if (*seconds >= 1e-6) std::snprintf(text, sizeof text, "%.2f us", *seconds * 1e6);
    else std::snprintf(text, sizeof text, "%.0f ns", *seconds * 1e9);
    return text;
}

std::string megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f MB", bytes / (1024.0 * 1024.0));
    return text;
}

constexpr const char* kRowFormat = "%-37s %11s   %-26s %11s %9s %9s  %s\n";

void printHeading() {
    std::printf(kRowFormat, "case", "time", "compared with", "its time", "ratio", "budget", "");
    std::printf("%s\n", std::string(120, '-').c_str());
}

}  // namespace

int printTable(const CollectingReporter& results, const std::vector<std::vector<Comparison>>& sections,
               const MemoryFigures& memory) {
    int missed = 0, met = 0;
    auto verdict = [&](bool ok) {
        (ok ? met : missed) += 1;
        return ok ? "ok" : "OVER BUDGET";
    };

    std::printf("\nPlotwise: cost of a call (CPU time per call, median of the repetitions)\n\n");
    printHeading();
    for (const auto& section : sections) {
        for (const Comparison& row : section) {
            auto measured = results.seconds(row.measured);
            if (measured && !row.without.empty()) {
                const auto part = results.seconds(row.without);
                measured = part ? std::optional<double>(*measured - *part) : std::nullopt;
            }
            const auto reference = results.seconds(row.reference);
            std::string ratio = "-", budget = "", status = "";
            if (row.budget > 0) {
                char text[32];
                std::snprintf(text, sizeof text, row.kind == Comparison::Percent ? "<= %.0f %%" : "<= %.1fx", row.budget);
                budget = text;
            }
            if (measured && reference && *reference > 0) {
                const double r = *measured / *reference;
                char text[32];
                if (row.kind == Comparison::Percent) std::snprintf(text, sizeof text, "%.2f %%", r * 100);
                else std::snprintf(text, sizeof text, "%.2fx", r);
                ratio = text;
                if (row.budget > 0)
                    status = verdict(row.kind == Comparison::Percent ? r * 100 <= row.budget : r <= row.budget);
            } else if (results.failed(row.measured) || results.failed(row.reference) ||
                       (!row.without.empty() && results.failed(row.without))) {
                status = "FAILED";
                if (row.budget > 0) ++missed;
            }
            if (row.kind == Comparison::Seconds) {
                char text[32];
                std::snprintf(text, sizeof text, "<= %.1f s", row.budget);
                status = measured ? verdict(*measured <= row.budget) : results.failed(row.measured) ? "FAILED" : "";
                if (!measured && results.failed(row.measured)) ++missed;
                std::printf(kRowFormat, row.label.c_str(), duration(measured).c_str(), "", "", "", text, status.c_str());
                continue;
            }
            if (row.reference.empty()) {
                std::printf(kRowFormat, row.label.c_str(), duration(measured).c_str(), "", "", "", "", "");
                continue;
            }
            std::printf(kRowFormat, row.label.c_str(), duration(measured).c_str(), row.referenceLabel.c_str(),
                        duration(reference).c_str(), ratio.c_str(), budget.c_str(), status.c_str());
        }
        std::printf("\n");
    }

    std::printf("Memory\n%s\n", std::string(120, '-').c_str());
    for (const auto& [growth, what] : {std::pair{&memory.growth, " calls after the first "},
                                       std::pair{&memory.fontNameGrowth, " calls naming a new font, after the first "}}) {
        if (!*growth) continue;
        const Growth& g = **growth;
        const double grown = static_cast<double>(g.final) - static_cast<double>(g.settled);
        const bool ok = grown < 1024.0 * 1024.0 && g.failed == 0;
        std::printf("%-52s %12s  (resident %s after %ld calls, %s after %ld, highest %s; %ld failed)  budget < 1 MB  %s\n",
                    ("growth over " + std::to_string(g.calls) + what + std::to_string(g.settleCalls)).c_str(),
                    megabytes(grown).c_str(), megabytes(static_cast<double>(g.settled)).c_str(), g.settleCalls,
                    megabytes(static_cast<double>(g.final)).c_str(), g.calls,
                    megabytes(static_cast<double>(g.highest)).c_str(), g.failed, verdict(ok));
    }
    if (memory.peak) {
        const PeakMemory& p = *memory.peak;
        if (p.scripts == 0) {
            std::printf("peak resident size of plotwise: no gallery scripts found\n");
        } else {
            const double bytes = static_cast<double>(p.peakKiB) * 1024.0;
            const bool ok = bytes < 40.0 * 1024 * 1024;
            std::printf("%-52s %12s  (largest of %d gallery scripts: %s; %d exited non-zero)  budget < 40 MB  %s\n",
                        "peak resident size of plotwise", megabytes(bytes).c_str(), p.scripts, p.script.c_str(),
                        p.failed, verdict(ok));
        }
    }
    for (const BigArgument& a : memory.bigArguments) {
        // A long argument may cost twice its own size on top of the process, and time in
        // proportion to its length.
        const double argument = static_cast<double>(a.argumentBytes), peak = static_cast<double>(a.peakBytes);
        const bool ok = a.ok && peak <= 2 * argument;
        std::printf("%-52s %12s  (argument %s, %.2f s%s)  budget <= 2x the argument  %s\n", a.name.c_str(),
                    megabytes(peak).c_str(), megabytes(argument).c_str(), a.seconds,
                    a.ok ? "" : "; the call failed", verdict(ok));
    }
    std::printf("\nBudgets: %d met, %d missed\n", met, missed);
    return missed;
}

}  // namespace plotwise::bench
