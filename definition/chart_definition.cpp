#include "definition/chart_definition.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "boundary/boundary.h"

namespace plotwise {
namespace {

// A definition all zero, from calloc: a block that large comes as fresh pages that the system
// zeroes when they are first touched, so a thread pays for the pages its charts use rather
// than for writing 7 MB of zeros before its first call. calloc's bytes are the definition (a
// type of plain fields, made by the allocation).
struct FreeDefinition {
    void operator()(ChartDefinition* definition) const { std::free(definition); }
};
static_assert(std::is_trivially_default_constructible_v<ChartDefinition> && std::is_trivially_destructible_v<ChartDefinition>);
ChartDefinition* zeroedDefinition() {
    void* bytes = std::calloc(1, sizeof(ChartDefinition));
    if (bytes == nullptr) throw std::bad_alloc();
    return static_cast<ChartDefinition*>(bytes);
}

// A thread's working definition (7 MB, allocated once per thread) and the extent of its tables
// that holds anything. Clearing only that extent keeps the start of a call cheap: a small
// chart clears a few kilobytes, not the whole 7 MB.
struct WorkingSet {
    std::unique_ptr<ChartDefinition, FreeDefinition> definition{zeroedDefinition()};
    int usedSeries = 0;
    int usedValues = 0;
    uint64_t call = 0;

    void clear() {
        ChartDefinition& d = *definition;
        const ChartHeader& h = d.header();
        const int series = std::max(usedSeries, static_cast<int>(std::min<uint32_t>(h.seriesCount, kMaxSeries)));
        const int values = std::max(usedValues, static_cast<int>(std::min<uint32_t>(h.valueCount, kMaxValues)));
        std::memset(&d.block, 0, sizeof d.block);
        std::memset(d.series, 0, static_cast<std::size_t>(series) * sizeof(SeriesRecord));
        for (int s = 0; s < series; ++s) {
            std::memset(d.xLabel[s], 0, static_cast<std::size_t>(values) * kLabelSize);
            std::memset(d.yLabel[s], 0, static_cast<std::size_t>(values) * kLabelSize);
        }
        // Plotz_Data fills the record after the last in use before it counts it, and a call
        // that ends early leaves it filled but not counted: that record is cleared whole.
        if (series < kMaxSeries) {
            std::memset(&d.series[series], 0, sizeof(SeriesRecord));
            std::memset(d.xLabel[series], 0, sizeof d.xLabel[series]);
            std::memset(d.yLabel[series], 0, sizeof d.yLabel[series]);
        }
        usedSeries = usedValues = 0;
    }
};

WorkingSet& workingSet() {
    thread_local WorkingSet set;
    return set;
}

}  // namespace

ChartDefinition& workingDefinition() {
    WorkingSet& set = workingSet();
    if (firstUseInCall(set.call)) set.clear();
    return *set.definition;
}

void markTablesUsed(int series, int values) {
    WorkingSet& set = workingSet();
    set.usedSeries = std::clamp(series, set.usedSeries, kMaxSeries);
    set.usedValues = std::clamp(values, set.usedValues, kMaxValues);
}

}  // namespace plotwise
