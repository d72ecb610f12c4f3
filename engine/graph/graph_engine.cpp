// draw_graph: the graph engine's entry. The drawing reads as a pipeline: entry checks -> input
// -> layout -> picture and palette -> background picture -> frame -> data -> output (with the
// turn of horizontal charts).
#include <cstdio>
#include <memory>

#include "engine/graph/graph_internal.h"
#include "engine/graph/notice.h"
#include "engine/picture/picture_output.h"
#include "engine/picture/surface_gd.h"
#include "engine/text/text_color.h"

namespace plotwise {
namespace {

struct PictureDeleter {
    void operator()(gdImagePtr image) const { gdImageDestroy(image); }
};
using Picture = std::unique_ptr<gdImageStruct, PictureDeleter>;

// `horizontal` belongs to one drawing: it is cleared however the drawing ends, so that the next
// chart is not turned by mistake.
struct ClearHorizontal {
    ChartOptions& opt;
    ~ClearHorizontal() { opt.horizontal = 0; }
};

uint32_t plain_background(uint32_t bg) { return bg == DefaultColor || bg == NoColor ? 0xFFFFFF : bg; }

int color_index(Surface& im, uint32_t color, uint32_t bg) {
    return allocate_color(im, color == NoColor ? DefaultColor : color, bg);
}

// The palette in drawing order: background, line, plot, grid, volume colours, annotation; the
// background picture; then the set colours with their shades; the transparent mark.
void allocate_palette(GraphDrawing& d) {
    const ChartOptions& opt = d.opt;
    const GraphInput& in = d.in;
    GraphColors& c = d.colors;
    Surface& im = *d.surface;
    const uint32_t bg = plain_background(opt.bg_color);
    const int n = in.num_points;
    c.num_points = n;
    c.background = allocate_color(im, bg, bg);
    c.line = color_index(im, opt.line_color, bg);
    c.plot = color_index(im, opt.plot_color, bg);
    c.grid = color_index(im, opt.grid_color, bg);
    c.volume = c.plot;
    if (isCombo(in.type)) {
        c.volume = color_index(im, opt.vol_color, bg);
        c.volume_at.assign(static_cast<size_t>(n), c.volume);
        if (opt.ext_vol_color != nullptr)
            for (int i = 0; i < n; ++i) c.volume_at[i] = color_index(im, opt.ext_vol_color[i], bg);
    }
    c.annotation = opt.annotation != nullptr ? color_index(im, opt.annotation->color, bg) : c.line;

    if (opt.bg_image != nullptr) im.background_picture(opt.bg_image, in.width, in.height);

    const int per_set = in.num_sets > 0 ? in.rows / in.num_sets : 1;
    const bool shades = is3d(in.type);
    c.front.assign(static_cast<size_t>(in.rows) * n, c.plot);
    c.shade.assign(static_cast<size_t>(in.rows) * n, c.plot);
    for (int r = 0; r < in.rows; ++r) {
        const int set = r / per_set;  // the rows of one set share the set's colours
        for (int p = 0; p < n; ++p) {
            uint32_t color = opt.ext_color != nullptr   ? opt.ext_color[static_cast<size_t>(set) * n + p]
                             : opt.set_colors != nullptr ? opt.set_colors[set]
                                                         : opt.plot_color;
            const size_t at = static_cast<size_t>(r) * n + p;
            c.front[at] = color_index(im, color, bg);
            c.shade[at] = shades ? allocate_shade(im, color == NoColor ? DefaultColor : color, bg) : c.front[at];
        }
    }
    if (opt.transparent_bg) im.transparent(c.background);
}

int draw(ChartOptions& opt, short width, short height, PictureTarget out, ChartType type, int num_points,
         const char* const* xlabels, int num_sets, const float* data, const float* extra) {
    // Notices of a turned chart are drawn at the size the caller asked for.
    const int notice_w = opt.horizontal ? height : width, notice_h = opt.horizontal ? width : height;
    auto notice = [&](const char* text) { draw_notice(opt, notice_w, notice_h, out, opt.bg_color, opt.line_color, text); };

    const int check = check_graph_entry(width, height, type, num_points, num_sets, data, extra);
    if (check == -1) return -1;
    if (check == 1) {
        notice(kNoticeNoData);
        return 1;
    }
    load_font_table();
    if (opt.thumbnail) opt.grid = 0, opt.xaxis = 0, opt.yaxis = 0;
    GraphInput in;
    if (check == -2 || !prepare_graph_input(in, opt.interpolate != 0, width, height, type, num_points, xlabels, num_sets, data, extra)) {
        notice(kNoticeNoCombo);
        return -2;
    }
    const GraphLayout L = layout_prepared(in, opt);
    if (L.result == 2) {
        notice(kNoticeTooSmall);
        return 2;
    }

    if (VectorSurface* target = out.vector) {
        // The same drawing onto a vector surface, turned by its transform where the palette
        // picture is turned afterwards.
        target->begin(width, height, opt.horizontal != 0);
        GraphDrawing d{in, L, opt, nullptr, {}, target};
        allocate_palette(d);
        draw_graph_frame(d);
        draw_graph_data(d);
        target->end();
        return 0;
    }

    // The picture: the one handed in (hold_image bit 1), which the drawing then owns, or a new one.
    Picture picture;
    if ((opt.hold_image & 2) != 0 && opt.image != nullptr) {
        picture.reset(opt.image);
        opt.image = nullptr;
    } else {
        picture.reset(gdImageCreate(width, height));
        if (picture == nullptr) return -1;
    }
    GdSurface surface(picture.get());
    GraphDrawing d{in, L, opt, picture.get(), {}, &surface};
    allocate_palette(d);
    draw_graph_frame(d);
    draw_graph_data(d);

    if (opt.write_image) std::fflush(out.stream);
    if (opt.horizontal) {
        Picture turned(turn_picture(picture.get()));
        if (turned == nullptr) return -1;
        picture = std::move(turned);
    }
    if (opt.write_image) write_picture(picture.get(), out.stream, opt.image_format == 3, d.colors.plot);
    if (opt.hold_image & 1) opt.image = picture.release();
    return 0;
}

}  // namespace

int draw_graph(ChartOptions& opt, short width, short height, PictureTarget out, ChartType type, int num_points,
               const char* const* xlabels, int num_sets, const float* data, const float* extra) {
    ClearHorizontal clear{opt};
    if (!picture_size_usable(width, height) || (out.stream == nullptr && opt.write_image && out.vector == nullptr))
        return -1;
    try {
        return draw(opt, width, height, out, type, num_points, xlabels, num_sets, data, extra);
    } catch (const std::exception&) {
        return -1;  // out of memory for the working arrays: nothing written
    }
}

}  // namespace plotwise
