#include "driver/chart_styles.h"

namespace plotwise {
namespace {

// Short names for the table's columns.
constexpr StackRule kBeside = StackRule::Beside;
constexpr StackRule kDepth = StackRule::Depth;
constexpr StackRule kBars = StackRule::Bars;
constexpr SetsRule kAll = SetsRule::All;
constexpr SetsRule kAllButLast = SetsRule::AllButLast;
constexpr ExtraRule kNone = ExtraRule::None;
constexpr ExtraRule kX = ExtraRule::XValues;
constexpr ExtraRule kLast = ExtraRule::LastSeries;

constexpr ChartStyle kStyles[] = {
    // keyword             alias                type              rectangular       stack     sets          extra   horiz   xy
    {"line",             "",                  Line,             Line,             kBeside,  kAll,         kNone,  false,  false},
    {"3dline",           "",                  Line3D,           Line3D,           kBeside,  kAll,         kNone,  false,  false},
    {"area",             "",                  Area,             Area,             kDepth,   kAll,         kNone,  false,  false},
    {"3darea",           "",                  Area3D,           Area3D,           kDepth,   kAll,         kNone,  false,  false},
    {"vbar",             "vertical bar",      Bar,              Bar,              kBars,    kAll,         kNone,  false,  false},
    {"v3dbar",           "vertical 3dbar",    Bar3D,            Bar3D,            kBars,    kAll,         kNone,  false,  false},
    {"hbar",             "horizontal bar",    Bar,              Bar,              kBars,    kAll,         kNone,  true,   false},
    {"h3dbar",           "horizontal 3dbar",  Bar3D,            Bar3D,            kBars,    kAll,         kNone,  true,   false},
    {"xyline",           "",                  XyLine,           XyLineStep,       kBeside,  kAll,         kX,     false,  true},
    {"xypoint",          "",                  XyPoint,          XyPoint,          kBeside,  kAll,         kX,     false,  true},
    {"xyarea",           "",                  XyArea,           XyAreaStep,       kBeside,  kAll,         kX,     false,  true},
    {"combolineline",    "",                  ComboLineLine,    ComboLineLine,    kDepth,   kAllButLast,  kLast,  false,  false},
    {"3dcombolineline",  "",                  ComboLineLine3D,  ComboLineLine3D,  kDepth,   kAllButLast,  kLast,  false,  false},
    {"combolinearea",    "",                  ComboLineArea,    ComboLineArea,    kDepth,   kAllButLast,  kLast,  false,  false},
    {"3dcombolinearea",  "",                  ComboLineArea3D,  ComboLineArea3D,  kDepth,   kAllButLast,  kLast,  false,  false},
    {"combolinebar",     "combolinevbar",     ComboLineBar,     ComboLineBar,     kDepth,   kAllButLast,  kLast,  false,  false},
    {"3dcombolinebar",   "3dcombolinevbar",   ComboLineBar3D,   ComboLineBar3D,   kDepth,   kAllButLast,  kLast,  false,  false},
};

}  // namespace

const ChartStyle* findChartStyle(std::string_view style) {
    for (const ChartStyle& row : kStyles) {
        if (style == row.keyword || (!row.alias.empty() && style == row.alias)) return &row;
    }
    return nullptr;
}

ChartType chartTypeFor(const ChartStyle& row, std::string_view substyle) {
    return substyle == "rectangular" ? row.rectangularType : row.type;
}

StackType stackTypeFor(const ChartStyle& row, std::string_view substyle) {
    switch (row.stack) {
        case StackRule::Beside: return Beside;
        case StackRule::Depth: return Depth;
        case StackRule::Bars: return substyle == "beside" ? Beside : Layer;
    }
    return Depth;
}

bool makesXyLabels(std::string_view style) {
    return style.starts_with("xyline") || style.starts_with("xyarea") || style == "xypoint";
}

bool isPieStyle(std::string_view style) { return style == "pie" || style == "3dpie"; }

}  // namespace plotwise
