#include "app/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <sys/stat.h>

#include "app/diagnostics.h"

namespace plotwise::app {

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace

std::string readWholeFile(const std::string& path) {
    if (path == "-") {
        std::string bytes((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
        if (std::cin.bad()) throw UsageError("cannot read standard input");
        return bytes;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw UsageError("cannot read " + path + ": it is a folder");
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) throw UsageError("cannot read " + path + ": " + std::strerror(errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer) break;
    }
    if (std::ferror(file.get())) throw UsageError("cannot read " + path + ": " + std::strerror(errno));
    return bytes;
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) throw UsageError("cannot write " + path + ": " + std::strerror(errno));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        throw UsageError("cannot write " + path + ": " + std::strerror(errno));
    if (std::fclose(file.release()) != 0) throw UsageError("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace plotwise::app
