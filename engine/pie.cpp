// The pie engine. A drawing runs in a fixed order, later steps painting over earlier ones:
//
//   set-up and fonts -> title room -> starting radius -> slice angles and radius fitting
//   -> colours -> (3D) back faces -> (3D) side walls in depth order -> front faces
//   -> title -> labels, percent texts and label lines -> output
//
// The layout steps live in pie_layout.cpp, the wall order in pie_walls.cpp.
#include "engine/pie.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/output.h"
#include "engine/pie_internal.h"
#include "engine/surface_gd.h"

namespace plotwise {

using namespace pie;

namespace {

using ImagePtr = std::unique_ptr<gdImage, decltype(&gdImageDestroy)>;

// Everything one drawing works with after the layout steps.
struct PiePlan {
    Geometry g;
    float depth_angle = 0;
    const char* title_font = nullptr;
    const char* label_font = nullptr;
    const char* title = nullptr;   // null when there is no title
    std::vector<Slice> slices;
};

// Palette indexes of one drawing.
struct PieColors {
    int background = 0, line = 0, plot = 0, title = 0, label = 0;
    int edge = -1, edge_shade = -1;  // only with an edge colour
};

// A font that FreeType cannot use at its size is replaced by the fallback, unprobed.
const char* chooseFont(const char* font, double ptsize, const char* fallback) {
    return probe_font(font, ptsize).width == 0 ? fallback : font;
}

// Set-up, title room, starting radius, slice angles and radius fitting.
PiePlan plan(short width, short height, int pie_type, int count, const char* const* labels,
             const float* values) {
    const ChartOptions& opt = chartOptions();
    PiePlan p;
    Geometry& g = p.g;
    g.three_d = pie_type == 0;

    // A squash beyond 100 percent would turn the pie upside down; it stops at a flat line.
    const unsigned perspective = opt.pie_perspective > 100 ? 100u : opt.pie_perspective;
    g.ex = 1.0f;
    g.ey = 1.0f - static_cast<float>(perspective) / 100.0f;

    p.title_font = chooseFont(opt.pie_title_font, opt.pie_title_ptsize, opt.pie_fallback_font);
    p.label_font = chooseFont(opt.pie_label_font, opt.pie_label_ptsize, opt.pie_fallback_font);

    p.depth_angle = depth_angle(opt.pie_3d_angle);
    if (g.three_d) depth_offsets(opt.pie_3d_angle, opt.pie_3d_depth, g.xdepth, g.ydepth);

    load_font_table();

    // An empty title takes no room, as no title.
    if (opt.pie_title != nullptr && opt.pie_title[0] != '\0') p.title = opt.pie_title;
    if (p.title != nullptr) {
        const TextSize ts = measure_text(p.title, opt.pie_title_size, p.title_font, opt.pie_title_ptsize);
        g.title_h = ts.height + 3;
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

bool hasRoom(const Geometry& g) { return g.r > 0 && std::isfinite(g.r); }

// A slice wider than a half turn is always filled: its chord shrinks as it nears a full turn.
bool wideEnough(const Geometry& g, const Slice& sl, int d, double rho) {
    if (sl.t - sl.s > kPiF) return true;
    const long dx = std::labs(static_cast<long>(Px(g, sl, sl.s, d, rho)) - Px(g, sl, sl.t, d, rho));
    const long dy = std::labs(static_cast<long>(Py(g, sl, sl.s, d, rho)) - Py(g, sl, sl.t, d, rho));
    return dx + dy > 2;
}

// The outline arc of a slice; gd counts degrees from three o'clock, the pie from twelve.
// Degrees are taken against 2π in single precision, so a slice ending at 2π ends at 360.
void drawArc(Surface& im, const Geometry& g, const Slice& sl, int d, int color) {
    const double per_radian = 360.0 / static_cast<double>(kTwoPiF);
    const int from = static_cast<int>(std::floor(sl.s * per_radian)) + 270;
    const int to = static_cast<int>(std::ceil(sl.t * per_radian)) + 270;
    // gd draws a whole circle for equal ends; an empty slice on a whole degree has no arc.
    if (from == to) return;
    im.arc(Cx(g, sl, d), Cy(g, sl, d), toCoordinate(2.0 * g.r * g.ex), toCoordinate(2.0 * g.r * g.ey), from, to, color);
}

// The face d of a slice as a shape, for surfaces that fill shapes rather than flood regions.
SliceShape faceShape(const Geometry& g, const Slice& sl, int d) {
    return {static_cast<double>(Cx(g, sl, d)), static_cast<double>(Cy(g, sl, d)), static_cast<double>(g.r) * g.ex,
            static_cast<double>(g.r) * g.ey, sl.s, sl.t};
}

void drawBackFaces(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int o = c.edge < 0 ? sl.shade : c.edge_shade;
        const int x1 = Cx(g, sl, 1), y1 = Cy(g, sl, 1);
        im.line(x1, y1, Px(g, sl, sl.s, 1, g.r), Py(g, sl, sl.s, 1, g.r), o);
        im.line(x1, y1, Px(g, sl, sl.t, 1, g.r), Py(g, sl, sl.t, 1, g.r), o);
        drawArc(im, g, sl, 1, o);
        if (wideEnough(g, sl, 1, g.r)) {
            const float r34 = g.r * 3 / 4;
            im.fill_region(Px(g, sl, sl.m, 1, r34), Py(g, sl, sl.m, 1, r34), o, sl.shade, faceShape(g, sl, 1));
        }
    }
}

void fillQuad(Surface& im, gdPoint a, gdPoint b, gdPoint c, gdPoint d, int color) {
    const gdPoint points[4] = {a, b, c, d};
    im.polygon(points, color);
}

void drawWalls(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    for (const PieSide& w : ordered_walls(p.slices, p.depth_angle)) {
        const Slice& sl = p.slices[static_cast<size_t>(w.slice)];
        const gdPoint c0{Cx(g, sl, 0), Cy(g, sl, 0)};
        const gdPoint c1{Cx(g, sl, 1), Cy(g, sl, 1)};
        const gdPoint side0{Px(g, sl, w.side, 0, g.r), Py(g, sl, w.side, 0, g.r)};
        const gdPoint side1{Px(g, sl, w.side, 1, g.r), Py(g, sl, w.side, 1, g.r)};
        if (!w.hidden) {
            fillQuad(im, c0, c1, side1, side0, sl.shade);
        } else {
            // A wall turned away from the viewer: fill from just inside the rim at the middle
            // to each radial edge, so no gap shows between the faces.
            const float inner = g.r - 2;
            const gdPoint q0{Px(g, sl, sl.m, 0, inner), Py(g, sl, sl.m, 0, inner)};
            const gdPoint q1{Px(g, sl, sl.m, 1, inner), Py(g, sl, sl.m, 1, inner)};
            fillQuad(im, q0, q1, {Px(g, sl, sl.s, 1, g.r), Py(g, sl, sl.s, 1, g.r)},
                     {Px(g, sl, sl.s, 0, g.r), Py(g, sl, sl.s, 0, g.r)}, sl.shade);
            fillQuad(im, q0, q1, {Px(g, sl, sl.t, 1, g.r), Py(g, sl, sl.t, 1, g.r)},
                     {Px(g, sl, sl.t, 0, g.r), Py(g, sl, sl.t, 0, g.r)}, sl.shade);
        }
        if (c.edge >= 0) {
            im.line(c0.x, c0.y, c1.x, c1.y, c.edge_shade);
            im.line(side0.x, side0.y, side1.x, side1.y, c.edge_shade);
        }
    }
}

void drawFrontFaces(Surface& im, const PiePlan& p, const PieColors& c) {
    const Geometry& g = p.g;
    const float r34 = g.r * 3 / 4;
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int o = c.edge < 0 ? sl.color : c.edge;
        const int x0 = Cx(g, sl, 0), y0 = Cy(g, sl, 0);
        im.line(x0, y0, Px(g, sl, sl.s, 0, g.r), Py(g, sl, sl.s, 0, g.r), o);
        im.line(x0, y0, Px(g, sl, sl.t, 0, g.r), Py(g, sl, sl.t, 0, g.r), o);
        drawArc(im, g, sl, 0, o);
        const int fx = Px(g, sl, sl.m, 0, r34), fy = Py(g, sl, sl.m, 0, r34);
        if (wideEnough(g, sl, 0, r34)) im.fill_region(fx, fy, o, sl.color, faceShape(g, sl, 0));
        // Even a slice too narrow to fill shows its colour.
        im.line(x0, y0, fx, fy, sl.color);
    }
}

// Top-left corners of a slice's label and percent text around its anchor (ax, ay).
struct TextPlaces {
    long lx, ly, px, py;
};
TextPlaces placeTexts(int type, bool right_half, long ax, long ay, const Slice& sl) {
    const long lw = sl.label != nullptr ? sl.label_size.width : 0;
    const long lh = sl.label != nullptr ? sl.label_size.height : 0;
    const long pw = sl.percent_size.width, ph = sl.percent_size.height;
    TextPlaces t{right_half ? ax : ax - lw, ay - lh / 2, 0, 0};
    switch (type) {
        case 1:
            t.ly = ay - lh / 2 + (ph + 1) / 2;
            t.px = right_half ? ax : ax - pw;
            t.py = t.ly - ph;
            break;
        case 2:
            t.ly = ay - lh / 2 - (ph + 1) / 2;
            t.px = right_half ? ax : ax - pw;
            t.py = t.ly + lh;
            break;
        case 3:
            t.lx = right_half ? ax : ax - lw - pw + 1;
            t.px = right_half ? ax + lw + 1 : ax - pw;
            t.py = ay - (ph + 1) / 2;
            break;
        case 4:
            t.lx = right_half ? ax + pw + 1 : ax - lw;
            t.px = right_half ? ax : ax - lw - pw + 1;
            t.py = ay - (ph + 1) / 2;
            break;
        default:
            break;
    }
    return t;
}

void drawLabels(Surface& im, const PiePlan& p, const PieColors& c) {
    const ChartOptions& opt = chartOptions();
    const Geometry& g = p.g;
    const FontEntry& font = font_entry(opt.pie_label_size);
    const float label_r = g.r + static_cast<float>(opt.pie_label_dist);
    for (const Slice& sl : p.slices) {
        if (sl.missing) continue;
        const int ax = Px(g, sl, sl.m, 0, label_r), ay = Py(g, sl, sl.m, 0, label_r);
        const bool right_half = sl.m <= kPiF;
        const TextPlaces t = placeTexts(opt.pie_percent_type, right_half, ax, ay, sl);
        if (sl.percent[0] != '\0')
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, toCoordinate(t.px),
                            toCoordinate(t.py), sl.percent, c.label, JustifyCenter);
        if (sl.label != nullptr)
            im.text(font, p.label_font, opt.pie_label_ptsize, 0, toCoordinate(t.lx),
                            toCoordinate(t.ly), sl.label, c.label, right_half ? JustifyLeft : JustifyRight);
        if (opt.pie_label_line)
            im.line(right_half ? ax - 1 : ax + 1, ay, Px(g, sl, sl.m, 0, g.r), Py(g, sl, sl.m, 0, g.r),
                        c.line);
    }
}

void drawPie(short width, short height, FILE* out, int pie_type, int count, const char* const* labels,
             const float* values) {
    const ChartOptions& opt = chartOptions();
    PiePlan p = plan(width, height, pie_type, count, labels, values);
    const Geometry& g = p.g;

    // A vector target gets the drawing instead of a palette picture.
    VectorSurface* target = drawing_target();
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
    const bool room = hasRoom(g);
    if (room && g.three_d) {
        drawBackFaces(im, p, c);
        drawWalls(im, p, c);
    }
    if (room) drawFrontFaces(im, p, c);

    if (p.title != nullptr) {
        const TextSize ts = measure_text(p.title, opt.pie_title_size, p.title_font, opt.pie_title_ptsize);
        im.text(font_entry(opt.pie_title_size), p.title_font, opt.pie_title_ptsize, 0,
                        width / 2 - ts.width / 2, 1, p.title, c.title, JustifyCenter);
    }
    if (room && labels != nullptr) drawLabels(im, p, c);

    if (target)
        target->end();
    else
        write_picture(image.get(), out, c.plot);
}

bool acceptable(short width, short height, int count, const float* values) {
    if (!picture_size_usable(width, height) || count < 1 || values == nullptr) return false;
    // Room for the wall records (four per slice and four more) must be countable.
    return static_cast<size_t>(count) <= (SIZE_MAX / sizeof(PieSide) - 4) / 4;
}

}  // namespace

void draw_pie(short width, short height, FILE* out, int pie_type, int count, const char* const* labels,
              const float* values) {
    if ((out == nullptr && drawing_target() == nullptr) || !acceptable(width, height, count, values)) return;
    try {
        drawPie(width, height, out, pie_type, count, labels, values);
    } catch (...) {
        // Out of memory for the working arrays: the stream is left unwritten.
    }
}

PieLayout layout_pie(short width, short height, int pie_type, int count, const char* const* labels,
                     const float* values) {
    PieLayout layout;
    if (!acceptable(width, height, count, values)) return layout;
    try {
        const PiePlan p = plan(width, height, pie_type, count, labels, values);
        layout.r = p.g.r;
        layout.cx = p.g.cx;
        layout.cy = p.g.cy;
        layout.xdepth = p.g.xdepth;
        layout.ydepth = p.g.ydepth;
        layout.title_h = p.g.title_h;
        layout.slices.reserve(p.slices.size());
        for (const Slice& sl : p.slices) layout.slices.push_back({sl.s, sl.t, sl.m});
    } catch (...) {
        return PieLayout{};
    }
    return layout;
}

}  // namespace plotwise
