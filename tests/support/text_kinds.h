// Pictures whose kinds of text (title, axis titles, axis labels, legend names, pie labels) are
// each drawn in a colour of their own: which kinds come within two pixels of one another.
#pragma once

#include <gd.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plotwise::test {

// A kind of text and the colour it is drawn in.
struct TextKind {
    const char* name;
    uint32_t rgb;
};

// The kind a pixel of colour `rgb` belongs to, -1 for none. Smoothed (FreeType) text blends its
// colour with a white background: a pixel on the way from white to a kind's colour, at least a
// third of the way, counts as that kind.
inline int kind_of(uint32_t rgb, const std::vector<TextKind>& kinds) {
    const double p[3] = {255.0 - (rgb >> 16 & 0xFF), 255.0 - (rgb >> 8 & 0xFF), 255.0 - (rgb & 0xFF)};
    int best = -1;
    double best_residual = 24;
    for (size_t k = 0; k < kinds.size(); ++k) {
        const uint32_t c = kinds[k].rgb;
        const double q[3] = {255.0 - (c >> 16 & 0xFF), 255.0 - (c >> 8 & 0xFF), 255.0 - (c & 0xFF)};
        const double a = (p[0] * q[0] + p[1] * q[1] + p[2] * q[2]) / (q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
        if (a < 0.34 || a > 1.05) continue;
        const double residual = std::hypot(p[0] - a * q[0], p[1] - a * q[1], p[2] - a * q[2]);
        if (residual < best_residual) best = static_cast<int>(k), best_residual = residual;
    }
    return best;
}

// The first pixel found of one kind within `gap` pixels (across or diagonally) of a pixel of
// another kind, described as "kind a (x, y) near kind b (x, y)"; empty when all are apart.
inline std::string texts_closer_than(gdImagePtr im, const std::vector<TextKind>& kinds, int gap = 2) {
    const int w = gdImageSX(im), h = gdImageSY(im);
    // Kind index of every pixel, -1 for pixels of no text.
    std::vector<int> kind_at(static_cast<size_t>(w) * h, -1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int c = gdImageGetPixel(im, x, y);
            kind_at[static_cast<size_t>(y) * w + x] = kind_of(
                static_cast<uint32_t>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c)), kinds);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = kind_at[static_cast<size_t>(y) * w + x];
            if (a < 0) continue;
            for (int dy = -gap; dy <= gap; ++dy)
                for (int dx = -gap; dx <= gap; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    const int b = kind_at[static_cast<size_t>(ny) * w + nx];
                    if (b < 0 || b == a) continue;
                    return std::string(kinds[a].name) + " (" + std::to_string(x) + ", " + std::to_string(y) +
                           ") near " + kinds[b].name + " (" + std::to_string(nx) + ", " + std::to_string(ny) + ")";
                }
        }
    return {};
}

// The first pixel of a text kind in the picture's outermost rows or columns, where a text cut
// by the edge shows, described as "kind (x, y)"; empty when every text keeps inside.
inline std::string text_at_edge(gdImagePtr im, const std::vector<TextKind>& kinds) {
    const int w = gdImageSX(im), h = gdImageSY(im);
    auto at = [&](int x, int y) -> std::string {
        const int c = gdImageGetPixel(im, x, y);
        const int k = kind_of(
            static_cast<uint32_t>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c)), kinds);
        return k < 0 ? std::string() : std::string(kinds[k].name) + " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    };
    for (int x = 0; x < w; ++x)
        for (int y : {0, h - 1})
            if (std::string s = at(x, y); !s.empty()) return s;
    for (int y = 0; y < h; ++y)
        for (int x : {0, w - 1})
            if (std::string s = at(x, y); !s.empty()) return s;
    return {};
}

// The runs of rows (of columns when `columns`) that hold pixels of one kind, as first and last
// index, gaps narrower than `merge` joined: texts of that kind side by side or stacked.
inline std::vector<std::pair<int, int>> runs_of(gdImagePtr im, const std::vector<TextKind>& kinds, int kind,
                                                bool columns, int merge = 1) {
    const int w = gdImageSX(im), h = gdImageSY(im);
    std::vector<std::pair<int, int>> runs;
    for (int i = 0; i < (columns ? w : h); ++i) {
        bool found = false;
        for (int j = 0; j < (columns ? h : w) && !found; ++j) {
            const int c = columns ? gdImageGetPixel(im, i, j) : gdImageGetPixel(im, j, i);
            found = kind_of(static_cast<uint32_t>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c)),
                            kinds) == kind;
        }
        if (!found) continue;
        if (!runs.empty() && i - runs.back().second <= merge) runs.back().second = i;
        else runs.emplace_back(i, i);
    }
    return runs;
}

// Whether a text's measured box (inclusive pixel bounds) lies wholly inside a w x h picture.
inline bool box_inside(int left, int top, int right, int bottom, int w, int h) {
    return left >= 0 && top >= 0 && right < w && bottom < h;
}

// Pixels of one kind in the picture.
inline int pixels_of(gdImagePtr im, const std::vector<TextKind>& kinds, size_t kind) {
    int n = 0;
    for (int y = 0; y < gdImageSY(im); ++y)
        for (int x = 0; x < gdImageSX(im); ++x) {
            const int c = gdImageGetPixel(im, x, y);
            n += kind_of(static_cast<uint32_t>(gdImageRed(im, c) << 16 | gdImageGreen(im, c) << 8 | gdImageBlue(im, c)),
                         kinds) == static_cast<int>(kind);
        }
    return n;
}

}  // namespace plotwise::test
