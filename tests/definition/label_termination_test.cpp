// A drawing ends only the labels in use; a label in use that a container filled to its last
// byte must still be read as its first 31 bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "driver/draw_chart.h"
#include "tests/support/working_set.h"

namespace plotwise {
namespace {

TEST(LabelTermination, LabelsInUseAreEnded) {
    ChartDefinition& d = testDefinition();
    std::memset(&d, 0, sizeof d);
    ChartHeader header;
    resetDefinition(testDefinition(), header);
    std::strcpy(header.style, "vbar");
    header.seriesCount = 1;
    header.valueCount = 3;
    commitHeader(testDefinition(), header);
    for (int v = 0; v < 3; ++v) {
        d.series[0].y[v] = static_cast<float>(v + 1);
        std::memset(d.xLabel[0][v], 'A' + v, kLabelSize);  // no terminating zero
    }
    // Fonts that do not exist keep the drawing on the built-in fonts.
    for (auto& name : d.block.fontName) std::strcpy(name, "no-such-font.ttf");

    settleDefinition(d);
    EngineCall call;
    drawChart(d, DrawRequest{nullptr, nullptr, &call});

    ASSERT_EQ(call.engine, EngineCall::Graph);
    ASSERT_EQ(call.labels.size(), 3u);
    for (int v = 0; v < 3; ++v) EXPECT_EQ(call.labels[v], std::string(kLabelSize - 1, static_cast<char>('A' + v)));
    for (int v = 0; v < 3; ++v) EXPECT_EQ(d.xLabel[0][v][kLabelSize - 1], '\0');

    std::memset(&d, 0, sizeof d);
}

}  // namespace
}  // namespace plotwise
