// The pie engine: flat and 3D pies with labels, percent texts, label lines, exploded and
// missing slices, configured by the pie options of ChartOptions.
#pragma once

#include <cstdio>

namespace plotwise {

// Draws `count` slices and writes the picture to `out`. pie_type 0 is a 3D pie, any other a
// flat one. labels may be null, as may any entry. Width or height below 1 draws nothing.
void draw_pie(short width, short height, FILE* out, int pie_type, int count,
              const char* const* labels, const float* values);

}  // namespace plotwise
