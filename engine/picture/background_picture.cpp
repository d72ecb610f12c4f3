#include "engine/picture/background_picture.h"

#include <cstdio>

namespace plotwise {

void draw_background_image(gdImagePtr image, const char* file, int width, int height) {
    if (image == nullptr || file == nullptr) return;
    FILE* in = std::fopen(file, "rb");
    if (in == nullptr) return;
    gdImagePtr picture = gdImageCreateFromGif(in);
    std::fclose(in);
    if (picture == nullptr) return;

    const int pictureWidth = gdImageSX(picture);
    const int pictureHeight = gdImageSY(picture);
    const int x = pictureWidth < width ? width / 2 - pictureWidth / 2 : 0;
    const int y = pictureHeight < height ? height / 2 - pictureHeight / 2 : 0;
    // Whole when it fits, else the chart-sized area from its top-left corner; never more than
    // the picture has.
    const int copyWidth = pictureWidth < width ? pictureWidth : width;
    const int copyHeight = pictureHeight < height ? pictureHeight : height;
    gdImageCopy(image, picture, x, y, 0, 0, copyWidth, copyHeight);
    gdImageDestroy(picture);
}

}  // namespace plotwise
