// The pie engine: flat and 3D pies with labels, percent texts, label lines, exploded and
// missing slices, configured by the pie options of ChartOptions.
#pragma once

#include <vector>

#include "engine/chart_options.h"
#include "engine/picture/surface.h"

namespace plotwise {

// Draws `count` slices with the pie options of `opt` onto `out`: a vector surface, or a
// palette picture written into a stream. pie_type 0 is a 3D pie, any other a
// flat one. labels may be null, as may any entry. Width or height below 1, or a picture of
// more than kMaxPicturePixels (engine/picture/picture_output.h), draws nothing.
void draw_pie(const ChartOptions& opt, short width, short height, PictureTarget out, int pie_type, int count,
              const char* const* labels, const float* values);

// Where draw_pie would put things for the same inputs and options, without drawing.
struct PieLayout {
    struct SliceAngles {
        float s, t, m;  // start, end, middle: radians clockwise from twelve o'clock
    };
    float r = 0;                 // radius after fitting; not above 0 means no room for the pie
    int cx = 0, cy = 0;          // centre of the front face
    int xdepth = 0, ydepth = 0;  // offset of the back face
    int title_h = 0;             // room taken by the title
    std::vector<SliceAngles> slices;
    // The box around each drawn slice's label and percent text (inclusive pixel corners).
    struct TextBox {
        int slice, left, top, right, bottom;
    };
    std::vector<TextBox> texts;
};
PieLayout layout_pie(const ChartOptions& opt, short width, short height, int pie_type, int count,
                     const char* const* labels, const float* values);

}  // namespace plotwise
