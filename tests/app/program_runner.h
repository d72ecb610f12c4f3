// Runs the built plotwise program in a scratch folder and collects what it printed.
#pragma once

#include <string>
#include <vector>

namespace plotwise::app::testing {

struct Outcome {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// A scratch folder, removed with its files when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes a file in the folder and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    std::string path_;
};

// Runs PLOTWISE_PROGRAM with `args` in `folder`, feeding `input` to standard input.
Outcome runProgram(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& input = "");

// The same with "--plugin PLOTWISE_PLUGIN" added after the command.
Outcome runWithPlugIn(const ScratchFolder& folder, std::vector<std::string> args, const std::string& input = "");

}  // namespace plotwise::app::testing
