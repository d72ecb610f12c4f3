// Pie layout: depth offsets, slice angles, radius fitting, percent texts, the depth order of
// the walls and the region fill.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <random>

#include "engine/picture/region_fill.h"
#include "engine/pie/pie_internal.h"
#include "pie_test_support.h"

namespace plotwise {
namespace {

using testing::PieFixture;

class PieLayoutTest : public PieFixture {};

struct DepthCase {
    unsigned angle, depth;
    int xdepth, ydepth;
};

TEST_F(PieLayoutTest, DepthOffsetsShowTheRoundingOfTheAngle) {
    const float one[] = {1};
    for (const DepthCase& c : {DepthCase{45, 10, 7, 7}, DepthCase{0, 10, 0, 10}, DepthCase{90, 10, 9, 0},
                               DepthCase{180, 10, 0, -9}, DepthCase{180, 25, 0, -24}, DepthCase{270, 10, -9, 0},
                               DepthCase{135, 0, 0, 0}}) {
        engineOptions().pie_3d_angle = static_cast<uint16_t>(c.angle);
        engineOptions().pie_3d_depth = static_cast<uint16_t>(c.depth);
        const PieLayout l = layout_pie(engineOptions(), 200, 200, 0, 1, nullptr, one);
        EXPECT_EQ(l.xdepth, c.xdepth) << c.angle << "/" << c.depth;
        EXPECT_EQ(l.ydepth, c.ydepth) << c.angle << "/" << c.depth;
        // A flat pie has no depth whatever the options.
        const PieLayout flat = layout_pie(engineOptions(), 200, 200, 1, 1, nullptr, one);
        EXPECT_EQ(flat.xdepth, 0);
        EXPECT_EQ(flat.ydepth, 0);
    }
}

TEST_F(PieLayoutTest, StartingRadiusAndCentre) {
    const float one[] = {1, 1};
    // Flat, no title: the smaller half less one pixel.
    PieLayout l = layout_pie(engineOptions(), 200, 100, 1, 2, nullptr, one);
    EXPECT_EQ(l.r, 49.0f);
    EXPECT_EQ(l.cx, 100);
    EXPECT_EQ(l.cy, 50);
    EXPECT_EQ(l.title_h, 0);
    // A title of two lines in class 3 takes 26 + 3 rows; the centre moves down by half of it.
    engineOptions().pie_title = "Two\nlines";
    l = layout_pie(engineOptions(), 400, 300, 1, 2, nullptr, one);
    EXPECT_EQ(l.title_h, 29);
    EXPECT_EQ(l.cy, (300 - 29) / 2 + 29);
    EXPECT_EQ(l.r, 150.0f - 1 - 29);
    // An empty title takes no room.
    engineOptions().pie_title = "";
    EXPECT_EQ(layout_pie(engineOptions(), 400, 300, 1, 2, nullptr, one).title_h, 0);
    // 3D: the depth is kept free as well (180 degrees, depth 10: 9 rows).
    engineOptions().pie_title = nullptr;
    engineOptions().pie_3d_angle = 180;
    l = layout_pie(engineOptions(), 240, 200, 0, 2, nullptr, one);
    EXPECT_EQ(l.r, 100.0f - 10);
}

TEST_F(PieLayoutTest, SliceAnglesAccumulateInSinglePrecision) {
    const float values[] = {1, 3, 0, 4};
    const PieLayout l = layout_pie(engineOptions(), 200, 200, 1, 4, nullptr, values);
    ASSERT_EQ(l.slices.size(), 4u);
    // Shares of 8: 1/8, 3/8, 0 and 4/8 of the turn, in eighths of π: start, end and middle.
    const int eighths[4][3] = {{0, 2, 1}, {2, 8, 5}, {8, 8, 8}, {8, 16, 12}};
    const double eighth = 3.14159265358979323846 / 8;
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(l.slices[i].s, static_cast<float>(eighths[i][0] * eighth)) << i;
        EXPECT_FLOAT_EQ(l.slices[i].t, static_cast<float>(eighths[i][1] * eighth)) << i;
        EXPECT_FLOAT_EQ(l.slices[i].m, static_cast<float>(eighths[i][2] * eighth)) << i;
    }
    // The last slice ends on the single-precision full turn, as a lone slice does.
    EXPECT_EQ(l.slices[3].t, static_cast<float>(2 * 3.14159265358979323846));
    // The zero slice has no extent.
    EXPECT_EQ(l.slices[2].s, l.slices[2].t);
    EXPECT_EQ(l.slices[2].m, l.slices[2].s);
}

TEST_F(PieLayoutTest, ASingleSliceSpansTheWholeCircle) {
    const float one[] = {42};
    const PieLayout l = layout_pie(engineOptions(), 200, 200, 1, 1, nullptr, one);
    EXPECT_EQ(l.slices[0].s, 0.0f);
    EXPECT_EQ(l.slices[0].t, static_cast<float>(2 * 3.14159265358979323846));
    EXPECT_EQ(l.slices[0].m, static_cast<float>(3.14159265358979323846));
}

TEST_F(PieLayoutTest, NegativeAndNonFiniteValuesCountAsZero) {
    const float values[] = {-5, 10, NAN, INFINITY, NoValue, 10};
    const PieLayout l = layout_pie(engineOptions(), 200, 200, 1, 6, nullptr, values);
    for (int i : {0, 2, 3, 4}) EXPECT_EQ(l.slices[i].s, l.slices[i].t) << i;
    EXPECT_FLOAT_EQ(l.slices[1].t - l.slices[1].s, static_cast<float>(3.14159265358979323846));
    EXPECT_FLOAT_EQ(l.slices[5].t, static_cast<float>(2 * 3.14159265358979323846));
    // Values whose float total overflows still share the circle.
    const float huge[] = {3e38f, 3e38f};
    const PieLayout h = layout_pie(engineOptions(), 200, 200, 1, 2, nullptr, huge);
    EXPECT_FLOAT_EQ(h.slices[0].t, static_cast<float>(3.14159265358979323846));
    // Nothing to share: every slice is empty, and nothing is undefined.
    const float none[] = {0, -1};
    const PieLayout z = layout_pie(engineOptions(), 200, 200, 1, 2, nullptr, none);
    EXPECT_EQ(z.slices[1].t, 0.0f);
}

TEST_F(PieLayoutTest, ExplosionShrinksTheRadius) {
    const float values[] = {1, 1};
    const int explode[] = {60, 0};
    engineOptions().pie_explode = explode;
    // Slice 0 points right: 100 pixels to the right edge less the explosion of 60.
    EXPECT_EQ(layout_pie(engineOptions(), 200, 200, 1, 2, nullptr, values).r, 40.0f);
}

TEST_F(PieLayoutTest, LabelBoxesReserveRoomByPercentType) {
    const float values[] = {1, 1};
    const char* labels[] = {"ab\ncde", "x"};  // 18 x 24 and 6 x 12 in class 2
    engineOptions().pie_label_dist = 5;
    // Slice 0 points right: 150 pixels to the right edge less the label distance of 5 and the
    // widest box: the label alone (18), or beside "50%" (18 + 1 + 18 = 37).
    const struct {
        int type;
        float r;
    } cases[] = {{0, 127}, {1, 127}, {2, 127}, {3, 108}, {4, 108}, {9, 127}};
    for (const auto& c : cases) {
        engineOptions().pie_percent_type = c.type;
        EXPECT_EQ(layout_pie(engineOptions(), 300, 300, 1, 2, labels, values).r, c.r) << "type " << c.type;
    }
    // A slice without a label reserves nothing, percent text or not.
    engineOptions().pie_percent_type = 3;
    const char* none[] = {nullptr, nullptr};
    EXPECT_EQ(layout_pie(engineOptions(), 300, 300, 1, 2, none, values).r, 149.0f);
}

TEST_F(PieLayoutTest, AMissingSliceKeepsItsShareButReservesNothing) {
    const float values[] = {1, 1};
    const int explode[] = {80, 0};
    const unsigned char missing[] = {1, 0};
    engineOptions().pie_explode = explode;
    engineOptions().pie_missing = missing;
    const PieLayout l = layout_pie(engineOptions(), 200, 200, 1, 2, nullptr, values);
    EXPECT_EQ(l.r, 99.0f);
    EXPECT_FLOAT_EQ(l.slices[1].s, static_cast<float>(3.14159265358979323846));
}

TEST_F(PieLayoutTest, BackFaceBorderChecksKeepThe3DPieInside) {
    const float values[] = {1};
    const int explode[] = {30};
    engineOptions().pie_explode = explode;
    engineOptions().pie_3d_angle = 180;
    engineOptions().pie_3d_depth = 40;
    // The back face of a slice pushed down by 30 must stay within the picture: its centre lies
    // 39 (the depth at 180 degrees) and 29 (the explosion along the cosine of the float nearest
    // pi, a hair above -1, truncated) below the centre row 100, at 168; a radius of 31 reaches
    // row 199, the last.
    const PieLayout l = layout_pie(engineOptions(), 300, 200, 0, 1, nullptr, values);
    EXPECT_EQ(l.cy, 100);
    EXPECT_EQ(l.ydepth, -39);
    EXPECT_EQ(l.r, 31.0f);
}

TEST_F(PieLayoutTest, PercentTextsAreCutToFifteenCharacters) {
    char text[16];
    pie::format_percent("%.0f%%", 25.0, text);
    EXPECT_STREQ(text, "25%");
    pie::format_percent("%.12f%%", 50.0, text);
    EXPECT_STREQ(text, "50.000000000000");
    pie::format_percent("share: %05.1f percent of all", 7.25, text);
    EXPECT_STREQ(text, "share: 007.2 pe");
    // Only formats of one floating conversion are used; others give no text.
    for (const char* bad : std::initializer_list<const char*>{"%s", "%d%%", "%f %f", "%n", "%*f", "100%", "%", "%Lf", "%10000f", nullptr}) {
        std::strcpy(text, "x");
        pie::format_percent(bad, 25.0, text);
        EXPECT_STREQ(text, "") << (bad ? bad : "(null)");
    }
}

// ---- Depth order ------------------------------------------------------------------------------

TEST_F(PieLayoutTest, WallsNearestTheDepthDirectionArePaintedLast) {
    const float values[] = {1, 2, 3, 4, 5};
    engineOptions().pie_3d_angle = 180;
    const PieLayout l = layout_pie(engineOptions(), 300, 300, 0, 5, nullptr, values);
    std::vector<pie::Slice> slices(5);
    for (int i = 0; i < 5; ++i) {
        slices[i].start = l.slices[i].s;
        slices[i].end = l.slices[i].t;
        slices[i].middle = l.slices[i].m;
    }
    const float A = pie::depth_angle(180);
    const auto walls = pie::ordered_walls(slices, A);
    // Two walls per slice and one piece at each right angle to the depth direction.
    EXPECT_EQ(walls.size(), 12u);
    auto dist = [A](float a) {
        if (a > -0.00001 && a < 0.00001) a = 0.00001f;
        float d = std::fabs(a - A);
        if (d > pie::kPiF) d = std::fabs(d - pie::kTwoPiF);
        return d;
    };
    for (size_t k = 1; k < walls.size(); ++k)
        EXPECT_GE(dist(walls[k - 1].side), dist(walls[k].side)) << "wall " << k;
    // A wall whose slice lies on the depth side of it is hidden (turned away).
    for (const pie::PieSide& w : walls) {
        if (w.side == slices[w.slice].start || w.side == slices[w.slice].end) {
            EXPECT_EQ(w.hidden != 0, dist(w.middle) <= dist(w.side));
        }
    }
}

TEST_F(PieLayoutTest, DepthOrderBreaksTiesByTheDepthDirectionThenTheMiddle) {
    // Depth direction 3.0. Slice X spans it (2.0 to 5.0, middle 3.5); slice Y lies beyond it.
    std::vector<pie::Slice> slices(2);
    slices[0].start = 2.0f;
    slices[0].end = 5.0f;
    slices[0].middle = 3.5f;
    slices[1].start = 4.0f;
    slices[1].end = 5.0f;
    slices[1].middle = 4.5f;
    const float T1 = 3.0f + pie::kHalfPiF;
    const auto walls = pie::ordered_walls(slices, 3.0f);
    struct Expected {
        int slice;
        float side;
        int hidden;  // the middle is nearer the depth direction than the wall
    };
    // Distances 2.0 (ends at 5.0), π/2 (pieces at T1), 1.0 (starts). Equal distances: the
    // wall with the depth direction between it and its middle goes last (X's start at 2.0);
    // otherwise the one whose middle is nearer the depth direction (X's).
    const Expected order[] = {{1, 5.0f, 1}, {0, 5.0f, 1}, {1, T1, 0}, {0, T1, 0}, {1, 4.0f, 0}, {0, 2.0f, 1}};
    ASSERT_EQ(walls.size(), 6u);
    for (size_t k = 0; k < 6; ++k) {
        EXPECT_EQ(walls[k].slice, order[k].slice) << "position " << k;
        EXPECT_EQ(walls[k].side, order[k].side) << "position " << k;
        EXPECT_EQ(walls[k].hidden, order[k].hidden) << "position " << k;
    }
}

// ---- Region fill ------------------------------------------------------------------------------

// The fill must paint what gd's own fill-to-border paints, on any picture.
TEST_F(PieLayoutTest, FillMatchesGdOnRandomPictures) {
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        const int w = 5 + static_cast<int>(random() % 60), h = 5 + static_cast<int>(random() % 60);
        testing::Image a(gdImageCreate(w, h), gdImageDestroy), b(gdImageCreate(w, h), gdImageDestroy);
        for (gdImagePtr im : {a.get(), b.get()})
            for (int c = 0; c < 4; ++c) gdImageColorAllocate(im, c * 60, 0, 0);
        const int density = static_cast<int>(random() % 60);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int roll = static_cast<int>(random() % 100);
                const int c = roll < density ? 1 : roll < density + 10 ? 2 : roll < density + 15 ? 3 : 0;
                gdImageSetPixel(a.get(), x, y, c);
                gdImageSetPixel(b.get(), x, y, c);
            }
        const int x = static_cast<int>(random() % w), y = static_cast<int>(random() % h);
        const int fill = 2 + static_cast<int>(random() % 2);
        gdImageFillToBorder(a.get(), x, y, 1, fill);
        fill_to_border(b.get(), x, y, 1, fill);
        bool same = true;
        for (int yy = 0; yy < h && same; ++yy)
            for (int xx = 0; xx < w && same; ++xx) same = gdImageGetPixel(a.get(), xx, yy) == gdImageGetPixel(b.get(), xx, yy);
        ASSERT_TRUE(same) << "round " << round;
    }
}

TEST_F(PieLayoutTest, FillOfATallRegionNeedsNoDeepStack) {
    // A ring-shaped region 20000 rows high; gd would recurse once per row.
    testing::Image im(gdImageCreate(40, 20000), gdImageDestroy);
    gdImageColorAllocate(im.get(), 255, 255, 255);
    const int border = gdImageColorAllocate(im.get(), 0, 0, 0);
    const int fill = gdImageColorAllocate(im.get(), 255, 0, 0);
    gdImageLine(im.get(), 20, 0, 20, 19990, border);
    fill_to_border(im.get(), 5, 5, border, fill);
    EXPECT_EQ(gdImageGetPixel(im.get(), 30, 100), fill);
    EXPECT_EQ(gdImageGetPixel(im.get(), 25, 19999), fill);
    EXPECT_EQ(gdImageGetPixel(im.get(), 20, 500), border);
    // A seed outside the picture fills nothing.
    testing::Image other(gdImageCreate(10, 10), gdImageDestroy);
    gdImageColorAllocate(other.get(), 255, 255, 255);
    gdImageColorAllocate(other.get(), 0, 0, 0);
    fill_to_border(other.get(), -1, 20, 1, 1);
    EXPECT_EQ(gdImageGetPixel(other.get(), 0, 9), 0);
}

}  // namespace
}  // namespace plotwise
