// The header snapshot, the defaults of a new definition and the text fields.
#include <cfloat>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "definition/codec.h"
#include "host_values.h"

namespace plotwise {
namespace {

using testing::Container;
using testing::DefinitionTest;

class HeaderSnapshotTest : public DefinitionTest {};

TEST_F(HeaderSnapshotTest, InitHeaderFillsTheDefaults) {
    ChartHeader snapshot;
    std::memset(&snapshot, 0xAB, sizeof snapshot);
    initHeader(snapshot);
    EXPECT_EQ(std::string(snapshot.formatTag, 4), std::string("V13\0", 4));
    EXPECT_EQ(snapshot.width, 320u);
    EXPECT_EQ(snapshot.height, 240u);
    EXPECT_EQ(snapshot.backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(snapshot.textColor, 0u);
    EXPECT_STREQ(snapshot.style, "pie");
    EXPECT_EQ(snapshot.style[4], '\0');  // the rest of the field is zero, not left over
    EXPECT_EQ(snapshot.style[255], '\0');
    for (const char* text : {snapshot.substyle, snapshot.chartTitle, snapshot.xAxisTitle, snapshot.yAxisTitle}) {
        EXPECT_EQ(std::string(text, 256), std::string(256, '\0'));
    }
    EXPECT_EQ(snapshot.seriesCount, 0u);
    EXPECT_EQ(snapshot.valueCount, 0u);
    EXPECT_EQ(snapshot.errorCode, 0u);
    EXPECT_EQ(snapshot.styleGiven, 0);
    EXPECT_EQ(snapshot.customPieColors, 0);
}

TEST_F(HeaderSnapshotTest, ResetAxisGivesTheAutomaticValues) {
    AxisOptions axis;
    std::memset(&axis, 0x5A, sizeof axis);
    resetAxis(axis);
    EXPECT_EQ(axis.min, 3.4028235e38f);
    EXPECT_EQ(axis.max, -3.4028235e38f);
    EXPECT_EQ(axis.gridStep, -3.4028235e38f);
    EXPECT_EQ(axis.markStep, -3.4028235e38f);
    EXPECT_EQ(axis.labelStep, -3.4028235e38f);
    EXPECT_EQ(axis.type, 0);
    EXPECT_EQ(std::string(axis.format, 32), std::string(32, '\0'));
    EXPECT_EQ(axis.labelsOrientation, 0);
    for (uint8_t flag : axis.isAuto) EXPECT_EQ(flag, 1);
}

TEST_F(HeaderSnapshotTest, ResetDefinitionSetsFontsAndAxesButKeepsColoursSeriesAndLabels) {
    ChartDefinition& definition = testDefinition();
    definition.block.fontSize[3] = 18;
    definition.block.fontColor[6] = 0x123456;
    copyText(definition.block.fontName[2], "Arial.ttf");
    definition.block.axis[1].type = kAxisDate;
    definition.block.pieColor[999] = 0xABCDEF;
    definition.series[4].color = 0xFF;
    copyText(definition.xLabel[7][900], "kept");

    ChartHeader snapshot;
    resetDefinition(testDefinition(), snapshot);
    EXPECT_STREQ(snapshot.style, "pie");
    // Seven text types, each at the built-in size (0) in the colour opposite to the background,
    // which is stored as 0x02000000.
    static_assert(sizeof definition.block.fontSize / sizeof definition.block.fontSize[0] == 7);
    for (int t = 0; t < 7; ++t) {
        EXPECT_EQ(definition.block.fontSize[t], 0u);
        EXPECT_EQ(definition.block.fontColor[t], 0x02000000u);
    }
    for (const auto& name : definition.block.fontName) {
        EXPECT_EQ(std::string(name, 256), "Times.ttf" + std::string(256 - 9, '\0'));
    }
    for (const AxisOptions& axis : definition.block.axis) {
        EXPECT_EQ(axis.min, FLT_MAX);  // automatic
        EXPECT_EQ(axis.type, 0);
        EXPECT_EQ(axis.isAuto[7], 1);
    }
    EXPECT_EQ(definition.block.pieColor[999], 0xABCDEFu);
    EXPECT_EQ(definition.series[4].color, 0xFFu);
    EXPECT_STREQ(definition.xLabel[7][900], "kept");
}

TEST_F(HeaderSnapshotTest, CommitCopiesEverythingButTheFormatTag) {
    ChartHeader& header = testDefinition().header();
    std::memcpy(header.formatTag, "OLD", 4);
    header.pieColorsGiven[0] = 7;
    ChartHeader snapshot;
    initHeader(snapshot);
    snapshot.width = 640;
    snapshot.height = 480;
    snapshot.backgroundColor = 0x102030;
    snapshot.textColor = 0x405060;
    copyText(snapshot.style, "vbar");
    copyText(snapshot.substyle, "3d");
    copyText(snapshot.chartTitle, "Sales");
    copyText(snapshot.xAxisTitle, "Month");
    copyText(snapshot.yAxisTitle, "Euro");
    snapshot.seriesCount = 3;
    snapshot.valueCount = 12;
    snapshot.errorCode = 7;
    snapshot.styleGiven = 1;
    snapshot.customPieColors = 1;
    commitHeader(testDefinition(), snapshot);

    EXPECT_EQ(std::string(header.formatTag, 4), std::string("OLD\0", 4));
    EXPECT_EQ(header.pieColorsGiven[0], 7);
    ChartHeader expected = snapshot;
    std::memcpy(expected.formatTag, header.formatTag, 4);
    std::memcpy(expected.pieColorsGiven, header.pieColorsGiven, 2);
    EXPECT_EQ(std::memcmp(&expected, &header, sizeof header), 0);
}

TEST_F(HeaderSnapshotTest, CommitNeverLeavesMoreSeriesThanTheTableHolds) {
    ChartHeader snapshot;
    initHeader(snapshot);
    snapshot.seriesCount = 101;
    commitHeader(testDefinition(), snapshot);
    EXPECT_EQ(testDefinition().header().seriesCount, 100u);
}

TEST_F(HeaderSnapshotTest, LoadRefreshesTheSnapshotExceptTagAndStyleGiven) {
    ChartBlock stored{};
    std::memcpy(stored.header.formatTag, "XYZ", 4);
    stored.header.width = 800;
    stored.header.height = 600;
    stored.header.backgroundColor = 0x010203;
    stored.header.textColor = 0x040506;
    copyText(stored.header.style, "line");
    copyText(stored.header.substyle, "area");
    copyText(stored.header.chartTitle, "T");
    copyText(stored.header.xAxisTitle, "X");
    copyText(stored.header.yAxisTitle, "Y");
    stored.header.seriesCount = 0;
    stored.header.valueCount = 5;
    stored.header.errorCode = 12;
    stored.header.styleGiven = 1;
    stored.header.customPieColors = 1;
    Container container;
    container.add("CHHD", testing::bytesOf(stored));

    ChartHeader snapshot;
    initHeader(snapshot);
    loadDefinition(testWorkingSet(), container.get(), snapshot);
    EXPECT_EQ(std::string(snapshot.formatTag, 4), std::string("V13\0", 4));
    EXPECT_EQ(snapshot.styleGiven, 0);
    EXPECT_EQ(snapshot.width, 800u);
    EXPECT_EQ(snapshot.height, 600u);
    EXPECT_EQ(snapshot.backgroundColor, 0x010203u);
    EXPECT_EQ(snapshot.textColor, 0x040506u);
    EXPECT_STREQ(snapshot.style, "line");
    EXPECT_STREQ(snapshot.substyle, "area");
    EXPECT_STREQ(snapshot.chartTitle, "T");
    EXPECT_STREQ(snapshot.xAxisTitle, "X");
    EXPECT_STREQ(snapshot.yAxisTitle, "Y");
    EXPECT_EQ(snapshot.valueCount, 5u);
    EXPECT_EQ(snapshot.errorCode, 12u);
    EXPECT_EQ(snapshot.customPieColors, 1);
    // The working block keeps the stored tag.
    EXPECT_EQ(std::string(testDefinition().header().formatTag, 4), std::string("XYZ\0", 4));
}

TEST_F(HeaderSnapshotTest, LoadWithoutADefinitionLeavesTheSnapshot) {
    Container container;
    container.add("GIFf", testing::bytesOf("GIF89a"));
    ChartHeader snapshot;
    initHeader(snapshot);
    snapshot.width = 123;
    loadDefinition(testWorkingSet(), container.get(), snapshot);
    EXPECT_EQ(snapshot.width, 123u);
}

TEST_F(HeaderSnapshotTest, TheFirstRecordedErrorStays) {
    ChartHeader snapshot;
    initHeader(snapshot);
    recordError(testDefinition(), snapshot, kErrorData);
    EXPECT_EQ(snapshot.errorCode, 3u);
    recordError(testDefinition(), snapshot, kErrorTooManyValues);  // later in the same call
    EXPECT_EQ(snapshot.errorCode, 3u);

    testDefinition().header().errorCode = kErrorTitles;  // the definition already has one
    ChartHeader next;
    initHeader(next);
    recordError(testDefinition(), next, kErrorStyle);
    EXPECT_EQ(next.errorCode, 0u);
}

TEST_F(HeaderSnapshotTest, ClearSeriesClearsOneRecordAndIgnoresIndexesOutsideTheTable) {
    ChartDefinition& definition = testDefinition();
    for (SeriesRecord& record : definition.series) std::memset(&record, 0x11, sizeof record);
    clearSeries(testDefinition(), 5);
    EXPECT_EQ(definition.series[5].color, 0u);
    EXPECT_EQ(definition.series[5].name[0], '\0');
    EXPECT_EQ(definition.series[5].x[999], 0.0f);
    EXPECT_EQ(definition.series[5].y[0], 0.0f);
    EXPECT_EQ(definition.series[4].color, 0x11111111u);
    EXPECT_EQ(definition.series[6].unreadable, 0x11111111u);
    clearSeries(testDefinition(), -1);
    clearSeries(testDefinition(), 100);
    EXPECT_EQ(definition.series[99].color, 0x11111111u);
    EXPECT_EQ(definition.series[0].color, 0x11111111u);
}

TEST_F(HeaderSnapshotTest, CountsInUseAreClampedToTheTables) {
    ChartHeader header{};
    header.seriesCount = 7;
    header.valueCount = 1001;
    EXPECT_EQ(seriesInUse(header), 7);
    EXPECT_EQ(valuesInUse(header), 1000);
    header.seriesCount = 0xFFFFFFFFu;
    header.valueCount = 999;
    EXPECT_EQ(seriesInUse(header), 100);
    EXPECT_EQ(valuesInUse(header), 999);
}

struct CopyCase {
    const char* name;
    std::string text;
    std::size_t fieldSize;
    std::string stored;  // bytes before the terminating zero
};

class CopyTextTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyTextTest, CopiesAtMostOneByteLessThanTheFieldAtACharacterBoundary) {
    const CopyCase& c = GetParam();
    std::string field(c.fieldSize + 2, '#');  // guard bytes after the field
    copyText(field.data(), c.fieldSize, c.text);
    EXPECT_EQ(std::string(field.data()), c.stored);
    // Zero-filled to the end of the field, and not one byte further.
    EXPECT_EQ(field.substr(c.stored.size(), c.fieldSize - c.stored.size()),
              std::string(c.fieldSize - c.stored.size(), '\0'));
    EXPECT_EQ(field.substr(c.fieldSize), "##");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CopyTextTest,
    ::testing::Values(
        CopyCase{"Fits", "abc", 8, "abc"},
        CopyCase{"ExactlyFits", "abcdefg", 8, "abcdefg"},
        CopyCase{"CutAtTheEnd", "abcdefghij", 8, "abcdefg"},
        CopyCase{"Empty", "", 4, ""},
        // "aé" + "€": é is 2 bytes, € is 3; a 5-byte field keeps 4 bytes: a, é, and half a €.
        CopyCase{"ThreeByteCharacterNotSplit", "a\xC3\xA9\xE2\x82\xAC", 5, "a\xC3\xA9"},
        CopyCase{"TwoByteCharacterNotSplit", "abc\xC3\xA9", 5, "abc"},
        CopyCase{"WholeCharacterKept", "ab\xC3\xA9", 5, "ab\xC3\xA9"},
        // U+1F600 is 4 bytes: cut after its second or third byte, it goes altogether.
        CopyCase{"FourByteCharacterNotSplit", "x\xF0\x9F\x98\x80", 4, "x"},
        CopyCase{"FourByteCharacterCutLate", "xy\xF0\x9F\x98\x80", 6, "xy"},
        // Not UTF-8: a run of continuation bytes is cut where it is.
        CopyCase{"NotUtf8", std::string(10, '\xB0'), 6, std::string(5, '\xB0')},
        CopyCase{"StopsAtAZeroByte", std::string("ab\0cd", 5), 8, "ab"},
        CopyCase{"FieldOfOneByte", "abc", 1, ""}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace plotwise
