#include "tests/support/program.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plotwise::support {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plotwise-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::write(const std::string& name, const std::string& bytes) const {
    const std::string p = file(name);
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
}

std::string ScratchFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ScratchFolder::exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

std::vector<std::string> withPlugIn(std::vector<std::string> args) {
    if (!args.empty() && args[0] == "inspect") return args;
    args.insert(args.begin() + (args.empty() ? 0 : 1), {"--plugin", PLOTWISE_PLUGIN});
    return args;
}

pid_t startProgram(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& tag,
                   const std::string& input) {
    const std::string in = folder.write(tag + ".stdin", input);
    const std::string out = folder.file(tag + ".stdout"), err = folder.file(tag + ".stderr");
    std::vector<std::string> all{PLOTWISE_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.path().c_str());
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

ProgramRun finishProgram(const ScratchFolder& folder, pid_t pid, const std::string& tag) {
    ProgramRun run;
    if (pid < 0) return run;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    run.exited = WIFEXITED(status);
    if (run.exited) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = folder.read(tag + ".stdout");
    run.err = folder.read(tag + ".stderr");
    return run;
}

ProgramRun runProgram(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& input) {
    return finishProgram(folder, startProgram(folder, args, "run", input), "run");
}

ProgramRun runWithPlugIn(const ScratchFolder& folder, const std::vector<std::string>& args, const std::string& input) {
    return runProgram(folder, withPlugIn(args), input);
}

}  // namespace plotwise::support
