// plotwise inspect's description of a chart definition, including byte-reversed and damaged
// definitions.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "app/container_report.h"
#include "definition/chart_definition.h"

namespace plotwise::app {
namespace {

uint32_t swapped(uint32_t v) { return __builtin_bswap32(v); }

ChartBlock sampleBlock() {
    ChartBlock block{};
    ChartHeader& h = block.header;
    std::memcpy(h.formatTag, "V13", 4);
    h.width = 640;
    h.height = 480;
    h.backgroundColor = 0xFFFFFF;
    h.textColor = 0x102030;
    std::strcpy(h.style, "vbar");
    std::strcpy(h.chartTitle, "First\rhalf");
    h.seriesCount = 2;
    h.valueCount = 3;
    h.errorCode = 11;
    for (int t = 0; t < kTextTypes; ++t) {
        block.fontColor[t] = kDefaultColor;
        std::strcpy(block.fontName[t], "Times.ttf");
    }
    block.fontSize[0] = 14;
    for (AxisOptions& a : block.axis) std::memset(a.isAuto, 1, sizeof a.isAuto);
    block.axis[1].min = 0;
    block.axis[1].isAuto[0] = 0;
    block.axis[1].max = 100;
    block.axis[1].isAuto[1] = 0;
    return block;
}

std::vector<uint8_t> bytesOf(const void* p, std::size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

std::vector<ContainerStream> sampleContainer(const ChartBlock& block, uint32_t colour0) {
    std::vector<SeriesRecord> series(2);
    std::memset(series.data(), 0, series.size() * sizeof(SeriesRecord));
    series[0].color = colour0;
    std::strcpy(series[0].name, "Sales");
    series[1].color = 0x00FF00;
    std::strcpy(series[1].name, "Costs");
    for (int v = 0; v < 3; ++v) {
        series[0].x[v] = static_cast<float>(v + 1);
        series[0].y[v] = static_cast<float>(10 * (v + 1));
    }
    const std::string labs("Jan \0Feb \0Mar \0a \0b \0c \0", 24);
    return {{{'C', 'H', 'H', 'D'}, bytesOf(&block, sizeof block)},
            {{'L', 'A', 'B', 'S'}, std::vector<uint8_t>(labs.begin(), labs.end())},
            {{'L', 'A', 'B', 'Y'}, {}},
            {{'S', 'E', 'R', 'S'}, bytesOf(series.data(), series.size() * sizeof(SeriesRecord))},
            {{'S', 'I', 'Z', 'E'}, {0x02, 0x80, 0x01, 0xE0}}};
}

std::string describe(const std::vector<ContainerStream>& streams) {
    std::ostringstream out;
    describeContainer(streams, out);
    return out.str();
}

void expectLines(const std::string& text, std::initializer_list<std::string_view> lines) {
    for (std::string_view line : lines)
        EXPECT_NE(text.find(std::string(line) + "\n"), std::string::npos) << "missing: " << line << "\nin:\n" << text;
}

TEST(Inspect, DescribesTheChartDefinition) {
    const std::string text = describe(sampleContainer(sampleBlock(), 0xFF0000));
    expectLines(text, {
                          "CHHD 7624",
                          "LABS 24",
                          "LABY 0",
                          "SERS 16528",
                          "  format tag      V13",
                          "  picture size    640 x 480",
                          "  background      #FFFFFF",
                          "  text colour     #102030",
                          "  style           vbar",
                          "  substyle        (none)",
                          "  chart title     \"First\xC2\xB6half\"",
                          "  series          2",
                          "  values          3 per series",
                          "  error           11 Error in Data - bad Xdata parameter",
                          "  charttitle      Times.ttf, size 14, colour default",
                          "  X               automatic",
                          "  Y               min 0, max 100",
                          "  1  #FF0000  \"Sales\"",
                          "      Feb  x 2  y 20",
                          "  2  #00FF00  \"Costs\"",
                          "      b  x 0  y 0",
                          "  SIZE            640 x 480",
                      });
    EXPECT_EQ(text.find("byte order"), std::string::npos);
}

TEST(Inspect, EveryErrorCodeHasItsMessage) {
    const std::pair<uint32_t, std::string_view> messages[] = {
        {1, "Error in Titles parameters"},       {2, "Error in Style parameters"},
        {3, "Error in Data - bad parameters"},   {4, "Error in Draw parameters"},
        {5, "Error in Data - Empty!"},           {6, "Error in Colors parameters"},
        {7, "Error in Font parameters"},         {10, "Error, more than 1000 values!"},
        {11, "Error in Data - bad Xdata parameter"}, {12, "Error in Data - bad Ydata parameter"},
        {13, "Error in Axis parameters!"},       {14, "Error in Export parameters"},
        {15, "Error in Data - no positive values!"},
        {16, "Error in Export - picture too large"},
    };
    for (const auto& [code, message] : messages) EXPECT_EQ(chartErrorMessage(code), message) << code;
    for (uint32_t none : {0u, 8u, 9u, 17u, 0xFFFFFFFFu}) EXPECT_EQ(chartErrorMessage(none), "") << none;
}

TEST(Inspect, ByteReversedHeaderIsShownInThisByteOrder) {
    ChartBlock block = sampleBlock();
    ChartHeader& h = block.header;
    for (uint32_t* f : {&h.width, &h.height, &h.backgroundColor, &h.textColor, &h.seriesCount, &h.valueCount,
                        &h.errorCode})
        *f = swapped(*f);
    block.fontSize[0] = swapped(block.fontSize[0]);
    for (uint32_t& c : block.fontColor) c = swapped(c);
    const std::string text = describe(sampleContainer(block, swapped(0xFF0000)));
    expectLines(text, {
                          "  byte order      reversed (written on a machine of the other byte order)",
                          "  picture size    640 x 480",
                          "  series          2",
                          "  error           11 Error in Data - bad Xdata parameter",
                          "  charttitle      Times.ttf, size 14, colour default",
                          "  1  #FF0000  \"Sales\"",
                      });
}

TEST(Inspect, DamagedDefinitionsAreDescribedNotTrusted) {
    ChartBlock block = sampleBlock();
    // Both byte orders give a count above 100: shown as damage, no series read.
    block.header.seriesCount = 0x01000100;
    std::memset(block.header.style, 'x', sizeof block.header.style);  // no terminating zero
    std::string text = describe(sampleContainer(block, 0));
    EXPECT_NE(text.find("(damaged: at most 100)"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(256, 'x') + "\n"), std::string::npos);

    // Fewer series records than the header counts.
    std::vector<ContainerStream> streams = sampleContainer(sampleBlock(), 0);
    streams[3].bytes.resize(sizeof(SeriesRecord) + 100);
    text = describe(streams);
    EXPECT_NE(text.find("(the series records hold 1 of the 2 series)"), std::string::npos) << text;

    // A header cut short, and a block without fonts.
    streams = sampleContainer(sampleBlock(), 0);
    streams[0].bytes.resize(1000);
    EXPECT_NE(describe(streams).find("the chart header is cut short: 1000 of 1316 bytes"), std::string::npos);
    streams[0].bytes.resize(2000);
    const std::vector<uint8_t> full = bytesOf(&block, sizeof block);
    std::copy(full.begin(), full.begin() + 2000, streams[0].bytes.begin());
    EXPECT_NE(describe(streams).find("the chart block is cut short at 2000 bytes"), std::string::npos);

    // Label streams with fewer entries than points, and no zero at their end.
    streams = sampleContainer(sampleBlock(), 0);
    streams[1].bytes = {'J', 'a', 'n'};
    text = describe(streams);
    EXPECT_NE(text.find("      Jan  x 1  y 10\n      -  x 2  y 20\n"), std::string::npos) << text;
}

TEST(Inspect, EarlierLayoutKeepsSeriesAndFontsInsideTheHeaderStream) {
    constexpr std::size_t kOldSize = 1089820;
    std::vector<uint8_t> chhd(kOldSize, 0);
    ChartBlock block = sampleBlock();
    block.header.seriesCount = 1;
    block.header.valueCount = 2;
    std::memcpy(chhd.data(), &block.header, sizeof(ChartHeader));
    SeriesRecord series{};
    series.color = 0x0000FF;
    std::strcpy(series.name, "Old");
    series.y[1] = 7;
    std::memcpy(chhd.data() + 261316, &series, sizeof series);
    const uint32_t size = 18;
    std::memcpy(chhd.data() + 1087716, &size, 4);  // fontSize[0]
    std::strcpy(reinterpret_cast<char*>(chhd.data()) + 1087716 + 56, "Arial.ttf");  // fontName[0]
    const std::string text = describe({{{'C', 'H', 'H', 'D'}, chhd}});
    expectLines(text, {"  format tag      V13 (earlier layout)", "  charttitle      Arial.ttf, size 18, colour #000000",
                       "  1  #0000FF  \"Old\"", "      -  x 0  y 7"});
    EXPECT_EQ(text.find("\naxes\n"), std::string::npos);  // the earlier layout has no axes
}

TEST(Inspect, PictureAndEmptyContainers) {
    EXPECT_EQ(describe({}), "(the container is empty)\n");
    const std::vector<ContainerStream> picture{
        {{'G', 'I', 'F', 'f'}, {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x01, 0xF0, 0x00, 0, 0, 0}},
        {{'S', 'I', 'Z', 'E'}, {0x01, 0x40}}};
    const std::string text = describe(picture);
    expectLines(text, {"GIFf 13", "  GIFf            GIF 320 x 240, 13 bytes", "  SIZE            2 bytes (4 expected)"});
}

}  // namespace
}  // namespace plotwise::app
