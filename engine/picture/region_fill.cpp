// Region fill up to a border colour. It paints exactly the pixels gd's fill-to-border paints
// (the same scan order: a row to the left and right, then the runs above, then below), but
// keeps its pending rows on the heap: gd recurses once per row, and a pie a few thousand
// pixels high would overflow a small thread stack. One difference on purpose: a start point
// outside the picture fills nothing, where gd would move it to the nearest edge and could flood
// the background.
#include <cstring>
#include <vector>

#include "engine/picture/region_fill.h"

namespace plotwise {

namespace {

// One row being worked on: its painted run, and where the look at the neighbour rows is.
struct Row {
    int y;
    int left, right;  // painted run
    int next;         // next column of the neighbour row to look at
    bool below;       // looking at the row below (else above)
    bool last_border; // the previous column looked at was border or already painted
};

// One row of a palette picture, read and written directly (the engines set no clipping).
struct PaletteRow {
    unsigned char* pixels;
    unsigned char color;
    int get(int x) const { return pixels[x]; }
    void set(int x) const { pixels[x] = color; }
    // The first column from `from` (below `end`) in the border colour, else `end`.
    int find(int from, int end, int border) const {
        const void* hit = std::memchr(pixels + from, border, static_cast<size_t>(end - from));
        return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - pixels) : end;
    }
    void set_run(int from, int to) const { std::memset(pixels + from, color, static_cast<size_t>(to - from + 1)); }
};
struct PaletteRows {
    gdImagePtr image;
    int color;
    PaletteRow row(int y) const { return PaletteRow{image->pixels[y], static_cast<unsigned char>(color)}; }
};

// One row of any other picture, through gd.
struct GdRow {
    gdImagePtr image;
    int y, color;
    int get(int x) const { return gdImageGetPixel(image, x, y); }
    void set(int x) const { gdImageSetPixel(image, x, y, color); }
    int find(int from, int end, int border) const {
        while (from < end && get(from) != border) ++from;
        return from;
    }
    void set_run(int from, int to) const {
        for (int x = from; x <= to; ++x) set(x);
    }
};
struct GdRows {
    gdImagePtr image;
    int color;
    GdRow row(int y) const { return GdRow{image, y, color}; }
};

template <typename Rows>
void flood_region(const Rows& rows_of, int sx, int sy, int x, int y, int border, int color) {
    std::vector<Row> rows;
    // Paints the run through (px, py); nothing when (px, py) itself is border.
    auto paint_run = [&](int px, int py) {
        const auto line = rows_of.row(py);
        if (line.get(px) == border) return;
        int left = px;
        while (left > 0 && line.get(left - 1) != border) --left;
        const int right = line.find(px + 1, sx, border) - 1;
        line.set_run(left, right);
        rows.push_back(Row{py, left, right, left, false, true});
    };

    paint_run(x, y);
    while (!rows.empty()) {
        Row& row = rows.back();
        const bool has_neighbour = row.below ? row.y < sy - 1 : row.y > 0;
        if (!has_neighbour || row.next > row.right) {
            if (row.below) {
                rows.pop_back();
            } else {
                row.below = true;
                row.next = row.left;
                row.last_border = true;
            }
            continue;
        }
        // Look along the neighbour row until a run to paint begins, then paint it first. The
        // look alternates between two plain scans (past border or painted pixels, then past
        // the others), which is most of a fill's work.
        const int ny = row.below ? row.y + 1 : row.y - 1;
        const auto line = rows_of.row(ny);
        const int right = row.right;
        auto closed = [&](int c) { return c == border || c == color; };
        bool last_border = row.last_border;
        int seed = -1;
        int i = row.next;
        while (i <= right) {
            if (last_border) {
                while (i <= right && closed(line.get(i))) ++i;
                if (i > right) break;
                seed = i++;
                last_border = false;
                break;
            }
            while (i <= right && !closed(line.get(i))) ++i;
            if (i > right) break;
            last_border = true;
            ++i;
        }
        row.next = i;
        row.last_border = last_border;
        if (seed >= 0) paint_run(seed, ny);  // may move `row`; it is not used again in this turn
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
        flood_region(GdRows{image, color}, sx, sy, x, y, border, color);
    else
        flood_region(PaletteRows{image, color}, sx, sy, x, y, border, color);
}

}  // namespace plotwise
