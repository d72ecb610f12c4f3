// Region fill up to a border colour, row by row. It paints exactly the pixels gd's
// fill-to-border paints, in another order: gd paints the run of the seed between border pixels,
// then recurses into every pixel of the rows above and below that is neither border nor fill
// colour. Every run it paints is a whole run between border pixels of the picture as it was
// (painting never makes a border, except where the fill colour is the border colour, and then
// the run was already whole), so what gets painted is every run reachable from the seed's run
// that way, whichever run is taken first. Here the runs found wait on a list on the heap (gd
// recurses once per row, and a pie a few thousand pixels high would overflow a small thread
// stack), and the rows of palette pictures are searched eight pixels a step. One difference
// on purpose: a start point outside the picture fills nothing, where gd would move it to the
// nearest edge and could flood the background.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/picture/region_fill.h"

namespace plotwise {

namespace {

constexpr uint64_t kLowBits = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kHighBits = 0x8080808080808080ULL;
constexpr uint64_t kEveryByte = 0x0101010101010101ULL;

// The high bit of each byte of `word` that is zero, and no other bit.
inline uint64_t zero_bytes(uint64_t word) { return ~(((word & kLowBits) + kLowBits) | word | kLowBits); }

// One row of a palette picture, read and written directly (the engines set no clipping).
struct PaletteRow {
    unsigned char* pixels;
    int border, color;

    // The first column from `from` to `last` holding neither the border nor the fill colour,
    // else last + 1.
    int first_open(int from, int last) const {
        const uint64_t b = kEveryByte * static_cast<unsigned char>(border);
        const uint64_t c = kEveryByte * static_cast<unsigned char>(color);
        for (; from + 8 <= last + 1; from += 8) {
            uint64_t word;
            std::memcpy(&word, pixels + from, sizeof word);
            const uint64_t open = ~(zero_bytes(word ^ b) | zero_bytes(word ^ c)) & kHighBits;
            if (open != 0) return from + (__builtin_ctzll(open) >> 3);
        }
        while (from <= last && (pixels[from] == border || pixels[from] == color)) ++from;
        return from;
    }
    // The first column from `from` (below `end`) in the border colour, else `end`.
    int next_border(int from, int end) const {
        const void* hit = std::memchr(pixels + from, border, static_cast<size_t>(end - from));
        return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - pixels) : end;
    }
    // The last column before `from` in the border colour, else -1.
    int previous_border(int from) const {
        const uint64_t b = kEveryByte * static_cast<unsigned char>(border);
        for (; from >= 8; from -= 8) {
            uint64_t word;
            std::memcpy(&word, pixels + from - 8, sizeof word);
            if (const uint64_t hit = zero_bytes(word ^ b)) return from - 8 + ((63 - __builtin_clzll(hit)) >> 3);
        }
        while (from > 0 && pixels[from - 1] != border) --from;
        return from - 1;
    }
    void paint(int from, int to) const { std::memset(pixels + from, color, static_cast<size_t>(to - from + 1)); }
};
struct PaletteRows {
    gdImagePtr image;
    int border, color;
    PaletteRow row(int y) const { return PaletteRow{image->pixels[y], border, color}; }
    bool is_border(int x, int y) const { return image->pixels[y][x] == border; }
};

// One row of any other picture, through gd.
struct GdRow {
    gdImagePtr image;
    int y, border, color;
    int get(int x) const { return gdImageGetPixel(image, x, y); }
    int first_open(int from, int last) const {
        while (from <= last && (get(from) == border || get(from) == color)) ++from;
        return from;
    }
    int next_border(int from, int end) const {
        while (from < end && get(from) != border) ++from;
        return from;
    }
    int previous_border(int from) const {
        while (from > 0 && get(from - 1) != border) --from;
        return from - 1;
    }
    void paint(int from, int to) const {
        for (int x = from; x <= to; ++x) gdImageSetPixel(image, x, y, color);
    }
};
struct GdRows {
    gdImagePtr image;
    int border, color;
    GdRow row(int y) const { return GdRow{image, y, border, color}; }
    bool is_border(int x, int y) const { return gdImageGetPixel(image, x, y) == border; }
};

// A painted run whose neighbour rows are still to be searched, and the run it was found from:
// that row is painted from `from_left` to `from_right` and needs no search there.
struct Run {
    int y, left, right;
    int from_y, from_left, from_right;
};

template <typename Rows>
void fill_runs(const Rows& rows, int width, int height, int x, int y) {
    if (rows.is_border(x, y)) return;
    std::vector<Run> pending;
    // Paints the run between border pixels through (px, py), which is not border, found from
    // `from`; returns its last column.
    auto paint_run = [&](int px, int py, const Run& from) {
        const auto line = rows.row(py);
        const int left = line.previous_border(px) + 1;
        const int right = line.next_border(px + 1, width) - 1;
        line.paint(left, right);
        pending.push_back(Run{py, left, right, from.y, from.left, from.right});
        return right;
    };
    // Paints the runs of row ny that open from columns first to last of `from`.
    auto search = [&](int ny, int first, int last, const Run& from) {
        const auto line = rows.row(ny);
        for (int i = line.first_open(first, last); i <= last; i = line.first_open(i, last)) i = paint_run(i, ny, from) + 1;
    };
    paint_run(x, y, Run{-1, 0, -1, -1, 0, -1});
    while (!pending.empty()) {
        const Run run = pending.back();
        pending.pop_back();
        for (const int ny : {run.y - 1, run.y + 1}) {
            if (ny < 0 || ny >= height) continue;
            if (ny != run.from_y) {
                search(ny, run.left, run.right, run);
            } else {
                search(ny, run.left, std::min(run.right, run.from_left - 1), run);
                search(ny, std::max(run.left, run.from_right + 1), run.right, run);
            }
        }
    }
}

}  // namespace

void fill_to_border(gdImagePtr image, int x, int y, int border, int color) {
    if (image == nullptr || border < 0 || color < 0) return;
    const int total = gdImageColorsTotal(image);
    if (!gdImageTrueColor(image) && (color > total - 1 || border > total - 1)) return;
    const int sx = gdImageSX(image), sy = gdImageSY(image);
    if (x < 0 || y < 0 || x >= sx || y >= sy) return;
    if (gdImageTrueColor(image))
        fill_runs(GdRows{image, border, color}, sx, sy, x, y);
    else
        fill_runs(PaletteRows{image, border, color}, sx, sy, x, y);
}

}  // namespace plotwise
