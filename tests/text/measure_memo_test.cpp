// Text measurement remembers what FreeType measured. A remembered size must belong to the same
// font, point size and text; a failure is not remembered, so a font that appears later is used
// from the next call on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/text/font_files.h"
#include "engine/text/text_color.h"
#include "tests/support/font_path.h"

namespace plotwise {
namespace {

namespace fs = std::filesystem;

const fs::path kFontMap = fs::path(PLOTWISE_BINARY_DIR) / "fonts";

using test::FontPath;

bool fontMapHas(const char* name) { return fs::exists(kFontMap / name); }

bool operator==(TextSize a, TextSize b) { return a.width == b.width && a.height == b.height; }

// The built-in font of size class 2 is 6 pixels wide and 12 high per character.
constexpr TextSize builtinSize(int characters) { return TextSize{6 * characters, 12}; }

TEST(MeasureMemo, RemembersPerFontSizeAndText) {
    if (!fontMapHas("Times.ttf") || !fontMapHas("Courier New.ttf")) GTEST_SKIP() << "no Liberation fonts";
    FontPath path(kFontMap.string());
    const TextSize small = measure_text("Jan", 2, "Times.ttf", 10);
    const TextSize large = measure_text("Jan", 2, "Times.ttf", 30);
    const TextSize longer = measure_text("January", 2, "Times.ttf", 10);
    const TextSize serif = measure_text("iiiiiiii", 2, "Times.ttf", 20);
    const TextSize mono = measure_text("iiiiiiii", 2, "Courier New.ttf", 20);
    // Each of them is a FreeType measurement, not the built-in font's.
    EXPECT_FALSE(small == builtinSize(3));
    EXPECT_GT(large.width, 2 * small.width);
    EXPECT_GT(longer.width, small.width);
    EXPECT_GT(mono.width, serif.width);  // i is narrow in a serif font, not in a monospaced one
    // Asked again, in another order, every text gets its own size back.
    EXPECT_TRUE(measure_text("iiiiiiii", 2, "Courier New.ttf", 20) == mono);
    EXPECT_TRUE(measure_text("January", 2, "Times.ttf", 10) == longer);
    EXPECT_TRUE(measure_text("Jan", 2, "Times.ttf", 30) == large);
    EXPECT_TRUE(measure_text("Jan", 2, "Times.ttf", 10) == small);
    EXPECT_TRUE(measure_text("iiiiiiii", 2, "Times.ttf", 20) == serif);
    EXPECT_TRUE(probe_font("Times.ttf", 10) == measure_text("test", 2, "Times.ttf", 10));
}

TEST(MeasureMemo, AFontThatAppearsLaterIsUsed) {
    if (!fontMapHas("Times.ttf")) GTEST_SKIP() << "no Liberation fonts";
    char folderTemplate[] = "/tmp/plotwise-fonts-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const fs::path folder = folderTemplate;
    {
        FontPath path(folder.string());
        std::string status;
        EXPECT_TRUE(measure_text("Later", 2, "Arriving.ttf", 12, &status) == builtinSize(5));
        EXPECT_FALSE(status.empty());
        fs::copy_file(fs::canonical(kFontMap / "Times.ttf"), folder / "Arriving.ttf");
        refresh_font_search();  // as the plug-in does at the start of its next call
        const TextSize found = measure_text("Later", 2, "Arriving.ttf", 12, &status);
        EXPECT_TRUE(status.empty()) << status;
        EXPECT_FALSE(found == builtinSize(5));
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace plotwise
