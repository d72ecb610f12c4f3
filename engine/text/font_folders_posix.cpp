// Fonts on Linux: gd's own folders, ':' between folders, and the fallback fonts fontconfig
// finds by family.
#include "engine/text/font_folders.h"

#include <array>

#include "engine/text/font_files.h"

namespace plotwise {

namespace {

// Tried in this order for a character the chosen font lacks.
constexpr std::array<const char*, 3> kFallbackFamilies{
    "DejaVu Sans",          // Latin, Greek, Cyrillic, Arabic, Hebrew, Armenian, Georgian, symbols
    "Droid Sans Fallback",  // Chinese and Japanese
    "NanumGothic",          // Korean (Droid Sans Fallback has no Hangul)
};

}  // namespace

char font_path_separator() { return ':'; }

const std::string& default_font_path() {
    static const std::string path =
        "/usr/X11R6/lib/X11/fonts/TrueType:/usr/X11R6/lib/X11/fonts/truetype:/usr/X11R6/lib/X11/fonts/TTF:"
        "/usr/share/fonts/TrueType:/usr/share/fonts/truetype:/usr/openwin/lib/X11/fonts/TrueType:"
        "/usr/X11R6/lib/X11/fonts/Type1:/usr/lib/X11/fonts/Type1:/usr/openwin/lib/X11/fonts/Type1";
    return path;
}

std::vector<std::string> find_fallback_font_files() {
    std::vector<std::string> files;
    for (const char* family : kFallbackFamilies) {
        std::string file = find_font_file(installed_family_file(family).c_str());
        if (!file.empty()) files.push_back(std::move(file));
    }
    return files;
}

}  // namespace plotwise
