// What the stages of one pie drawing share: the geometry, the per-slice working values, the
// point formulas, the wall records of the depth order and the region fill. Internal to the
// pie engine.
#pragma once

#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include <gd.h>

#include "engine/chart_options.h"
#include "engine/text/text_color.h"

namespace plotwise::pie {

// Angles are single-precision radians clockwise from twelve o'clock; comparisons of angles
// use the single-precision constants, so a slice ending at 2π in floats ends exactly there.
constexpr double kPi = 3.14159265358979323846;
constexpr float kPiF = static_cast<float>(kPi);
constexpr float kHalfPiF = static_cast<float>(kPi / 2);
constexpr float kThreeHalfPiF = static_cast<float>(3 * kPi / 2);
constexpr float kTwoPiF = static_cast<float>(2 * kPi);

// Points are kept within this distance of the origin: far outside any picture (at most
// 32767 wide), yet small enough that gd's integer arithmetic on them cannot overflow.
constexpr double kCoordinateLimit = 1 << 20;

// Truncates toward zero into the coordinate range; not-a-number becomes 0.
inline int to_coordinate(double v) {
    if (std::isnan(v)) return 0;
    if (v > kCoordinateLimit) return static_cast<int>(kCoordinateLimit);
    if (v < -kCoordinateLimit) return -static_cast<int>(kCoordinateLimit);
    return static_cast<int>(v);
}

// A 16-bit value kept within its range instead of wrapping.
inline int16_t to_short(long v) {
    if (v > 32767) return 32767;
    if (v < -32768) return -32768;
    return static_cast<int16_t>(v);
}

// How a slice's label and percent text are put together for each PercentPlacement: one above
// the other or side by side, and which of the two comes first (top or left).
struct PercentGeometry {
    bool shown;          // false: the label alone
    bool stacked;        // percent above or below the label, else left or right of it
    bool percent_first;  // the percent text is the upper or the left one
};
constexpr PercentGeometry kPercentGeometry[] = {
    {false, false, false},  // PercentNone
    {true, true, true},     // PercentAbove
    {true, true, false},    // PercentBelow
    {true, false, false},   // PercentRight
    {true, false, true},    // PercentLeft
};
// The geometry of a percent type; types outside the table show no percent text.
inline PercentGeometry percent_geometry(int type) {
    return type >= 0 && type < static_cast<int>(std::size(kPercentGeometry)) ? kPercentGeometry[type]
                                                                             : kPercentGeometry[PercentNone];
}

struct Geometry {
    float r = 0;                 // radius, shrunk while slices and labels are fitted
    int cx = 0, cy = 0;          // centre of the front face
    int half_w = 0, half_h = 0;  // half extents of the room for the pie
    int xdepth = 0, ydepth = 0;  // offset of the back face (3D)
    float ex = 1.0f, ey = 1.0f;  // ellipse factors (ey < 1 squashes vertically)
    int title_h = 0;             // room taken by the title
    bool three_d = false;
};

struct Slice {
    float share = 0;             // share of the whole
    float start = 0, end = 0;    // angles the slice spans
    float middle = 0;            // angle of its middle, where its label and explosion point
    int explosion = 0;           // distance moved out from the centre, in pixels
    bool missing = false;
    const char* label = nullptr;
    char percent[16] = {};       // percent text, at most 15 characters
    TextSize percent_size{0, 0};
    TextSize label_size{0, 0};
    int16_t box_width = 0, box_height = 0;  // label and percent text together
    int color = 0, shade = 0;    // palette indexes
};

// Slice centre and rim points, face d (0 front, 1 back), each term truncated on its own.
inline double centre_x(const Geometry& g, const Slice& sl, int d) {
    return g.cx + d * g.xdepth + std::trunc(sl.explosion * std::sin(static_cast<double>(sl.middle)));
}
inline double centre_y(const Geometry& g, const Slice& sl, int d) {
    return g.cy - d * g.ydepth - std::trunc(sl.explosion * std::cos(static_cast<double>(sl.middle)));
}
inline int centre_col(const Geometry& g, const Slice& sl, int d) { return to_coordinate(centre_x(g, sl, d)); }
inline int centre_row(const Geometry& g, const Slice& sl, int d) { return to_coordinate(centre_y(g, sl, d)); }
inline int rim_col(const Geometry& g, const Slice& sl, double a, int d, double rho) {
    return to_coordinate(centre_x(g, sl, d) + std::trunc(rho * g.ex * std::sin(a)));
}
inline int rim_row(const Geometry& g, const Slice& sl, double a, int d, double rho) {
    return to_coordinate(centre_y(g, sl, d) - std::trunc(rho * g.ey * std::cos(a)));
}

// ---- Layout (pie_layout.cpp) ---------------------------------------------------------------

// Back-face offset for a depth direction (degrees clockwise from twelve o'clock) and depth.
void depth_offsets(unsigned angle_degrees, unsigned depth, int& xdepth, int& ydepth);
// The depth angle in single-precision radians, as the offsets and the depth order use it.
float depth_angle(unsigned angle_degrees);

// The percent text of a share with a printf format of one floating conversion; empty for
// a format that is missing or is not of that form.
void format_percent(const char* format, double percent, char (&text)[16]);

// Angles of every slice (missing slices included), explosion, texts and label boxes of the
// slices that are drawn. values are taken as 0 where they are negative or not finite.
void lay_out_slices(std::vector<Slice>& slices, const float* values, const char* const* labels,
                    const ChartOptions& opt, const char* label_font);
// Shrinks the radius until every drawn slice, its explosion and its label box fit.
void fit_radius(Geometry& g, const std::vector<Slice>& slices, const ChartOptions& opt);

// ---- Label layout (pie_labels.cpp) ----------------------------------------------------------

// Top-left corners of a slice's label and percent text around its anchor (ax, ay).
struct TextPlaces {
    long lx, ly, px, py;
};

// One slice's texts as they will be drawn: its anchor, the corners of its label and percent
// text, and the box around both (empty when the slice has neither).
struct PlacedTexts {
    const Slice* slice;
    bool right_half;
    long ax, ay;
    TextPlaces t;
    long left, top, right, bottom;  // inclusive box; right < left when empty
    bool skipped = false;           // no room for the texts: they are not drawn
    void move(long dx, long dy) {
        t.lx += dx, t.px += dx, left += dx, right += dx;
        t.ly += dy, t.py += dy, top += dy, bottom += dy;
        ay += dy;
    }
};

// Rows below its top that a text reaches as drawn: FreeType sets the first baseline one "Aj"
// line below the top, so a text without descenders ends lower than its measured height says.
long drawn_height(const char* text, const char* font, double ptsize, TextSize measured);

// Where the labels and percent texts of the drawn slices go in a picture of width x height,
// no box starting above `first_row` (the first row below the title).
std::vector<PlacedTexts> place_labels(const ChartOptions& opt, const Geometry& g, const std::vector<Slice>& slices,
                                      const char* label_font, long first_row, int width, int height);

// ---- Depth order of the walls (pie_walls.cpp) -----------------------------------------------

struct PieSide {
    int slice;
    unsigned char hidden;
    float side;     // angle of the wall
    float middle;   // middle angle of its slice
};

// Wall records of the drawn slices in the order they are painted (farthest first).
std::vector<PieSide> ordered_walls(const std::vector<Slice>& slices, float depth_angle);

}  // namespace plotwise::pie
