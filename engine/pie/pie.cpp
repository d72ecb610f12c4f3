// The pie engine. A drawing runs in a fixed order, later steps painting over earlier ones:
//
//   set-up and fonts -> title room -> starting radius -> slice angles and radius fitting
//   -> colours -> (3D) back faces -> (3D) side walls in depth order -> front faces
//   -> title -> labels, percent texts and label lines -> output
//
// The layout steps live in pie_layout.cpp, the wall order in pie_walls.cpp.
#include "engine/pie/pie.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/picture/picture_output.h"
#include "engine/picture/surface_gd.h"
#include "engine/pie/pie_internal.h"
#include "engine/text/text_ink.h"
#include "engine/text/text_lines.h"

namespace plotwise {

using namespace pie;

namespace {

using ImagePtr = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// Everything one drawing works with after the layout steps.
struct PiePlan {
    const ChartOptions* opt = nullptr;  // the options of the drawing
    Geometry g;
    float depth_angle = 0;
    const char* title_font = nullptr;
    const char* label_font = nullptr;
    const char* title = nullptr;   // null when there is no title
    const char* notice = nullptr;  // the line under the pie; null when there is none
    int notice_h = 0;              // room the notice takes at the bottom
    int room_h = 0;                // height left for the pie, its title and its labels
    TitleLines title_lines;        // the title as drawn, line by line
    std::vector<Slice> slices;
};

// Palette indexes of one drawing.
struct PieColors {
    int background = 0, line = 0, plot = 0, title = 0, label = 0;
    int edge = -1, edge_shade = -1;  // only with an edge colour
};

// A font that FreeType cannot use at its size is replaced by the fallback, unprobed.
const char* choose_font(const char* font, double ptsize, const char* fallback) {
    return probe_font(font, ptsize).width == 0 ? fallback : font;
}

// Set-up, title room, starting radius, slice angles and radius fitting.
PiePlan plan(const ChartOptions& opt, short width, short height, int pie_type, int count, const char* const* labels,
             const float* values) {
    PiePlan p;
    p.opt = &opt;
    Geometry& g = p.g;
    g.three_d = pie_type == Pie3D;

    // A squash beyond 100 percent would turn the pie upside down; it stops at a flat line.
    const unsigned perspective = opt.pie_perspective > 100 ? 100u : opt.pie_perspective;
    g.ex = 1.0f;
    g.ey = 1.0f - static_cast<float>(perspective) / 100.0f;

    p.title_font = choose_font(opt.pie_title_font, opt.pie_title_ptsize, opt.pie_fallback_font);
    p.label_font = choose_font(opt.pie_label_font, opt.pie_label_ptsize, opt.pie_fallback_font);

    p.depth_angle = depth_angle(opt.pie_3d_angle);
    if (g.three_d) depth_offsets(opt.pie_3d_angle, opt.pie_3d_depth, g.xdepth, g.ydepth);

    load_font_table();

    // A notice takes a line at the bottom; the pie and its labels stay above it.
    if (opt.pie_notice != nullptr && opt.pie_notice[0] != '\0') {
        p.notice = opt.pie_notice;
        p.notice_h = measure_text(p.notice, opt.pie_label_size, p.label_font, opt.pie_label_ptsize).height + 3;
        height = static_cast<short>(std::max(height - p.notice_h, 1));
    }
    p.room_h = height;

    // An empty title takes no room, as no title.
    if (opt.pie_title != nullptr && opt.pie_title[0] != '\0') p.title = opt.pie_title;
    if (p.title != nullptr) {
        const bool ttf = probe_font(p.title_font, opt.pie_title_ptsize).width > 0;
        p.title_lines =
            lay_out_title_lines(p.title, opt.pie_title_size, p.title_font, opt.pie_title_ptsize, ttf, width - 2);
        g.title_h = p.title_lines.height + 3;
    }

    g.half_w = width / 2;
    g.half_h = (height - g.title_h) / 2;
    const float by_width = static_cast<float>(width / 2) / g.ex - static_cast<float>(std::abs(g.xdepth) + 1);
    const float by_height = static_cast<float>(height / 2) / g.ey - static_cast<float>(std::abs(g.ydepth) + 1) -
                            static_cast<float>(g.title_h);
    g.r = by_height < by_width ? by_height : by_width;
    g.cx = width / 2;
    g.cy = (height - g.title_h) / 2 + g.title_h;

    p.slices.resize(static_cast<size_t>(count));
    lay_out_slices(p.slices, values, labels, opt, p.label_font);
    fit_radius(g, p.slices, opt);
    return p;
}

bool has_room(const Geometry& g) { return g.r > 0 && std::isfinite(g.r); }

// A slice wider than a half turn is always filled: its chord shrinks as it nears a full turn.
bool wide_enough(const Geometry& g, const Slice& sl, int d, double rho) {
    if (sl.t - sl.s > kPiF) return true;
    const long dx = std::labs(static_cast<long>(rim_col(g, sl, sl.s, d, rho)) - rim_col(g, sl, sl.t, d, rho));
    const long dy = std::labs(static_cast<long>(rim_row(g, sl, sl.s, d, rho)) - rim_row(g, sl, sl.t, d, rho));
    return dx + dy > 2;
}

// The outline arc of a slice; gd counts degrees from three o'clock, the pie from twelve.
// Degrees are taken against 2π in single precision, so a slice ending at 2π ends at 360.
void draw_arc(Surface& im, const Geometry& g, const Slice& sl, int d, int color) {
    const double per_radian = 360.0 / static_cast<double>(kTwoPiF);
    const int from = static_cast<int>(std::floor(sl.s * per_radian)) + 270;
    const int to = static_cast<int>(std::ceil(sl.t * per_radian)) + 270;
    // gd draws a whole circle for equal ends; an empty slice on a whole degree has no arc.
    if (from == to) return;
    im.arc(centre_col(g, sl, d), centre_row(g, sl, d), to_coordinate(2.0 * g.r * g.ex), to_coordinate(2.0 * g.r * g.ey), from, to, color);
}

// The face d of a slice as a shape, for surfaces that fill shapes rather than flood regions.
SliceShape face_shape(const Geometry& g, const Slice& sl, int d) {
    return {static_cast<double>(centre_col(g, sl, d)), static_cast<double>(centre_row(g, sl, d)), static_cast<double>(g.r) * g.ex,
            static_cast<double>(g.r) * g.ey, sl.s, sl.t};
}

void draw_back_faces(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int o = c.edge < 0 ? sl.shade : c.edge_shade;
        const int x1 = centre_col(g, sl, 1), y1 = centre_row(g, sl, 1);
        im.line(x1, y1, rim_col(g, sl, sl.s, 1, g.r), rim_row(g, sl, sl.s, 1, g.r), o);
        im.line(x1, y1, rim_col(g, sl, sl.t, 1, g.r), rim_row(g, sl, sl.t, 1, g.r), o);
        draw_arc(im, g, sl, 1, o);
        if (wide_enough(g, sl, 1, g.r)) {
            const float r34 = g.r * 3 / 4;
            im.fill_region(rim_col(g, sl, sl.m, 1, r34), rim_row(g, sl, sl.m, 1, r34), o, sl.shade, face_shape(g, sl, 1));
        }
    }
}

void fill_quad(Surface& im, gdPoint a, gdPoint b, gdPoint c, gdPoint d, int color) {
    const gdPoint points[4] = {a, b, c, d};
    im.polygon(points, color);
}

void draw_walls(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    for (const PieSide& w : ordered_walls(p.slices, p.depth_angle)) {
        const Slice& sl = p.slices[static_cast<size_t>(w.slice)];
        const gdPoint c0{centre_col(g, sl, 0), centre_row(g, sl, 0)};
        const gdPoint c1{centre_col(g, sl, 1), centre_row(g, sl, 1)};
        const gdPoint side0{rim_col(g, sl, w.side, 0, g.r), rim_row(g, sl, w.side, 0, g.r)};
        const gdPoint side1{rim_col(g, sl, w.side, 1, g.r), rim_row(g, sl, w.side, 1, g.r)};
        if (!w.hidden) {
            fill_quad(im, c0, c1, side1, side0, sl.shade);
        } else {
            // A wall turned away from the viewer: fill from just inside the rim at the middle
            // to each radial edge, so no gap shows between the faces.
            const float inner = g.r - 2;
            const gdPoint q0{rim_col(g, sl, sl.m, 0, inner), rim_row(g, sl, sl.m, 0, inner)};
            const gdPoint q1{rim_col(g, sl, sl.m, 1, inner), rim_row(g, sl, sl.m, 1, inner)};
            fill_quad(im, q0, q1, {rim_col(g, sl, sl.s, 1, g.r), rim_row(g, sl, sl.s, 1, g.r)},
                     {rim_col(g, sl, sl.s, 0, g.r), rim_row(g, sl, sl.s, 0, g.r)}, sl.shade);
            fill_quad(im, q0, q1, {rim_col(g, sl, sl.t, 1, g.r), rim_row(g, sl, sl.t, 1, g.r)},
                     {rim_col(g, sl, sl.t, 0, g.r), rim_row(g, sl, sl.t, 0, g.r)}, sl.shade);
        }
        if (c.edge >= 0) {
            im.line(c0.x, c0.y, c1.x, c1.y, c.edge_shade);
            im.line(side0.x, side0.y, side1.x, side1.y, c.edge_shade);
        }
    }
}

void draw_front_faces(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    const float r34 = g.r * 3 / 4;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int o = c.edge < 0 ? sl.color : c.edge;
        const int x0 = centre_col(g, sl, 0), y0 = centre_row(g, sl, 0);
        im.line(x0, y0, rim_col(g, sl, sl.s, 0, g.r), rim_row(g, sl, sl.s, 0, g.r), o);
        im.line(x0, y0, rim_col(g, sl, sl.t, 0, g.r), rim_row(g, sl, sl.t, 0, g.r), o);
        draw_arc(im, g, sl, 0, o);
        const int fx = rim_col(g, sl, sl.m, 0, r34), fy = rim_row(g, sl, sl.m, 0, r34);
        if (wide_enough(g, sl, 0, r34)) im.fill_region(fx, fy, o, sl.color, face_shape(g, sl, 0));
        // Even a slice too narrow to fill shows its colour.
        im.line(x0, y0, fx, fy, sl.color);
    }
}

// Top-left corners of a slice's label and percent text around its anchor (ax, ay).
struct TextPlaces {
    long lx, ly, px, py;
};
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

// One slice's texts as they will be drawn: its anchor, the corners of its label and percent
// text, and the box around both (empty when the slice has neither).
struct PlacedTexts {
    const Slice* slice;
    bool right_half;
    long ax, ay;
    TextPlaces t;
    long left, top, right, bottom;  // inclusive box; right < left when empty
    bool skipped = false;           // no room for the texts: they are not drawn
    void move(long dx, long dy) {
        t.lx += dx, t.px += dx, left += dx, right += dx;
        t.ly += dy, t.py += dy, top += dy, bottom += dy;
        ay += dy;
    }
};

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
                if (q->slice->p < smallest->slice->p) smallest = q;
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
    for (const PlacedTexts& q : placed) explode = std::max(explode, q.slice->e);
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

// Rows below its top that a text reaches as drawn: FreeType sets the first baseline one "Aj"
// line below the top, so a text without descenders ends lower than its measured height says.
long drawn_height(const char* text, const char* font, double ptsize, TextSize measured) {
    const TextInk ink = text_ink(font, ptsize, text);
    return ink.drawn ? std::max<long>(measured.height, ink.bottom + 1) : measured.height;
}

// Rows from the top of a text to the top of a text stacked under it. A built-in font's cell
// holds its own blank rows; FreeType ink reaches below the measured height (drawn_height), and
// two blank rows under it keep the texts apart.
long stack_pitch(const char* text, const char* font, double ptsize, TextSize measured) {
    if (text == nullptr || !text_ink(font, ptsize, text).drawn) return measured.height;
    return drawn_height(text, font, ptsize, measured) + 2;
}

// The first row below the title's ink where a label may start: the title's room, or 3 rows
// after its last line's ink where that reaches lower.
long below_title(const PiePlan& p) {
    const ChartOptions& opt = *p.opt;
    if (p.title == nullptr || p.title_lines.lines.empty()) return p.g.title_h;
    const std::string& last = p.title_lines.lines.back();
    const TextSize size = measure_text(last.c_str(), opt.pie_title_size, p.title_font, opt.pie_title_ptsize);
    const long top = 1 + static_cast<long>(p.title_lines.lines.size() - 1) * p.title_lines.pitch;
    return std::max<long>(p.g.title_h, top + drawn_height(last.c_str(), p.title_font, opt.pie_title_ptsize, size) + 3);
}

// Where the labels and percent texts of the drawn slices go.
std::vector<PlacedTexts> place_labels(const PiePlan& p, int width, int height) {
    const ChartOptions& opt = *p.opt;
    const Geometry& g = p.g;
    const float label_r = g.r + static_cast<float>(opt.pie_label_dist);
    std::vector<PlacedTexts> placed;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        PlacedTexts q{&sl, sl.m <= kPiF, rim_col(g, sl, sl.m, 0, label_r), rim_row(g, sl, sl.m, 0, label_r), {}, 0, 0, -1, -1, false};
        const long label_pitch = sl.label != nullptr ? stack_pitch(sl.label, p.label_font, opt.pie_label_ptsize, sl.label_size) : 0;
        const long percent_pitch = stack_pitch(sl.percent, p.label_font, opt.pie_label_ptsize, sl.percent_size);
        q.t = place_texts(opt.pie_percent_type, q.right_half, q.ax, q.ay, sl, label_pitch, percent_pitch);
        bool any = false;
        auto add = [&](long x, long y, TextSize size, const char* text) {
            if (size.width <= 0 || size.height <= 0) return;
            const long h = drawn_height(text, p.label_font, opt.pie_label_ptsize, size);
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
    separate_texts(placed, width, height, below_title(p));
    keep_clear_of_pie(placed, anchor_rows, g, std::max(opt.pie_label_dist, 0), width);
    return placed;
}

void draw_labels(Surface& im, const PiePlan& p, const PieColors& c) {
    const ChartOptions& opt = *p.opt;
    const Geometry& g = p.g;
    const FontEntry& font = font_entry(opt.pie_label_size);
    for (const PlacedTexts& q : place_labels(p, im.width(), p.room_h)) {
        if (q.skipped) continue;
        const Slice& sl = *q.slice;
        if (sl.percent[0] != '\0')
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, to_coordinate(q.t.px), to_coordinate(q.t.py), sl.percent,
                    c.label, JustifyCenter);
        if (sl.label != nullptr)
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, to_coordinate(q.t.lx), to_coordinate(q.t.ly), sl.label,
                    c.label, q.right_half ? JustifyLeft : JustifyRight);
        if (opt.pie_label_line)
            im.line(to_coordinate(q.right_half ? q.ax - 1 : q.ax + 1), to_coordinate(q.ay), rim_col(g, sl, sl.m, 0, g.r),
                    rim_row(g, sl, sl.m, 0, g.r), c.line);
    }
}

void draw_pie_picture(const ChartOptions& opt, short width, short height, PictureTarget out, int pie_type, int count,
                      const char* const* labels, const float* values) {
    PiePlan p = plan(opt, width, height, pie_type, count, labels, values);
    const Geometry& g = p.g;

    // A vector target gets the drawing instead of a palette picture.
    VectorSurface* target = out.vector;
    ImagePtr image(target ? nullptr : gdImageCreate(width, height), gdImageDestroy);
    if (!target && !image) return;  // no memory for the picture: nothing is written
    GdSurface palette(image.get());
    Surface& im = target ? static_cast<Surface&>(*target) : palette;
    if (target) target->begin(width, height, false);

    // Colours, in a fixed order: the background first, so it is palette entry 0 and fills
    // the picture.
    const uint32_t bg = opt.pie_bg_color == DefaultColor ? 0xFFFFFFu : opt.pie_bg_color & 0xFFFFFFu;
    PieColors c;
    c.background = allocate_color(im, bg, bg);
    c.line = allocate_color(im, opt.pie_line_color, bg);
    c.plot = allocate_color(im, opt.pie_plot_color, bg);
    c.title = allocate_color(im, opt.pie_title_color, bg);
    c.label = allocate_color(im, opt.pie_label_color, bg);
    if (opt.pie_edge_color != NoColor) {
        c.edge = allocate_color(im, opt.pie_edge_color, bg);
        if (g.three_d) c.edge_shade = allocate_shade(im, opt.pie_edge_color, bg);
    }
    for (size_t i = 0; i < p.slices.size(); ++i) {
        Slice& sl = p.slices[i];
        sl.color = opt.pie_colors != nullptr ? allocate_color(im, opt.pie_colors[i], bg) : c.plot;
        if (g.three_d)
            sl.shade = allocate_shade(im, opt.pie_colors != nullptr ? opt.pie_colors[i] : opt.pie_plot_color, bg);
    }

    // Without room for a pie (a picture too small for its title, labels or explosions) only
    // the title is drawn.
    const bool room = has_room(g);
    if (room && g.three_d) {
        draw_back_faces(im, p, c);
        draw_walls(im, p, c);
    }
    if (room) draw_front_faces(im, p, c);

    if (p.title != nullptr)
        for (size_t k = 0; k < p.title_lines.lines.size(); ++k) {
            const char* line = p.title_lines.lines[k].c_str();
            const TextSize ts = measure_text(line, opt.pie_title_size, p.title_font, opt.pie_title_ptsize);
            im.text(font_entry(opt.pie_title_size), p.title_font, opt.pie_title_ptsize, 0, width / 2 - ts.width / 2,
                    1 + static_cast<int>(k) * p.title_lines.pitch, line, c.title, JustifyCenter);
        }
    if (room && labels != nullptr) draw_labels(im, p, c);
    if (p.notice != nullptr) {
        const TextSize ts = measure_text(p.notice, opt.pie_label_size, p.label_font, opt.pie_label_ptsize);
        im.text(font_entry(opt.pie_label_size), p.label_font, opt.pie_label_ptsize, 0, width / 2 - ts.width / 2,
                p.room_h + 1, p.notice, c.label, JustifyCenter);
    }

    if (target)
        target->end();
    else
        write_picture(image.get(), out.stream, opt.image_format == 3, c.plot);
}

bool acceptable(short width, short height, int count, const float* values) {
    if (!picture_size_usable(width, height) || count < 1 || values == nullptr) return false;
    // Room for the wall records (four per slice and four more) must be countable.
    return static_cast<size_t>(count) <= (SIZE_MAX / sizeof(PieSide) - 4) / 4;
}

}  // namespace

void draw_pie(const ChartOptions& opt, short width, short height, PictureTarget out, int pie_type, int count,
              const char* const* labels, const float* values) {
    if ((out.stream == nullptr && out.vector == nullptr) || !acceptable(width, height, count, values)) return;
    try {
        draw_pie_picture(opt, width, height, out, pie_type, count, labels, values);
    } catch (...) {
        // Out of memory for the working arrays: the stream is left unwritten.
    }
}

PieLayout layout_pie(const ChartOptions& opt, short width, short height, int pie_type, int count,
                     const char* const* labels, const float* values) {
    PieLayout layout;
    if (!acceptable(width, height, count, values)) return layout;
    try {
        const PiePlan p = plan(opt, width, height, pie_type, count, labels, values);
        layout.r = p.g.r;
        layout.cx = p.g.cx;
        layout.cy = p.g.cy;
        layout.xdepth = p.g.xdepth;
        layout.ydepth = p.g.ydepth;
        layout.title_h = p.g.title_h;
        layout.slices.reserve(p.slices.size());
        for (const Slice& sl : p.slices) layout.slices.push_back({sl.s, sl.t, sl.m});
        if (labels != nullptr && has_room(p.g))
            for (const PlacedTexts& q : place_labels(p, width, p.room_h))
                if (q.right >= q.left && !q.skipped)
                    layout.texts.push_back({static_cast<int>(q.slice - p.slices.data()), to_coordinate(q.left),
                                            to_coordinate(q.top), to_coordinate(q.right), to_coordinate(q.bottom)});
    } catch (...) {
        return PieLayout{};
    }
    return layout;
}

}  // namespace plotwise
