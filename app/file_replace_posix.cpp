// Replacing a file on POSIX systems: the permissions copied with fchmod, the file renamed over
// its target.
#include "app/file_replace.h"

#include <cstdio>
#include <sys/stat.h>

namespace plotwise::app {

bool keepPermissionsOf(const std::string& path, int descriptor) {
    struct stat info {};
    mode_t mode = 0;
    if (::stat(path.c_str(), &info) == 0) {
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(descriptor, mode) == 0;
}

bool replaceFile(const std::string& temporary, const std::string& path) {
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace plotwise::app
