// What -o and --container leave at their output path: a file written whole, a symbolic link
// still a link with its target written, a pipe or a device still what it was with the bytes
// gone through it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <future>
#include <stdexcept>
#include <string>

#include "app/file_io.h"
#include "tests/support/program.h"

namespace plotwise::app {
namespace {

using support::ScratchFolder;

enum class Kind { Regular, Link, Pipe, Device, Missing };

Kind kindOf(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return Kind::Missing;
    if (S_ISLNK(info.st_mode)) return Kind::Link;
    if (S_ISFIFO(info.st_mode)) return Kind::Pipe;
    if (S_ISCHR(info.st_mode)) return Kind::Device;
    return Kind::Regular;
}

// All a pipe's reader gets until the writer closes it.
std::string readPipe(const std::string& path) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    std::string bytes;
    for (int c; in != nullptr && (c = std::fgetc(in)) != EOF;) bytes += static_cast<char>(c);
    if (in != nullptr) std::fclose(in);
    return bytes;
}

TEST(OutputFile, SpecialFilesAreFollowedOrWrittenThrough) {
    const std::string bytes = "GIF89a picture";
    struct Case {
        const char* what;
        std::function<void(const ScratchFolder&)> make;  // what is at out.gif (and beside it) first
        Kind left;             // what out.gif is afterwards
        const char* written;   // the file that has the bytes afterwards ("" none in the folder)
        mode_t mode;           // its permissions, when it is a file the test made
    };
    const Case cases[] = {
        {"nothing", [](const ScratchFolder&) {}, Kind::Regular, "out.gif", 0},
        {"a file", [](const ScratchFolder& f) { ::chmod(f.write("out.gif", "old").c_str(), 0640); }, Kind::Regular,
         "out.gif", 0640},
        {"a link to a file",
         [](const ScratchFolder& f) {
             ::chmod(f.write("target.gif", "old").c_str(), 0600);
             ::symlink("target.gif", f.file("out.gif").c_str());
         },
         Kind::Link, "target.gif", 0600},
        {"a link to no file yet", [](const ScratchFolder& f) { ::symlink("later.gif", f.file("out.gif").c_str()); },
         Kind::Link, "later.gif", 0},
        {"a chain of links",
         [](const ScratchFolder& f) {
             f.write("end.gif", "old");
             ::symlink(f.file("middle.gif").c_str(), f.file("out.gif").c_str());
             ::symlink("end.gif", f.file("middle.gif").c_str());
         },
         Kind::Link, "end.gif", 0},
        {"a link to a device", [](const ScratchFolder& f) { ::symlink("/dev/null", f.file("out.gif").c_str()); },
         Kind::Link, "", 0},
        {"a pipe", [](const ScratchFolder& f) { ::mkfifo(f.file("out.gif").c_str(), 0600); }, Kind::Pipe, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        c.make(folder);
        const std::string out = folder.file("out.gif");
        std::future<std::string> reader;
        if (kindOf(out) == Kind::Pipe) reader = std::async(std::launch::async, readPipe, out);
        writeWholeFile(out, bytes);
        EXPECT_EQ(kindOf(out), c.left);
        if (reader.valid()) {
            EXPECT_EQ(reader.get(), bytes);
        }
        if (*c.written != '\0') {
            EXPECT_EQ(folder.read(c.written), bytes);
            struct stat info {};
            ASSERT_EQ(::stat(folder.file(c.written).c_str(), &info), 0);
            if (c.mode != 0) {
                EXPECT_EQ(info.st_mode & 07777, c.mode);
            }
        }
    }
    EXPECT_EQ(kindOf("/dev/null"), Kind::Device);
}

TEST(OutputFile, ALoopOfLinksIsRefusedAndLeftAsItWas) {
    ScratchFolder folder;
    ::symlink("b.gif", folder.file("a.gif").c_str());
    ::symlink("a.gif", folder.file("b.gif").c_str());
    EXPECT_THROW(writeWholeFile(folder.file("a.gif"), "GIF89a"), std::runtime_error);
    EXPECT_EQ(kindOf(folder.file("a.gif")), Kind::Link);
    EXPECT_EQ(kindOf(folder.file("b.gif")), Kind::Link);
}

}  // namespace
}  // namespace plotwise::app
