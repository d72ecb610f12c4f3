// The pie engine. A drawing runs in a fixed order, later steps painting over earlier ones:
//
//   set-up and fonts -> title room -> starting radius -> slice angles and radius fitting
//   -> colours -> (3D) back faces -> (3D) side walls in depth order -> front faces
//   -> title -> labels, percent texts and label lines -> output
//
// The layout steps live in pie_layout.cpp, the wall order in pie_walls.cpp, the label layout
// in pie_labels.cpp.
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
    if (sl.end - sl.start > kPiF) return true;
    const long dx = std::labs(static_cast<long>(rim_col(g, sl, sl.start, d, rho)) - rim_col(g, sl, sl.end, d, rho));
    const long dy = std::labs(static_cast<long>(rim_row(g, sl, sl.start, d, rho)) - rim_row(g, sl, sl.end, d, rho));
    return dx + dy > 2;
}

// The outline arc of a slice; gd counts degrees from three o'clock, the pie from twelve.
// Degrees are taken against 2π in single precision, so a slice ending at 2π ends at 360.
void draw_arc(Surface& im, const Geometry& g, const Slice& sl, int d, int color) {
    const double per_radian = 360.0 / static_cast<double>(kTwoPiF);
    const int from = static_cast<int>(std::floor(sl.start * per_radian)) + 270;
    const int to = static_cast<int>(std::ceil(sl.end * per_radian)) + 270;
    // gd draws a whole circle for equal ends; an empty slice on a whole degree has no arc.
    if (from == to) return;
    im.arc(centre_col(g, sl, d), centre_row(g, sl, d), to_coordinate(2.0 * g.r * g.ex), to_coordinate(2.0 * g.r * g.ey), from, to, color);
}

// The face d of a slice as a shape, for surfaces that fill shapes rather than flood regions.
SliceShape face_shape(const Geometry& g, const Slice& sl, int d) {
    return {static_cast<double>(centre_col(g, sl, d)), static_cast<double>(centre_row(g, sl, d)), static_cast<double>(g.r) * g.ex,
            static_cast<double>(g.r) * g.ey, sl.start, sl.end};
}

void draw_back_faces(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int o = c.edge < 0 ? sl.shade : c.edge_shade;
        const int x1 = centre_col(g, sl, 1), y1 = centre_row(g, sl, 1);
        im.line(x1, y1, rim_col(g, sl, sl.start, 1, g.r), rim_row(g, sl, sl.start, 1, g.r), o);
        im.line(x1, y1, rim_col(g, sl, sl.end, 1, g.r), rim_row(g, sl, sl.end, 1, g.r), o);
        draw_arc(im, g, sl, 1, o);
        if (wide_enough(g, sl, 1, g.r)) {
            const float r34 = g.r * 3 / 4;
            im.fill_region(rim_col(g, sl, sl.middle, 1, r34), rim_row(g, sl, sl.middle, 1, r34), o, sl.shade, face_shape(g, sl, 1));
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
            const gdPoint q0{rim_col(g, sl, sl.middle, 0, inner), rim_row(g, sl, sl.middle, 0, inner)};
            const gdPoint q1{rim_col(g, sl, sl.middle, 1, inner), rim_row(g, sl, sl.middle, 1, inner)};
            fill_quad(im, q0, q1, {rim_col(g, sl, sl.start, 1, g.r), rim_row(g, sl, sl.start, 1, g.r)},
                     {rim_col(g, sl, sl.start, 0, g.r), rim_row(g, sl, sl.start, 0, g.r)}, sl.shade);
            fill_quad(im, q0, q1, {rim_col(g, sl, sl.end, 1, g.r), rim_row(g, sl, sl.end, 1, g.r)},
                     {rim_col(g, sl, sl.end, 0, g.r), rim_row(g, sl, sl.end, 0, g.r)}, sl.shade);
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
        im.line(x0, y0, rim_col(g, sl, sl.start, 0, g.r), rim_row(g, sl, sl.start, 0, g.r), o);
        im.line(x0, y0, rim_col(g, sl, sl.end, 0, g.r), rim_row(g, sl, sl.end, 0, g.r), o);
        draw_arc(im, g, sl, 0, o);
        const int fx = rim_col(g, sl, sl.middle, 0, r34), fy = rim_row(g, sl, sl.middle, 0, r34);
        if (wide_enough(g, sl, 0, r34)) im.fill_region(fx, fy, o, sl.color, face_shape(g, sl, 0));
        // Even a slice too narrow to fill shows its colour.
        im.line(x0, y0, fx, fy, sl.color);
    }
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

void draw_labels(Surface& im, const PiePlan& p, const PieColors& c) {
    const ChartOptions& opt = *p.opt;
    const Geometry& g = p.g;
    const FontEntry& font = font_entry(opt.pie_label_size);
    for (const PlacedTexts& q : place_labels(opt, g, p.slices, p.label_font, below_title(p), im.width(), p.room_h)) {
        if (q.skipped) continue;
        const Slice& sl = *q.slice;
        if (sl.percent[0] != '\0')
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, to_coordinate(q.t.px), to_coordinate(q.t.py), sl.percent,
                    c.label, JustifyCenter);
        if (sl.label != nullptr)
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, to_coordinate(q.t.lx), to_coordinate(q.t.ly), sl.label,
                    c.label, q.right_half ? JustifyLeft : JustifyRight);
        if (opt.pie_label_line)
            im.line(to_coordinate(q.right_half ? q.ax - 1 : q.ax + 1), to_coordinate(q.ay), rim_col(g, sl, sl.middle, 0, g.r),
                    rim_row(g, sl, sl.middle, 0, g.r), c.line);
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
        for (const Slice& sl : p.slices) layout.slices.push_back({sl.start, sl.end, sl.middle});
        if (labels != nullptr && has_room(p.g))
            for (const PlacedTexts& q : place_labels(opt, p.g, p.slices, p.label_font, below_title(p), width, p.room_h))
                if (q.right >= q.left && !q.skipped)
                    layout.texts.push_back({static_cast<int>(q.slice - p.slices.data()), to_coordinate(q.left),
                                            to_coordinate(q.top), to_coordinate(q.right), to_coordinate(q.bottom)});
    } catch (...) {
        return PieLayout{};
    }
    return layout;
}

}  // namespace plotwise
