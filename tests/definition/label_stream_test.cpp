// Label streams are read through a buffer of 64 KiB at a time. Entries of every length, cut by
// the buffer's edge anywhere, must come out as labels of 31 bytes at most, cut between
// characters.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "definition/chart_definition.h"
#include "definition/codec.h"
#include "stand_in/fmhost.h"
#include "tests/support/host_values.h"
#include "tests/support/working_set.h"

namespace plotwise {
namespace {

FMX_Error* noError() {
    static FMX_Error err;
    err = FMX_Error{1, 0};
    return &err;
}

void addStream(FMX_BinaryData* binary, const char* code, const std::string& bytes) {
    support::addStream(binary, code, bytes.data(), bytes.size());
}

// Entry k of a stream: lengths from 0 to 70 bytes, every fifth of three-byte euro signs.
bool euros(int k) { return k % 5 == 0; }
std::string entry(int k) {
    const int length = (k * 37) % 71;
    std::string text;
    while (static_cast<int>(text.size()) < length) text += euros(k) ? "\xE2\x82\xAC" : std::string(1, 'a' + k % 26);
    return text;
}

// A label field holding `kept`.
std::vector<char> labelOf(const std::string& kept) {
    std::vector<char> field(kLabelSize, '\0');
    std::memcpy(field.data(), kept.data(), kept.size());
    return field;
}

class LabelStream : public ::testing::Test {
protected:
    void SetUp() override { std::memset(&testDefinition(), 0, sizeof(ChartDefinition)); }
    void TearDown() override { std::memset(&testDefinition(), 0, sizeof(ChartDefinition)); }

    // Decodes a container of a full-size header and the given label streams.
    void decode(const std::string& xLabels, const std::string& yLabels) {
        ChartBlock block{};
        block.header.seriesCount = kMaxSeries;
        block.header.valueCount = kMaxValues;
        FMX_BinaryData* binary = FM_BinaryData_Constructor1(noError());
        addStream(binary, "CHHD", std::string(reinterpret_cast<const char*>(&block), sizeof block));
        addStream(binary, "LABS", xLabels);
        addStream(binary, "LABY", yLabels);
        EXPECT_TRUE(decodeDefinition(testWorkingSet(), binary));
        FM_BinaryData_Delete(binary, noError());
    }
    static std::vector<char> label(const Label& l) { return std::vector<char>(l, l + kLabelSize); }
};

TEST_F(LabelStream, EveryEntryAcrossTheBufferEdges) {
    std::string stream;
    std::vector<std::string> entries;
    for (int k = 0; k < kMaxSeries * kMaxValues; ++k) {
        entries.push_back(entry(k));
        stream += entries.back();
        stream += '\0';
    }
    ASSERT_GT(stream.size(), 40u * 65536);  // many buffer edges
    decode(stream, stream);
    const ChartDefinition& d = testDefinition();
    for (int s = 0; s < kMaxSeries; ++s) {
        for (int v = 0; v < kMaxValues; ++v) {
            // Up to 31 letters, or up to ten euro signs (30 bytes).
            const int k = s * kMaxValues + v;
            const std::vector<char> expected = labelOf(entries[k].substr(0, euros(k) ? 30 : 31));
            ASSERT_EQ(label(d.xLabel[s][v]), expected) << "series " << s << " value " << v;
            ASSERT_EQ(label(d.yLabel[s][v]), expected) << "series " << s << " value " << v;
        }
    }
}

TEST_F(LabelStream, LongEntriesAndAnUnendedLastOne) {
    // Entries far longer than a label, one of them straddling the first buffer edge, and a
    // last entry without its zero byte; the stream ends before the table does.
    std::string stream;
    std::vector<std::string> entries;
    entries.push_back(std::string(65530, 'p'));       // runs past the first buffer edge
    entries.push_back(std::string(70000, 'q'));       // longer than a whole buffer
    entries.push_back("");
    entries.push_back("short");
    for (std::size_t k = 0; k < entries.size(); ++k) {
        stream += entries[k];
        stream += '\0';
    }
    stream += "unended";
    decode(stream, "");
    const ChartDefinition& d = testDefinition();
    const std::string kept[] = {std::string(31, 'p'), std::string(31, 'q'), "", "short", "unended"};
    for (std::size_t k = 0; k < std::size(kept); ++k) EXPECT_EQ(label(d.xLabel[0][k]), labelOf(kept[k])) << k;
    // Past the end of the stream the labels are empty.
    EXPECT_EQ(label(d.xLabel[0][std::size(kept)]), labelOf(""));
    EXPECT_EQ(label(d.xLabel[kMaxSeries - 1][kMaxValues - 1]), labelOf(""));
    EXPECT_EQ(label(d.yLabel[0][0]), labelOf(""));
}

}  // namespace
}  // namespace plotwise
