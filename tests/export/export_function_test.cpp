// Plotz_Export through the host's calling shape: each format gives a container of its one
// stream of the picture's size; bad formats and scales give the Export error picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pictures.h"
#include "tests/driver/script_harness.h"

namespace plotwise::test {
namespace {

using testing::Arg;
using testing::Chart;
using testing::ScriptTest;
using testing::blockOf;
using testing::chartOf;
using testing::newChart;
using testing::num;
using testing::text;

class ExportFunction : public ScriptTest {
protected:
    // A 400 x 300 bar chart in built-in fonts.
    Chart bars() {
        Chart chart = data(newChart(), "a;b;c", "3;5;4", 0xFF0000, "North");
        chart = chartOf(Plotz_Font, {chart, text("charttitle"), text("no-such-font.ttf"), num(0)});
        return draw(style(chart, "vbar"), 400, 300);
    }
};

std::string bytes_of(const std::string* stream) { return stream ? *stream : std::string(); }

TEST_F(ExportFunction, EachFormatGivesItsOneStream) {
    const Chart chart = bars();
    // A pixel inside a bar of the GIF: the first whose 5 x 5 block is all in the bar's colour.
    const Rgb gif = decode(bytes_of(support::findStream(chart.streams, "GIFf")));
    int bar_x = -1, bar_y = -1;
    for (int y = 2; y < gif.height - 2 && bar_x < 0; ++y)
        for (int x = 2; x < gif.width - 2 && bar_x < 0; ++x) {
            bool inside = true;
            for (int k = 0; k < 25 && inside; ++k) inside = gif.at(x - 2 + k % 5, y - 2 + k / 5) == 0xFF0000u;
            if (inside) bar_x = x, bar_y = y;
        }
    ASSERT_GE(bar_x, 0);
    const struct {
        std::vector<Arg> args;
        const char* stream;
        int width, height;  // of the decoded PNG; 0 for the other formats
        const char* starts;
    } cases[] = {
        {{text("png")}, "PNGf", 800, 600, "\x89PNG"},
        {{text("PNG"), num(1)}, "PNGf", 400, 300, "\x89PNG"},
        {{text("png"), num(8)}, "PNGf", 3200, 2400, "\x89PNG"},
        {{text("svg")}, "SVG ", 0, 0, "<?xml"},
        {{text("Pdf"), num(3)}, "PDF ", 0, 0, "%PDF-"},
    };
    for (const auto& c : cases) {
        std::vector<Arg> args{chart};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Chart exported = chartOf(Plotz_Export, args);
        ASSERT_EQ(exported.streams.size(), 1u) << c.stream;
        EXPECT_EQ(exported.streams[0].first, c.stream);
        const std::string bytes = bytes_of(&exported.streams[0].second);
        EXPECT_EQ(bytes.compare(0, std::string(c.starts).size(), c.starts), 0) << c.stream;
        if (c.width == 0) continue;
        const Rgb png = decode(bytes);
        EXPECT_EQ(png.width, c.width);
        EXPECT_EQ(png.height, c.height);
        // The same place of the bar, scaled, is in the bar's colour.
        const int scale = c.width / gif.width;
        EXPECT_EQ(png.at(bar_x * scale + scale / 2, bar_y * scale + scale / 2), 0xFF0000u) << c.width;
    }
    // The chart itself is unchanged: the same container draws the same GIF afterwards.
    EXPECT_EQ(bytes_of(support::findStream(draw(chart, 400, 300).streams, "GIFf")),
              bytes_of(support::findStream(chart.streams, "GIFf")));
}

TEST_F(ExportFunction, BadFormatsAndScalesGiveTheExportErrorPicture) {
    const Chart chart = bars();
    const std::vector<Arg> cases[] = {
        {chart, text("gif")}, {chart, text("")},          {chart, text("png "), num(2)},
        {chart, text("png"), num(0)}, {chart, text("png"), num(9)}, {chart, text("png"), num(1.5)},
        {chart, text("svg"), num(-2)}, {text("not a chart"), text("png")},
    };
    for (const std::vector<Arg>& args : cases) {
        const Chart result = chartOf(Plotz_Export, args);
        EXPECT_EQ(blockOf(result).header.errorCode, static_cast<uint32_t>(kErrorExport));
        EXPECT_EQ(support::findStream(result.streams, "PNGf"), nullptr);
        const testing::Picture picture(result);
        ASSERT_NE(picture.image, nullptr);
        // The error pie is titled with the message; its slices use the error colours.
        EXPECT_GT(picture.count(0x80FF80), 0);
    }
}

TEST_F(ExportFunction, APngTooLargeToMakeGivesTheSizeErrorNotAnEmptyContainer) {
    const Chart chart = bars();
    const struct {
        int width, height, scale;
        bool fits;
    } cases[] = {
        {16383, 10, 2, true},    // 32766 output pixels a side: Cairo's largest side is 32767
        {16384, 10, 2, false},
        {10, 4096, 8, false},    // 32768 high
        {4097, 4096, 2, false},  // more than 64 megapixels
    };
    for (const auto& c : cases) {
        const Chart result = chartOf(Plotz_Export, {draw(chart, c.width, c.height), text("png"), num(c.scale)});
        const bool made = support::findStream(result.streams, "PNGf") != nullptr;
        EXPECT_EQ(made, c.fits) << c.width << " x " << c.height;
        if (c.fits) continue;
        EXPECT_EQ(blockOf(result).header.errorCode, static_cast<uint32_t>(kErrorExportSize)) << c.width;
        EXPECT_FALSE(result.streams.empty());
    }
}

}  // namespace
}  // namespace plotwise::test
