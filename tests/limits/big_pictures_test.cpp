// The largest pictures: every size a script can ask for either draws or gives a defined result
// (the definition without a picture), and the largest pictures that draw do so on a thread
// whose stack is 1 MB, as a host may give a plug-in. A picture past the engines' limit is
// refused before anything is allocated for it.
#include <gd.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <cstring>
#include <functional>
#include <string>

#include "definition/chart_definition.h"
#include "engine/picture/picture_output.h"
#include "tests/support/plugin_calls.h"

namespace plotwise {
namespace {

namespace h = support;

constexpr std::size_t kSmallStack = 1 << 20;

// Runs `body` on a new thread with a 1 MB stack and waits for it.
void onSmallStack(const std::function<void()>& body) {
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, kSmallStack), 0);
    pthread_t thread;
    auto run = [](void* b) -> void* {
        (*static_cast<const std::function<void()>*>(b))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, const_cast<std::function<void()>*>(&body)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

struct Image {
    gdImagePtr image = nullptr;
    explicit Image(const std::string& gif) {
        if (!gif.empty()) image = gdImageCreateFromGifPtr(static_cast<int>(gif.size()), const_cast<char*>(gif.data()));
    }
    ~Image() {
        if (image) gdImageDestroy(image);
    }
    uint32_t rgb(int x, int y) const {
        const int c = gdImageGetPixel(image, x, y);
        return (static_cast<uint32_t>(gdImageRed(image, c)) << 16) | (gdImageGreen(image, c) << 8) | gdImageBlue(image, c);
    }
};

ChartBlock blockOf(const h::Outcome& outcome) {
    ChartBlock block{};
    const std::string* bytes = h::findStream(outcome.streams, "CHHD");
    if (bytes != nullptr && bytes->size() == sizeof block) std::memcpy(&block, bytes->data(), sizeof block);
    return block;
}

// A chart of one series in `style`, drawn at width x height on a small stack.
h::Outcome drawOnSmallStack(const char* style, const char* x, const char* y, uint32_t color, double width, double height) {
    h::Outcome drawn;
    onSmallStack([&] {
        h::Outcome c = h::call(Plotz_New, {});
        c = h::call(Plotz_Data, {h::container(c.streams), h::text(x), h::text(y), h::number(color)});
        c = h::call(Plotz_Style, {h::container(c.streams), h::text(style)});
        // Built-in fonts: the size of the text does not matter here.
        c = h::call(Plotz_Font, {h::container(c.streams), h::text("charttitle"), h::text("none.ttf"), h::number(0)});
        drawn = h::call(Plotz_Draw, {h::container(c.streams), h::number(width), h::number(height)});
    });
    return drawn;
}

class BigPictures : public ::testing::Test {
protected:
    // A failed start is checked in every test: a failure in the suite's set-up would only skip them.
    static void SetUpTestSuite() { started = h::startPlugIn(); }
    static inline intptr_t started = 0;
    void SetUp() override { ASSERT_EQ(started, kFMX_CurrentVersion); }
};

TEST_F(BigPictures, LargestFlatPieIsFilledOnASmallStack) {
    // One slice: the whole disc, 4096 pixels across at most, is one filled region.
    const h::Outcome drawn = drawOnSmallStack("pie", "5", "1", 0x2050A0, 4096, 4096);
    ASSERT_TRUE(drawn.isContainer());
    Image picture(*h::findStream(drawn.streams, "GIFf"));
    ASSERT_NE(picture.image, nullptr);
    EXPECT_EQ(gdImageSX(picture.image), 4096);
    EXPECT_EQ(gdImageSY(picture.image), 4096);
    // The disc is centred; half-way out in every direction it has the first of the default
    // slice colours (a pie's slices take the pie colours, not the series colour).
    const int cx = 2048, cy = 2048, r = 1500;
    for (auto [x, y] : {std::pair{cx, cy}, {cx + r / 2, cy}, {cx - r / 2, cy}, {cx, cy + r / 2}, {cx, cy - r / 2}}) {
        EXPECT_EQ(picture.rgb(x, y), 0xFF4040u) << x << "," << y;
    }
    EXPECT_EQ(picture.rgb(2, 4093), 0xFFFFFFu);  // a corner stays background
}

TEST_F(BigPictures, LargestThreeDimensionalPiesDrawOnASmallStack) {
    const h::Outcome drawn = drawOnSmallStack("3dpie", "a;b;c", "1;2;3", 0, 4096, 4096);
    ASSERT_TRUE(drawn.isContainer());
    Image picture(*h::findStream(drawn.streams, "GIFf"));
    ASSERT_NE(picture.image, nullptr);
    EXPECT_EQ(gdImageSX(picture.image), 4096);
    // The error pie at the largest size as well.
    h::Outcome error;
    onSmallStack([&] { error = h::call(Plotz_Draw, {h::container(drawOnSmallStack("3dpie", "a;b", "0;0", 0, 10, 10).streams), h::number(4096), h::number(4096)}); });
    ASSERT_TRUE(error.isContainer());
    Image errorPicture(*h::findStream(error.streams, "GIFf"));
    ASSERT_NE(errorPicture.image, nullptr);
    EXPECT_EQ(gdImageSY(errorPicture.image), 4096);
}

TEST_F(BigPictures, WidestAndTallestBarChartsDrawOnASmallStack) {
    // 32767 x 512 has the same area as the limit; the turned chart is drawn 512 wide and turned.
    for (const char* style : {"vbar", "hbar"}) {
        for (auto [w, h] : {std::pair{32767, 512}, {512, 32767}}) {
            const h::Outcome drawn = drawOnSmallStack(style, "a;b;c", "1;2;3", 0xFF0000, w, h);
            ASSERT_TRUE(drawn.isContainer()) << style;
            const std::string* gif = h::findStream(drawn.streams, "GIFf");
            ASSERT_NE(gif, nullptr) << style << " " << w << "x" << h;
            Image picture(*gif);
            ASSERT_NE(picture.image, nullptr);
            EXPECT_EQ(gdImageSX(picture.image), w) << style;
            EXPECT_EQ(gdImageSY(picture.image), h) << style;
        }
    }
}

TEST_F(BigPictures, PicturesPastTheLimitAreRefusedAndTheDefinitionKept) {
    struct Size {
        double width, height;
    };
    // Sides that fit 16 bits but whose area is past the limit, including the largest of all.
    for (const Size s : {Size{4097, 4096}, Size{32767, 513}, Size{32767, 32767}, Size{98303, 32767}}) {
        for (const char* style : {"3dpie", "vbar", "hbar", "nonsense"}) {
            h::Outcome drawn;
            onSmallStack([&] { drawn = drawOnSmallStack(style, "a;b", "1;2", 0, s.width, s.height); });
            ASSERT_TRUE(drawn.isContainer()) << style;
            EXPECT_EQ(h::findStream(drawn.streams, "GIFf"), nullptr) << style << " " << s.width << "x" << s.height;
            EXPECT_EQ(h::findStream(drawn.streams, "SIZE"), nullptr);
            const ChartBlock block = blockOf(drawn);
            EXPECT_EQ(block.header.width, static_cast<uint32_t>(s.width));
            EXPECT_EQ(block.header.height, static_cast<uint32_t>(s.height));
            EXPECT_EQ(block.header.seriesCount, 1u);
            // The same definition at a usable size draws again.
            const h::Outcome again = h::call(Plotz_Draw, {h::container(drawn.streams), h::number(64), h::number(48)});
            EXPECT_NE(h::findStream(again.streams, "GIFf"), nullptr) << style;
        }
    }
}

TEST_F(BigPictures, LimitLiesExactlyAtSixteenMegapixels) {
    EXPECT_TRUE(picture_size_usable(4096, 4096));
    EXPECT_TRUE(picture_size_usable(32767, 512));
    EXPECT_TRUE(picture_size_usable(1, 1));
    EXPECT_FALSE(picture_size_usable(4097, 4096));
    EXPECT_FALSE(picture_size_usable(32767, 513));
    EXPECT_FALSE(picture_size_usable(0, 100));
    EXPECT_FALSE(picture_size_usable(100, -1));
    EXPECT_FALSE(picture_size_usable(-32768, -32768));  // negative sides never multiply into range
}

}  // namespace
}  // namespace plotwise
