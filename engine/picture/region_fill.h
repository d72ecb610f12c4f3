// Region fill up to a border colour on palette pictures: the pie's faces and the graph's
// circle markers.
#pragma once

#include <gd.h>

namespace plotwise {

// Paints the region around (x, y) up to pixels of `border` in `color`, the way gd's
// fill-to-border does, without recursion (its depth grows with the picture height). A seed
// outside the picture fills nothing.
void fill_to_border(gdImagePtr image, int x, int y, int border, int color);

}  // namespace plotwise
