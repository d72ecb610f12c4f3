#include "app/font_path.h"

#include <array>
#include <cstdlib>

namespace plotwise::app {

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
        path = std::string(programFolder) + "/fonts";
    }
    for (std::string_view folder : kSystemFontFolders) {
        if (!path.empty()) path += ':';
        path += folder;
    }
    return path;
}

void setFontSearchPath(std::string_view programFolder) {
    const char* given = std::getenv("GDFONTPATH");
    if (given && *given) return;
    ::setenv("GDFONTPATH", fontSearchPath(programFolder).c_str(), 1);
}

}  // namespace plotwise::app
