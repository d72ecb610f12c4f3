// Running the plotwise program as a user does, and reading what it leaves: container files
// (written and read here independently of the program's own reader), the chart block of a
// container, and its GIF picture. Shared by the hostile-input and the limits tests.
#pragma once

#include <gd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "definition/chart_definition.h"

extern char** environ;

namespace plotwise::endtoend {

// ---- Container files ---------------------------------------------------------------------

// Streams in order: four-character type code and bytes.
using Streams = std::vector<std::pair<std::string, std::string>>;

inline void putWord(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline uint32_t word(const std::string& bytes, std::size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

// "PWCF", version 1, the count, then type, length and bytes of each stream.
inline std::string containerFile(const Streams& streams) {
    std::string out = "PWCF";
    putWord(out, 1);
    putWord(out, static_cast<uint32_t>(streams.size()));
    for (const auto& [type, bytes] : streams) {
        out += (type + "    ").substr(0, 4);
        putWord(out, static_cast<uint32_t>(bytes.size()));
        out += bytes;
    }
    return out;
}

// Reads a well-formed container file; throws std::runtime_error otherwise.
inline Streams readContainerFile(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "PWCF") != 0) throw std::runtime_error("not a container file");
    const uint32_t count = word(bytes, 8);
    Streams streams;
    std::size_t at = 12;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes.size() - at < 8) throw std::runtime_error("truncated stream header");
        const std::string type = bytes.substr(at, 4);
        const uint32_t length = word(bytes, at + 4);
        at += 8;
        if (bytes.size() - at < length) throw std::runtime_error("truncated stream");
        streams.emplace_back(type, bytes.substr(at, length));
        at += length;
    }
    if (at != bytes.size()) throw std::runtime_error("bytes after the last stream");
    return streams;
}

inline const std::string* findStream(const Streams& streams, const std::string& type) {
    for (const auto& stream : streams) {
        if (stream.first == type) return &stream.second;
    }
    return nullptr;
}

// The chart block of a container; all zero when it has no whole "CHHD" stream.
inline ChartBlock chartBlock(const Streams& streams) {
    ChartBlock block{};
    const std::string* bytes = findStream(streams, "CHHD");
    if (bytes != nullptr && bytes->size() == sizeof block) std::memcpy(&block, bytes->data(), sizeof block);
    return block;
}

// ---- Pictures ------------------------------------------------------------------------------

struct Picture {
    bool decoded = false;
    int width = 0, height = 0;
    std::vector<uint32_t> palette;  // 0xRRGGBB, in palette order
};

inline Picture decodeGif(const std::string& gif) {
    Picture picture;
    if (gif.empty()) return picture;
    gdImagePtr image = gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<char*>(gif.data()));
    if (image == nullptr) return picture;
    picture.decoded = true;
    picture.width = gdImageSX(image);
    picture.height = gdImageSY(image);
    for (int i = 0; i < gdImageColorsTotal(image); ++i) {
        picture.palette.push_back((static_cast<uint32_t>(gdImageRed(image, i)) << 16) |
                                  (static_cast<uint32_t>(gdImageGreen(image, i)) << 8) |
                                  static_cast<uint32_t>(gdImageBlue(image, i)));
    }
    gdImageDestroy(image);
    return picture;
}

// The error picture is a 3D pie of seven slices in fixed colours, each followed in the palette
// by its half-intensity shade: no chart a script draws allocates that run of fourteen colours.
inline bool isErrorPie(const Picture& picture) {
    static constexpr uint32_t kSlices[] = {0xFF4040, 0x80FF80, 0x8080FF, 0xFF80FF, 0xFFFF80, 0x80FFFF, 0x0080FF};
    std::vector<uint32_t> run;
    for (uint32_t c : kSlices) {
        run.push_back(c);
        run.push_back(((c >> 1) & 0x7F0000) | ((c >> 1) & 0x007F00) | ((c >> 1) & 0x00007F));
    }
    for (std::size_t i = 0; i + run.size() <= picture.palette.size(); ++i) {
        if (std::equal(run.begin(), run.end(), picture.palette.begin() + static_cast<std::ptrdiff_t>(i))) return true;
    }
    return false;
}

// ---- Running the program -------------------------------------------------------------------

// A scratch folder, removed with its files when the object goes.
class Scratch {
public:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "plotwise-robust-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
        path_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }

private:
    std::string path_;
};

struct Outcome {
    bool exited = false;  // false: the program was ended by a signal (a crash)
    int status = -1;      // exit status when it exited
    int signal = 0;
    std::string out, err;
};

// Starts PLOTWISE_PROGRAM with `args` (the plug-in given with --plugin after the command)
// in `folder`; returns its process id, or -1. Standard output and error go to files named
// after `tag`.
inline pid_t startProgram(const Scratch& folder, const std::vector<std::string>& args, const std::string& tag) {
    std::vector<std::string> all{PLOTWISE_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    if (all.size() >= 2 && all[1] != "inspect") all.insert(all.begin() + 2, {"--plugin", PLOTWISE_PLUGIN});
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = folder.file(tag + ".out"), err = folder.file(tag + ".err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.file("").c_str());
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

inline Outcome finishProgram(const Scratch& folder, pid_t pid, const std::string& tag) {
    Outcome run;
    if (pid < 0) return run;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    run.exited = WIFEXITED(status);
    if (run.exited) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    run.out = folder.read(tag + ".out");
    run.err = folder.read(tag + ".err");
    return run;
}

inline Outcome runProgram(const Scratch& folder, const std::vector<std::string>& args, const std::string& tag = "run") {
    return finishProgram(folder, startProgram(folder, args, tag), tag);
}

}  // namespace plotwise::endtoend
