// Notice pictures that replace a chart which cannot be drawn, the background picture under a
// chart, and the whole-number-and-fraction split of automatic y labels.
#include "engine/graph/notice.h"

#include <cmath>
#include <cstring>

#include <gdfontmb.h>

#include "engine/chart_options.h"
#include "engine/picture/picture_output.h"
#include "engine/picture/surface.h"

namespace plotwise {

namespace {

constexpr int red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

// A palette entry for the 24-bit value of `color`; the closest entry when the palette is full.
int allocate_straight(gdImagePtr image, uint32_t color) {
    const int index = gdImageColorAllocate(image, red(color), green(color), blue(color));
    if (index >= 0) return index;
    return gdImageColorClosest(image, red(color), green(color), blue(color));
}
}  // namespace

void draw_notice(ChartOptions& options, int width, int height, PictureTarget out, uint32_t bg, uint32_t fg,
                 const char* text) {
    if (text == nullptr) text = "";
    if (VectorSurface* target = out.vector) {
        if (!picture_size_usable(width, height)) return;
        const gdFontPtr font = gdFontGetMediumBold();
        target->begin(width, height, false);
        target->ink(bg & 0xFFFFFF);
        const int foreground = target->ink(fg & 0xFFFFFF);
        const FontEntry entry{font, static_cast<signed char>(font->h), static_cast<signed char>(font->w)};
        const int length = static_cast<int>(std::strlen(text));
        target->text(entry, nullptr, 0, 0, width / 2 - length * font->w / 2, height / 3, text, foreground,
                     JustifyLeft);
        target->end();
        return;
    }
    gdImagePtr image = nullptr;
    if ((options.hold_image & 2) != 0 && options.image != nullptr) {
        image = options.image;
    } else {
        if (!picture_size_usable(width, height)) return;
        image = gdImageCreate(width, height);
        if (image == nullptr) return;
    }

    // Straight from the 24-bit values: a notice has no background to be opposite to.
    allocate_straight(image, bg);
    const int foreground = allocate_straight(image, fg);

    const gdFontPtr font = gdFontGetMediumBold();
    const int length = static_cast<int>(std::strlen(text));
    const int x = width / 2 - length * font->w / 2;
    const int y = height / 3;
    gdImageString(image, font, x, y, reinterpret_cast<unsigned char*>(const_cast<char*>(text)), foreground);

    if (options.write_image != 0 && out.stream != nullptr)
        write_picture(image, out.stream, options.image_format == 3, foreground);

    if ((options.hold_image & 1) != 0) {
        options.image = image;
    } else {
        gdImageDestroy(image);
        // A picture handed in is gone now; never leave its handle behind.
        if (options.image == image) options.image = nullptr;
    }
}

}  // namespace plotwise
