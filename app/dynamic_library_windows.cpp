// The dynamic loader on Windows: LoadLibrary and GetProcAddress, and the program's own module
// file for its folder.
#include "app/dynamic_library.h"

#include <windows.h>

namespace plotwise::app {

const char* const kPlugInFileName = "Plotwise.fmx64";

void* openLibrary(const std::string& path, std::string& why) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) why = "Windows error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(library);
}

void* librarySymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string programFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    const std::string full(path, n);
    const std::size_t slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

}  // namespace plotwise::app
