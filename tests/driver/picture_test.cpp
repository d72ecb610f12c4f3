// The picture streams of a container and the error pictures.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gdfontmb.h>

#include "boundary/host_calls.h"
#include "definition/chart_definition.h"
#include "definition/picture_streams.h"
#include "driver/error_picture.h"
#include "stand_in/fmhost.h"
#include "tests/pie/pie_test_support.h"
#include "tests/support/plugin_calls.h"

namespace plotwise {
namespace {

using testing::decodeGif;
using testing::ExpectedText;
using testing::PieFixture;
using testing::pixelsOf;
using testing::rgbAt;

std::vector<uint8_t> streamOf(const FMX_BinaryData* container, const char code[4]) {
    const int32_t index = host::streamIndex(container, code);
    if (index < 0) return {};
    std::vector<uint8_t> bytes(host::streamSize(container, index));
    if (!bytes.empty()) {
        EXPECT_TRUE(host::readStream(container, index, 0, static_cast<uint32_t>(bytes.size()), bytes.data()));
    }
    return bytes;
}

// The error picture of `code` at width x height, as the GIF it writes, with the test's options.
std::vector<uint8_t> errorGif(uint32_t code, uint32_t width, uint32_t height) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    if (out == nullptr) return {};
    drawErrorPicture(engineOptions(), code, width, height, out);
    fclose(out);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

class PictureTest : public PieFixture {
protected:
    void TearDown() override {
        fmhost_fail_allocation(0);
        PieFixture::TearDown();
    }
};

const std::vector<uint8_t> kPicture = {'G', 'I', 'F', '8', '9', 'a', '-', 'b', 'y', 't', 'e', 's'};

TEST_F(PictureTest, AttachAddsTheBytesAndTheSizeBigEndian) {
    struct Case {
        uint32_t width, height;
        std::vector<uint8_t> size;
    };
    for (const Case& c : {Case{640, 480, {0x02, 0x80, 0x01, 0xE0}}, Case{70000, 480, {0x11, 0x70, 0x01, 0xE0}},
                          Case{65535, 1, {0xFF, 0xFF, 0x00, 0x01}}}) {
        host::BinaryData container;
        EXPECT_EQ(attachPicture(container.get(), kPicture, c.width, c.height), 0);
        EXPECT_EQ(host::streamIndex(container.get(), "GIFf"), 0);
        EXPECT_EQ(host::streamIndex(container.get(), "SIZE"), 1);
        EXPECT_EQ(streamOf(container.get(), "GIFf"), kPicture);
        EXPECT_EQ(streamOf(container.get(), "SIZE"), c.size) << c.width << " x " << c.height;
    }
}

TEST_F(PictureTest, WithoutAPictureNothingIsAttached) {
    host::BinaryData container;
    EXPECT_EQ(attachPicture(container.get(), {}, 640, 480), 0);
    EXPECT_LT(host::streamIndex(container.get(), "GIFf"), 0);
    EXPECT_LT(host::streamIndex(container.get(), "SIZE"), 0);
}

TEST_F(PictureTest, HostMemoryFailureIsTheResult) {
    support::countStagingAsHostAllocations();
    host::BinaryData container;
    fmhost_fail_allocation(1);
    EXPECT_NE(attachPicture(container.get(), kPicture, 640, 480), 0);
    EXPECT_LT(host::streamIndex(container.get(), "GIFf"), 0);
    EXPECT_LT(host::streamIndex(container.get(), "SIZE"), 0);
    fmhost_fail_allocation(0);
    // With memory the staging blocks carry the picture.
    EXPECT_EQ(attachPicture(container.get(), kPicture, 640, 480), 0);
    EXPECT_EQ(streamOf(container.get(), "GIFf"), kPicture);
}

// ---- Error pictures ---------------------------------------------------------------------------

struct MessageCase {
    uint32_t code;
    const char* message;
};
constexpr MessageCase kMessages[] = {
    {1, "Error in Titles parameters"},
    {2, "Error in Style parameters"},
    {3, "Error in Data - bad parameters"},
    {4, "Error in Draw parameters"},
    {5, "Error in Data - Empty!"},
    {6, "Error in Colors parameters"},
    {7, "Error in Font parameters"},
    {10, "Error, more than 1000 values!"},
    {11, "Error in Data - bad Xdata parameter"},
    {12, "Error in Data - bad Ydata parameter"},
    {13, "Error in Axis parameters!"},
    {14, "Error in Export parameters"},
    {15, "Error in Data - no positive values!"},
    {16, "Error in Export - picture too large"},
};

TEST_F(PictureTest, FourteenErrorMessages) {
    for (const MessageCase& c : kMessages) EXPECT_EQ(errorMessage(c.code), c.message) << c.code;
    for (uint32_t code : {0u, 8u, 9u, 17u, 0xFFFFFFFFu}) EXPECT_TRUE(errorMessage(code).empty()) << code;
}

TEST_F(PictureTest, EveryErrorCodeDrawsItsTitledPieAtTheDefinitionsSize) {
    for (const MessageCase& c : kMessages) {
        auto im = decodeGif(errorGif(c.code, 360, 260));
        ASSERT_TRUE(im) << c.code;
        EXPECT_EQ(gdImageSX(im.get()), 360);
        EXPECT_EQ(gdImageSY(im.get()), 260);
        EXPECT_EQ(rgbAt(im.get(), 0, 259), 0xFFFFFFu);  // white background
        // The title: the message in the medium bold font, centred on row 1.
        const int tw = 7 * static_cast<int>(std::strlen(c.message));
        ExpectedText expected(360, 260);
        expected.line(gdFontGetMediumBold(), 180 - tw / 2, 1, c.message);
        EXPECT_EQ(pixelsOf(im.get(), 0x000000, 0, 15), expected.pixels(0, 15)) << c.message;
    }
}

TEST_F(PictureTest, TheErrorPieShowsItsFixedSlices) {
    auto im = decodeGif(errorGif(5, 400, 300));
    ASSERT_TRUE(im);
    const ChartOptions& o = engineOptions();
    EXPECT_EQ(o.pie_3d_depth, 25);
    EXPECT_EQ(o.pie_3d_angle, 180);
    EXPECT_EQ(o.pie_label_dist, 15);
    EXPECT_EQ(o.pie_percent_type, 2);
    EXPECT_EQ(o.pie_label_line, 1);
    EXPECT_EQ(o.pie_label_size, 2);
    EXPECT_EQ(o.pie_line_color, 0u);
    EXPECT_EQ(o.pie_bg_color, 0xFFFFFFu);
    ASSERT_NE(o.pie_explode, nullptr);
    ASSERT_NE(o.pie_missing, nullptr);
    ASSERT_NE(o.pie_colors, nullptr);
    EXPECT_EQ(o.pie_explode[3], 20);
    EXPECT_EQ(o.pie_missing[6], 1);
    EXPECT_EQ(o.pie_colors[6], 0x0080FFu);
    // Slices 2, 4 and 6 are drawn (with their 3D shades); the missing ones are not.
    for (uint32_t drawn : {0x80FF80u, 0xFF80FFu, 0x80FFFFu, 0x407F40u, 0x7F407Fu, 0x407F7Fu})
        EXPECT_FALSE(pixelsOf(im.get(), drawn).empty()) << std::hex << drawn;
    for (uint32_t missing : {0xFF4040u, 0x8080FFu, 0xFFFF80u, 0x0080FFu})
        EXPECT_TRUE(pixelsOf(im.get(), missing).empty()) << std::hex << missing;
    // The fourth slice (a quarter of 81 around the bottom) is pushed down: below the centre.
    const float values[] = {8, 10, 10, 25, 10, 10, 8};
    const char* const labels[] = {"Some\nError", "Some\nError", "Some\nError", "Some\nError",
                                  "Some\nError", "Some\nError", "Some\nError"};
    const PieLayout l = layout_pie(o, 400, 300, 0, 7, labels, values);
    EXPECT_EQ(l.ydepth, -24);
    EXPECT_EQ(rgbAt(im.get(), l.cx, l.cy + 30), 0xFF80FFu);
}

TEST_F(PictureTest, AnUnknownCodeKeepsThePreviousTitle) {
    engineOptions().pie_title = "Kept";
    EXPECT_TRUE(decodeGif(errorGif(8, 200, 150)));
    EXPECT_STREQ(engineOptions().pie_title, "Kept");
    EXPECT_TRUE(decodeGif(errorGif(4, 200, 150)));
    EXPECT_STREQ(engineOptions().pie_title, "Error in Draw parameters");
}

TEST_F(PictureTest, ErrorPictureSizesAreTheLow16Bits) {
    auto im = decodeGif(errorGif(2, 65536 + 120, 90));
    ASSERT_TRUE(im);
    EXPECT_EQ(gdImageSX(im.get()), 120);
    // A width that reads as negative in 16 bits draws nothing.
    EXPECT_TRUE(errorGif(2, 40000, 90).empty());
}

}  // namespace
}  // namespace plotwise
