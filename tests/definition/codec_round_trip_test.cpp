// Encoding the working definition, and decoding what was encoded: the stored bytes and the
// round trips from empty to full definitions.
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
using testing::Stream;
using testing::codesOf;
using testing::streamBytes;
using testing::streamsOf;

class CodecTest : public DefinitionTest {
protected:
    // Encodes the working definition; the streams of the new container.
    std::vector<Stream> encode() {
        Container container;
        EXPECT_EQ(encodeDefinition(testWorkingSet(), container.get()), 0);
        return streamsOf(container.get());
    }

    // Decodes streams into an all-zero working definition.
    void decodeFresh(const std::vector<Stream>& streams) {
        std::memset(&testDefinition(), 0, sizeof(ChartDefinition));
        Container container;
        testing::fill(container, streams);
        EXPECT_TRUE(decodeDefinition(testWorkingSet(), container.get()));
    }
};

// A label of `length` bytes (up to 31), different for every place, with a two-byte character
// in some so that texts other than ASCII travel too.
std::string labelFor(int series, int value, int length) {
    std::string label;
    for (int i = 0; static_cast<int>(label.size()) < length; ++i) {
        if ((series + value + i) % 7 == 0 && static_cast<int>(label.size()) + 2 <= length) {
            label += "\xC3\xA9";  // é
        } else {
            label += static_cast<char>('A' + (series * 31 + value * 7 + i) % 26);
        }
    }
    return label;
}

void fillDefinition(int seriesCount, int valueCount) {
    ChartDefinition& definition = testDefinition();
    ChartHeader snapshot;
    resetDefinition(testDefinition(), snapshot);
    copyText(snapshot.style, "vbar");
    copyText(snapshot.chartTitle, "Quarterly \xE2\x82\xAC");
    snapshot.width = 400;
    snapshot.height = 300;
    snapshot.seriesCount = static_cast<uint32_t>(seriesCount);
    snapshot.valueCount = static_cast<uint32_t>(valueCount);
    commitHeader(testDefinition(), snapshot);
    std::memcpy(definition.header().formatTag, "V13", 4);
    for (int c = 0; c < kMaxPieColors; ++c) definition.block.pieColor[c] = static_cast<uint32_t>(c * 0x10101);
    definition.block.axis[2].min = 1.5f;
    copyText(definition.block.axis[0].format, "%d.%m.%Y");
    for (int s = 0; s < seriesCount; ++s) {
        clearSeries(testDefinition(), s);
        SeriesRecord& record = definition.series[s];
        record.color = static_cast<uint32_t>(0x010203 * (s + 1));
        copyText(record.name, "Series " + std::to_string(s));
        for (int v = 0; v < valueCount; ++v) {
            record.x[v] = static_cast<float>(v) + 0.25f;
            record.y[v] = static_cast<float>(s * 1000 + v) * -0.5f;
            copyText(definition.xLabel[s][v], labelFor(s, v, 1 + (s + v) % 31));
            copyText(definition.yLabel[s][v], labelFor(v, s, (s * 3 + v) % 32));  // some empty
        }
    }
}

TEST_F(CodecTest, AnEmptyDefinitionGivesTheBlockAndThreeEmptyStreams) {
    ChartHeader snapshot;
    resetDefinition(testDefinition(), snapshot);
    commitHeader(testDefinition(), snapshot);
    const auto streams = encode();
    ASSERT_EQ(codesOf(streams), (std::vector<std::string>{"CHHD", "LABS", "LABY", "SERS"}));
    EXPECT_EQ(streams[0].second.size(), 7624u);
    EXPECT_EQ(streams[0].second, testing::bytesOf(testDefinition().block));
    EXPECT_TRUE(streams[1].second.empty());
    EXPECT_TRUE(streams[2].second.empty());
    EXPECT_TRUE(streams[3].second.empty());
}

TEST_F(CodecTest, LabelStreamsHoldEachLabelAndAZeroWithABlankForAnEmptyLabel) {
    ChartHeader snapshot;
    resetDefinition(testDefinition(), snapshot);
    snapshot.seriesCount = 2;
    snapshot.valueCount = 2;
    commitHeader(testDefinition(), snapshot);
    ChartDefinition& definition = testDefinition();
    copyText(definition.xLabel[0][0], "Jan ");
    copyText(definition.xLabel[0][1], "");
    copyText(definition.xLabel[1][0], std::string(31, 'w'));
    copyText(definition.xLabel[1][1], "b");
    copyText(definition.xLabel[0][2], "beyond valueCount");
    copyText(definition.xLabel[2][0], "beyond seriesCount");
    copyText(definition.yLabel[1][1], "y");

    const auto streams = encode();
    const std::string expectedX = std::string("Jan \0 \0", 7) + std::string(31, 'w') + std::string("\0b\0", 3);
    EXPECT_EQ(streamBytes(streams, "LABS"), testing::bytesOf(expectedX));
    EXPECT_EQ(streamBytes(streams, "LABY"), testing::bytesOf(std::string(" \0 \0 \0y\0", 8)));

    // The empty label reads back as a single blank.
    decodeFresh(streams);
    EXPECT_STREQ(testDefinition().xLabel[0][1], " ");
    EXPECT_STREQ(testDefinition().xLabel[0][0], "Jan ");
    EXPECT_EQ(std::string(testDefinition().xLabel[1][0]), std::string(31, 'w'));
}

TEST_F(CodecTest, SeriesStreamHoldsTheRecordsInUseByteForByte) {
    fillDefinition(3, 4);
    const auto streams = encode();
    const auto series = streamBytes(streams, "SERS");
    ASSERT_EQ(series.size(), 3u * 8264u);
    const auto* records = reinterpret_cast<const uint8_t*>(testDefinition().series);
    EXPECT_EQ(series, std::vector<uint8_t>(records, records + 3 * 8264));
    // Labels: 3 series x 4 values, nothing of the fifth value.
    EXPECT_EQ(streamBytes(streams, "LABS").size(), [] {
        std::size_t size = 0;
        for (int s = 0; s < 3; ++s)
            for (int v = 0; v < 4; ++v) size += 1 + 1 + (s + v) % 31;
        return size;
    }());
}

struct RoundTripCase {
    const char* name;
    int series;
    int values;
};

class RoundTripTest : public CodecTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, EncodeDecodeEncodeGivesTheSameBytes) {
    fillDefinition(GetParam().series, GetParam().values);
    const auto first = encode();
    std::vector<uint8_t> seriesBefore(reinterpret_cast<const uint8_t*>(testDefinition().series),
                                      reinterpret_cast<const uint8_t*>(testDefinition().series) +
                                          GetParam().series * sizeof(SeriesRecord));
    const ChartBlock blockBefore = testDefinition().block;

    decodeFresh(first);
    const ChartDefinition& decoded = testDefinition();
    EXPECT_EQ(std::memcmp(&decoded.block, &blockBefore, sizeof blockBefore), 0);
    EXPECT_TRUE(seriesBefore.empty() || std::memcmp(decoded.series, seriesBefore.data(), seriesBefore.size()) == 0);
    for (int s = 0; s < GetParam().series; ++s) {
        for (int v = 0; v < GetParam().values; ++v) {
            ASSERT_EQ(std::string(decoded.xLabel[s][v]), labelFor(s, v, 1 + (s + v) % 31)) << s << "," << v;
            const std::string y = labelFor(v, s, (s * 3 + v) % 32);
            ASSERT_EQ(std::string(decoded.yLabel[s][v]), y.empty() ? " " : y) << s << "," << v;
        }
    }

    const auto second = encode();
    ASSERT_EQ(codesOf(second), codesOf(first));
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(second[i].second, first[i].second) << first[i].first;
    }
}

INSTANTIATE_TEST_SUITE_P(Definitions, RoundTripTest,
                         ::testing::Values(RoundTripCase{"Empty", 0, 0}, RoundTripCase{"NoValues", 2, 0},
                                           RoundTripCase{"Small", 1, 3}, RoundTripCase{"Several", 5, 17},
                                           RoundTripCase{"Full", 100, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CodecTest, AFullDefinitionFillsTheStagingExactly) {
    fillDefinition(100, 1000);
    ChartDefinition& definition = testDefinition();
    for (int s = 0; s < 100; ++s)
        for (int v = 0; v < 1000; ++v) copyText(definition.xLabel[s][v], std::string(31, 'x'));
    const auto streams = encode();
    EXPECT_EQ(streamBytes(streams, "LABS").size(), 3200000u);
    EXPECT_EQ(streamBytes(streams, "SERS").size(), 826400u);
}

TEST_F(CodecTest, MoreThanAThousandValuesWriteTheThousandTheTablesHold) {
    // Plotz_Data leaves 1001 with error 10 when combining stops.
    fillDefinition(2, 1000);
    ChartHeader snapshot;
    initHeader(snapshot);
    snapshot.seriesCount = 2;
    snapshot.valueCount = 1001;
    snapshot.errorCode = kErrorTooManyValues;
    commitHeader(testDefinition(), snapshot);
    const auto first = encode();
    ChartBlock stored;
    const auto block = streamBytes(first, "CHHD");
    ASSERT_EQ(block.size(), sizeof stored);
    std::memcpy(&stored, block.data(), sizeof stored);
    EXPECT_EQ(stored.header.valueCount, 1001u);  // the count is kept as given
    std::size_t expected = 0;
    for (int s = 0; s < 2; ++s)
        for (int v = 0; v < 1000; ++v) expected += 1 + 1 + (s + v) % 31;
    EXPECT_EQ(streamBytes(first, "LABS").size(), expected);

    decodeFresh(first);
    EXPECT_EQ(testDefinition().header().valueCount, 1001u);
    EXPECT_EQ(std::string(testDefinition().xLabel[1][999]), labelFor(1, 999, 1 + 1000 % 31));
    const auto second = encode();
    EXPECT_EQ(streamBytes(second, "LABS"), streamBytes(first, "LABS"));
    EXPECT_EQ(streamBytes(second, "CHHD"), streamBytes(first, "CHHD"));
}

TEST_F(CodecTest, EncodingReplacesWhateverTheContainerHeld) {
    Container container;
    container.add("JPEG", testing::bytesOf("old")).add("CHHD", testing::bytesOf("stale"));
    ASSERT_EQ(encodeDefinition(testWorkingSet(), container.get()), 0);
    EXPECT_EQ(codesOf(streamsOf(container.get())), (std::vector<std::string>{"CHHD", "LABS", "LABY", "SERS"}));
}

TEST_F(CodecTest, AFailedStagingLeavesTheStreamOutAndReportsTheHostsMemoryError) {
    fillDefinition(1, 2);
    Container container;
    fmhost_fail_allocation(1);  // the first allocation: the block for "CHHD"
    EXPECT_EQ(encodeDefinition(testWorkingSet(), container.get()), -108);
    EXPECT_EQ(codesOf(streamsOf(container.get())), (std::vector<std::string>{"LABS", "LABY", "SERS"}));

    Container second;
    fmhost_fail_allocation(3);  // block, type code of "CHHD", then the block for "LABS"
    EXPECT_EQ(encodeDefinition(testWorkingSet(), second.get()), -108);
    EXPECT_EQ(codesOf(streamsOf(second.get())), (std::vector<std::string>{"CHHD", "LABY", "SERS"}));
}

}  // namespace
}  // namespace plotwise
