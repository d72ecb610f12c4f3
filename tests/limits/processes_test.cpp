// Two plotwise processes at once, each drawing its own chart a hundred times: pictures are
// kept in each process's memory, so no process ever gets the other's picture. Every drawing
// of a run is described (its streams and their sizes) and must match the description of that
// chart drawn alone; the last container must be the chart drawn alone, byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/container_file.h"
#include "tests/support/program.h"

namespace plotwise::endtoend {
namespace {

using namespace support;

constexpr int kDrawings = 100;

// A script that draws `chart` kDrawings times, each drawing from the previous one's container,
// and gives the descriptions of all drawings, one after the other (or the last container).
std::string drawingsScript(const std::string& chart, int width, int height, bool lastContainer = false) {
    std::string script = "Let ( [ c = " + chart + " ; seen = \"\"";
    for (int i = 0; i < kDrawings; ++i) {
        script += " ; c = Plotz_Draw ( c ; " + std::to_string(width) + " ; " + std::to_string(height) + " )";
        script += " ; seen = seen & ContainerAnalysis ( c ; \"analysis\" )";
    }
    return script + (lastContainer ? " ] ; c )" : " ] ; seen )");
}

std::string oneDrawing(const std::string& chart, int width, int height) {
    return "Plotz_Draw ( " + chart + " ; " + std::to_string(width) + " ; " + std::to_string(height) + " )";
}

TEST(Processes, TwoProcessesDrawingAtOnceEachKeepTheirOwnPictures) {
    const std::string charts[2] = {
        "Plotz_Style ( Plotz_Data ( Plotz_New ; \"Jan;Feb;Mar\" ; \"10;20;30\" ; 16711680 ; \"A\" ) ; \"vbar\" )",
        "Plotz_Style ( Plotz_Data ( Plotz_New ; \"a;b;c;d\" ; \"4;3;2;1\" ; 255 ; \"B\" ) ; \"3dpie\" )",
    };
    const int sizes[2][2] = {{64, 48}, {90, 70}};
    ScratchFolder scratch;

    // Each chart drawn alone, in a process of its own.
    std::string alone[2], aloneDescription[2];
    for (int p = 0; p < 2; ++p) {
        const std::string tag = "alone" + std::to_string(p);
        scratch.write(tag + ".calc", oneDrawing(charts[p], sizes[p][0], sizes[p][1]));
        const ProgramRun drawn = runWithPlugIn(scratch, {"run", tag + ".calc", "--container", tag + ".pwcf"});
        ASSERT_EQ(drawn.status, 0) << drawn.err;
        alone[p] = scratch.read(tag + ".pwcf");
        scratch.write(tag + "-analysis.calc", "ContainerAnalysis ( $c ; \"analysis\" )");
        const ProgramRun described =
            runWithPlugIn(scratch, {"run", tag + "-analysis.calc", "--var", "c=@" + tag + ".pwcf"});
        ASSERT_EQ(described.status, 0) << described.err;
        aloneDescription[p] = described.out;
        ASSERT_NE(aloneDescription[p].find("Giff"), std::string::npos);
    }
    ASSERT_NE(aloneDescription[0], aloneDescription[1]);  // the two pictures differ in size

    // Both at once.
    pid_t pids[2];
    for (int p = 0; p < 2; ++p) {
        const std::string tag = "many" + std::to_string(p);
        scratch.write(tag + ".calc", drawingsScript(charts[p], sizes[p][0], sizes[p][1]));
        pids[p] = startProgram(scratch, withPlugIn({"run", tag + ".calc"}), tag);
        ASSERT_GT(pids[p], 0);
    }
    for (int p = 0; p < 2; ++p) {
        const std::string tag = "many" + std::to_string(p);
        const ProgramRun run = finishProgram(scratch, pids[p], tag);
        ASSERT_TRUE(run.exited) << "ended by signal " << run.signal;
        ASSERT_EQ(run.status, 0) << run.err;
        // The printed text shows each description's line ends; the whole is the description of
        // the chart drawn alone, a hundred times over (the last line end printed once more).
        std::string expected;
        const std::string one = aloneDescription[p].substr(0, aloneDescription[p].size() - 1);
        for (int i = 0; i < kDrawings; ++i) expected += one;
        EXPECT_EQ(run.out, expected + "\n") << "process " << p;
    }

    // The last drawing of each, kept as a container, is the chart drawn alone.
    for (int p = 0; p < 2; ++p) {
        const std::string tag = "last" + std::to_string(p);
        scratch.write(tag + ".calc", drawingsScript(charts[p], sizes[p][0], sizes[p][1], true));
        pids[p] = startProgram(scratch, withPlugIn({"run", tag + ".calc", "--container", tag + ".pwcf"}), tag);
    }
    for (int p = 0; p < 2; ++p) {
        const std::string tag = "last" + std::to_string(p);
        const ProgramRun run = finishProgram(scratch, pids[p], tag);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(scratch.read(tag + ".pwcf"), alone[p]) << "process " << p;
    }
}

}  // namespace
}  // namespace plotwise::endtoend
