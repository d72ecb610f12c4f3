// The 90-degree turn of a palette picture, for horizontal bar charts: the chart is drawn upright
// and turned clockwise at the end, so that its bottom edge becomes the left edge.
#include "engine/graph/graph_internal.h"

namespace plotwise {

gdImagePtr turn_picture(gdImagePtr image) {
    if (image == nullptr || gdImageTrueColor(image)) return nullptr;
    const int width = gdImageSX(image), height = gdImageSY(image);
    gdImagePtr turned = gdImageCreate(height, width);
    if (turned == nullptr) return nullptr;
    for (int i = 0; i < gdMaxColors; ++i) {
        turned->red[i] = image->red[i];
        turned->green[i] = image->green[i];
        turned->blue[i] = image->blue[i];
        turned->alpha[i] = image->alpha[i];
        turned->open[i] = image->open[i];
    }
    turned->colorsTotal = image->colorsTotal;
    turned->transparent = image->transparent;
    // Pixel (x, y) moves to (height - 1 - y, x): source row y becomes target column height-1-y.
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = image->pixels[y];
        const int column = height - 1 - y;
        for (int x = 0; x < width; ++x) turned->pixels[x][column] = row[x];
    }
    return turned;
}

}  // namespace plotwise
