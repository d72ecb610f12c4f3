// Calls from several threads at once, and the memory of the largest PNG export.
#pragma once

#include <string>

namespace plotwise::bench {

// Registers the threaded cases: charts per second at 1, 2 and 4 threads, and the wait of a
// small chart while another thread reads 1 000 000 records (its 99th percentile as a counter).
void registerConcurrencyCases();

// The peak resident size in KiB of the plotwise program making the largest PNG export.
long largestPngExportPeakKiB(const std::string& program, bool& succeeded);

}  // namespace plotwise::bench
