// Whole drawings through draw_graph: every chart type gives a picture that decodes at the size
// asked for, and a turned chart keeps the caller's size with the drawing's bottom on the left.
#include <gd.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/graph/graph.h"
#include "tests/support/engine_options.h"

namespace plotwise {
namespace {

struct ImageDeleter {
    void operator()(gdImagePtr im) const { gdImageDestroy(im); }
};
using Image = std::unique_ptr<gdImageStruct, ImageDeleter>;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override { engineOptions() = ChartOptions{}; }
    void TearDown() override { engineOptions() = ChartOptions{}; }

    // Draws into a temporary file and decodes what was written.
    static Image draw(short width, short height, ChartType type, int points, int sets, const std::vector<float>& data,
                      const std::vector<float>& extra, int* result) {
        std::FILE* f = std::tmpfile();
        if (!f) return nullptr;
        *result = draw_graph(engineOptions(), width, height, f, type, points, nullptr, sets, data.data(),
                             extra.empty() ? nullptr : extra.data());
        std::rewind(f);
        Image im(gdImageCreateFromGif(f));
        std::fclose(f);
        return im;
    }
};

int rows_per_set(ChartType t) { return isHlc(t) ? 3 : isFloatingBar(t) ? 2 : 1; }

TEST_F(EndToEnd, EveryTypeGivesAPictureOfTheAskedSize) {
    const int points = 12, sets = 3;
    for (int t = 0; t < kChartTypeCount; ++t) {
        engineOptions() = ChartOptions{};
        engineOptions().xaxis_ptsize = engineOptions().yaxis_ptsize = 0;
        engineOptions().title_ptsize = engineOptions().xtitle_ptsize = engineOptions().ytitle_ptsize = 0;
        const ChartType type = static_cast<ChartType>(t);
        const int per = rows_per_set(type);
        std::vector<float> data(static_cast<size_t>(points * sets * per));
        for (int r = 0; r < sets * per; ++r)
            for (int i = 0; i < points; ++i) {
                const float base = 20 + 5 * (r / per) + 6 * std::sin(i * 0.7f + r);
                data[r * points + i] = per == 3 ? base + 4 * (1 - r % 3) : per == 2 ? base + 6 * (r % 2) : base;
            }
        data[points + 5] = NoValue;  // a gap in the second row
        std::vector<float> extra;
        if (isCombo(type))
            for (int i = 0; i < points; ++i) extra.push_back(50 + 10 * i);
        if (isXy(type))
            for (int s = 0; s < sets; ++s)
                for (int i = 0; i < points; ++i) extra.push_back(i * 2.0f + s);
        int result = -9;
        Image im = draw(640, 480, type, points, sets, data, extra, &result);
        EXPECT_EQ(result, 0) << "type " << t;
        ASSERT_NE(im, nullptr) << "type " << t;
        EXPECT_EQ(gdImageSX(im.get()), 640) << "type " << t;
        EXPECT_EQ(gdImageSY(im.get()), 480) << "type " << t;
    }
}

TEST_F(EndToEnd, TurnedBarsKeepTheAskedSizeWithTheBottomOnTheLeft) {
    // Red bars of growing height. The caller asks for 640 x 480 and, as for horizontal bars,
    // passes the size swapped; the drawing's bottom edge (the bars' base) ends up on the left.
    static const uint32_t red[] = {0xFF0000};
    ChartOptions& opt = engineOptions();
    opt.set_colors = red;
    opt.bg_color = 0xFFFFFF;
    opt.horizontal = 1;
    opt.xaxis_ptsize = opt.yaxis_ptsize = opt.title_ptsize = opt.xtitle_ptsize = opt.ytitle_ptsize = 0;
    const std::vector<float> data = {10, 20, 30, 40};
    int result = -9;
    Image im = draw(480, 640, Bar, 4, 1, data, {}, &result);
    ASSERT_EQ(result, 0);
    ASSERT_NE(im, nullptr);
    ASSERT_EQ(gdImageSX(im.get()), 640);
    ASSERT_EQ(gdImageSY(im.get()), 480);
    EXPECT_EQ(engineOptions().horizontal, 0);

    // Each bar becomes a horizontal run of red: find the runs from the top down.
    struct Run {
        int left, right;
    };
    std::vector<Run> bars;
    bool in_bar = false;
    for (int y = 0; y < 480; ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < 640; ++x) {
            const int c = gdImageGetPixel(im.get(), x, y);
            if (gdImageRed(im.get(), c) == 0xFF && gdImageGreen(im.get(), c) == 0 && gdImageBlue(im.get(), c) == 0) {
                if (left < 0) left = x;
                right = x;
            }
        }
        if (left >= 0 && !in_bar) bars.push_back({left, right});
        in_bar = left >= 0;
    }
    ASSERT_EQ(bars.size(), 4u);
    for (size_t k = 0; k < bars.size(); ++k) {
        EXPECT_EQ(bars[k].left, bars[0].left) << k;       // one common base on the left
        EXPECT_LT(bars[k].left, 320) << k;
        if (k > 0) {
            EXPECT_GT(bars[k].right, bars[k - 1].right) << k;  // the first point at the top
        }
    }
    // The longest bar is four times the shortest.
    const double shortest = bars[0].right - bars[0].left + 1, longest = bars[3].right - bars[3].left + 1;
    EXPECT_NEAR(longest / shortest, 4.0, 0.1);
}

}  // namespace
}  // namespace plotwise
