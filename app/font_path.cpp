#include "app/font_path.h"

#include <array>
#include <cstdlib>

namespace plotwise::app {

#ifndef PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM
#define PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM "../share/plotwise/fonts"
#endif

namespace {
// gd does not descend into sub-folders: the common font folders are named one by one.
constexpr std::array<std::string_view, 7> kSystemFontFolders{
    "/usr/share/fonts/truetype",
    "/usr/share/fonts/truetype/liberation",
    "/usr/share/fonts/truetype/liberation2",
    "/usr/share/fonts/truetype/dejavu",
    "/usr/share/fonts/TTF",
    "/usr/share/fonts",
    "/usr/local/share/fonts",
};
}  // namespace

std::string fontSearchPath(std::string_view programFolder) {
    std::string path;
    if (!programFolder.empty()) {
        // Next to the program in the build tree; where it is installed relative to the program.
        path = std::string(programFolder) + "/fonts:" + std::string(programFolder) + "/" +
               PLOTWISE_FONT_MAP_DIR_FROM_PROGRAM;
    }
    for (std::string_view folder : kSystemFontFolders) {
        if (!path.empty()) path += ':';
        path += folder;
    }
    return path;
}

}  // namespace plotwise::app
