// Whole-file reading and writing with messages that name the file and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise::app {

// The bytes of a file ("-" reads standard input); throws UsageError.
std::string readWholeFile(const std::string& path);
// Writes (replaces) a file; throws UsageError.
void writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace plotwise::app
