// The gallery's charts with their TrueType texts, drawn through the text cache, are byte for
// byte the charts gd's own text drawing gives: the first time, when the cache records, and again,
// when it copies. The definitions come from the plotwise program running each gallery script;
// the drawings are made here, with the cache off and on, with the fonts the program would find.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "driver/draw_chart.h"
#include "engine/text/text_cache.h"
#include "stand_in/fmhost.h"
#include "tests/support/container_file.h"
#include "tests/support/font_path.h"
#include "tests/support/host_values.h"
#include "tests/support/program.h"
#include "tests/support/working_set.h"

namespace plotwise::scripts {
namespace {

using namespace plotwise::support;

const std::string kGallery = std::string(PLOTWISE_SOURCE_DIR) + "/examples/gallery";

FMX_Error* noError() {
    static FMX_Error e;
    e = FMX_Error{1, 0};
    return &e;
}

// The program's font map and the usual font folders.
const std::string kProgramFonts = std::string(PLOTWISE_BINARY_DIR) +
                                  "/fonts:/usr/share/fonts/truetype/liberation:/usr/share/fonts/truetype/dejavu";

// Loads the definition streams of a container file into the working definition.
bool loadStoredDefinition(const Streams& streams) {
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(noError());
    for (const auto& [code, bytes] : streams) {
        if (code == "GIFf" || code == "SIZE") continue;
        support::addStream(binary, code, bytes.data(), bytes.size());
    }
    const bool ok = decodeDefinition(testWorkingSet(), binary);
    FM_BinaryData_Delete(binary, noError());
    return ok;
}

std::vector<uint8_t> drawWorkingDefinition() {
    settleDefinition(testDefinition());
    const std::string bytes = drawChart(testDefinition());
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

TEST(GalleryText, EveryChartIsTheSameThroughTheTextCache) {
    const test::FontPath fonts(kProgramFonts);
    const std::regex tableOption(R"calc(// options: --table (\w+)=(\S+))calc");
    unsigned long drawnInAll = 0, copiedInAll = 0;
    int charts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kGallery)) {
        if (entry.path().extension() != ".calc") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ScratchFolder folder;
        std::vector<std::string> args{"run", entry.path().string(), "--container", folder.file("chart.pwc")};
        std::smatch m;
        if (std::regex_search(text, m, tableOption)) {
            args.push_back("--table");
            args.push_back(m[1].str() + "=" + kGallery + "/" + m[2].str());
        }
        const ProgramRun run = runWithPlugIn(folder, args);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(loadStoredDefinition(readContainerFile(folder.read("chart.pwc"))));

        // A drawing leaves engine options behind for the next one: each drawing compared
        // follows one of the same chart.
        use_text_cache(false);
        drawWorkingDefinition();
        const std::vector<uint8_t> byGd = drawWorkingDefinition();
        use_text_cache(true);
        clear_text_cache();
        const std::vector<uint8_t> recorded = drawWorkingDefinition();
        const TextCacheStats before = text_cache_stats();
        const std::vector<uint8_t> copied = drawWorkingDefinition();
        const TextCacheStats after = text_cache_stats();
        drawnInAll += after.texts_drawn - before.texts_drawn;
        copiedInAll += after.stamps_copied - before.stamps_copied;
        ASSERT_FALSE(byGd.empty());
        EXPECT_TRUE(recorded == byGd) << "drawn the first time through the cache";
        EXPECT_TRUE(copied == byGd) << "drawn again through the cache";
        ++charts;
    }
    EXPECT_GE(charts, 40);
    // Most texts of a chart drawn again are copies; those over bars, lines or slices are not.
    EXPECT_GT(copiedInAll, drawnInAll * 3 / 4);
}

}  // namespace
}  // namespace plotwise::scripts
