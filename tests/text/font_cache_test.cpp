// The font caches of a long-running host: a face a text is being cut into runs with stays open
// however many other fonts are opened meanwhile, and every cache stays within its budget
// however many font names the callers make up.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/text/font_fallback.h"
#include "engine/text/font_files.h"
#include "engine/text/text_color.h"
#include "tests/support/font_path.h"

namespace plotwise {
namespace {

namespace fs = std::filesystem;

const std::string kSans = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const std::string kDroid = "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf";
const std::string kNanum = "/usr/share/fonts/truetype/nanum/NanumGothic.ttf";

// A scratch folder holding one copy of a font file under many names (hard links: each name is a
// file of its own, not a link that resolves to another).
class ManyFonts {
public:
    ManyFonts(const std::string& font, int count) {
        std::string name = (fs::temp_directory_path() / "plotwise-many-fonts-XXXXXX").string();
        if (::mkdtemp(name.data()) == nullptr) return;
        folder_ = name;
        fs::copy_file(font, folder_ / "0.ttf");
        for (int k = 1; k < count; ++k) fs::create_hard_link(folder_ / "0.ttf", folder_ / (std::to_string(k) + ".ttf"));
    }
    ~ManyFonts() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string file(int k) const { return (folder_ / (std::to_string(k) + ".ttf")).string(); }

private:
    fs::path folder_;
};

// Fonts opened before a text that needs the fallback fonts: the fallback fonts are opened
// while the chosen font's face is in use, when the face cache is full or nearly so. Each
// count runs on a fresh thread, whose face cache starts empty.
TEST(FontCache, AFaceInUseStaysOpenWhileOtherFontsAreOpened) {
    for (const std::string& f : {kSans, kDroid, kNanum})
        if (!fs::exists(f)) GTEST_SKIP() << "fonts not installed";
    const ManyFonts fonts(kSans, 70);
    for (int opened = 56; opened <= 66; ++opened) {
        std::vector<FontRun> runs;
        std::thread([&] {
            for (int k = 0; k < opened; ++k) font_runs(fonts.file(k).c_str(), "a");
            runs = font_runs(kSans.c_str(), "a中a한a中");
        }).join();
        ASSERT_EQ(runs.size(), 6u) << opened;
        EXPECT_EQ(runs[1].text, "中");
        EXPECT_EQ(fs::canonical(runs[3].font), fs::canonical(kNanum));
    }
}

// GDFONTPATH unset for the length of a test, and read again as a call does.
class NoFontPath {
public:
    NoFontPath() {
        if (const char* old = std::getenv("GDFONTPATH")) old_ = old, had_ = true;
        ::unsetenv("GDFONTPATH");
        refresh_font_search();
    }
    ~NoFontPath() {
        if (had_) ::setenv("GDFONTPATH", old_.c_str(), 1);
        refresh_font_search();
    }

private:
    std::string old_;
    bool had_ = false;
};

// Every spelling of a font file is that one file, as a canonical path; what is not a readable
// font file is no file at all.
TEST(FontCache, AFontNameIsOneCanonicalFile) {
    if (!fs::exists(kSans)) GTEST_SKIP() << "fonts not installed";
    const std::string sans = fs::canonical(kSans).string();
    const std::string folder = fs::path(kSans).parent_path().string();
    const std::string pipe = (fs::temp_directory_path() / ("plotwise-font-pipe-" + std::to_string(::getpid()))).string();
    ::mkfifo(pipe.c_str(), 0600);
    const test::FontPath path(folder);
    const struct {
        std::string name;
        std::string file;
    } cases[] = {
        {kSans, sans},
        {folder + "/./LiberationSans-Regular.ttf", sans},
        {folder + "//../liberation/LiberationSans-Regular.ttf", sans},
        {"LiberationSans-Regular.ttf", sans},  // along GDFONTPATH, with its ending
        {"LiberationSans-Regular", sans},      // gd's endings tried
        {"missing.ttf;" + kSans, sans},        // the first of a list that is found
        {"missing.ttf", ""},
        {"Arial.ttf", ""},  // GDFONTPATH set: its folders only
        {folder, ""},       // a folder
        {pipe, ""},         // a pipe would block the drawing
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(find_font_file(c.name.c_str()), c.file) << c.name;
    fs::remove(pipe);
}

// Without GDFONTPATH, the names the program's font map lists stand for the same files through
// fontconfig: the metric-compatible Liberation fonts for the Windows fonts.
TEST(FontCache, WindowsFontNamesAreTheFontMapsFilesWithoutAFontPath) {
    const fs::path map = fs::path(PLOTWISE_BINARY_DIR) / "fonts";
    if (!fs::exists(map / "Arial.ttf")) GTEST_SKIP() << "the font map has no Liberation fonts";
    const NoFontPath unset;
    int names = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(map)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(find_font_file(name.c_str()), fs::canonical(entry.path()).string()) << name;
        ++names;
    }
    EXPECT_GE(names, 40);
    EXPECT_EQ(find_font_file("NoSuchFontAnywhere.ttf"), "");  // fontconfig's stand-ins are not taken
}

// However many names the callers make up, the name table and the face table stay within their
// budgets; spellings of one file open one face, names of no file open none.
TEST(FontCache, TheTablesStayWithinTheirBudgets) {
    if (!fs::exists(kSans)) GTEST_SKIP() << "fonts not installed";
    const std::string folder = fs::path(kSans).parent_path().string();
    std::thread([&] {
        for (int k = 0; k < 3000; ++k) {
            std::string spelled = folder;
            for (int dots = k % 100; dots >= 0; --dots) spelled += "/.";
            spelled += "/LiberationSans-Regular.ttf";
            const std::string missing = folder + "/missing-" + std::to_string(k) + ".ttf";
            ASSERT_GT(measure_text("Sales", 2, spelled.c_str(), 12).width, 0);
            measure_text("Sales", 2, missing.c_str(), 12);
            const FontNameStats names = font_name_stats();
            ASSERT_LE(names.names, kFontNameBudget);
            ASSERT_LE(names.bytes, kFontNameBytes);
            ASSERT_EQ(font_face_stats().faces, 1u);
        }
    }).join();
    const ManyFonts fonts(kSans, 40);
    std::thread([&] {
        for (int k = 0; k < 40; ++k) {
            font_runs(fonts.file(k).c_str(), "a");
            ASSERT_LE(font_face_stats().faces, kFontFaceBudget);
        }
        EXPECT_EQ(font_face_stats().faces, kFontFaceBudget);
    }).join();
}

}  // namespace
}  // namespace plotwise
