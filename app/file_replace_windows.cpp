// Replacing a file on Windows: a new file there takes the folder's permissions, and rename
// does not replace an existing file, MoveFileEx does.
#include "app/file_replace.h"

#include <cerrno>

#include <windows.h>

namespace plotwise::app {

bool keepPermissionsOf(const std::string&, int) { return true; }

bool replaceFile(const std::string& temporary, const std::string& path) {
    if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}

}  // namespace plotwise::app
