// The GIF writer against gd's own encoder: for every palette picture the bytes must be the
// same, whatever its size, palette, transparency, interlacing, clipping and content.
#include <gd.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/picture/gif_writer.h"

namespace plotwise {
namespace {

// What the pixels look like. Sparse dots on colour 0 make gd's string table lose and re-add
// the string "0 0" (its hash key 0); noise fills the table and forces clear codes; runs of
// random length (up to several rows) grow and cut the writer's chains of one colour.
enum class Content { Noise, Stripes, SparseDots, Blocks, Plain, Runs };

struct Picture {
    int width, height, colors;
    Content content;
    int transparent;       // palette index, -1 for none
    bool interlaced;
    bool clipped;          // a clipping rectangle inside the picture is left set
};

// Pixel values below `colors`, from a seeded generator, so a failure can be replayed.
gdImagePtr makePicture(const Picture& p, std::mt19937& rng) {
    gdImagePtr im = gdImageCreate(p.width, p.height);
    for (int c = 0; c < p.colors; ++c) gdImageColorAllocate(im, static_cast<int>(rng() % 256), static_cast<int>(rng() % 256), static_cast<int>(rng() % 256));
    const int stripe = 1 + static_cast<int>(rng() % 7);
    const unsigned longestRun = 1 + static_cast<unsigned>(rng() % 3000);
    int run = 0, runColor = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            int v = 0;
            switch (p.content) {
                case Content::Noise: v = static_cast<int>(rng() % static_cast<unsigned>(p.colors)); break;
                case Content::Stripes: v = (x / stripe + y) % p.colors; break;
                case Content::SparseDots: v = rng() % 40 == 0 ? static_cast<int>(rng() % static_cast<unsigned>(p.colors)) : 0; break;
                case Content::Blocks: v = ((x / 13) * 7 + (y / 9) * 3) % p.colors; break;
                case Content::Plain: v = p.colors - 1; break;
                case Content::Runs:
                    if (run-- == 0) {
                        run = static_cast<int>(rng() % (rng() % 4 == 0 ? longestRun : 8));
                        runColor = static_cast<int>(rng() % static_cast<unsigned>(std::min(p.colors, 1 + static_cast<int>(rng() % 4))));
                    }
                    v = runColor;
                    break;
            }
            im->pixels[y][x] = static_cast<unsigned char>(v);
        }
    }
    if (p.transparent >= 0) gdImageColorTransparent(im, p.transparent);
    gdImageInterlace(im, p.interlaced ? 1 : 0);
    if (p.clipped) gdImageSetClip(im, p.width / 4, p.height / 3, p.width - 1 - p.width / 5, p.height - 1 - p.height / 6);
    return im;
}

std::string describe(const Picture& p) {
    return std::to_string(p.width) + "x" + std::to_string(p.height) + ", " + std::to_string(p.colors) +
           " colours, content " + std::to_string(static_cast<int>(p.content)) + ", transparent " +
           std::to_string(p.transparent) + (p.interlaced ? ", interlaced" : "") + (p.clipped ? ", clipped" : "");
}

// The first byte where the two encodings differ, or -1.
long firstDifference(const std::vector<uint8_t>& ours, const uint8_t* gd, int gdSize) {
    const std::size_t common = std::min(ours.size(), static_cast<std::size_t>(gdSize));
    for (std::size_t i = 0; i < common; ++i)
        if (ours[i] != gd[i]) return static_cast<long>(i);
    return ours.size() == static_cast<std::size_t>(gdSize) ? -1 : static_cast<long>(common);
}

TEST(GifWriter, WritesTheBytesGdWrites) {
    // A few large pictures: both extremes of the side length, a full-size noise picture (many
    // table clears), a chart-sized picture of every kind of content.
    std::vector<Picture> pictures = {
        {2000, 2000, 256, Content::Noise, -1, false, false},
        {2000, 2000, 2, Content::SparseDots, 1, true, false},
        {2000, 1, 17, Content::Stripes, -1, false, false},
        {1, 2000, 5, Content::Noise, 0, true, false},
        {1, 1, 1, Content::Plain, -1, false, false},
        {1, 1, 2, Content::Plain, 1, true, false},
        {640, 480, 60, Content::Blocks, -1, false, true},
        {640, 480, 200, Content::SparseDots, -1, true, false},
        {2000, 2000, 256, Content::Runs, -1, false, false},
        {1500, 900, 3, Content::Runs, 2, true, false},
        {640, 480, 64, Content::Runs, -1, false, true},
    };
    // Many small ones: every palette size at a power of two and one past it, heights under 8
    // (where gd's interlaced passes start below the picture), all kinds of content.
    std::mt19937 rng(20240611);
    const int paletteSizes[] = {1, 2, 3, 4, 5, 8, 9, 16, 17, 32, 33, 64, 65, 128, 129, 255, 256};
    for (int i = 0; i < 600; ++i) {
        Picture p{};
        p.width = 1 + static_cast<int>(rng() % 70);
        p.height = i % 4 == 0 ? 1 + static_cast<int>(rng() % 8) : 1 + static_cast<int>(rng() % 70);
        p.colors = paletteSizes[i % std::size(paletteSizes)];
        p.content = static_cast<Content>(rng() % 6);
        p.transparent = rng() % 2 == 0 ? -1 : static_cast<int>(rng() % static_cast<unsigned>(p.colors));
        p.interlaced = rng() % 3 == 0;
        p.clipped = rng() % 5 == 0;
        pictures.push_back(p);
    }

    for (const Picture& p : pictures) {
        gdImagePtr im = makePicture(p, rng);
        int gdSize = 0;
        auto* gd = static_cast<uint8_t*>(gdImageGifPtr(im, &gdSize));
        ASSERT_NE(gd, nullptr);
        std::vector<uint8_t> ours;
        EXPECT_TRUE(encode_gif(*im, ours));
        EXPECT_EQ(firstDifference(ours, gd, gdSize), -1)
            << describe(p) << ": " << ours.size() << " bytes against gd's " << gdSize;
        gdFree(gd);
        gdImageDestroy(im);
    }
}

// A true-colour picture is left to gd, which reduces it to a palette first.
TEST(GifWriter, LeavesTrueColourPicturesAlone) {
    gdImagePtr im = gdImageCreateTrueColor(4, 3);
    std::vector<uint8_t> out{1, 2, 3};
    EXPECT_FALSE(encode_gif(*im, out));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2, 3}));
    gdImageDestroy(im);
}

}  // namespace
}  // namespace plotwise
