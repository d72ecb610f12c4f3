// Lines of one ink gathered into a few shapes: a line that goes on along the
// straight of the last one lengthens it only where the two together cover what the longer
// line covers; the lines come out grouped by width. A long series of two-pixel segments is a
// few elements of the SVG, and the SVG and PDF of it show what the PNG, drawn a stroke per
// segment, shows.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "engine/picture/shape_batch.h"
#include "engine/picture/vector_base.h"
#include "pictures.h"

namespace plotwise::test {
namespace {

std::vector<PixelSpan> batched(const std::vector<PixelSpan>& lines) {
    ShapeBatch batch;
    for (const PixelSpan& l : lines) batch.add_line(1, l.x1, l.y1, l.x2, l.y2);
    std::vector<PixelSpan> out;
    double last_weight = 0;
    batch.for_each_weight([&](double weight, std::span<const PixelSpan> group) {
        EXPECT_GT(weight, last_weight) << "one group per width, thinnest first";
        last_weight = weight;
        for (const PixelSpan& l : group) {
            EXPECT_EQ(line_weight(l.x1, l.y1, l.x2, l.y2), weight);
            out.push_back(l);
        }
    });
    return out;
}

TEST(ShapeBatch, LengthensALineOnlyWhereTheUnionIsTheLongerLine) {
    const struct {
        const char* name;
        std::vector<PixelSpan> in, out;
    } cases[] = {
        {"upright, second row of a thick line", {{5, 10, 5, 20}, {5, 11, 5, 21}}, {{5, 10, 5, 21}}},
        {"upright, going back over itself", {{5, 10, 5, 20}, {5, 20, 5, 2}}, {{5, 2, 5, 20}}},
        {"level, side by side", {{0, 3, 4, 3}, {5, 3, 9, 3}}, {{0, 3, 9, 3}}},
        {"level, a pixel apart", {{0, 3, 4, 3}, {6, 3, 9, 3}}, {{0, 3, 4, 3}, {6, 3, 9, 3}}},
        {"single pixel beside an upright line", {{5, 10, 5, 20}, {5, 21, 5, 21}}, {{5, 10, 5, 21}}},
        {"the same pixel twice", {{7, 7, 7, 7}, {7, 7, 7, 7}}, {{7, 7, 7, 7}}},
        {"two pixels side by side", {{7, 7, 7, 7}, {7, 8, 7, 8}}, {{7, 7, 7, 8}}},
        {"slanting, going on from its end", {{0, 0, 2, 1}, {2, 1, 6, 3}}, {{0, 0, 6, 3}}},
        {"slanting, next pixel of the straight", {{0, 0, 2, 1}, {4, 2, 6, 3}}, {{0, 0, 2, 1}, {4, 2, 6, 3}}},
        {"slanting, a pixel lower", {{0, 0, 2, 1}, {0, 1, 2, 2}}, {{0, 0, 2, 1}, {0, 1, 2, 2}}},
        {"slanting, then a pixel on it", {{0, 0, 2, 1}, {2, 1, 2, 1}}, {{0, 0, 2, 1}, {2, 1, 2, 1}}},
        {"diagonal pixels", {{7, 7, 7, 7}, {8, 8, 8, 8}}, {{7, 7, 7, 7}, {8, 8, 8, 8}}},
        {"turning", {{0, 0, 4, 0}, {4, 0, 4, 4}}, {{0, 0, 4, 0}, {4, 0, 4, 4}}},
        {"parallel, off the straight", {{0, 0, 4, 2}, {1, 0, 5, 2}}, {{0, 0, 4, 2}, {1, 0, 5, 2}}},
        // Lines far apart but only the last is lengthened: the first keeps its place.
        {"after another line", {{0, 0, 0, 5}, {9, 9, 9, 9}, {9, 10, 9, 12}}, {{0, 0, 0, 5}, {9, 9, 9, 12}}},
    };
    for (const auto& c : cases) EXPECT_EQ(batched(c.in), c.out) << c.name;
}

// A series of 1000 points as the line charts draw it: each segment twice, a pixel apart, in
// the series' ink, over a white background.
constexpr int kWidth = 400, kHeight = 200;
constexpr uint32_t kSeries = 0xC00000;
std::string series_picture(VectorFormat format) {
    const std::unique_ptr<VectorSurface> surface = make_vector_surface(format, 1);
    surface->begin(kWidth, kHeight, false);
    surface->ink(0xFFFFFF);
    const int ink = surface->ink(kSeries);
    auto x = [](int i) { return 10 + i * 380 / 999; };
    auto y = [](int i) { return 100 + static_cast<int>(std::lround(80 * std::sin(i * 0.013) * std::cos(i * 0.051))); };
    for (int i = 1; i < 1000; ++i) {
        surface->line(x(i - 1), y(i - 1), x(i), y(i), ink);
        surface->line(x(i - 1), y(i - 1) + 1, x(i), y(i) + 1, ink);
    }
    surface->end();
    return surface->bytes();
}

TEST(ShapeBatch, ALongSeriesIsOneStrokePerWidthAndTheSamePicture) {
    const std::string svg = series_picture(VectorFormat::Svg);
    // Its elements: one per width the segments' slants give.
    std::set<std::string> widths;
    int elements = 0;
    for (size_t at = svg.find("stroke=\"#c00000\""); at != std::string::npos; at = svg.find("stroke=\"#c00000\"", at + 1)) {
        ++elements;
        const size_t start = svg.rfind('<', at);
        const size_t width = svg.find("stroke-width=\"", start);
        widths.insert(width < at ? svg.substr(width, svg.find('"', width + 14) - width) : "1");
    }
    EXPECT_EQ(elements, static_cast<int>(widths.size()));
    EXPECT_LT(elements, 40);

    // Drawn a stroke per segment (PNG) and gathered (SVG, PDF): the same pixels, but for the
    // seams where two strokes meet, which only the separate strokes show.
    const Rgb png = decode(series_picture(VectorFormat::Png));
    ASSERT_EQ(png.width, kWidth);
    const Rgb files[] = {rendered(svg, "svg", "rsvg-convert"), rendered_pdf(series_picture(VectorFormat::Pdf))};
    for (const Rgb& file : files) {
        const std::vector<double> diff = channel_difference(png, file);
        for (int k = 0; k < 3; ++k) EXPECT_LT(diff[k], 0.003) << "channel " << k;
        EXPECT_NEAR(covered_area(file, kSeries, {0xFFFFFF}), covered_area(png, kSeries, {0xFFFFFF}),
                    0.04 * covered_area(png, kSeries, {0xFFFFFF}));
    }
}

}  // namespace
}  // namespace plotwise::test
