// A working set starts all zero, whatever the working set before it on the thread left in its
// tables: the counted series and values, rows and columns marked beyond the counts, and the
// record after the last counted one.
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "definition/working_set.h"

namespace plotwise {
namespace {

bool allZero(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    return p[0] == 0 && std::memcmp(p, p + 1, size - 1) == 0;
}

TEST(WorkingSet, StartsAllZeroWhateverTheOneBeforeLeft) {
    struct Row {
        const char* name;
        uint32_t seriesCount, valueCount;  // the header's counts
        int markedSeries, markedValues;    // marked beyond them
        int series, value;                 // the cell written
    } rows[] = {
        {"counted", 3, 40, 0, 0, 2, 39},
        {"marked series", 1, 40, 5, 0, 4, 10},
        {"marked values", 3, 10, 0, 600, 1, 599},
        {"the record after the counted ones", 3, 10, 0, 0, 3, 999},
        {"the last record", 100, 1000, 0, 0, 99, 999},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        {
            WorkingSet set;
            ChartDefinition& d = set.definition();
            d.header().seriesCount = row.seriesCount;
            d.header().valueCount = row.valueCount;
            set.markTablesUsed(row.markedSeries, row.markedValues);
            d.series[row.series].color = 1;
            d.series[row.series].y[row.value] = 2;
            d.xLabel[row.series][row.value][0] = 'x';
            d.yLabel[row.series][row.value][5] = 'y';
        }
        // Two at once: the one just given back and one more, as a nested call has.
        WorkingSet outer, nested;
        for (const WorkingSet* set : {&outer, &nested})
            EXPECT_TRUE(allZero(&set->definition(), sizeof(ChartDefinition)));
    }
}

}  // namespace
}  // namespace plotwise
