// The functions that change a chart's presentation on any argument list: Plotz_Axis,
// Plotz_Font, Plotz_Style, Plotz_Titles, Plotz_PieColors and Plotz_Draw, and the version and
// diagnostic functions. Arguments are texts (keywords of every table, in any case, and any
// bytes), numbers of every size and sign, empty values and containers, in any number and
// order; the first argument is a chart of one of several styles, or something else. Every
// call must return 0 to the host; the editing functions give a container or a number.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "tests/support/plugin_calls.h"

using plotwise::fuzz::FuzzInput;
namespace h = plotwise::support;

namespace {

constexpr const char* kWords[] = {
    // axes and options
    "x", "y", "y1", "Y2", "z", "min", "MAX", "gridStep", "markstep", "labelStep", "type", "format", "scale",
    "labelsOrientation", "auto", "AUTO", "number", "text", "date", "time", "timestamp", "month", "labels", "linear",
    "logarithmic", "horizontal", "vertical", "sharp",
    // number and date formats
    "#,###.##", "$#,###.## USD", "%d.%m.%Y", "%H:%M:%S", "Item #", "%A %j %Z %c",
    // text types and fonts
    "charttitle", "yaxistitle", "yaxistitle2", "xaxistitle", "yaxistexts", "xaxistexts", "pielabels", "Times.ttf",
    "Arial.ttf", "no-such-font.ttf",
    // styles and substyles
    "pie", "3dpie", "line", "3dline", "area", "3darea", "vbar", "vertical bar", "v3dbar", "hbar", "h3dbar",
    "xyline", "xypoint", "xyarea", "combolinebar", "combolinearea", "combolineline", "beside", "rectangular",
    "values", "percent", "both", "outside", "top", "center", "bottom", "left", "right",
    // version and diagnostics
    "", "long", "short", "platform", "analysis", "ANALYSIS",
};

constexpr plotwise::ScriptFunction kFunctions[] = {
    plotwise::Plotz_Axis,    plotwise::Plotz_Font,    plotwise::Plotz_Style,
    plotwise::Plotz_Titles,  plotwise::Plotz_PieColors, plotwise::Plotz_Draw,
    plotwise::Plotz_Version, plotwise::ContainerAnalysis, plotwise::ExtractPicture,
};
constexpr int kDrawIndex = 5;
constexpr int kFirstNonEditing = 6;

std::vector<h::Value> gCharts;

h::Value chart(const char* style, const char* x, const char* y, int series) {
    h::Outcome c = h::call(plotwise::Plotz_New, {});
    for (int s = 0; s < series; ++s) {
        c = h::call(plotwise::Plotz_Data, {h::container(c.streams), h::text(x), h::text(y), h::number(0x102030 * (s + 1)),
                                           h::text("Series " + std::to_string(s + 1))});
    }
    c = h::call(plotwise::Plotz_Style, {h::container(c.streams), h::text(style)});
    return h::container(c.streams);
}

h::Value argument(FuzzInput& in, bool sizeArgument) {
    const uint8_t kind = in.byte();
    switch (kind % 6) {
        case 0:
        case 1: return h::text(kWords[in.byte() % std::size(kWords)]);
        case 2: return h::text(in.text(300));
        case 3: {
            if (sizeArgument) return h::number(static_cast<double>(in.range(-100, 2000)));
            return h::number(in.flag() ? static_cast<double>(in.raw<int32_t>()) : in.raw<double>());
        }
        case 4: return kind < 128 ? h::empty() : h::number(in.chartFloat());
        default: return gCharts[in.byte() % gCharts.size()];
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    h::startPlugIn();
    gCharts.push_back(chart("vbar", "Jan;Feb;Mar", "10;20;30", 3));
    gCharts.push_back(chart("3dpie", "A;B;C;D", "1;2;3;4", 1));
    gCharts.push_back(chart("xyline", "1;2;4;8", "3;-1;7;0", 2));
    gCharts.push_back(chart("combolinebar", "a;b;c", "5;6;7", 3));
    gCharts.push_back(chart("line", "2009-06-12;2009-06-13;2009-06-14", "14:30:00;08:00:00;23:59:59", 1));
    gCharts.push_back(h::container(h::call(plotwise::Plotz_New, {}).streams));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int which = in.byte() % static_cast<int>(std::size(kFunctions));
    std::vector<h::Value> args;
    const uint8_t first = in.byte();
    if (first < 200) args.push_back(gCharts[first % gCharts.size()]);
    else args.push_back(argument(in, false));
    const auto count = static_cast<std::size_t>(in.range(0, 40));
    for (std::size_t i = 0; i < count; ++i) {
        // Plotz_Draw's sizes stay within 2000: the big pictures have their own tests.
        args.push_back(argument(in, which == kDrawIndex && (i == 0 || i == 1)));
    }
    if (in.flag() && !args.empty()) args.erase(args.begin());  // no container at all

    const h::Outcome outcome = h::call(kFunctions[which], args);
    if (outcome.returned != 0) std::abort();
    if (which < kFirstNonEditing && !outcome.isContainer() && outcome.type != kFMX_Number) std::abort();
    return 0;
}
