// GDFONTPATH for the length of a test, and scratch folders of fonts in which a font name can
// be made to mean a file of one's choosing.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/text/font_files.h"

namespace plotwise::test {

// Sets GDFONTPATH and puts the previous value (or its absence) back, each time reading it
// again as the plug-in does at the start of a call.
class FontPath {
public:
    explicit FontPath(const std::string& path) {
        if (const char* old = std::getenv("GDFONTPATH")) old_ = old, had_ = true;
        ::setenv("GDFONTPATH", path.c_str(), 1);
        refresh_font_search();
    }
    ~FontPath() {
        if (had_) ::setenv("GDFONTPATH", old_.c_str(), 1);
        else ::unsetenv("GDFONTPATH");
        refresh_font_search();
    }
    FontPath(const FontPath&) = delete;
    FontPath& operator=(const FontPath&) = delete;

private:
    std::string old_;
    bool had_ = false;
};

// A scratch folder whose entries are links, each name to a font file; removed with the object.
class FontFolder {
public:
    explicit FontFolder(const std::vector<std::pair<std::string, std::string>>& links) {
        std::string name = (std::filesystem::temp_directory_path() / "plotwise-fonts-XXXXXX").string();
        if (::mkdtemp(name.data()) != nullptr) path_ = name;
        for (const auto& [link, file] : links)
            std::filesystem::create_symlink(std::filesystem::absolute(file), path_ / link);
    }
    ~FontFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    FontFolder(const FontFolder&) = delete;
    FontFolder& operator=(const FontFolder&) = delete;
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

}  // namespace plotwise::test
