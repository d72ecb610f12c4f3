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
#include "app/file_replace.h"

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

// A write that failed part-way: the temporary file goes, the earlier file stays.
[[noreturn]] void writeFailed(const std::string& path, const std::string& temporary, int error) {
    ::unlink(temporary.c_str());
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(error) + "; " + path +
                             " was left as it was");
}

// The file a path names once its symbolic links are followed: the link's target, wherever a
// chain of links leads (also to a file that does not exist yet). Throws when the chain loops.
std::string followLinks(std::string path) {
    constexpr int kMostLinks = 40;  // as the kernel allows
    for (int k = 0; k < kMostLinks; ++k) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        target.resize(static_cast<std::size_t>(length));
        const std::size_t slash = path.rfind('/');
        path = target.front() == '/' || slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
    }
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(ELOOP));
}

// Writes the bytes into what is there, a pipe or a device, as a shell's ">" does.
void writeThrough(const std::string& path, std::string_view bytes) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() || std::fflush(file.get()) != 0)
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    if (std::fclose(file.release()) != 0) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
}

}  // namespace

void writeWholeFile(const std::string& given, std::string_view bytes) {
    // A symbolic link stays: the file it leads to is written. A pipe or a device stays: the
    // bytes go through it.
    const std::string path = followLinks(given);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
        writeThrough(path, bytes);
        return;
    }
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
        !keepPermissionsOf(path, descriptor))
        writeFailed(path, temporary, errno);
    if (std::fclose(file.release()) != 0) writeFailed(path, temporary, errno);
    if (!replaceFile(temporary, path)) writeFailed(path, temporary, errno);
}

}  // namespace plotwise::app
