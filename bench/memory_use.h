// Memory the plug-in costs a host: resident size of this process as calls go on, and the
// peak resident size of the plotwise program running the gallery's scripts (which also
// gives the gallery's pictures to other measurements).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise::bench {

// Resident bytes of this process now (/proc/self/statm); 0 when it cannot be read.
std::size_t residentBytes();

struct Growth {
    long calls = 0;             // calls made in all
    long settleCalls = 0;       // calls made before the first measurement
    std::size_t settled = 0;    // resident bytes after settleCalls
    std::size_t final = 0;      // resident bytes after all calls
    std::size_t highest = 0;    // largest resident size seen after settling
    long failed = 0;            // calls that did not give what they should
};

// Makes `calls` calls of `call(i)` (false: the call failed) and measures the resident size
// after the first `settleCalls` and after the last.
Growth measureGrowth(long calls, long settleCalls, const std::function<bool(long)>& call);

struct PeakMemory {
    std::string script;         // the script with the largest peak
    long peakKiB = 0;           // its peak resident size
    int scripts = 0;            // scripts run
    int failed = 0;             // scripts whose run did not succeed
};

// The option that makes this program a small launcher measuring one command's peak:
// "plotwise_bench --measure-peak FOLDER COMMAND..." prints "KIB STATUS".
constexpr std::string_view kMeasurePeakOption = "--measure-peak";
int measurePeakMain(int argc, char** argv);

// The peak resident size in KiB of `command` run in `folder`; `succeeded` tells whether it
// exited with status 0.
long measuredPeak(const std::vector<std::string>& command, const std::filesystem::path& folder, bool& succeeded);

// Runs `program` on every *.calc script of `galleryFolder` as the gallery does (its
// "// options:" line, -o to a picture) and reports the largest peak resident size.
PeakMemory galleryPeakMemory(const std::string& program, const std::string& galleryFolder);

// The GIF of every gallery script's result, as the plotwise program writes it (-o NAME.gif);
// scripts that fail are left out.
std::vector<std::vector<uint8_t>> galleryPictures(const std::string& program, const std::string& galleryFolder);

}  // namespace plotwise::bench
