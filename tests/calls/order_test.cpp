// Every example and gallery script, and crafted containers that lack streams or have short
// ones, run one after another in one process: each stored container is byte for byte what a
// fresh process stores for it, in forward and in reverse order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "definition/chart_definition.h"
#include "tests/support/container_file.h"
#include "tests/support/example_scripts.h"
#include "tests/support/program.h"

namespace plotwise {
namespace {

using namespace support;
namespace fs = std::filesystem;

using Case = ScriptRun;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CallOrder, EveryResultIsTheResultOfAFreshProcess) {
    ScratchFolder folder;
    // A chart with a named series, value texts and pie colours, drawn right before each of the
    // containers made from a plain chart that lack a stream or hold a short one: drawn, each
    // must show only what it holds.
    const char* const kSecret =
        "Plotz_PieColors ( Plotz_Style ( Plotz_Data ( \"a;b;c\" ; \"7;8;9\" ; 255 ; \"SECRET\" ) ; \"vbar\" ;"
        " \"top\" ) ; 255 ; 65280 ; 16711680 ; 65535 )";
    ASSERT_EQ(runWithPlugIn(folder, {"eval", kSecret, "--container", folder.file("secret.pwc")}).status, 0);
    const char* const kPlain = "Plotz_Data ( \"x;y\" ; \"1;2\" ; 0 )";
    ASSERT_EQ(runWithPlugIn(folder, {"eval", kPlain, "--container", folder.file("plain.pwc")}).status, 0);
    const Streams plain = readContainerFile(folder.read("plain.pwc"));
    const Case secret{"secret", {"eval", "Plotz_Draw ( $c ; 300 ; 200 )", "--var", "c=@" + folder.file("secret.pwc")}};
    std::vector<Case> crafted;
    const struct {
        const char* name;
        const char* code;
        long size;
    } kCrafted[] = {
        {"no-SERS", "SERS", -1}, {"short-SERS", "SERS", 300},   {"no-LABS", "LABS", -1},
        {"no-LABY", "LABY", -1}, {"short-CHHD", "CHHD", sizeof(ChartHeader)},
    };
    for (const auto& c : kCrafted) {
        const std::string file =
            folder.write(std::string(c.name) + ".pwc", containerFile(cutStream(plain, c.code, c.size)));
        crafted.push_back(secret);
        crafted.push_back({c.name, {"eval", "Plotz_Draw ( $c ; 300 ; 200 )", "--var", "c=@" + file}});
    }
    crafted.push_back(secret);
    crafted.push_back({"new", {"eval", "Plotz_New"}});

    std::vector<Case> sequence = crafted;
    const std::vector<Case> scripts = exampleScripts(PLOTWISE_SOURCE_DIR);
    sequence.insert(sequence.end(), scripts.begin(), scripts.end());
    sequence.insert(sequence.end(), scripts.rbegin(), scripts.rend());

    int index = 0;
    for (const Case& c : sequence) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--container", folder.file("fresh.pwc")});
        const ProgramRun fresh = runWithPlugIn(folder, args);
        args.back() = folder.file("here.pwc");
        args.insert(args.begin() + 1, {"--plugin", PLOTWISE_PLUGIN});
        std::ostringstream out, err;
        const int status = app::runProgram(args, out, err);
        EXPECT_EQ(status, fresh.status) << c.name << ": " << err.str();
        EXPECT_TRUE(fileBytes(folder.file("here.pwc")) == folder.read("fresh.pwc"))
            << c.name << " (step " << index << ") differs from its fresh-process result";
        fs::remove(folder.file("here.pwc"));
        fs::remove(folder.file("fresh.pwc"));
        ++index;
    }
}

}  // namespace
}  // namespace plotwise
