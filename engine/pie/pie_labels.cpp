// Pie label layout: where each drawn slice's label and percent text go. In order: the two
// texts around the slice's anchor (place_texts), the box around them, boxes moved in from the
// picture's sides and stacked along each half of the pie below the title, texts of the
// smallest slices left out where a half has no room (separate_texts), and boxes moved out
// sideways where they would stand over the pie (keep_clear_of_pie).
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/pie/pie_internal.h"
#include "engine/text/text_ink.h"

namespace plotwise::pie {

long drawn_height(const char* text, const char* font, double ptsize, TextSize measured) {
    const TextInk ink = text_ink(font, ptsize, text);
    return ink.drawn ? std::max<long>(measured.height, ink.bottom + 1) : measured.height;
}

namespace {

// label_pitch and percent_pitch: rows from a text's top to the top of a text stacked under it.
TextPlaces place_texts(int type, bool right_half, long ax, long ay, const Slice& sl, long label_pitch,
                       long percent_pitch) {
    const long lw = sl.label != nullptr ? sl.label_size.width : 0;
    const long lh = sl.label != nullptr ? sl.label_size.height : 0;
    const long pw = sl.percent_size.width, ph = sl.percent_size.height;
    TextPlaces t{right_half ? ax : ax - lw, ay - lh / 2, 0, 0};
    const PercentGeometry placement = percent_geometry(type);
    if (!placement.shown) return t;
    if (placement.stacked) {
        // Both start at the anchor side; the pair is centred on the anchor's row.
        const long half_percent = (ph + 1) / 2;
        t.ly = ay - lh / 2 + (placement.percent_first ? half_percent : -half_percent);
        t.px = right_half ? ax : ax - pw;
        t.py = placement.percent_first ? t.ly - percent_pitch : t.ly + label_pitch;
    } else {
        // The first text starts at the anchor on the right half and the pair ends there on the
        // left half; the second follows one pixel after the first on the right half.
        const long first_w = placement.percent_first ? pw : lw;
        const long second_w = placement.percent_first ? lw : pw;
        const long first_x = right_half ? ax : ax - lw - pw + 1;
        const long second_x = right_half ? ax + first_w + 1 : ax - second_w;
        t.lx = placement.percent_first ? second_x : first_x;
        t.px = placement.percent_first ? first_x : second_x;
        t.py = ay - (ph + 1) / 2;
    }
    return t;
}

// Stacks the boxes of one half of the pie, sorted top to bottom, 3 pixels apart and below the
// title's room: a box that would come closer to the title or to the one above is moved down,
// boxes that then run past the bottom edge are moved up again. False when they do not fit
// between the title's room and the bottom edge that way.
bool stack_side(std::vector<PlacedTexts*>& side, int height, int title_h) {
    constexpr long kGap = 3;
    std::stable_sort(side.begin(), side.end(), [](const PlacedTexts* a, const PlacedTexts* b) { return a->top < b->top; });
    long least = title_h;  // the highest row the next box may take
    for (PlacedTexts* q : side) {
        if (q->top < least) q->move(0, least - q->top);
        least = q->bottom + 1 + kGap;
    }
    long limit = height - 2;  // the lowest row a box may take: the last row stays clear
    for (size_t k = side.size(); k-- > 0;) {
        if (side[k]->bottom > limit) side[k]->move(0, limit - side[k]->bottom);
        limit = side[k]->top - 1 - kGap;
    }
    return side.empty() || side.front()->top >= title_h;
}

// Labels and percent texts kept apart and inside the picture. Boxes that jut out at a side are
// moved in; along each half of the pie the boxes are stacked (stack_side), and when they cannot
// all fit there, the texts of the smallest slices of that half are left out until the others
// do. Texts that are clear of each other and of the edges stay where the anchors put them.
void separate_texts(std::vector<PlacedTexts>& placed, int width, int height, int title_h) {
    for (PlacedTexts& q : placed) {
        if (q.right < q.left) continue;
        if (q.left < 1) q.move(1 - q.left, 0);
        else if (q.right > width - 2) q.move(width - 2 - q.right, 0);
    }
    const std::vector<PlacedTexts> original = placed;
    for (const bool right_half : {true, false}) {
        for (;;) {
            std::vector<PlacedTexts*> side;
            for (PlacedTexts& q : placed)
                if (q.right_half == right_half && q.right >= q.left && !q.skipped) side.push_back(&q);
            if (stack_side(side, height, title_h)) break;
            PlacedTexts* smallest = side.front();
            for (PlacedTexts* q : side)
                if (q->slice->share < smallest->slice->share) smallest = q;
            smallest->skipped = true;
            for (size_t i = 0; i < placed.size(); ++i)
                if (placed[i].right_half == right_half && !placed[i].skipped) placed[i] = original[i];
        }
    }
}

// Half the width of an ellipse of radii rx, ry at the row of the band [top, bottom] nearest its
// centre row cy; negative when the band misses the ellipse.
double ellipse_half_width(double cy, double rx, double ry, long top, long bottom) {
    const double dy = cy < top ? top - cy : cy > bottom ? cy - bottom : 0;
    return dy >= ry ? -1 : rx * std::sqrt(1 - dy * dy / (ry * ry));
}

// A box the stacking moved off its anchor's row may now stand over the pie, and so may a box at
// its anchor near the top or bottom of the pie when half its height reaches past the label
// distance: it moves out sideways, away from the pie (front and back face, exploded slices
// counted), by the label distance; a box that then leaves the picture is left out. A box at its
// anchor moves only when it comes within 2 pixels of the pie, so boxes already clear stay put,
// and only when it stays inside the picture: one moved in from the picture's edge over a pie as
// wide as the picture keeps its place rather than being left out.
void keep_clear_of_pie(std::vector<PlacedTexts>& placed, const std::vector<long>& anchor_rows, const Geometry& g,
                       int dist, int width) {
    constexpr double kClear = 4;  // a box this near to the pie's outline is over it, or within 2 pixels
    int explode = 0;
    for (const PlacedTexts& q : placed) explode = std::max(explode, q.slice->explosion);
    const double rx = (g.r + explode) * g.ex, ry = (g.r + explode) * g.ey;
    for (size_t i = 0; i < placed.size(); ++i) {
        PlacedTexts& q = placed[i];
        if (q.skipped || q.right < q.left) continue;
        const PlacedTexts before = q;
        const double near = q.ay == anchor_rows[i] ? std::min<double>(kClear, dist) : dist;
        for (const int d : {0, 1}) {
            const double half = ellipse_half_width(g.cy - d * g.ydepth, rx, ry, q.top, q.bottom);
            if (half < 0) continue;
            const double cx = g.cx + d * g.xdepth;
            if (q.right_half && q.left < cx + half + near) {
                const long dx = static_cast<long>(std::ceil(cx + half + dist)) - q.left;
                q.move(dx, 0), q.ax += dx;
            } else if (!q.right_half && q.right > cx - half - near) {
                const long dx = static_cast<long>(std::floor(cx - half - dist)) - q.right;
                q.move(dx, 0), q.ax += dx;
            }
        }
        if (q.left >= 1 && q.right <= width - 2) continue;
        if (q.ay == anchor_rows[i]) q = before;
        else q.skipped = true;
    }
}

// Rows from the top of a text to the top of a text stacked under it. A built-in font's cell
// holds its own blank rows; FreeType ink reaches below the measured height (drawn_height), and
// two blank rows under it keep the texts apart.
long stack_pitch(const char* text, const char* font, double ptsize, TextSize measured) {
    if (text == nullptr || !text_ink(font, ptsize, text).drawn) return measured.height;
    return drawn_height(text, font, ptsize, measured) + 2;
}

}  // namespace

std::vector<PlacedTexts> place_labels(const ChartOptions& opt, const Geometry& g, const std::vector<Slice>& slices,
                                      const char* label_font, long first_row, int width, int height) {
    const float label_r = g.r + static_cast<float>(opt.pie_label_dist);
    std::vector<PlacedTexts> placed;
    for (const Slice& sl : slices) {
        if (sl.missing) continue;
        PlacedTexts q{&sl, sl.middle <= kPiF, rim_col(g, sl, sl.middle, 0, label_r), rim_row(g, sl, sl.middle, 0, label_r), {}, 0, 0, -1, -1, false};
        const long label_pitch = sl.label != nullptr ? stack_pitch(sl.label, label_font, opt.pie_label_ptsize, sl.label_size) : 0;
        const long percent_pitch = stack_pitch(sl.percent, label_font, opt.pie_label_ptsize, sl.percent_size);
        q.t = place_texts(opt.pie_percent_type, q.right_half, q.ax, q.ay, sl, label_pitch, percent_pitch);
        bool any = false;
        auto add = [&](long x, long y, TextSize size, const char* text) {
            if (size.width <= 0 || size.height <= 0) return;
            const long h = drawn_height(text, label_font, opt.pie_label_ptsize, size);
            if (!any) q.left = x, q.top = y, q.right = x + size.width - 1, q.bottom = y + h - 1;
            q.left = std::min(q.left, x), q.top = std::min(q.top, y);
            q.right = std::max(q.right, x + size.width - 1), q.bottom = std::max(q.bottom, y + h - 1);
            any = true;
        };
        if (sl.label != nullptr) add(q.t.lx, q.t.ly, sl.label_size, sl.label);
        if (sl.percent[0] != '\0') add(q.t.px, q.t.py, sl.percent_size, sl.percent);
        placed.push_back(q);
    }
    std::vector<long> anchor_rows;
    for (const PlacedTexts& q : placed) anchor_rows.push_back(q.ay);
    separate_texts(placed, width, height, first_row);
    keep_clear_of_pie(placed, anchor_rows, g, std::max(opt.pie_label_dist, 0), width);
    return placed;
}

}  // namespace plotwise::pie
