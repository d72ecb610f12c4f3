#include "app/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

// The permissions a file made by fopen would get: those of the file it replaces, else
// read and write for everyone the umask allows.
mode_t replacementMode(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A write that failed part-way: the temporary file goes, the earlier file stays.
[[noreturn]] void writeFailed(const std::string& path, const std::string& temporary, int error) {
    ::unlink(temporary.c_str());
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(error) + "; " + path +
                             " was left as it was");
}

}  // namespace

void writeWholeFile(const std::string& path, std::string_view bytes) {
    // Written whole beside the target first and then renamed over it, so that a full disk or
    // a size limit never leaves the user's earlier file cut short.
    std::string temporary = path + ".XXXXXX";
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    File file(::fdopen(descriptor, "wb"));
    if (!file) {
        const int error = errno;
        ::close(descriptor);
        writeFailed(path, temporary, error);
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0 ||
        ::fchmod(descriptor, replacementMode(path)) != 0)
        writeFailed(path, temporary, errno);
    if (std::fclose(file.release()) != 0) writeFailed(path, temporary, errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0) writeFailed(path, temporary, errno);
}

}  // namespace plotwise::app
