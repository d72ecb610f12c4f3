// Fonts on Windows: the system's fonts folder (%WINDIR%\Fonts) and the user's own
// (%LOCALAPPDATA%\Microsoft\Windows\Fonts), ';' between folders as gd reads them there, and
// the fallback fonts Windows ships, by file.
#include "engine/text/font_folders.h"

#include <array>
#include <cstdlib>

#include <windows.h>

#include "engine/text/font_files.h"

namespace plotwise {

namespace {

// Tried in this order for a character the chosen font lacks; those not installed are skipped.
constexpr std::array<const char*, 5> kFallbackFiles{
    "segoeui.ttf",   // Segoe UI: Latin, Greek, Cyrillic, Arabic, Hebrew, Armenian, Georgian
    "seguiemj.ttf",  // Segoe UI Emoji
    "msyh.ttc",      // Microsoft YaHei: Chinese and Japanese
    "malgun.ttf",    // Malgun Gothic: Korean
    "arialuni.ttf",  // Arial Unicode MS, where Office installed it
};

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::vector<std::string> fontFolders() {
    std::vector<std::string> folders;
    std::string windows = environment("WINDIR");
    if (windows.empty()) windows = environment("SystemRoot");
    if (windows.empty()) windows = "C:\\Windows";
    folders.push_back(windows + "\\Fonts");
    const std::string local = environment("LOCALAPPDATA");
    if (!local.empty()) folders.push_back(local + "\\Microsoft\\Windows\\Fonts");
    return folders;
}

bool isFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

char font_path_separator() { return ';'; }

const std::string& default_font_path() {
    static const std::string path = [] {
        std::string joined;
        for (const std::string& folder : fontFolders()) {
            if (!joined.empty()) joined += ';';
            joined += folder;
        }
        return joined;
    }();
    return path;
}

std::vector<std::string> find_fallback_font_files() {
    std::vector<std::string> files;
    const std::vector<std::string> folders = fontFolders();
    for (const char* name : kFallbackFiles) {
        for (const std::string& folder : folders) {
            const std::string file = folder + "/" + name;
            if (isFile(file)) {
                files.push_back(find_font_file(file.c_str()));
                break;
            }
        }
    }
    return files;
}

}  // namespace plotwise
