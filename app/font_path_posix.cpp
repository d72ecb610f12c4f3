// The font map in front of gd's font search, through GDFONTPATH, unless the user set it.
#include "app/font_path.h"

#include <cstdlib>

namespace plotwise::app {

void setFontSearchPath(std::string_view programFolder) {
    const char* given = std::getenv("GDFONTPATH");
    if (given && *given) return;
    ::setenv("GDFONTPATH", fontSearchPath(programFolder).c_str(), 1);
}

}  // namespace plotwise::app
