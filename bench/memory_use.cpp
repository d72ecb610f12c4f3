#include "bench/memory_use.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace plotwise::bench {

std::size_t residentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    if (!(statm >> size >> resident)) return 0;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

Growth measureGrowth(long calls, long settleCalls, const std::function<bool(long)>& call) {
    Growth g;
    g.calls = calls;
    g.settleCalls = std::min(settleCalls, calls);
    for (long i = 0; i < g.settleCalls; ++i) g.failed += call(i) ? 0 : 1;
    g.settled = g.highest = residentBytes();
    for (long i = g.settleCalls; i < calls; ++i) {
        g.failed += call(i) ? 0 : 1;
        if ((i & 63) == 0) g.highest = std::max(g.highest, residentBytes());
    }
    g.final = residentBytes();
    g.highest = std::max(g.highest, g.final);
    return g;
}

namespace {

// The words of the script's "// options:" line; NAME=FILE words point into the gallery.
std::vector<std::string> scriptOptions(const std::filesystem::path& script, const std::filesystem::path& folder) {
    std::vector<std::string> options;
    std::ifstream in(script);
    std::string line;
    const std::string marker = "// options:";
    while (std::getline(in, line)) {
        if (line.rfind(marker, 0) != 0) continue;
        std::istringstream words(line.substr(marker.size()));
        std::string word;
        while (words >> word) {
            const std::size_t equals = word.find('=');
            if (equals != std::string::npos && std::filesystem::exists(folder / word.substr(equals + 1)))
                word = word.substr(0, equals + 1) + (folder / word.substr(equals + 1)).string();
            options.push_back(word);
        }
    }
    return options;
}

// Runs `command` in `folder` with its output going to `output` (a descriptor, -1 for none) and
// waits for it; its peak resident KiB, -1 when it could not be started.
long runAndWait(const std::vector<std::string>& command, const std::filesystem::path& folder, int output,
                bool& succeeded) {
    std::vector<char*> argv;
    for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(output >= 0 ? output : null, 1);
            dup2(null, 2);
        }
        if (chdir(folder.c_str()) != 0) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return usage.ru_maxrss;  // KiB on Linux
}

// The peak of a command, measured by a fresh, small copy of this program: a child forked from
// a large process would count the parent's resident pages in its own peak.

}  // namespace

long measuredPeak(const std::vector<std::string>& command, const std::filesystem::path& folder, bool& succeeded) {
    std::vector<std::string> launcher{"/proc/self/exe", std::string(kMeasurePeakOption), folder.string()};
    launcher.insert(launcher.end(), command.begin(), command.end());
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    bool launched = false;
    runAndWait(launcher, folder, pipeEnds[1], launched);
    close(pipeEnds[1]);
    std::string answer;
    char buffer[64];
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], buffer, sizeof buffer)) > 0) answer.append(buffer, static_cast<std::size_t>(got));
    close(pipeEnds[0]);
    long kib = -1;
    int status = 1;
    if (std::sscanf(answer.c_str(), "%ld %d", &kib, &status) != 2) return -1;
    succeeded = status == 0;
    return kib;
}

// Runs every gallery script through the program, each writing its picture to one scratch file
// of the given extension, and hands `each` the script, the command and the picture's path.
// False when the gallery, the program or the scratch folder is missing.
template <typename Each>
bool runGalleryScripts(const std::string& program, const std::string& galleryFolder, const char* extension,
                       Each each) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(galleryFolder, ec) || !fs::exists(program, ec)) return false;
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(galleryFolder, ec))
        if (entry.path().extension() == ".calc") scripts.push_back(entry.path());
    std::sort(scripts.begin(), scripts.end());

    char folderTemplate[] = "/tmp/plotwise-bench-XXXXXX";
    const char* outFolder = mkdtemp(folderTemplate);
    if (outFolder == nullptr) return false;
    const fs::path picture = fs::path(outFolder) / (std::string("picture") + extension);
    for (const fs::path& script : scripts) {
        std::vector<std::string> command{program, "run", script.string()};
        for (const std::string& option : scriptOptions(script, galleryFolder)) command.push_back(option);
        command.push_back("-o");
        command.push_back(picture.string());
        fs::remove(picture, ec);
        each(script, command, picture);
    }
    fs::remove_all(outFolder, ec);
    return true;
}

PeakMemory galleryPeakMemory(const std::string& program, const std::string& galleryFolder) {
    PeakMemory peak;
    runGalleryScripts(program, galleryFolder, ".png",
                      [&](const std::filesystem::path& script, const std::vector<std::string>& command,
                          const std::filesystem::path&) {
                          bool succeeded = false;
                          const long kib = measuredPeak(command, galleryFolder, succeeded);
                          ++peak.scripts;
                          if (!succeeded) ++peak.failed;
                          if (kib > peak.peakKiB) {
                              peak.peakKiB = kib;
                              peak.script = script.filename().string();
                          }
                      });
    return peak;
}

std::vector<std::vector<uint8_t>> galleryPictures(const std::string& program, const std::string& galleryFolder) {
    std::vector<std::vector<uint8_t>> pictures;
    runGalleryScripts(program, galleryFolder, ".gif",
                      [&](const std::filesystem::path&, const std::vector<std::string>& command,
                          const std::filesystem::path& picture) {
                          bool succeeded = false;
                          runAndWait(command, galleryFolder, -1, succeeded);
                          std::ifstream in(picture, std::ios::binary);
                          std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                                     std::istreambuf_iterator<char>());
                          if (succeeded && !bytes.empty()) pictures.push_back(std::move(bytes));
                      });
    return pictures;
}

int measurePeakMain(int argc, char** argv) {
    // argv: program, the option, the folder, then the command.
    if (argc < 4) return 2;
    std::vector<std::string> command(argv + 3, argv + argc);
    bool succeeded = false;
    const long kib = runAndWait(command, argv[2], -1, succeeded);
    std::printf("%ld %d\n", kib, succeeded ? 0 : 1);
    return kib < 0 ? 1 : 0;
}

}  // namespace plotwise::bench
