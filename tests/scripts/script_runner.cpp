#include "script_runner.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include <gd.h>

extern char** environ;

namespace plotwise::scripts {

Folder::Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plotwise-scripts-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no scratch folder");
    path_ = pattern;
}

Folder::~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string Folder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
    return path(name);
}

std::string Folder::read(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ProgramRun plotwise(const Folder& folder, const std::string& command, const std::vector<std::string>& args) {
    std::vector<std::string> all{PLOTWISE_PROGRAM, command, "--plugin", PLOTWISE_PLUGIN};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);

    const std::string out = folder.path(".stdout"), err = folder.path(".stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (rc != 0) return run;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return run;
    }
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    run.out = folder.read(".stdout");
    run.err = folder.read(".stderr");
    return run;
}

namespace {

uint32_t le32(const std::string& bytes, std::size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

}  // namespace

Streams readContainerFile(const std::string& bytes) {
    Streams streams;
    if (bytes.size() < 12 || bytes.compare(0, 4, "PWCF") != 0) return streams;
    const uint32_t count = le32(bytes, 8);
    std::size_t at = 12;
    for (uint32_t i = 0; i < count && at + 8 <= bytes.size(); ++i) {
        const std::string code = bytes.substr(at, 4);
        const uint32_t size = le32(bytes, at + 4);
        at += 8;
        if (at + size > bytes.size()) break;
        streams.emplace_back(code, std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + size));
        at += size;
    }
    return streams;
}

const std::vector<uint8_t>* stream(const Streams& streams, const std::string& code) {
    for (const auto& s : streams) {
        if (s.first == code) return &s.second;
    }
    return nullptr;
}

StoredChart storedChart(const Streams& streams) {
    StoredChart chart;
    const std::vector<uint8_t>* block = stream(streams, "CHHD");
    const std::vector<uint8_t>* series = stream(streams, "SERS");
    if (block == nullptr || block->size() != sizeof(ChartBlock) || series == nullptr) return chart;
    std::memcpy(&chart.block, block->data(), sizeof(ChartBlock));
    const std::size_t n = series->size() / sizeof(SeriesRecord);
    auto records = std::make_unique<SeriesRecord[]>(n);
    if (n > 0) std::memcpy(records.get(), series->data(), n * sizeof(SeriesRecord));  // an empty stream has no data()
    chart.series.assign(records.get(), records.get() + n);
    chart.ok = true;
    return chart;
}

std::pair<int, int> pngSize(const std::string& bytes) {
    if (bytes.empty()) return {0, 0};
    gdImagePtr image = gdImageCreateFromPngPtr(static_cast<int>(bytes.size()), const_cast<char*>(bytes.data()));
    if (image == nullptr) return {0, 0};
    const std::pair<int, int> size{gdImageSX(image), gdImageSY(image)};
    gdImageDestroy(image);
    return size;
}

}  // namespace plotwise::scripts
