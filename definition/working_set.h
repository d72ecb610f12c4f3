// The working definition of one call and what belongs with it: the extent of its tables that
// holds anything, and the buffer in which label streams are packed and unpacked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "definition/chart_definition.h"

namespace plotwise {

// The buffer in which label streams are packed and unpacked, and in which the earlier layout
// of the chart block is converted.
constexpr std::size_t kLabelStagingSize = 3200000;  // 100 series x 1000 labels x 32 bytes

// Starts as a freshly started plug-in has it (all zero), whatever earlier calls left. The
// 10 MB behind it are kept for the thread's next working set: clearing only the extent of the
// tables a call used keeps the start of a call cheap (a small chart clears a few kilobytes,
// not the whole 7 MB), and it happens in one place, when the working set ends.
class WorkingSet {
public:
    WorkingSet();
    ~WorkingSet();
    WorkingSet(const WorkingSet&) = delete;
    WorkingSet& operator=(const WorkingSet&) = delete;

    ChartDefinition& definition() { return *tables_->definition; }
    const ChartDefinition& definition() const { return *tables_->definition; }
    uint8_t* labelStaging() { return tables_->staging.get(); }

    // Widens the part of the series records and label tables that the end clears: rows
    // (series) and columns (values) a writer filled beyond the counts the header ends up with.
    void markTablesUsed(int series, int values);

    struct FreeDefinition {
        void operator()(ChartDefinition* definition) const;
    };
    struct Tables {
        Tables();
        std::unique_ptr<ChartDefinition, FreeDefinition> definition;
        std::unique_ptr<uint8_t[]> staging{new uint8_t[kLabelStagingSize]};
        int usedSeries = 0;
        int usedValues = 0;
    };

private:
    std::unique_ptr<Tables> tables_;
};

}  // namespace plotwise
