// Region fill up to a border colour. It paints exactly the pixels gd's fill-to-border paints
// (the same scan order: a row to the left and right, then the runs above, then below), but
// keeps its pending rows on the heap: gd recurses once per row, and a pie a few thousand
// pixels high would overflow a small thread stack.
#include <vector>

#include "engine/pie_internal.h"

namespace plotwise::pie {

namespace {

// One row being worked on: its painted run, and where the look at the neighbour rows is.
struct Row {
    int y;
    int left, right;  // painted run
    int next;         // next column of the neighbour row to look at
    bool below;       // looking at the row below (else above)
    bool last_border; // the previous column looked at was border or already painted
};

}  // namespace

void fill_to_border(gdImagePtr image, int x, int y, int border, int color) {
    if (image == nullptr || border < 0 || color < 0) return;
    const int total = gdImageColorsTotal(image);
    if (!gdImageTrueColor(image) && (color > total - 1 || border > total - 1)) return;
    const int sx = gdImageSX(image), sy = gdImageSY(image);
    if (x < 0 || y < 0 || x >= sx || y >= sy) return;

    std::vector<Row> rows;
    // Paints the run through (px, py); false when (px, py) itself is border.
    auto paintRun = [&](int px, int py) {
        int left = -1;
        for (int i = px; i >= 0; --i) {
            if (gdImageGetPixel(image, i, py) == border) break;
            gdImageSetPixel(image, i, py, color);
            left = i;
        }
        if (left == -1) return;
        int right = px;
        for (int i = px + 1; i < sx; ++i) {
            if (gdImageGetPixel(image, i, py) == border) break;
            gdImageSetPixel(image, i, py, color);
            right = i;
        }
        rows.push_back(Row{py, left, right, left, false, true});
    };

    paintRun(x, y);
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
        const int i = row.next++;
        const int ny = row.below ? row.y + 1 : row.y - 1;
        const int c = gdImageGetPixel(image, i, ny);
        if (row.last_border) {
            if (c != border && c != color) {
                row.last_border = false;
                paintRun(i, ny);  // may move `row`; it is not used again in this turn
            }
        } else if (c == border || c == color) {
            row.last_border = true;
        }
    }
}

}  // namespace plotwise::pie
