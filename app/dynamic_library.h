// What the program needs of the platform's dynamic loader: opening the plug-in, finding its
// entry point, and the folder the program itself was started from. One implementation per
// platform (dynamic_library_posix.cpp, dynamic_library_windows.cpp).
#pragma once

#include <string>

namespace plotwise::app {

// The file name of the plug-in on this platform: Plotwise.fmx, or Plotwise.fmx64 on Windows.
extern const char* const kPlugInFileName;

// Opens a shared library; null, with the loader's reason in `why`, when it cannot.
void* openLibrary(const std::string& path, std::string& why);

// The address of an exported symbol of a library from openLibrary, or null.
void* librarySymbol(void* library, const char* name);

// True when a file exists at the path.
bool fileExists(const std::string& path);

// The folder of the running program, without a trailing separator; "" when it cannot be told.
std::string programFolder();

}  // namespace plotwise::app
