// Font names are texts from stored charts and scripts. A name that is a path to something
// other than a file - a pipe, a device, a folder - is never handed to FreeType: the text is
// drawn in the built-in font instead. A pipe with no writer would otherwise block the drawing,
// and the host with it, for ever.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/text/text_color.h"
#include "tests/support/plugin_calls.h"

namespace plotwise {
namespace {

namespace h = support;

// Runs `body` in a child process whose exit status is the body's result. A body that blocks
// is ended by an alarm, so the test reports it instead of waiting with it.
template <typename Body>
void expectChildSucceeds(Body body, const char* what) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(120);
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << what << ": ended by signal " << WTERMSIG(status) << " (blocked?)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << what;
}

class FontFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/plotwise-fonts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        pipe_ = folder_ + "/pipe.ttf";
        ASSERT_EQ(mkfifo(pipe_.c_str(), 0600), 0);
    }
    void TearDown() override {
        unlink(pipe_.c_str());
        rmdir(folder_.c_str());
    }
    std::string folder_, pipe_;
};

TEST_F(FontFiles, PathsToAnythingButAFileMeasureInTheBuiltInFont) {
    load_font_table();
    const std::string pipe = pipe_, folder = folder_;
    expectChildSucceeds(
        [&] {
            bool ok = true;
            for (const std::string& name : {pipe, folder, std::string("/dev/zero"), std::string("/dev/null")}) {
                const TextSize probe = probe_font(name.c_str(), 12);
                // Two lines in the small class: 6 pixels per character, 12 per line.
                const TextSize size = measure_text("ab\ncde", 2, name.c_str(), 12);
                ok = ok && probe.width == 0 && probe.height == 0 && size.width == 18 && size.height == 24;
            }
            return ok;
        },
        "measuring");
}

TEST_F(FontFiles, AChartWhoseFontIsAPipeIsDrawn) {
    ASSERT_EQ(h::startPlugIn(), kFMX_CurrentVersion);
    const std::string pipe = pipe_;
    expectChildSucceeds(
        [&] {
            h::Outcome c = h::call(Plotz_Data, {h::text("a;b"), h::text("1;2"), h::number(255)});
            for (const char* type : {"charttitle", "pielabels", "xaxistexts", "yaxistexts"}) {
                c = h::call(Plotz_Font, {h::container(c.streams), h::text(type), h::text(pipe), h::number(12)});
            }
            c = h::call(Plotz_Titles, {h::container(c.streams), h::text("Title"), h::text("x"), h::text("y")});
            const h::Outcome pie = h::call(Plotz_Draw, {h::container(c.streams), h::number(200), h::number(150)});
            const h::Outcome bars = h::call(Plotz_Style, {h::container(pie.streams), h::text("vbar")});
            return h::findStream(pie.streams, "GIFf") != nullptr && h::findStream(bars.streams, "GIFf") != nullptr;
        },
        "drawing");
}

}  // namespace
}  // namespace plotwise
