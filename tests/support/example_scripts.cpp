#include "tests/support/example_scripts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace plotwise::support {

namespace fs = std::filesystem;

namespace {

// The options a script names in its "// options:" line, file names made absolute.
std::vector<std::string> scriptOptions(const fs::path& script) {
    std::ifstream in(script);
    std::vector<std::string> options;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("// options:", 0) != 0) continue;
        std::istringstream words(line.substr(11));
        for (std::string word; words >> word;) {
            const std::size_t eq = word.find('=');
            if (eq != std::string::npos && fs::exists(script.parent_path() / word.substr(eq + 1)))
                word = word.substr(0, eq + 1) + (script.parent_path() / word.substr(eq + 1)).string();
            options.push_back(word);
        }
    }
    return options;
}

}  // namespace

std::vector<ScriptRun> exampleScripts(const std::string& sourceDir) {
    std::vector<ScriptRun> runs;
    for (const char* folder : {"examples", "examples/gallery", "examples/real_data"}) {
        std::vector<fs::path> scripts;
        for (const auto& entry : fs::directory_iterator(fs::path(sourceDir) / folder))
            if (entry.path().extension() == ".calc") scripts.push_back(entry.path());
        std::sort(scripts.begin(), scripts.end());
        for (const fs::path& script : scripts) {
            std::vector<std::string> args{"run", script.string()};
            for (std::string& option : scriptOptions(script)) args.push_back(std::move(option));
            runs.push_back({script.filename().string(), args});
        }
    }
    return runs;
}

}  // namespace plotwise::support
