// Putting a file written beside its target in the target's place, as the platform allows.
// One implementation per platform (file_replace_posix.cpp, file_replace_windows.cpp).
#pragma once

#include <string>

namespace plotwise::app {

// Gives the open file `descriptor` the permissions a file made by fopen at `path` would have:
// those of the file there, else read and write for everyone the umask allows. False (errno
// set) when that fails.
bool keepPermissionsOf(const std::string& path, int descriptor);

// Moves `temporary` over `path` in one step, replacing a file there. False (errno set) when
// that fails.
bool replaceFile(const std::string& temporary, const std::string& path);

}  // namespace plotwise::app
