// The graph and pie engines on any options, picture sizes, chart types and data. The option
// set is filled from the input as a caller may fill it (arrays always hold as many entries as
// the drawing reads, texts are zero-terminated), then one engine draws into a memory stream.
// Data values include the missing and interpolation marks, NaN, infinities and 1e38.
// Whatever is drawn must be a complete picture of the size asked for.
#include <gd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/chart_options.h"
#include "engine/graph/graph.h"
#include "engine/pie/pie.h"
#include "fuzz_input.h"

using plotwise::fuzz::FuzzInput;

namespace {

// The options of the engine calls; each input sets them from the defaults.
plotwise::ChartOptions& options() {
    static plotwise::ChartOptions set;
    return set;
}

// Font names the engines may be given: none, one found along GDFONTPATH, ones that are missing.
constexpr const char* kFonts[] = {nullptr, "", "Times.ttf", "Arial.ttf", "missing-font.ttf"};
constexpr double kPointSizes[] = {0, 0, 0, 8, 12, 18, 72, -5, 999, 1e9, __builtin_nan("")};

const char* font(FuzzInput& in) { return kFonts[in.byte() % std::size(kFonts)]; }
double pointSize(FuzzInput& in) { return kPointSizes[in.byte() % std::size(kPointSizes)]; }

// Texts of one drawing live here until the engine has returned.
struct Keep {
    std::vector<std::unique_ptr<std::string>> texts;
    std::vector<unsigned char> bytes;
    std::vector<uint32_t> setColors, extColors, volColors;
    std::vector<plotwise::LegendEntry> legend;
    std::vector<int> explode;
    plotwise::Annotation note{};
    const char* text(FuzzInput& in, std::size_t limit = 80) {
        if (in.byte() % 8 == 0) return nullptr;
        texts.push_back(std::make_unique<std::string>(in.text(limit)));
        return texts.back()->c_str();
    }
};

uint32_t color(FuzzInput& in) {
    switch (in.byte() % 4) {
        case 0: return plotwise::DefaultColor;
        case 1: return plotwise::NoColor;
        case 2: return in.raw<uint32_t>();
        default: return in.raw<uint32_t>() & 0xFFFFFF;
    }
}

// A size: mostly small, sometimes up to 2000, rarely one of the 16-bit extremes (then the
// other side is kept thin, so that the area stays small and the fuzzer fast).
short side(FuzzInput& in) {
    const uint8_t choice = in.byte();
    if (choice < 224) return static_cast<short>(in.range(-2, 400));
    if (choice < 252) return static_cast<short>(in.range(0, 2000));
    constexpr short kExtremes[] = {0, -1, -5, 32767, -32768, 1, 2};
    return kExtremes[in.byte() % std::size(kExtremes)];
}

void sizes(FuzzInput& in, short& width, short& height) {
    width = side(in);
    height = side(in);
    if (width > 2000 && height > 16) height = 16;
    if (height > 2000 && width > 16) width = 16;
}

// A stream to draw into, kept in memory.
struct MemoryStream {
    char* bytes = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&bytes, &size);
    ~MemoryStream() {
        if (file) fclose(file);
        free(bytes);
    }
    void close() {
        if (file) fclose(file);
        file = nullptr;
    }
};

// A written picture must be a whole GIF of the size asked for (or turned by 90 degrees).
void checkPicture(const MemoryStream& stream, int width, int height) {
    if (stream.size == 0) return;
    if (options().image_format == 3) return;  // WBMP
    if (static_cast<long>(width) * height > 400000) return;  // decoding big pictures costs too much time
    gdImagePtr image = gdImageCreateFromGifPtr(static_cast<int>(stream.size), stream.bytes);
    if (image == nullptr) std::abort();
    const int w = gdImageSX(image), h = gdImageSY(image);
    gdImageDestroy(image);
    if (!((w == width && h == height) || (w == height && h == width))) std::abort();
}

void fillGraphOptions(FuzzInput& in, Keep& keep, plotwise::ChartOptions& o) {
    o.image_format = in.flag() ? 3 : 2;
    o.write_image = in.byte() % 8 != 0;
    o.title_size = static_cast<int>(in.range(-2, 7));
    o.ytitle_size = static_cast<int>(in.range(-2, 7));
    o.xtitle_size = static_cast<int>(in.range(-2, 7));
    o.yaxis_font_size = static_cast<int>(in.range(-2, 7));
    o.xaxis_font_size = static_cast<int>(in.range(-2, 7));
    o.title_font = font(in);
    o.ytitle_font = font(in);
    o.xtitle_font = font(in);
    o.yaxis_font = font(in);
    o.xaxis_font = font(in);
    o.fallback_font = font(in);
    o.title_ptsize = pointSize(in);
    o.ytitle_ptsize = pointSize(in);
    o.xtitle_ptsize = pointSize(in);
    o.yaxis_ptsize = pointSize(in);
    o.xaxis_ptsize = pointSize(in);
    o.line_spacing = in.flag() ? 1.2 : in.chartFloat();
    o.xlabel_spacing = in.raw<short>();
    o.ylabel_density = in.raw<signed char>();
    for (float* f : {&o.requested_ymin, &o.requested_ymax, &o.requested_y2min, &o.requested_y2max, &o.requested_xmin,
                     &o.requested_xmax, &o.xaxis_grid_step, &o.xaxis_tick_step, &o.xaxis_label_step, &o.yaxis_grid_step,
                     &o.yaxis_tick_step, &o.yaxis_label_step, &o.y2axis_grid_step, &o.y2axis_tick_step,
                     &o.y2axis_label_step, &o.requested_yinterval}) {
        *f = in.flag() ? plotwise::NoValue : in.chartFloat();
    }
    o.y_value_kind = static_cast<short>(in.range(-1, 6));
    o.x_value_kind = static_cast<short>(in.range(-1, 6));
    o.zero_shelf = in.byte();
    o.grid = static_cast<int>(in.range(-3, 12));
    o.ticks = static_cast<int>(in.range(-3, 12));
    o.xaxis = in.byte();
    o.yaxis = in.byte();
    o.yaxis2 = in.byte();
    o.depth_3d = in.flag() ? 5.0f : in.chartFloat();
    o.angle_3d = in.byte();
    o.bar_width = in.byte();
    o.hlc_style = static_cast<int>(in.range(0, 15));
    o.hlc_cap_width = in.byte();
    o.annotation_font_size = static_cast<int>(in.range(-2, 7));
    o.border = static_cast<int>(in.range(-1, 31));
    for (uint32_t* c : {&o.grid_color, &o.line_color, &o.plot_color, &o.vol_color, &o.title_color, &o.xtitle_color,
                        &o.ytitle_color, &o.ytitle2_color, &o.xlabel_color, &o.ylabel_color, &o.ylabel2_color,
                        &o.bg_color}) {
        *c = color(in);
    }
    o.xlabel_angle = in.flag() ? static_cast<double>(in.range(0, 3) * 30) : in.chartFloat();
    o.ylabel_format = keep.text(in, 24);
    o.ylabel2_format = keep.text(in, 24);
    o.interpolate = in.byte() % 2;
    o.ylabel_value_format = keep.text(in, 31);
    o.xlabel_value_format = keep.text(in, 31);
    o.xlabel_decimals = static_cast<short>(in.range(-1, 4));
    o.value_label_position = static_cast<short>(in.range(-1, 7));
    o.stack_type = static_cast<int>(in.range(-1, 4));
    o.annotation_font = font(in);
    o.annotation_ptsize = pointSize(in);
    o.thumbnail = in.byte() % 8 == 0;
    o.transparent_bg = in.byte() % 2;
    o.horizontal = in.byte() % 4 == 0;
    o.keep_geometry = in.byte() % 8 == 0;
    o.saved_plot_left = static_cast<int>(in.range(-100, 3000));
    o.saved_plot_width = static_cast<int>(in.range(-100, 3000));
    o.saved_plot_height = static_cast<int>(in.range(-100, 3000));
    o.title = keep.text(in);
    o.xtitle = keep.text(in);
    o.ytitle = keep.text(in);
    o.ytitle2 = keep.text(in);
}

// The array options, each as long as the drawing reads; they live in `keep` until it returns.
void fillGraphArrays(FuzzInput& in, Keep& keep, plotwise::ChartOptions& o, int points, int sets) {
    if (in.byte() % 8 == 0) {
        keep.bytes.resize(static_cast<std::size_t>(points));
        for (unsigned char& b : keep.bytes) b = in.byte();
        o.xlabel_ctl = keep.bytes.data();
    }
    if (in.flag()) {
        keep.setColors.resize(static_cast<std::size_t>(sets));
        for (uint32_t& c : keep.setColors) c = color(in);
        o.set_colors = keep.setColors.data();
    }
    if (in.byte() % 8 == 0) {
        keep.extColors.resize(static_cast<std::size_t>(points) * sets);
        for (uint32_t& c : keep.extColors) c = color(in);
        o.ext_color = keep.extColors.data();
    }
    if (in.byte() % 4 == 0) {
        keep.volColors.resize(static_cast<std::size_t>(points));
        for (uint32_t& c : keep.volColors) c = color(in);
        o.ext_vol_color = keep.volColors.data();
    }
    keep.legend.resize(static_cast<std::size_t>(in.range(0, 100)));
    for (plotwise::LegendEntry& entry : keep.legend) {
        entry.point = in.chartFloat();
        entry.value = in.chartFloat();
        entry.width = in.raw<uint16_t>();
        entry.color = color(in);
        entry.kind = static_cast<uint32_t>(in.range(0, 5));
        const std::string name = in.text(19);
        std::snprintf(entry.name, sizeof entry.name, "%s", name.c_str());
    }
    o.legend_count = static_cast<int>(keep.legend.size());
    o.legend_entries = keep.legend.empty() ? nullptr : keep.legend.data();
    if (in.byte() % 4 == 0) {
        keep.note.point = in.chartFloat();
        keep.note.color = color(in);
        keep.note.note = keep.text(in, 60);
        if (keep.note.note == nullptr) keep.note.note = "";
        o.annotation = &keep.note;
    }
    // A picture handed in to draw on (hold_image bit 1); bit 0 keeps the result.
    o.hold_image = static_cast<int>(in.range(0, 3));
    if (o.hold_image & 2) o.image = gdImageCreate(static_cast<int>(in.range(1, 300)), static_cast<int>(in.range(1, 300)));
}

void drawGraph(FuzzInput& in) {
    plotwise::ChartOptions& o = options();
    Keep keep;
    short width = 0, height = 0;
    sizes(in, width, height);
    const auto type = static_cast<plotwise::ChartType>(in.range(-2, 28));
    const int numPoints = static_cast<int>(in.range(-1, 1000));
    const int numSets = static_cast<int>(in.range(-1, 100));

    const int points = numPoints > 0 ? numPoints : 0;
    const int sets = numSets > 0 ? numSets : 0;
    const bool known = type >= 0 && type < plotwise::kChartTypeCount;
    const int rowsPerSet = known && plotwise::isHlc(type) ? 3 : known && plotwise::isFloatingBar(type) ? 2 : 1;
    const std::size_t values = static_cast<std::size_t>(points) * sets * rowsPerSet;
    if (values > 100000) return;  // beyond what the driver ever passes

    std::vector<float> data(values);
    for (float& v : data) v = in.chartFloat();
    std::vector<float> extra;
    const bool withExtra = in.byte() % 8 != 7;
    if (withExtra) {
        extra.resize(std::max<std::size_t>(values, points));
        for (float& v : extra) v = in.chartFloat();
    }
    std::vector<const char*> labels;
    const bool withLabels = in.byte() % 8 != 7;
    if (withLabels) {
        for (int i = 0; i < points; ++i) labels.push_back(in.byte() % 16 == 15 ? nullptr : keep.text(in, 40));
    }

    // With a first option byte of 0 the options keep their defaults.
    if (in.byte() != 0) {
        fillGraphOptions(in, keep, o);
        fillGraphArrays(in, keep, o, points, sets);
    }
    MemoryStream stream;
    FILE* out = in.byte() == 255 ? nullptr : stream.file;
    const bool turned = o.horizontal != 0;
    const int result = plotwise::draw_graph(options(), width, height, out, type, numPoints, withLabels ? labels.data() : nullptr,
                                            numSets, data.empty() ? nullptr : data.data(),
                                            withExtra ? extra.data() : nullptr);
    if (result < -2 || result > 2) std::abort();
    if (o.horizontal != 0) std::abort();  // cleared however the drawing ended
    stream.close();
    if (o.write_image && !(o.hold_image & 2)) {
        if (turned) checkPicture(stream, height, width);
        else checkPicture(stream, width, height);
    }
}

void fillPieOptions(FuzzInput& in, Keep& keep, plotwise::ChartOptions& o, int n) {
    o.image_format = in.flag() ? 3 : 2;
    o.pie_bg_color = color(in);
    o.pie_plot_color = color(in);
    o.pie_line_color = color(in);
    o.pie_edge_color = color(in);
    o.pie_title_color = color(in);
    o.pie_label_color = color(in);
    o.pie_3d_angle = in.flag() ? static_cast<uint16_t>(in.range(0, 3) * 90) : in.raw<uint16_t>();
    o.pie_3d_depth = in.flag() ? static_cast<uint16_t>(in.range(0, 30)) : in.raw<uint16_t>();
    o.pie_title_size = static_cast<int>(in.range(-2, 7));
    o.pie_label_size = static_cast<int>(in.range(-2, 7));
    o.pie_title_font = font(in);
    o.pie_label_font = font(in);
    o.pie_fallback_font = font(in);
    o.pie_title_ptsize = pointSize(in);
    o.pie_label_ptsize = pointSize(in);
    o.pie_label_dist = in.flag() ? static_cast<int>(in.range(0, 30)) : in.raw<int>();
    o.pie_percent_format = in.flag() ? "%.0f%%" : keep.text(in, 24);
    o.pie_perspective = in.flag() ? static_cast<uint16_t>(in.range(0, 100)) : in.raw<uint16_t>();
    o.pie_title = keep.text(in);
    o.pie_label_line = in.byte();
    o.pie_percent_type = static_cast<int>(in.range(-1, 6));
    if (in.byte() % 4 == 0) {
        keep.explode.resize(static_cast<std::size_t>(n));
        for (int& e : keep.explode) e = in.flag() ? static_cast<int>(in.range(-50, 50)) : in.raw<int>();
        o.pie_explode = keep.explode.data();
    }
    if (in.flag()) {
        keep.setColors.resize(static_cast<std::size_t>(n));
        for (uint32_t& c : keep.setColors) c = color(in);
        o.pie_colors = keep.setColors.data();
    }
    if (in.byte() % 4 == 0) {
        keep.bytes.resize(static_cast<std::size_t>(n));
        for (unsigned char& m : keep.bytes) m = in.byte() % 2;
        o.pie_missing = keep.bytes.data();
    }
}

void drawPie(FuzzInput& in) {
    plotwise::ChartOptions& o = options();
    Keep keep;
    short width = 0, height = 0;
    sizes(in, width, height);
    const int pieType = static_cast<int>(in.range(-1, 2));
    const int count = static_cast<int>(in.range(-1, 1000));
    const int n = count > 0 ? count : 0;
    std::vector<float> values(static_cast<std::size_t>(n));
    for (float& v : values) v = in.chartFloat();
    std::vector<const char*> labels;
    const bool withLabels = in.byte() % 8 != 7;
    if (withLabels) {
        for (int i = 0; i < n; ++i) labels.push_back(in.byte() % 16 == 15 ? nullptr : keep.text(in, 40));
    }
    // With a first option byte of 0 the options keep their defaults.
    if (in.byte() != 0) fillPieOptions(in, keep, o, n);

    MemoryStream stream;
    plotwise::draw_pie(options(), width, height, stream.file, pieType, count, withLabels ? labels.data() : nullptr,
                       values.empty() ? nullptr : values.data());
    stream.close();
    checkPicture(stream, width, height);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Fonts named as scripts name them are found in the font map folder of the build.
    setenv("GDFONTPATH", PLOTWISE_BINARY_DIR "/fonts", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    plotwise::ChartOptions& o = options();
    o = plotwise::ChartOptions{};
    if (in.flag()) drawPie(in);
    else drawGraph(in);
    if (o.image != nullptr) gdImageDestroy(o.image);  // kept by hold_image bit 0, or never taken
    o = plotwise::ChartOptions{};
    return 0;
}
