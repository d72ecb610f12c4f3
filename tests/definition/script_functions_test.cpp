// Plotz_New, Plotz_Version, ContainerAnalysis and ExtractPicture, called as the host calls them.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/script_functions.h"
#include "definition/codec.h"
#include "host_values.h"

namespace plotwise {
namespace {

using testing::Args;
using testing::Container;
using testing::DefinitionTest;
using testing::Stream;
using testing::Value;
using testing::bytesOf;
using testing::codesOf;
using testing::streamBytes;

class ScriptFunctionTest : public DefinitionTest {
protected:
    FMX_ExprEnv* env() { return nullptr; }
};

// ---- Plotz_New ----------------------------------------------------------------------------

// The four definition streams come first; a picture, when drawn, follows as "GIFf" and "SIZE".
void expectDefinitionStreams(const std::vector<Stream>& streams) {
    const auto codes = codesOf(streams);
    ASSERT_GE(codes.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(codes.begin(), codes.begin() + 4),
              (std::vector<std::string>{"CHHD", "LABS", "LABY", "SERS"}));
    if (codes.size() > 4) {
        EXPECT_EQ(std::vector<std::string>(codes.begin() + 4, codes.end()), (std::vector<std::string>{"GIFf", "SIZE"}));
    }
}

TEST_F(ScriptFunctionTest, PlotzNewGivesAnEmptyDefinitionWithDefaults) {
    Args args;
    Value result;
    ASSERT_EQ(Plotz_New(2, env(), args.get(), result.get()), 0);
    ASSERT_EQ(result.type(), kFMX_Container);
    const auto streams = result.streams();
    expectDefinitionStreams(streams);

    const auto block = streamBytes(streams, "CHHD");
    ASSERT_EQ(block.size(), sizeof(ChartBlock));
    ChartBlock stored;
    std::memcpy(&stored, block.data(), sizeof stored);
    EXPECT_EQ(stored.header.width, 320u);
    EXPECT_EQ(stored.header.height, 240u);
    EXPECT_EQ(stored.header.backgroundColor, 0xFFFFFFu);
    EXPECT_STREQ(stored.header.style, "pie");
    EXPECT_STREQ(stored.header.chartTitle, "");
    EXPECT_EQ(stored.header.seriesCount, 0u);
    EXPECT_EQ(stored.header.valueCount, 0u);
    EXPECT_EQ(stored.header.errorCode, 0u);
    EXPECT_EQ(stored.fontSize[0], 0u);
    EXPECT_EQ(stored.fontColor[3], kDefaultColor);
    EXPECT_STREQ(stored.fontName[5], "Times.ttf");
    EXPECT_EQ(stored.axis[0].type, 0);
    EXPECT_EQ(stored.axis[0].min, kLargestFloat);
    EXPECT_EQ(stored.pieColor[0], 0u);  // as in a new plug-in: nothing of an earlier chart
    EXPECT_TRUE(streamBytes(streams, "LABS").empty());
    EXPECT_TRUE(streamBytes(streams, "LABY").empty());
    EXPECT_TRUE(streamBytes(streams, "SERS").empty());
}

TEST_F(ScriptFunctionTest, PlotzNewReportsAFailedEncodingAsTheMemoryErrorNumber) {
    // Arm the failure at each allocation in turn. A failed host object ends the call at the
    // boundary; a failed staging block must give the memory error as the result, never a
    // container that lacks a stream.
    bool sawMemoryError = false;
    bool sawContainer = false;
    for (int n = 1; n <= 60 && !sawContainer; ++n) {
        Args args;
        Value result;
        fmhost_fail_allocation(n);
        const int16_t code = Plotz_New(2, env(), args.get(), result.get());
        fmhost_fail_allocation(0);
        if (code != 0) {
            EXPECT_EQ(code, 1) << n;  // the boundary's memory error
            continue;
        }
        if (result.type() == kFMX_Container) {
            expectDefinitionStreams(result.streams());
            sawContainer = true;
        } else {
            ASSERT_EQ(result.type(), kFMX_Number) << n;
            EXPECT_EQ(result.asNumber(), -108) << n;
            sawMemoryError = true;
        }
    }
    EXPECT_TRUE(sawMemoryError);
    EXPECT_TRUE(sawContainer);
}

// ---- Plotz_Version ------------------------------------------------------------------------

struct VersionCase {
    const char* request;
    const char* answer;
};

class VersionTest : public ScriptFunctionTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionTest, AnswersTheRequestedForm) {
    Args args;
    args.text(GetParam().request);
    Value result;
    ASSERT_EQ(Plotz_Version(1, env(), args.get(), result.get()), 0);
    EXPECT_EQ(result.type(), kFMX_Text);
    EXPECT_EQ(result.asText(), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Requests, VersionTest,
                         ::testing::Values(VersionCase{"", "1.3"},
                                           VersionCase{"long", "Norvane Plotwise Plug-In 1.3"},
                                           VersionCase{"platform", "Windows"}, VersionCase{"short", "1.3"},
                                           VersionCase{"LONG", ""},  // the host's equality counts case
                                           VersionCase{"Short", ""}, VersionCase{"long ", ""},
                                           VersionCase{"version", ""}));

TEST_F(ScriptFunctionTest, PlotzVersionReadsANumberAsItsText) {
    Args args;
    args.number(13);
    Value result;
    ASSERT_EQ(Plotz_Version(1, env(), args.get(), result.get()), 0);
    EXPECT_EQ(result.type(), kFMX_Text);
    EXPECT_EQ(result.asText(), "");
}

// ---- ContainerAnalysis ---------------------------------------------------------------------

std::string analyse(const Container& container, const char* request, Value& result) {
    Args args;
    args.container(container).text(request);
    EXPECT_EQ(ContainerAnalysis(11, nullptr, args.get(), result.get()), 0);
    return result.type() == kFMX_Text ? result.asText() : "(no text)";
}

TEST_F(ScriptFunctionTest, AnalysisOfAnEmptyDefinitionListsTheTotalAndTheHeader) {
    Container container;
    container.add("CHHD", std::vector<uint8_t>(7624, 0)).add("LABS", {}).add("LABY", {}).add("SERS", {});
    Value result;
    EXPECT_EQ(analyse(container, "analysis", result), "Container total = 7624\rHeader  = 7624\r");
}

TEST_F(ScriptFunctionTest, AnalysisListsStreamsInItsOwnOrderWithPaddedSizes) {
    Container container;
    container.add("SERS", std::vector<uint8_t>(12))
        .add("JPEG", std::vector<uint8_t>(3))
        .add("LABY", std::vector<uint8_t>(12345))
        .add("SIZE", std::vector<uint8_t>(4))
        .add("LABS", std::vector<uint8_t>(99))
        .add("GIFf", std::vector<uint8_t>(100))
        .add("CHHD", std::vector<uint8_t>(7000))
        .add("ABCD", std::vector<uint8_t>(5));  // counted in the total, not listed
    Value result;
    EXPECT_EQ(analyse(container, "ANALYSIS", result),
              "Container total = 19568\r"
              "Giff    = 0100\r"
              "Size    = 0004\r"
              "Header  = 7000\r"
              "XLabels = 0099\r"
              "YLabels = 12345\r"
              "Series  = 0012\r"
              "Jpeg    = 0003\r");
}

TEST_F(ScriptFunctionTest, AnalysisPadsASmallTotalWithBlanks) {
    Container container;
    container.add("SIZE", std::vector<uint8_t>(4));
    Value result;
    EXPECT_EQ(analyse(container, "Analysis", result), "Container total =    4\rSize    = 0004\r");
}

TEST_F(ScriptFunctionTest, AnalysisOfAnEmptyContainerSaysEmpty) {
    Container container;
    container.add("CHHD", {});
    Value result;
    EXPECT_EQ(analyse(container, "analysis", result), "Container total = Empty");
}

TEST_F(ScriptFunctionTest, AnyOtherRequestGivesAnEmptyText) {
    ChartBlock block{};
    block.header.width = 777;
    Container container;
    container.add("CHHD", bytesOf(block));
    Value result;
    EXPECT_EQ(analyse(container, "analysis please", result), "");
    EXPECT_EQ(result.type(), kFMX_Text);
}

TEST_F(ScriptFunctionTest, AnalysisOfANonContainerSetsNoResult) {
    Args args;
    args.text("CHHD").text("analysis");
    Value result;
    result.number(42);
    EXPECT_EQ(ContainerAnalysis(11, nullptr, args.get(), result.get()), 0);
    EXPECT_EQ(result.type(), kFMX_Number);
    EXPECT_EQ(result.asNumber(), 42);

    Container container;
    Args one;
    one.container(container);
    EXPECT_EQ(ContainerAnalysis(11, nullptr, one.get(), result.get()), 0);
    EXPECT_EQ(result.asNumber(), 42);
}

// ---- ExtractPicture ------------------------------------------------------------------------

TEST_F(ScriptFunctionTest, ExtractPictureGivesOnlyThePictureAndItsSize) {
    const std::vector<uint8_t> picture = bytesOf("GIF89a\x01\x02\x03");
    const std::vector<uint8_t> size = {0x01, 0x90, 0x01, 0x2C};
    Container container;
    container.add("CHHD", std::vector<uint8_t>(7624, 9)).add("SERS", {}).add("GIFf", picture).add("SIZE", size);
    Args args;
    args.container(container);
    Value result;
    ASSERT_EQ(ExtractPicture(12, nullptr, args.get(), result.get()), 0);
    ASSERT_EQ(result.type(), kFMX_Container);
    const auto streams = result.streams();
    ASSERT_EQ(codesOf(streams), (std::vector<std::string>{"GIFf", "SIZE"}));
    EXPECT_EQ(streams[0].second, picture);
    EXPECT_EQ(streams[1].second, size);
}

TEST_F(ScriptFunctionTest, ExtractPictureReadsAMissingOrShortSizeAsZeros) {
    Container without;
    without.add("GIFf", bytesOf("GIF"));
    Args args;
    args.container(without);
    Value result;
    ASSERT_EQ(ExtractPicture(12, nullptr, args.get(), result.get()), 0);
    EXPECT_EQ(streamBytes(result.streams(), "SIZE"), (std::vector<uint8_t>{0, 0, 0, 0}));

    Container shortSize;
    shortSize.add("GIFf", bytesOf("GIF")).add("SIZE", {0x12, 0x34});
    Args second;
    second.container(shortSize);
    Value other;
    ASSERT_EQ(ExtractPicture(12, nullptr, second.get(), other.get()), 0);
    EXPECT_EQ(streamBytes(other.streams(), "SIZE"), (std::vector<uint8_t>{0x12, 0x34, 0, 0}));
}

TEST_F(ScriptFunctionTest, ExtractPictureOfATextIsMinusFiftyAndWithoutAPictureFive) {
    Args text;
    text.text("GIFf");
    Value result;
    ASSERT_EQ(ExtractPicture(12, nullptr, text.get(), result.get()), 0);
    EXPECT_EQ(result.type(), kFMX_Number);
    EXPECT_EQ(result.asNumber(), -50);

    Container container;
    container.add("CHHD", std::vector<uint8_t>(7624)).add("SIZE", {1, 2, 3, 4});
    Args args;
    args.container(container);
    Value none;
    ASSERT_EQ(ExtractPicture(12, nullptr, args.get(), none.get()), 0);
    EXPECT_EQ(none.type(), kFMX_Number);
    EXPECT_EQ(none.asNumber(), 5);
}

TEST_F(ScriptFunctionTest, ExtractPictureReportsAFailedStagingAsTheMemoryErrorNumber) {
    Container container;
    container.add("GIFf", bytesOf("GIF89a"));
    Args args;
    args.container(container);
    bool sawMemoryError = false;
    for (int n = 1; n <= 20; ++n) {
        Value result;
        fmhost_fail_allocation(n);
        const int16_t code = ExtractPicture(12, nullptr, args.get(), result.get());
        fmhost_fail_allocation(0);
        if (code != 0) continue;  // a host object failed: ended at the boundary
        if (result.type() == kFMX_Container) {
            EXPECT_EQ(codesOf(result.streams()), (std::vector<std::string>{"GIFf", "SIZE"})) << n;
            break;
        }
        ASSERT_EQ(result.type(), kFMX_Number);
        EXPECT_EQ(result.asNumber(), -108);
        sawMemoryError = true;
    }
    EXPECT_TRUE(sawMemoryError);
}

}  // namespace
}  // namespace plotwise
