// Runs a fuzz target over stored inputs without libFuzzer: every file of every folder named on
// the command line (a file may also be named directly) is handed to LLVMFuzzerTestOneInput
// once. Folders that do not exist are skipped, so a target without crashers yet still runs.
// The seed corpora and the crashers of tests/crashers/ run this way as ordinary tests.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path place(argv[i]);
        std::error_code error;
        if (std::filesystem::is_directory(place, error)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(place)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
        } else if (std::filesystem::is_regular_file(place, error)) {
            files.push_back(place);
        }
    }
    std::sort(files.begin(), files.end());  // the same order on every machine
    for (const auto& file : files) {
        const std::vector<uint8_t> bytes = readFile(file);
        std::printf("%s (%zu bytes)\n", file.string().c_str(), bytes.size());
        std::fflush(stdout);  // a crash then names its input
        // A copy in a block of exactly the file's size (never null, as libFuzzer passes it),
        // so that reading one byte past it is caught.
        const std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    }
    std::printf("%zu inputs replayed\n", files.size());
    return 0;
}
