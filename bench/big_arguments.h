// What a very long Xdata or Ydata argument costs one Plotz_Data call: the peak resident size
// above the process as it was just before the call (the host already holds the argument), and
// the time, each measured in a child process of its own so that no earlier peak hides it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plotwise::bench {

struct BigArgument {
    std::string name;
    std::size_t argumentBytes = 0;  // UTF-8 bytes of the long argument
    std::size_t peakBytes = 0;      // peak resident size during the call above the size before it
    double seconds = 0;
    bool ok = false;                // the call gave a container with error 10 recorded
};

// A Ydata number list of `bytes` against twelve months, and an Xdata of distinct names as long.
std::vector<BigArgument> measureBigArguments(std::size_t bytes = 100u << 20);

}  // namespace plotwise::bench
