#include "definition/working_set.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

namespace plotwise {
namespace {

// Brings the tables back to all zero, clearing the extent that holds anything.
void clear(WorkingSet::Tables& t) {
    ChartDefinition& d = *t.definition;
    const ChartHeader& h = d.header();
    const int series = std::max(t.usedSeries, static_cast<int>(std::min<uint32_t>(h.seriesCount, kMaxSeries)));
    const int values = std::max(t.usedValues, static_cast<int>(std::min<uint32_t>(h.valueCount, kMaxValues)));
    std::memset(&d.block, 0, sizeof d.block);
    std::memset(d.series, 0, static_cast<std::size_t>(series) * sizeof(SeriesRecord));
    for (int s = 0; s < series; ++s) {
        std::memset(d.xLabel[s], 0, static_cast<std::size_t>(values) * kLabelSize);
        std::memset(d.yLabel[s], 0, static_cast<std::size_t>(values) * kLabelSize);
    }
    // Plotz_Data fills the record after the last in use before it counts it, and a call that
    // ends early leaves it filled but not counted: that record is cleared whole.
    if (series < kMaxSeries) {
        std::memset(&d.series[series], 0, sizeof(SeriesRecord));
        std::memset(d.xLabel[series], 0, sizeof d.xLabel[series]);
        std::memset(d.yLabel[series], 0, sizeof d.yLabel[series]);
    }
    t.usedSeries = t.usedValues = 0;
}

// Cleared tables kept for the thread's next working set: memory only, never a value. Two
// cover a call and a call nested in it; deeper nesting makes its own.
constexpr std::size_t kSpareTables = 2;

std::vector<std::unique_ptr<WorkingSet::Tables>>& spareTables() {
    thread_local std::vector<std::unique_ptr<WorkingSet::Tables>> spares;
    return spares;
}

}  // namespace

// A definition all zero, from calloc: a block that large comes as fresh pages that the system
// zeroes when they are first touched, so a thread pays for the pages its charts use rather
// than for writing 7 MB of zeros before its first call. calloc's bytes are the definition (a
// type of plain fields, made by the allocation).
static_assert(std::is_trivially_default_constructible_v<ChartDefinition> && std::is_trivially_destructible_v<ChartDefinition>);
WorkingSet::Tables::Tables() {
    void* bytes = std::calloc(1, sizeof(ChartDefinition));
    if (bytes == nullptr) throw std::bad_alloc();
    definition.reset(static_cast<ChartDefinition*>(bytes));
}

void WorkingSet::FreeDefinition::operator()(ChartDefinition* definition) const { std::free(definition); }

WorkingSet::WorkingSet() {
    auto& spares = spareTables();
    if (spares.empty()) {
        tables_ = std::make_unique<Tables>();
    } else {
        tables_ = std::move(spares.back());
        spares.pop_back();
    }
}

WorkingSet::~WorkingSet() {
    clear(*tables_);
    auto& spares = spareTables();
    if (spares.size() < kSpareTables) {
        try {
            spares.push_back(std::move(tables_));
        } catch (...) {
            // No room to keep them: they are freed.
        }
    }
}

void WorkingSet::markTablesUsed(int series, int values) {
    tables_->usedSeries = std::clamp(series, tables_->usedSeries, kMaxSeries);
    tables_->usedValues = std::clamp(values, tables_->usedValues, kMaxValues);
}

}  // namespace plotwise
