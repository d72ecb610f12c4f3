// The 90-degree turn of a palette picture: an asymmetric "F" must land where (x, y) ->
// (height - 1 - y, x) puts it, with the palette and the transparent mark kept.
#include "graph_test_support.h"

namespace plotwise::test {
namespace {

// A 5 x 7 "F": the stem at x = 1, the top bar in row 1, the middle bar in row 3.
bool in_f(int x, int y) {
    if (x == 1 && y >= 1 && y <= 5) return true;
    if (y == 1 && x >= 1 && x <= 3) return true;
    return y == 3 && x >= 1 && x <= 2;
}

TEST(Turn, FLandsWhereTheFormulaSays) {
    Picture src(gdImageCreate(5, 7));
    ASSERT_NE(src, nullptr);
    const int blue = gdImageColorAllocate(src.get(), 0, 0, 255);
    const int red = gdImageColorAllocate(src.get(), 255, 0, 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            if (in_f(x, y)) gdImageSetPixel(src.get(), x, y, red);
    gdImageColorTransparent(src.get(), blue);

    Picture turned(turn_picture(src.get()));
    ASSERT_NE(turned, nullptr);
    ASSERT_EQ(gdImageSX(turned.get()), 7);
    ASSERT_EQ(gdImageSY(turned.get()), 5);
    EXPECT_EQ(gdImageColorsTotal(turned.get()), 2);
    EXPECT_EQ(gdImageGetTransparent(turned.get()), blue);
    EXPECT_EQ(gdImageRed(turned.get(), red), 255);
    EXPECT_EQ(gdImageBlue(turned.get(), blue), 255);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(gdImageGetPixel(turned.get(), 6 - y, x), in_f(x, y) ? red : blue) << x << "," << y;
    // The top of the F (row 1) is now the column 5; its stem (column 1) the row 1.
    EXPECT_EQ(gdImageGetPixel(turned.get(), 5, 3), red);
    EXPECT_EQ(gdImageGetPixel(turned.get(), 1, 1), red);
    EXPECT_EQ(gdImageGetPixel(turned.get(), 1, 3), blue);
}

TEST(Turn, RefusesWhatItCannotTurn) {
    EXPECT_EQ(turn_picture(nullptr), nullptr);
    Picture truecolor(gdImageCreateTrueColor(4, 4));
    EXPECT_EQ(turn_picture(truecolor.get()), nullptr);
}

TEST(Turn, OneRowAndOneColumn) {
    Picture row(gdImageCreate(6, 1));
    gdImageColorAllocate(row.get(), 0, 0, 0);
    const int white = gdImageColorAllocate(row.get(), 255, 255, 255);
    gdImageSetPixel(row.get(), 4, 0, white);
    Picture turned(turn_picture(row.get()));
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(gdImageSX(turned.get()), 1);
    EXPECT_EQ(gdImageSY(turned.get()), 6);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(gdImageGetPixel(turned.get(), 0, y), y == 4 ? white : 0);
}

}  // namespace
}  // namespace plotwise::test
