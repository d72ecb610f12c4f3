// Running the built plotwise program as a user does: a scratch folder to work in, the program
// started with chosen arguments and standard input, and what it printed and how it ended.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace plotwise::support {

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
    // The bytes of a file in the folder; empty when there is none.
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::string path_;
};

// How one run of the program ended and what it printed.
struct ProgramRun {
    bool exited = false;  // false: the program was ended by a signal (a crash) or never started
    int status = -1;      // exit status when it exited
    int signal = 0;       // the signal that ended it
    std::string out, err;
};

// The arguments with "--plugin PLOTWISE_PLUGIN" after the command; "inspect" loads no plug-in
// and is left as it is.
std::vector<std::string> withPlugIn(std::vector<std::string> args);

// Starts PLOTWISE_PROGRAM with `args` in `folder` (its working folder), `input` on its standard
// input; returns its process id, or -1. Its standard streams go to files named after `tag`, so
// that several runs can go on at once.
pid_t startProgram(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& tag,
                   const std::string& input = "");
// Waits for a started run to end and collects its output.
ProgramRun finishProgram(const ScratchFolder& folder, pid_t pid, const std::string& tag);

ProgramRun runProgram(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& input = "");
// The same with the built plug-in (see withPlugIn).
ProgramRun runWithPlugIn(const ScratchFolder& folder, const std::vector<std::string>& args,
                         const std::string& input = "");

}  // namespace plotwise::support
