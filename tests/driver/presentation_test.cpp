// Plotz_Titles, Plotz_Style, Plotz_PieColors, Plotz_Font and Plotz_Axis: what each stores in
// the definition, and the error each records for bad arguments.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/draw_chart.h"
#include "script_harness.h"

namespace plotwise {
namespace {

using testing::Arg;
using testing::Chart;
using testing::ScriptTest;
using testing::blockOf;
using testing::lastDefinition;
using testing::chartOf;
using testing::newChart;
using testing::num;
using testing::text;

class Presentation : public ScriptTest {
protected:
    Chart chart() { return data(newChart(), "Jan;Feb;Mar", "10;20;30"); }
    const AxisOptions& axis(int i) { return lastDefinition().block.axis[i]; }
    Chart axisCall(const Chart& c, std::vector<Arg> rest) {
        rest.insert(rest.begin(), Arg(c));
        return chartOf(Plotz_Axis, rest);
    }
};

TEST_F(Presentation, TitlesAreStoredAsGiven) {
    Chart c = chartOf(Plotz_Titles, {chart(), text("Sales 2009"), text("Month"), text("EUR")});
    const ChartBlock b = blockOf(c);
    EXPECT_STREQ(b.header.chartTitle, "Sales 2009");
    EXPECT_STREQ(b.header.xAxisTitle, "Month");
    EXPECT_STREQ(b.header.yAxisTitle, "EUR");
    EXPECT_EQ(b.header.seriesCount, 1u);
    EXPECT_EQ(b.header.errorCode, 0u);
}

TEST_F(Presentation, BadArgumentsRecordEachFunctionsError) {
    struct Case {
        ScriptFunction function;
        std::vector<Arg> args;
        uint32_t code;
    };
    const Chart c = chart();
    const std::vector<Case> cases = {
        {Plotz_Titles, {c, text("a"), text("b")}, kErrorTitles},
        {Plotz_Titles, {text("x"), text("a"), text("b"), text("c")}, kErrorTitles},
        {Plotz_Style, {c}, kErrorStyle},
        {Plotz_Style, {text("x"), text("vbar")}, kErrorStyle},
        {Plotz_PieColors, {c}, kErrorColors},
        {Plotz_PieColors, {num(1), num(255)}, kErrorColors},
        {Plotz_Font, {c, text("charttitle"), text("Arial.ttf")}, kErrorFont},
        {Plotz_Axis, {c, text("x"), text("min")}, kErrorAxis},
        {Plotz_Axis, {c, text("z"), text("min"), num(1)}, kErrorAxis},
        {Plotz_Draw, {c, num(400)}, kErrorDraw},
        {Plotz_Draw, {text("x"), num(400), num(300)}, kErrorDraw},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const Chart result = chartOf(cases[i].function, cases[i].args);
        EXPECT_EQ(blockOf(result).header.errorCode, cases[i].code);
    }
}

TEST_F(Presentation, DrawWithBadArgumentsShowsTheDrawErrorAtTheDefaultSize) {
    Chart c = draw(chart(), 640, 480);
    const Chart bad = chartOf(Plotz_Draw, {c, num(400)});
    const ChartBlock b = blockOf(bad);
    EXPECT_EQ(b.header.errorCode, static_cast<uint32_t>(kErrorDraw));
    EXPECT_EQ(b.header.width, 320u);
    EXPECT_EQ(b.header.height, 240u);
    EXPECT_EQ(testing::lastEngineCall().engine, EngineCall::ErrorPicture);
    EXPECT_EQ(testing::lastEngineCall().errorCode, static_cast<uint32_t>(kErrorDraw));
}

TEST_F(Presentation, StyleIsLoweredAndASubstyleNeedsExactlyThreeArguments) {
    Chart c = style(chart(), "VBar", "Beside");
    EXPECT_STREQ(lastDefinition().header().style, "vbar");
    EXPECT_STREQ(lastDefinition().header().substyle, "beside");
    c = chartOf(Plotz_Style, {c, text("Line"), text("top"), text("extra")});
    EXPECT_STREQ(lastDefinition().header().style, "line");
    EXPECT_STREQ(lastDefinition().header().substyle, "beside");  // four arguments: only the style
    EXPECT_EQ(blockOf(c).header.styleGiven, 1);  // a graph drawing does not consume it
}

TEST_F(Presentation, PieColorsAreStoredInOrder) {
    chartOf(Plotz_PieColors, {chart(), num(255), num(65280)});
    EXPECT_EQ(lastDefinition().block.pieColor[0], 255u);
    EXPECT_EQ(lastDefinition().block.pieColor[1], 65280u);
    EXPECT_EQ(lastDefinition().header().customPieColors, 1);
}

TEST_F(Presentation, MoreThanAThousandPieColorsKeepTheFirstThousand) {
    std::vector<Arg> args{chart()};
    for (int i = 0; i < 1005; ++i) args.push_back(num(i + 1));
    const Chart c = chartOf(Plotz_PieColors, args);
    EXPECT_EQ(lastDefinition().block.pieColor[999], 1000u);
    EXPECT_EQ(lastDefinition().series[0].unreadable, 0u);  // nothing written past the table
    EXPECT_EQ(blockOf(c).pieColor[0], 1u);
}

TEST_F(Presentation, FontSizesBelowEightUseTheDefaultAndAreCappedAt999) {
    Chart c = chartOf(Plotz_Font, {chart(), text("ChartTitle"), text("Arial.ttf"), num(4)});
    EXPECT_EQ(blockOf(c).fontSize[kChartTitle], 0u);
    EXPECT_EQ(blockOf(c).fontColor[kChartTitle], 0u);
    EXPECT_STREQ(blockOf(c).fontName[kChartTitle], "Arial.ttf");
    c = chartOf(Plotz_Font, {c, text("pielabels"), text("Cour.ttf"), num(5000), num(0xFF)});
    EXPECT_EQ(blockOf(c).fontSize[kPieLabels], 999u);
    EXPECT_EQ(blockOf(c).fontColor[kPieLabels], 0xFFu);
    c = chartOf(Plotz_Font, {c, text("xaxistexts"), text("A.ttf"), num(8)});
    EXPECT_EQ(blockOf(c).fontSize[kXAxisTexts], 8u);
    // An unknown text type changes nothing and is no error.
    c = chartOf(Plotz_Font, {c, text("legend"), text("B.ttf"), num(12)});
    EXPECT_EQ(blockOf(c).header.errorCode, 0u);
    for (const auto& name : blockOf(c).fontName) EXPECT_STRNE(name, "B.ttf");
}

TEST_F(Presentation, AxisOptionsWalkInPairs) {
    axisCall(chart(), {text("y1"), text("MIN"), num(0), text("max"), num(100)});
    EXPECT_EQ(axis(1).min, 0.0f);
    EXPECT_EQ(axis(1).max, 100.0f);
    EXPECT_EQ(axis(1).isAuto[0], 0);
    EXPECT_EQ(axis(1).isAuto[1], 0);
    EXPECT_EQ(axis(1).isAuto[2], 1);
    EXPECT_EQ(axis(0).min, kLargestFloat);  // the other axes are untouched
}

TEST_F(Presentation, AxisStepsGoForwardAndAutoIsLowerCaseOnly) {
    Chart c = axisCall(chart(), {text("Y"), text("gridStep"), num(-5), text("markstep"), num(0)});
    EXPECT_EQ(axis(1).gridStep, 1.0f);
    EXPECT_EQ(axis(1).markStep, 0.0f);
    c = axisCall(c, {text("y"), text("min"), text("AUTO")});
    EXPECT_EQ(axis(1).min, 0.0f);
    EXPECT_EQ(axis(1).isAuto[0], 0);
    c = axisCall(c, {text("y"), text("min"), text("auto"), text("gridstep"), text("auto")});
    EXPECT_EQ(axis(1).min, kLargestFloat);
    EXPECT_EQ(axis(1).gridStep, kLowestFloat);
    EXPECT_EQ(axis(1).isAuto[0], 1);
    EXPECT_EQ(axis(1).isAuto[2], 1);
}

TEST_F(Presentation, AxisUnknownNamesAreSteppedOverAlone) {
    axisCall(chart(), {text("X"), text("color"), text("min"), num(5)});
    EXPECT_EQ(axis(0).min, 5.0f);
}

TEST_F(Presentation, AxisKeywordOptions) {
    Chart c = axisCall(chart(), {text("x"), text("type"), text("Date"), text("labelsOrientation"), text("sharp")});
    EXPECT_EQ(axis(0).type, kAxisDate);
    EXPECT_EQ(axis(0).isAuto[5], 0);
    EXPECT_EQ(axis(0).labelsOrientation, 3);
    c = axisCall(c, {text("x"), text("type"), text("month"), text("labelsorientation"), text("diagonal")});
    EXPECT_EQ(axis(0).type, -1);
    EXPECT_EQ(axis(0).labelsOrientation, -1);
    c = axisCall(c, {text("x"), text("scale"), text("logarithmic"), text("format"), text("%d.%m.%Y")});
    EXPECT_STREQ(axis(0).format, "%d.%m.%Y");
    EXPECT_EQ(axis(0).isAuto[6], 0);
    c = axisCall(c, {text("x"), text("format"), text(std::string(40, '#'))});
    EXPECT_EQ(std::string(axis(0).format), std::string(31, '#'));
    c = axisCall(c, {text("x"), text("format"), text("auto")});
    EXPECT_STREQ(axis(0).format, "");
    EXPECT_EQ(axis(0).isAuto[6], 1);
}

TEST_F(Presentation, AnUnknownAxisChangesNoOption) {
    const Chart c = axisCall(chart(), {text("Z"), text("min"), num(7)});
    EXPECT_EQ(blockOf(c).header.errorCode, static_cast<uint32_t>(kErrorAxis));
    for (int a = 0; a < 3; ++a) EXPECT_EQ(axis(a).min, kLargestFloat);
    EXPECT_EQ(blockOf(c).header.seriesCount, 1u);  // the loaded header is kept
}

TEST_F(Presentation, ALastNameWithoutValueEndsTheWalk) {
    axisCall(chart(), {text("y2"), text("max"), num(50), text("min")});
    EXPECT_EQ(axis(2).max, 50.0f);
    EXPECT_EQ(axis(2).min, kLargestFloat);
}

}  // namespace
}  // namespace plotwise
