// The dynamic loader on POSIX systems: dlopen, and /proc/self/exe for the program's folder.
#include "app/dynamic_library.h"

#include <climits>
#include <dlfcn.h>
#include <unistd.h>

namespace plotwise::app {

const char* const kPlugInFileName = "Plotwise.fmx";

void* openLibrary(const std::string& path, std::string& why) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = ::dlerror();
        why = reason != nullptr ? reason : "unknown reason";
    }
    return library;
}

void* librarySymbol(void* library, const char* name) { return ::dlsym(library, name); }

bool fileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string programFolder() {
    char path[PATH_MAX + 1] = {};
    const ssize_t n = ::readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) return {};
    std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.find_last_of('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

}  // namespace plotwise::app
