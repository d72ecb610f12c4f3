// The picture drawn for a definition travels after the definition streams.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "definition/codec.h"
#include "definition/picture_streams.h"
#include "host_values.h"

namespace plotwise {
namespace {

using testing::Container;
using testing::DefinitionTest;
using testing::codesOf;
using testing::streamBytes;
using testing::streamsOf;

class PictureStreamsTest : public DefinitionTest {
protected:
    std::vector<testing::Stream> encodeWithSize(uint32_t width, uint32_t height, const std::string& picture) {
        ChartHeader snapshot;
        resetDefinition(testDefinition(), snapshot);
        snapshot.width = width;
        snapshot.height = height;
        snapshot.seriesCount = 1;
        snapshot.valueCount = 1;
        commitHeader(testDefinition(), snapshot);
        Container container;
        EXPECT_EQ(encodeDefinition(testWorkingSet(), container.get(), testing::bytesOf(picture)), 0);
        return streamsOf(container.get());
    }
};

struct SizeCase {
    uint32_t width, height;
    std::vector<uint8_t> size;
};

TEST_F(PictureStreamsTest, FollowTheDefinitionWithTheSizeBigEndian) {
    const std::string picture = "GIF89a picture bytes";
    for (const SizeCase& c : {SizeCase{400, 300, {0x01, 0x90, 0x01, 0x2C}},
                              SizeCase{70000, 65536 + 300, {0x11, 0x70, 0x01, 0x2C}},  // low 16 bits
                              SizeCase{1, 65535, {0x00, 0x01, 0xFF, 0xFF}}}) {
        const auto streams = encodeWithSize(c.width, c.height, picture);
        EXPECT_EQ(codesOf(streams), (std::vector<std::string>{"CHHD", "LABS", "LABY", "SERS", "GIFf", "SIZE"}));
        EXPECT_EQ(streamBytes(streams, "GIFf"), testing::bytesOf(picture));
        EXPECT_EQ(streamBytes(streams, "SIZE"), c.size) << c.width << " x " << c.height;
    }
}

TEST_F(PictureStreamsTest, WithoutAPictureOnlyTheDefinitionIsWritten) {
    const auto streams = encodeWithSize(400, 300, "");
    EXPECT_EQ(codesOf(streams), (std::vector<std::string>{"CHHD", "LABS", "LABY", "SERS"}));
}

TEST_F(PictureStreamsTest, AFailedStagingLeavesThePictureOut) {
    ChartHeader snapshot;
    resetDefinition(testDefinition(), snapshot);
    commitHeader(testDefinition(), snapshot);
    Container container;
    fmhost_fail_allocation(1);  // the block for "CHHD"
    EXPECT_EQ(encodeDefinition(testWorkingSet(), container.get(), testing::bytesOf("GIF89a")), -108);
    EXPECT_EQ(codesOf(streamsOf(container.get())), (std::vector<std::string>{"LABS", "LABY", "SERS"}));
}

}  // namespace
}  // namespace plotwise
