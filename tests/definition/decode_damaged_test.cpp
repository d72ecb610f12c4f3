// Decoding containers that are partial, of the other byte order, of the earlier layout, or
// damaged: every count is checked against the tables, nothing is read past a stream's end.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "definition/codec.h"
#include "host_values.h"

namespace plotwise {
namespace {

using testing::Container;
using testing::DefinitionTest;
using testing::bytesOf;

uint32_t swapped(uint32_t word) {
    return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
}

float swapped(float value) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    word = swapped(word);
    std::memcpy(&value, &word, 4);
    return value;
}

// A block with every numeric field set to a distinct value.
ChartBlock sampleBlock(uint32_t seriesCount, uint32_t valueCount) {
    ChartBlock block{};
    std::memcpy(block.header.formatTag, "V13", 4);
    block.header.width = 400;
    block.header.height = 300;
    block.header.backgroundColor = 0x00FFEEDD;
    block.header.textColor = 0x00112233;
    std::strcpy(block.header.style, "line");
    std::strcpy(block.header.chartTitle, "Title");
    block.header.seriesCount = seriesCount;
    block.header.valueCount = valueCount;
    block.header.errorCode = 13;
    block.header.customPieColors = 1;
    for (int t = 0; t < kTextTypes; ++t) {
        block.fontSize[t] = 8 + t;
        block.fontColor[t] = 0x000100 * (t + 1);
        std::strcpy(block.fontName[t], "Arial.ttf");
    }
    for (int a = 0; a < 3; ++a) {
        AxisOptions& axis = block.axis[a];
        axis.min = -1.5f - a;
        axis.max = 100.25f + a;
        axis.gridStep = 10;
        axis.markStep = 5;
        axis.labelStep = 2;
        axis.type = a + 1;
        std::strcpy(axis.format, "%Y");
        axis.labelsOrientation = 2;
        axis.isAuto[a] = 1;
    }
    for (int c = 0; c < kMaxPieColors; ++c) block.pieColor[c] = static_cast<uint32_t>(c * 3 + 1);
    return block;
}

// The same block as a writer of the other byte order stores it.
ChartBlock reversedBlock(const ChartBlock& native) {
    ChartBlock block = native;
    ChartHeader& h = block.header;
    for (uint32_t* word : {&h.width, &h.height, &h.backgroundColor, &h.textColor, &h.seriesCount, &h.valueCount,
                           &h.errorCode}) {
        *word = swapped(*word);
    }
    for (int t = 0; t < kTextTypes; ++t) {
        block.fontSize[t] = swapped(block.fontSize[t]);
        block.fontColor[t] = swapped(block.fontColor[t]);
    }
    for (AxisOptions& axis : block.axis) {
        axis.min = swapped(axis.min);
        axis.max = swapped(axis.max);
        axis.gridStep = swapped(axis.gridStep);
        axis.markStep = swapped(axis.markStep);
        axis.labelStep = swapped(axis.labelStep);
        axis.type = static_cast<int32_t>(swapped(static_cast<uint32_t>(axis.type)));
        axis.labelsOrientation = static_cast<int32_t>(swapped(static_cast<uint32_t>(axis.labelsOrientation)));
    }
    for (uint32_t& color : block.pieColor) color = swapped(color);
    return block;
}

SeriesRecord sampleRecord(int index) {
    SeriesRecord record{};
    record.color = 0x00AA0000u + static_cast<uint32_t>(index);
    std::snprintf(record.name, sizeof record.name, "S%d", index);
    for (int v = 0; v < kMaxValues; ++v) {
        record.x[v] = static_cast<float>(v);
        record.y[v] = static_cast<float>(index * 10000 + v) + 0.5f;
    }
    return record;
}

SeriesRecord reversedRecord(const SeriesRecord& native) {
    SeriesRecord record = native;
    record.unreadable = swapped(record.unreadable);
    record.color = swapped(record.color);
    for (int v = 0; v < kMaxValues; ++v) {
        record.x[v] = swapped(record.x[v]);
        record.y[v] = swapped(record.y[v]);
    }
    return record;
}

std::vector<uint8_t> recordsOf(const std::vector<SeriesRecord>& records) {
    std::vector<uint8_t> bytes;
    for (const SeriesRecord& record : records) {
        const auto one = bytesOf(record);
        bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
}

std::vector<uint8_t> labelStream(std::initializer_list<std::string> labels) {
    std::vector<uint8_t> bytes;
    for (const std::string& label : labels) {
        bytes.insert(bytes.end(), label.begin(), label.end());
        bytes.push_back(0);
    }
    return bytes;
}

class DecodeTest : public DefinitionTest {
protected:
    // Fills the working definition with a recognisable pattern, so that changes show.
    void SetUp() override {
        DefinitionTest::SetUp();
        ChartDefinition& definition = testDefinition();
        ChartBlock& block = definition.block;
        std::memset(&block, 0x3C, sizeof block);
        // A state decoding can leave: the count fits the table, the texts end in their fields.
        block.header.seriesCount = 2;
        for (char* text : {block.header.style, block.header.substyle, block.header.chartTitle,
                           block.header.xAxisTitle, block.header.yAxisTitle}) {
            text[255] = '\0';
        }
        for (auto& name : block.fontName) name[255] = '\0';
        for (AxisOptions& axis : block.axis) axis.format[31] = '\0';
        for (uint32_t& color : block.pieColor) color = 0x01020304;  // changes when reversed
        for (int s = 0; s < 4; ++s) {
            std::memset(&definition.series[s], 0x5A, sizeof(SeriesRecord));
            for (int v = 0; v < 4; ++v) {
                copyText(definition.xLabel[s][v], "oldx");
                copyText(definition.yLabel[s][v], "oldy");
            }
        }
        before_ = definition.block;
    }

    bool decode(Container& container) { return decodeDefinition(testWorkingSet(), container.get()); }

    ChartBlock before_;
};

TEST_F(DecodeTest, WithoutABlockNothingChangesEvenWithSeriesAndLabels) {
    Container container;
    container.add("SERS", recordsOf({sampleRecord(0)})).add("LABS", labelStream({"new"}));
    EXPECT_FALSE(decode(container));
    EXPECT_EQ(std::memcmp(&testDefinition().block, &before_, sizeof before_), 0);
    EXPECT_EQ(testDefinition().series[0].color, 0x5A5A5A5Au);
    EXPECT_STREQ(testDefinition().xLabel[0][0], "oldx");
}

TEST_F(DecodeTest, AShortBlockChangesOnlyTheBytesItHolds) {
    const ChartBlock stored = sampleBlock(2, 3);
    Container container;
    const auto bytes = bytesOf(stored);
    container.add("CHHD", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 7000));
    EXPECT_TRUE(decode(container));
    const auto* now = reinterpret_cast<const uint8_t*>(&testDefinition().block);
    const auto* old = reinterpret_cast<const uint8_t*>(&before_);
    EXPECT_EQ(std::memcmp(now, bytes.data(), 7000), 0);
    EXPECT_EQ(std::memcmp(now + 7000, old + 7000, 7624 - 7000), 0);
}

TEST_F(DecodeTest, AnEmptyBlockStillCountsAsADefinitionAndChangesNothing) {
    Container container;
    container.add("CHHD", {});
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(std::memcmp(&testDefinition().block, &before_, sizeof before_), 0);
}

TEST_F(DecodeTest, ABlockOfTheOtherByteOrderIsConverted) {
    // A count that fits the table only reversed marks the other byte order, up to a full table
    // of 100 series; a block of our own order with a full table stays as it is.
    const struct {
        uint32_t series;
        bool reversed;
        uint32_t storedCount;  // the count as the stream holds it
    } cases[] = {{2, true, 0x02000000u}, {100, true, 0x64000000u}, {100, false, 100u}};
    for (const auto& c : cases) {
        const ChartBlock native = sampleBlock(c.series, 3);
        const ChartBlock stored = c.reversed ? reversedBlock(native) : native;
        ASSERT_EQ(stored.header.seriesCount, c.storedCount);
        Container container;
        container.add("CHHD", bytesOf(stored));
        EXPECT_TRUE(decode(container));
        EXPECT_EQ(testDefinition().header().seriesCount, c.series);
        EXPECT_EQ(std::memcmp(&testDefinition().block, &native, sizeof native), 0) << c.series;
    }
}

TEST_F(DecodeTest, SeriesRecordsNextToABlockOfTheOtherByteOrderAreConvertedToo) {
    const ChartBlock native = sampleBlock(2, 3);
    Container container;
    container.add("CHHD", bytesOf(reversedBlock(native)))
        .add("SERS", recordsOf({reversedRecord(sampleRecord(0)), reversedRecord(sampleRecord(1))}))
        .add("LABS", labelStream({"a", "b", "c", "d", "e", "f"}));
    EXPECT_TRUE(decode(container));
    for (int s = 0; s < 2; ++s) {
        const SeriesRecord expected = sampleRecord(s);
        EXPECT_EQ(std::memcmp(&testDefinition().series[s], &expected, sizeof expected), 0) << s;
    }
    EXPECT_STREQ(testDefinition().xLabel[1][2], "f");  // labels are bytes: no conversion
}

TEST_F(DecodeTest, ABlockThatNeitherByteOrderMakesFitUsesTheWholeTable) {
    ChartBlock stored = sampleBlock(0, 3);
    stored.header.seriesCount = 0x00000200;  // 512 one way, 131072 the other
    Container container;
    container.add("CHHD", bytesOf(stored));
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(testDefinition().header().seriesCount, 100u);
    EXPECT_EQ(testDefinition().header().width, 400u);  // not converted
    EXPECT_EQ(testDefinition().block.pieColor[5], 16u);
}

TEST_F(DecodeTest, AShortBlockOfTheOtherByteOrderConvertsOnlyWhatItHolds) {
    const ChartBlock native = sampleBlock(3, 3);
    const auto bytes = bytesOf(reversedBlock(native));
    Container container;
    container.add("CHHD", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 5000));
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(testDefinition().header().seriesCount, 3u);
    EXPECT_EQ(testDefinition().block.pieColor[343], native.pieColor[343]);  // bytes 4996..4999
    EXPECT_EQ(testDefinition().block.pieColor[344], before_.pieColor[344]);  // untouched
}

TEST_F(DecodeTest, ValueCountAboveTheTableIsKeptAndLabelsStopAtTheTable) {
    ChartBlock stored = sampleBlock(1, 5000);
    Container container;
    std::vector<uint8_t> stream;
    for (int v = 0; v < 1001; ++v) {
        const std::string label = "L" + std::to_string(v);
        stream.insert(stream.end(), label.begin(), label.end());
        stream.push_back(0);
    }
    container.add("CHHD", bytesOf(stored)).add("LABS", stream);
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(testDefinition().header().valueCount, 5000u);
    EXPECT_STREQ(testDefinition().xLabel[0][999], "L999");
    EXPECT_STREQ(testDefinition().xLabel[1][0], "oldx");  // series 1 is not in use
}

TEST_F(DecodeTest, LabelStreamsThatEndEarlyLeaveTheRestEmpty) {
    Container container;
    container.add("CHHD", bytesOf(sampleBlock(2, 3))).add("LABS", labelStream({"a", "b", "c", "d"}));
    EXPECT_TRUE(decode(container));
    const ChartDefinition& definition = testDefinition();
    EXPECT_STREQ(definition.xLabel[0][0], "a");
    EXPECT_STREQ(definition.xLabel[1][0], "d");
    EXPECT_STREQ(definition.xLabel[1][1], "");
    EXPECT_STREQ(definition.xLabel[1][2], "");
    EXPECT_STREQ(definition.xLabel[1][3], "oldx");  // beyond valueCount: not touched
    EXPECT_STREQ(definition.yLabel[0][0], "oldy");   // no "LABY": Y labels keep theirs
}

TEST_F(DecodeTest, ALabelStreamWithoutItsLastZeroEndsAtTheStreamEnd) {
    Container container;
    std::vector<uint8_t> stream = labelStream({"a", "bc"});
    stream.insert(stream.end(), {'x', 'y', 'z'});  // no terminating zero
    container.add("CHHD", bytesOf(sampleBlock(1, 4))).add("LABY", stream);
    EXPECT_TRUE(decode(container));
    EXPECT_STREQ(testDefinition().yLabel[0][0], "a");
    EXPECT_STREQ(testDefinition().yLabel[0][1], "bc");
    EXPECT_STREQ(testDefinition().yLabel[0][2], "xyz");
    EXPECT_STREQ(testDefinition().yLabel[0][3], "");
}

TEST_F(DecodeTest, LongLabelEntriesKeepTheirFirst31BytesAndTheNextEntryFollows) {
    const std::string longEntry = std::string(30, 'p') + "\xC3\xA9" + std::string(100000, 'q');
    Container container;
    container.add("CHHD", bytesOf(sampleBlock(1, 3))).add("LABS", labelStream({longEntry, "next", "last"}));
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(std::string(testDefinition().xLabel[0][0]), std::string(30, 'p'));  // é would not fit
    EXPECT_STREQ(testDefinition().xLabel[0][1], "next");
    EXPECT_STREQ(testDefinition().xLabel[0][2], "last");
}

TEST_F(DecodeTest, LabelEntriesBeyondTheCountsAreIgnored) {
    Container container;
    container.add("CHHD", bytesOf(sampleBlock(1, 2)))
        .add("LABS", labelStream({"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(decode(container));
    EXPECT_STREQ(testDefinition().xLabel[0][1], "b");
    EXPECT_STREQ(testDefinition().xLabel[0][2], "oldx");
    EXPECT_STREQ(testDefinition().xLabel[1][0], "oldx");
}

TEST_F(DecodeTest, ASeriesStreamOfMoreThanAHundredRecordsFillsTheTableAndNoMore) {
    std::vector<SeriesRecord> records;
    for (int r = 0; r < 101; ++r) records.push_back(sampleRecord(r));
    Container container;
    container.add("CHHD", bytesOf(sampleBlock(100, 3))).add("SERS", recordsOf(records));
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(std::memcmp(&testDefinition().series[99], &records[99], sizeof(SeriesRecord)), 0);
    // The label tables follow the series records in memory: an overrun would show there.
    EXPECT_STREQ(testDefinition().xLabel[0][0], "oldx");
}

TEST_F(DecodeTest, APartialSeriesRecordKeepsWhatItHoldsAndIsZeroAfter) {
    const SeriesRecord first = sampleRecord(0);
    const SeriesRecord second = sampleRecord(1);
    std::vector<uint8_t> stream = recordsOf({first, second});
    stream.resize(8264 + 264 + 8);  // record 1: header, name and the first two X values
    Container container;
    container.add("CHHD", bytesOf(sampleBlock(2, 3))).add("SERS", stream);
    EXPECT_TRUE(decode(container));
    const ChartDefinition& definition = testDefinition();
    EXPECT_EQ(std::memcmp(&definition.series[0], &first, sizeof first), 0);
    EXPECT_EQ(definition.series[1].color, second.color);
    EXPECT_STREQ(definition.series[1].name, "S1");
    EXPECT_EQ(definition.series[1].x[1], 1.0f);
    EXPECT_EQ(definition.series[1].x[2], 0.0f);
    EXPECT_EQ(definition.series[1].y[999], 0.0f);
    EXPECT_EQ(definition.series[2].color, 0x5A5A5A5Au);  // beyond the stream: as it was
}

TEST_F(DecodeTest, TextsOfADamagedBlockEndInsideTheirFields) {
    ChartBlock stored = sampleBlock(1, 1);
    std::memset(stored.header.style, 'S', sizeof stored.header.style);
    std::memset(stored.header.yAxisTitle, 'Y', sizeof stored.header.yAxisTitle);
    std::memset(stored.fontName[6], 'F', sizeof stored.fontName[6]);
    std::memset(stored.axis[2].format, 'A', sizeof stored.axis[2].format);
    SeriesRecord record = sampleRecord(0);
    std::memset(record.name, 'N', sizeof record.name);
    Container container;
    container.add("CHHD", bytesOf(stored)).add("SERS", recordsOf({record}));
    EXPECT_TRUE(decode(container));
    const ChartDefinition& definition = testDefinition();
    EXPECT_EQ(std::string(definition.header().style), std::string(255, 'S'));
    EXPECT_EQ(std::string(definition.header().yAxisTitle), std::string(255, 'Y'));
    EXPECT_EQ(std::string(definition.block.fontName[6]), std::string(255, 'F'));
    EXPECT_EQ(std::string(definition.block.axis[2].format), std::string(31, 'A'));
    EXPECT_EQ(std::string(definition.series[0].name), std::string(255, 'N'));
}

TEST_F(DecodeTest, ABlockBetweenTheTwoLayoutsIsReadAsACurrentBlock) {
    const ChartBlock stored = sampleBlock(1, 2);
    std::vector<uint8_t> stream = bytesOf(stored);
    stream.resize(500000, 0xEE);
    Container container;
    container.add("CHHD", stream);
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(std::memcmp(&testDefinition().block, &stored, sizeof stored), 0);
    EXPECT_EQ(testDefinition().series[0].color, 0x5A5A5A5Au);
    EXPECT_STREQ(testDefinition().xLabel[0][0], "oldx");
}

// Damaged containers of many shapes: whatever they hold, the working definition stays within
// its tables and its texts end inside their fields, and the result encodes again.
TEST_F(DecodeTest, DamagedContainersLeaveAUsableDefinition) {
    uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    const uint32_t blockSizes[] = {0, 1, 1303, 1304, 7623, 7624, 7625, 20000};
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> block(blockSizes[round % 8]);
        for (uint8_t& b : block) b = static_cast<uint8_t>(next());
        if (block.size() >= 1304 && round % 3 == 0) {
            const uint32_t count = next() % 2 ? next() % 101 : swapped(next() % 101);
            std::memcpy(block.data() + 1300, &count, 4);
        }
        std::vector<uint8_t> labels(next() % 5000);
        for (uint8_t& b : labels) b = static_cast<uint8_t>(next() % 4 == 0 ? 0 : next());
        std::vector<uint8_t> series(next() % (3 * 8264));
        for (uint8_t& b : series) b = static_cast<uint8_t>(next());

        Container container;
        container.add("CHHD", block).add("LABS", labels).add("LABY", labels).add("SERS", series);
        ASSERT_TRUE(decode(container));
        const ChartDefinition& definition = testDefinition();
        const ChartHeader& header = definition.header();
        ASSERT_LE(header.seriesCount, 100u) << round;
        EXPECT_EQ(header.style[255], '\0');
        EXPECT_EQ(header.yAxisTitle[255], '\0');
        EXPECT_EQ(definition.block.fontName[6][255], '\0');
        EXPECT_EQ(definition.block.axis[2].format[31], '\0');
        if (!series.empty()) {
            EXPECT_EQ(definition.series[0].name[255], '\0');
        }
        for (int s = 0; s < seriesInUse(header); ++s) {
            for (int v = 0; v < valuesInUse(header); ++v) {
                ASSERT_LT(strnlen(definition.xLabel[s][v], 32), 32u);
                ASSERT_LT(strnlen(definition.yLabel[s][v], 32), 32u);
            }
        }
        Container encoded;
        ASSERT_EQ(encodeDefinition(testWorkingSet(), encoded.get()), 0);
        EXPECT_EQ(testing::streamBytes(testing::streamsOf(encoded.get()), "SERS").size(), header.seriesCount * 8264u);
    }
}

// ---- The earlier layout -------------------------------------------------------------------

constexpr std::size_t kEarlierSize = 1089820;

// Builds an earlier-layout block: header, pie colours, 1000 X labels of 256 bytes, 100 series
// records, the font table.
std::vector<uint8_t> earlierLayout(const ChartBlock& block, const std::vector<SeriesRecord>& records,
                                   const std::vector<std::string>& labels) {
    std::vector<uint8_t> bytes(kEarlierSize, 0);
    std::memcpy(bytes.data(), &block.header, 1316);
    std::memcpy(bytes.data() + 1316, block.pieColor, 4000);
    for (std::size_t v = 0; v < labels.size(); ++v) {
        std::memcpy(bytes.data() + 5316 + v * 256, labels[v].data(), std::min<std::size_t>(labels[v].size(), 256));
    }
    for (std::size_t r = 0; r < records.size(); ++r) {
        std::memcpy(bytes.data() + 261316 + r * 8264, &records[r], 8264);
    }
    std::memcpy(bytes.data() + 1087716, block.fontSize, 2104);
    return bytes;
}

class EarlierLayoutTest : public DecodeTest {};

TEST_F(EarlierLayoutTest, IsConvertedIntoTheCurrentDefinition) {
    ChartBlock block = sampleBlock(2, 3);
    const std::vector<SeriesRecord> records = {sampleRecord(0), sampleRecord(1)};
    const std::string longLabel = std::string(40, 'k');
    Container container;
    container.add("CHHD", earlierLayout(block, records, {"Jan ", "Feb ", longLabel}));
    EXPECT_TRUE(decode(container));

    const ChartDefinition& definition = testDefinition();
    EXPECT_EQ(std::memcmp(&definition.block.header, &block.header, sizeof block.header), 0);
    EXPECT_EQ(std::memcmp(definition.block.fontSize, block.fontSize, 2104), 0);
    EXPECT_EQ(std::memcmp(definition.block.pieColor, block.pieColor, sizeof block.pieColor), 0);
    for (const AxisOptions& axis : definition.block.axis) {
        AxisOptions automatic;
        resetAxis(automatic);
        EXPECT_EQ(std::memcmp(&axis, &automatic, sizeof axis), 0);
    }
    EXPECT_STREQ(definition.xLabel[0][0], "Jan ");
    EXPECT_STREQ(definition.xLabel[0][1], "Feb ");
    EXPECT_EQ(std::string(definition.xLabel[0][2]), std::string(31, 'k'));
    EXPECT_STREQ(definition.xLabel[0][999], "");
    EXPECT_STREQ(definition.yLabel[0][0], " ");
    EXPECT_STREQ(definition.yLabel[0][999], " ");
    EXPECT_STREQ(definition.xLabel[1][0], "oldx");  // one series of labels only
    EXPECT_EQ(std::memcmp(&definition.series[1], &records[1], sizeof(SeriesRecord)), 0);
    EXPECT_EQ(definition.series[2].color, 0u);  // all 100 records are taken
}

TEST_F(EarlierLayoutTest, OfTheOtherByteOrderConvertsTheSeriesInUseAndKeepsTheAxesAutomatic) {
    const ChartBlock native = sampleBlock(2, 3);
    const std::vector<SeriesRecord> records = {reversedRecord(sampleRecord(0)), reversedRecord(sampleRecord(1)),
                                               reversedRecord(sampleRecord(2))};
    Container container;
    container.add("CHHD", earlierLayout(reversedBlock(native), records, {"a"}));
    EXPECT_TRUE(decode(container));

    const ChartDefinition& definition = testDefinition();
    EXPECT_EQ(definition.header().seriesCount, 2u);
    EXPECT_EQ(definition.header().width, 400u);
    EXPECT_EQ(definition.block.fontSize[6], 14u);
    EXPECT_EQ(definition.block.pieColor[999], native.pieColor[999]);
    EXPECT_EQ(definition.block.axis[1].min, kLargestFloat);
    EXPECT_EQ(definition.block.axis[1].type, 0);
    const SeriesRecord second = sampleRecord(1);
    EXPECT_EQ(std::memcmp(&definition.series[1], &second, sizeof second), 0);
    // Series 2 is not in use: taken as stored.
    EXPECT_EQ(std::memcmp(&definition.series[2], &records[2], sizeof(SeriesRecord)), 0);
}

TEST_F(EarlierLayoutTest, BytesPastTheLayoutAreIgnored) {
    ChartBlock block = sampleBlock(1, 1);
    std::vector<uint8_t> stream = earlierLayout(block, {sampleRecord(0)}, {"x"});
    stream.resize(kEarlierSize + 100000, 0xFF);  // longer than any conversion buffer
    Container container;
    container.add("CHHD", stream);
    EXPECT_TRUE(decode(container));
    EXPECT_EQ(testDefinition().header().width, 400u);
    EXPECT_STREQ(testDefinition().xLabel[0][0], "x");
    EXPECT_EQ(std::memcmp(testDefinition().block.fontSize, block.fontSize, 2104), 0);
}

TEST_F(EarlierLayoutTest, ExactlyItsSizeIsTheEarlierLayoutAndOneByteLessIsNot) {
    ChartBlock block = sampleBlock(1, 1);
    std::vector<uint8_t> stream = earlierLayout(block, {sampleRecord(0)}, {"x"});
    stream.pop_back();
    Container container;
    container.add("CHHD", stream);
    EXPECT_TRUE(decode(container));
    // Read as a current block: bytes 1316.. are the pie colours of the earlier layout.
    EXPECT_EQ(testDefinition().block.fontSize[0], block.pieColor[0]);
    EXPECT_STREQ(testDefinition().xLabel[0][0], "oldx");
}

}  // namespace
}  // namespace plotwise
