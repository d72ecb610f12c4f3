// Whole-file reading and writing with messages that name the file and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plotwise::app {

// The bytes of a file ("-" reads standard input); throws UsageError.
std::string readWholeFile(const std::string& path);
// Writes (replaces) a file through a temporary file beside it, renamed into place once whole;
// throws std::runtime_error, leaving an earlier file as it was, when it cannot. A symbolic link
// at the path is followed (its target is written, the link stays); a pipe or a device there is
// written through as it is (the bytes go to its reader), never replaced by a file.
void writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace plotwise::app
