// Notice pictures (decoded and compared with the text drawn at its computed place) and the
// background picture under a chart.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gd.h>
#include <gdfontmb.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/chart_options.h"
#include "engine/graph/notice.h"
#include "engine/picture/background_picture.h"
#include "tests/support/engine_options.h"

namespace plotwise {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0xFF0000;
constexpr int kFontWidth = 7;   // the medium-bold built-in font
constexpr int kFontHeight = 13;

// The bytes written to a stream by `draw`.
template <typename Draw>
std::vector<unsigned char> captured(Draw draw) {
    char* data = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&data, &size);
    EXPECT_NE(out, nullptr);
    draw(out);
    std::fclose(out);
    std::vector<unsigned char> bytes(data, data + size);
    std::free(data);
    return bytes;
}

uint32_t rgbAt(gdImagePtr image, int x, int y) {
    const int c = gdImageGetPixel(image, x, y);
    return static_cast<uint32_t>(gdImageRed(image, c)) << 16 | static_cast<uint32_t>(gdImageGreen(image, c)) << 8 |
           static_cast<uint32_t>(gdImageBlue(image, c));
}

// The text in the medium-bold font at (x, y) on a `bg` picture: what a notice must look like.
gdImagePtr expectedNotice(int width, int height, uint32_t bg, uint32_t fg, const char* text, int x, int y) {
    gdImagePtr image = gdImageCreate(width, height);
    gdImageColorAllocate(image, bg >> 16 & 0xFF, bg >> 8 & 0xFF, bg & 0xFF);
    const int ink = gdImageColorAllocate(image, fg >> 16 & 0xFF, fg >> 8 & 0xFF, fg & 0xFF);
    gdImageString(image, gdFontGetMediumBold(), x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text)), ink);
    return image;
}

// Number of pixels whose colours differ.
int differences(gdImagePtr a, gdImagePtr b) {
    int count = 0;
    for (int y = 0; y < gdImageSY(a); ++y) {
        for (int x = 0; x < gdImageSX(a); ++x) count += rgbAt(a, x, y) != rgbAt(b, x, y) ? 1 : 0;
    }
    return count;
}

class Notice : public ::testing::Test {
protected:
    void SetUp() override { engineOptions() = ChartOptions{}; }
    void TearDown() override {
        if (engineOptions().image != nullptr) gdImageDestroy(engineOptions().image);
        engineOptions() = ChartOptions{};
    }
};

TEST_F(Notice, FontIsTheMediumBoldOne) {
    ASSERT_EQ(gdFontGetMediumBold()->w, kFontWidth);
    ASSERT_EQ(gdFontGetMediumBold()->h, kFontHeight);
}

TEST_F(Notice, TextCentredAtAThirdOfTheHeight) {
    struct Case {
        int width, height;
        const char* text;
        int x, y;  // worked out by hand: width / 2 - length * 7 / 2, height / 3
    };
    const Case cases[] = {
        {200, 100, kNoticeNoData, 41, 33},         // 17 characters: 100 - 59
        {640, 480, kNoticeTooSmall, 236, 160},     // 24 characters: 320 - 84
        {301, 77, kNoticeNoCombo, 70, 25},         // 23 characters: 150 - 80
        {101, 40, kNoticeNoData, -9, 13},          // wider than the picture: clipped at the left
    };
    for (const auto& c : cases) {
        const auto bytes = captured([&](FILE* out) { draw_notice(engineOptions(), c.width, c.height, out, kWhite, kRed, c.text); });
        gdImagePtr got = gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
        ASSERT_NE(got, nullptr) << c.text;
        ASSERT_EQ(gdImageSX(got), c.width);
        ASSERT_EQ(gdImageSY(got), c.height);
        EXPECT_EQ(rgbAt(got, 0, 0), kWhite);
        EXPECT_EQ(rgbAt(got, c.width - 1, c.height - 1), kWhite);

        // Red only inside the text's box, and plenty of it.
        int red = 0;
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                if (rgbAt(got, x, y) != kRed) continue;
                ++red;
                EXPECT_GE(x, c.x);
                EXPECT_LT(x, c.x + static_cast<int>(std::strlen(c.text)) * kFontWidth);
                EXPECT_GE(y, c.y);
                EXPECT_LT(y, c.y + kFontHeight);
            }
        }
        EXPECT_GT(red, 50) << c.text;

        gdImagePtr want = expectedNotice(c.width, c.height, kWhite, kRed, c.text, c.x, c.y);
        EXPECT_EQ(differences(got, want), 0) << c.text;
        gdImageDestroy(want);
        gdImageDestroy(got);
    }
}

TEST_F(Notice, DefaultColourIsBlack) {
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 200, 100, out, kWhite, DefaultColor, kNoticeNoData); });
    gdImagePtr got = gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
    ASSERT_NE(got, nullptr);
    gdImagePtr want = expectedNotice(200, 100, kWhite, 0x000000, kNoticeNoData, 41, 33);
    EXPECT_EQ(differences(got, want), 0);
    // The background is the first palette entry.
    EXPECT_EQ(rgbAt(got, 0, 0), kWhite);
    EXPECT_EQ(gdImageRed(got, 0), 255);
    gdImageDestroy(want);
    gdImageDestroy(got);
}

TEST_F(Notice, WbmpWhenTheFormatAsksForIt) {
    engineOptions().image_format = 3;
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 200, 100, out, kWhite, kRed, kNoticeNoData); });
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 0);  // WBMP type 0, where a GIF starts with 'G'
    gdImagePtr got = gdImageCreateFromWBMPPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
    ASSERT_NE(got, nullptr);
    ASSERT_EQ(gdImageSX(got), 200);
    ASSERT_EQ(gdImageSY(got), 100);
    // Black exactly where the text is.
    gdImagePtr want = expectedNotice(200, 100, kWhite, 0x000000, kNoticeNoData, 41, 33);
    EXPECT_EQ(differences(got, want), 0);
    gdImageDestroy(want);
    gdImageDestroy(got);
}

TEST_F(Notice, NothingWrittenWithoutWriteImage) {
    engineOptions().write_image = 0;
    EXPECT_TRUE(captured([](FILE* out) { draw_notice(engineOptions(), 200, 100, out, kWhite, kRed, kNoticeNoData); }).empty());
    // No stream at all is no error either.
    draw_notice(engineOptions(), 200, 100, nullptr, kWhite, kRed, kNoticeNoData);
    engineOptions().write_image = 1;
    draw_notice(engineOptions(), 200, 100, nullptr, kWhite, kRed, kNoticeNoData);
    EXPECT_EQ(engineOptions().image, nullptr);
}

TEST_F(Notice, KeptInTheImageOptionWithHoldBitZero) {
    engineOptions().hold_image = 1;
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 200, 100, out, kWhite, kRed, kNoticeNoData); });
    EXPECT_FALSE(bytes.empty());
    gdImagePtr kept = engineOptions().image;
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(gdImageSX(kept), 200);
    EXPECT_EQ(gdImageSY(kept), 100);
    gdImagePtr want = expectedNotice(200, 100, kWhite, kRed, kNoticeNoData, 41, 33);
    EXPECT_EQ(differences(kept, want), 0);
    gdImageDestroy(want);
}

TEST_F(Notice, DrawnIntoAHandedInPictureWithHoldBitOne) {
    // A picture with a blue mark in one corner; the notice is drawn over it.
    gdImagePtr handed = gdImageCreate(300, 200);
    gdImageColorAllocate(handed, 0, 255, 0);
    gdImageSetPixel(handed, 299, 199, gdImageColorAllocate(handed, 0, 0, 255));
    engineOptions().image = handed;
    engineOptions().hold_image = 3;
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 300, 200, out, kWhite, kRed, kNoticeNoData); });
    ASSERT_EQ(engineOptions().image, handed);

    gdImagePtr got = gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(gdImageSX(got), 300);
    EXPECT_EQ(rgbAt(got, 0, 0), 0x00FF00u);      // the picture's own background stays
    EXPECT_EQ(rgbAt(got, 299, 199), 0x0000FFu);  // and so does its mark
    EXPECT_EQ(rgbAt(got, 150 - 59 + 1, 66 + 3), kRed);  // a stroke of the 'N' at (91, 66)
    int red = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) red += rgbAt(got, x, y) == kRed ? 1 : 0;
    }
    EXPECT_GT(red, 50);
    gdImageDestroy(got);
}

TEST_F(Notice, HandedInPictureIsReleasedWithoutHoldBitZero) {
    engineOptions().image = gdImageCreate(300, 200);
    engineOptions().hold_image = 2;
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 300, 200, out, kWhite, kRed, kNoticeNoData); });
    EXPECT_FALSE(bytes.empty());
    // Destroyed, and its handle is not left behind to be used again.
    EXPECT_EQ(engineOptions().image, nullptr);
}

TEST_F(Notice, HoldBitOneWithoutAPictureCreatesOne) {
    engineOptions().hold_image = 2;
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 120, 60, out, kWhite, kRed, "x"); });
    gdImagePtr got = gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(gdImageSX(got), 120);
    EXPECT_EQ(gdImageSY(got), 60);
    gdImageDestroy(got);
    EXPECT_EQ(engineOptions().image, nullptr);
}

TEST_F(Notice, NoPictureForAnEmptySize) {
    EXPECT_TRUE(captured([](FILE* out) { draw_notice(engineOptions(), 0, 100, out, kWhite, kRed, kNoticeNoData); }).empty());
    EXPECT_TRUE(captured([](FILE* out) { draw_notice(engineOptions(), 100, -1, out, kWhite, kRed, kNoticeNoData); }).empty());
    const auto bytes = captured([](FILE* out) { draw_notice(engineOptions(), 50, 20, out, kWhite, kRed, nullptr); });
    gdImagePtr got = gdImageCreateFromGifPtr(static_cast<int>(bytes.size()), const_cast<unsigned char*>(bytes.data()));
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(gdImageSX(got), 50);
    gdImageDestroy(got);
}

// ---- Background picture ------------------------------------------------------------------------

class BackgroundImage : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("plotwise-bg-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // A GIF of the given size: grey (the first palette entry) with a red block and marks in blue
    // at the top-left and green at the bottom-right corner, so that a turned or shifted copy shows.
    std::string writeGif(const char* name, int width, int height) {
        gdImagePtr image = gdImageCreate(width, height);
        gdImageColorAllocate(image, 128, 128, 128);
        const int red = gdImageColorAllocate(image, 255, 0, 0);
        gdImageFilledRectangle(image, 1, 1, width - 2, height - 2, red);
        gdImageSetPixel(image, 0, 0, gdImageColorAllocate(image, 0, 0, 255));
        gdImageSetPixel(image, width - 1, height - 1, gdImageColorAllocate(image, 0, 255, 0));
        const std::string path = (dir_ / name).string();
        FILE* file = std::fopen(path.c_str(), "wb");
        gdImageGif(image, file);
        std::fclose(file);
        gdImageDestroy(image);
        return path;
    }

    static gdImagePtr whiteChart(int width, int height) {
        gdImagePtr image = gdImageCreate(width, height);
        gdImageColorAllocate(image, 255, 255, 255);
        return image;
    }

    std::filesystem::path dir_;
};

TEST_F(BackgroundImage, SmallerPictureIsCentred) {
    const std::string file = writeGif("small.gif", 20, 10);
    gdImagePtr chart = whiteChart(100, 50);
    draw_background_image(chart, file.c_str(), 100, 50);
    // At (50 - 10, 25 - 5).
    EXPECT_EQ(rgbAt(chart, 40, 20), 0x0000FFu);
    EXPECT_EQ(rgbAt(chart, 59, 29), 0x00FF00u);
    EXPECT_EQ(rgbAt(chart, 45, 25), 0xFF0000u);
    EXPECT_EQ(rgbAt(chart, 39, 20), kWhite);
    EXPECT_EQ(rgbAt(chart, 40, 19), kWhite);
    EXPECT_EQ(rgbAt(chart, 60, 29), kWhite);
    EXPECT_EQ(rgbAt(chart, 59, 30), kWhite);
    gdImageDestroy(chart);
}

TEST_F(BackgroundImage, LargerPictureIsCroppedFromItsTopLeft) {
    const std::string file = writeGif("large.gif", 120, 80);
    gdImagePtr chart = whiteChart(100, 50);
    draw_background_image(chart, file.c_str(), 100, 50);
    EXPECT_EQ(rgbAt(chart, 0, 0), 0x0000FFu);
    EXPECT_EQ(rgbAt(chart, 1, 1), 0xFF0000u);
    EXPECT_EQ(rgbAt(chart, 99, 49), 0xFF0000u);  // the picture's green corner is cut away
    gdImageDestroy(chart);
}

TEST_F(BackgroundImage, WiderButLowerPictureCoversOnlyItsOwnRows) {
    const std::string file = writeGif("wide.gif", 120, 20);
    gdImagePtr chart = whiteChart(100, 50);
    draw_background_image(chart, file.c_str(), 100, 50);
    // x from 0 (cropped), y centred at 25 - 10: rows 15 to 34.
    EXPECT_EQ(rgbAt(chart, 0, 15), 0x0000FFu);
    EXPECT_EQ(rgbAt(chart, 99, 34), 0x808080u);  // the grey frame's bottom row
    EXPECT_EQ(rgbAt(chart, 50, 20), 0xFF0000u);
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(rgbAt(chart, x, 14), kWhite) << x;
        for (int y = 35; y < 50; ++y) ASSERT_EQ(rgbAt(chart, x, y), kWhite) << x << "," << y;
    }
    gdImageDestroy(chart);
}

TEST_F(BackgroundImage, UnreadablePicturesAreIgnored) {
    const std::string notGif = (dir_ / "text.gif").string();
    FILE* file = std::fopen(notGif.c_str(), "wb");
    std::fputs("this is no picture", file);
    std::fclose(file);
    const std::string empty = (dir_ / "empty.gif").string();
    std::fclose(std::fopen(empty.c_str(), "wb"));

    gdImagePtr chart = whiteChart(40, 30);
    for (const std::string& name : {notGif, empty, (dir_ / "missing.gif").string(), dir_.string()}) {
        draw_background_image(chart, name.c_str(), 40, 30);
    }
    draw_background_image(chart, nullptr, 40, 30);
    draw_background_image(nullptr, notGif.c_str(), 40, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) ASSERT_EQ(rgbAt(chart, x, y), kWhite);
    }
    gdImageDestroy(chart);
}

}  // namespace
}  // namespace plotwise
