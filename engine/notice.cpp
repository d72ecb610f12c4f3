// Notice pictures that replace a chart which cannot be drawn, the background picture under a
// chart, and the whole-number-and-fraction split of automatic y labels.
#include "engine/notice.h"
#include "engine/printf_format.h"

#include <cmath>
#include <cstring>

#include <gdfontmb.h>

#include "engine/chart_options.h"
#include "engine/output.h"
#include "engine/surface.h"

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

// printf into a string of the right size.
std::string print_value(const char* format, double value) {
    char small[64];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    const int length = std::snprintf(small, sizeof small, format, value);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < sizeof small) return std::string(small, static_cast<size_t>(length));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, value);
#pragma GCC diagnostic pop
    text.resize(static_cast<size_t>(length));
    return text;
}

constexpr float kHalfStep = 1.0f / 512;  // half of a 256th
constexpr float kIntRange = 2147483648.0f;

}  // namespace

void draw_notice(int width, int height, FILE* out, uint32_t bg, uint32_t fg, const char* text) {
    ChartOptions& options = chartOptions();
    if (text == nullptr) text = "";
    if (VectorSurface* target = drawing_target()) {
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

    if (options.write_image != 0 && out != nullptr) write_picture(image, out, foreground);

    if ((options.hold_image & 1) != 0) {
        options.image = image;
    } else {
        gdImageDestroy(image);
        // A picture handed in is gone now; never leave its handle behind.
        if (options.image == image) options.image = nullptr;
    }
}

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

std::string fractionLabel(float value, int& whole, int& numerator, int& denominator, const char* format) {
    whole = numerator = denominator = 0;
    if (format != nullptr) return print_value(takes_at_most_one_double(format) ? format : "%f", value);

    // Values without a whole number that fits an int (and NaN) print as they are.
    if (!(value > -kIntRange && value < kIntRange)) return print_value("%.0f", value);

    whole = static_cast<int>(value);
    float f = (value - static_cast<float>(whole)) * 256.0f;
    const float r = f - std::trunc(f);
    if (r >= kHalfStep && 1.0f - r >= kHalfStep) {
        whole = 0;
        return print_value("%f", value);
    }
    // Within half a 256th of a whole 256th: take that one (the next one when just below it).
    f = std::trunc(f) + (r >= kHalfStep ? 1.0f : 0.0f);
    if (f >= 256.0f) {
        ++whole;
        f = 0;
    }
    char text[48];
    int n = static_cast<int>(f);
    if (n == 0) {
        std::snprintf(text, sizeof text, "%d", whole);
        return text;
    }

    int exponent = 8;
    while (n % 2 == 0) {
        n /= 2;
        --exponent;
    }
    if (whole < 0 && n < 0) n = -n;
    numerator = n;
    denominator = 1 << exponent;
    std::snprintf(text, sizeof text, "%d %d/%d", whole, numerator, denominator);
    return text;
}

}  // namespace plotwise
