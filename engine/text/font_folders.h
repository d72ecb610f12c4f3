// Where this platform keeps its fonts: gd's folders when GDFONTPATH is not set, the separator
// of a search path, and the files of the fallback fonts for characters a chosen font lacks.
// One implementation per platform (font_folders_posix.cpp, font_folders_windows.cpp), chosen
// by the build.
#pragma once

#include <string>
#include <vector>

namespace plotwise {

// The character between the folders of a search path (GDFONTPATH): ':' or ';', as gd reads it.
char font_path_separator();

// The folders gd searches when GDFONTPATH is not set, joined by font_path_separator().
const std::string& default_font_path();

// The files of the fallback fonts that are installed, in the order they are tried.
std::vector<std::string> find_fallback_font_files();

}  // namespace plotwise
