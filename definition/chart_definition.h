// The chart definition: the record a script builds step by step and that travels, byte for
// byte, inside a container value. Every fixed-size layout is declared here once, with checks
// on its size and on the offsets that stored containers rely on.
//
// All integers are 32-bit little-endian, values 32-bit IEEE floats, texts zero-terminated UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace plotwise {

constexpr int kMaxSeries = 100;        // series records
constexpr int kMaxValues = 1000;       // points per series
constexpr int kMaxPieColors = 1000;
constexpr int kTextFieldSize = 256;    // titles, style, font and series names (255 bytes + zero)
constexpr int kLabelSize = 32;         // labels and axis formats (31 bytes + zero)
constexpr int kTextTypes = 7;

constexpr uint32_t kDefaultColor = 0x02000000;  // the colour opposite to the background
constexpr float kLargestFloat = 3.4028235e38f;  // axis "auto" minimum
constexpr float kLowestFloat = -3.4028235e38f;  // axis "auto" maximum and steps

// Text types: index into fontSize, fontColor and fontName.
enum TextType : int {
    kChartTitle = 0,
    kYAxisTitle = 1,
    kYAxisTitle2 = 2,
    kXAxisTitle = 3,
    kYAxisTexts = 4,
    kXAxisTexts = 5,
    kPieLabels = 6,
};

// Axis value types (AxisOptions::type).
enum AxisType : int32_t { kAxisAuto = 0, kAxisNumber = 1, kAxisText = 2, kAxisDate = 3, kAxisTime = 4, kAxisTimestamp = 5 };
// Axis types whose values are dates, times or timestamps.
constexpr bool isDateAxis(int32_t type) { return type >= kAxisDate && type <= kAxisTimestamp; }

// Direction of an axis's labels (AxisOptions::labelsOrientation).
enum LabelOrientation : int32_t {
    kLabelsAuto = 0,        // upright when they would not fit side by side, else level
    kLabelsHorizontal = 1,
    kLabelsVertical = 2,
    kLabelsSharp = 3,       // slanted at 60 degrees
};

// Error codes recorded in ChartHeader::errorCode (0 = none).
enum ChartError : uint32_t {
    kErrorTitles = 1,
    kErrorStyle = 2,
    kErrorData = 3,
    kErrorDraw = 4,
    kErrorEmpty = 5,
    kErrorColors = 6,
    kErrorFont = 7,
    kErrorTooManyValues = 10,
    kErrorXData = 11,
    kErrorYData = 12,
    kErrorAxis = 13,
    kErrorExport = 14,
    kErrorNoPositive = 15,   // a pie with no positive value: nothing to share out
    kErrorExportSize = 16,   // a PNG export larger than can be made
};

// The message an error picture shows, used as it stands; empty for a code without one.
constexpr std::string_view chartErrorMessage(uint32_t code) {
    struct Entry {
        uint32_t code;
        std::string_view message;
    };
    constexpr Entry kMessages[] = {
        {kErrorTitles, "Error in Titles parameters"},
        {kErrorStyle, "Error in Style parameters"},
        {kErrorData, "Error in Data - bad parameters"},
        {kErrorDraw, "Error in Draw parameters"},
        {kErrorEmpty, "Error in Data - Empty!"},
        {kErrorColors, "Error in Colors parameters"},
        {kErrorFont, "Error in Font parameters"},
        {kErrorTooManyValues, "Error, more than 1000 values!"},
        {kErrorXData, "Error in Data - bad Xdata parameter"},
        {kErrorYData, "Error in Data - bad Ydata parameter"},
        {kErrorAxis, "Error in Axis parameters!"},
        {kErrorExport, "Error in Export parameters"},
        {kErrorNoPositive, "Error in Data - no positive values!"},
        {kErrorExportSize, "Error in Export - picture too large"},
    };
    for (const Entry& e : kMessages)
        if (e.code == code) return e.message;
    return {};
}

// styleGiven: Plotz_Style marks its call for the next drawing; a pie drawn with the values in
// its labels keeps a mark of its own, so that later drawings add them again (to the picture
// only: the stored labels stay as Plotz_Data wrote them).
constexpr uint8_t kStyleJustGiven = 1;
constexpr uint8_t kPieValueTexts = 2;

// The header part of the chart block; also the snapshot every script function edits.
//   OFFSET SIZE  FIELD
//        0    4  formatTag        "V13\0" in a snapshot
//        4    4  width            picture width, default 320
//        8    4  height           default 240
//       12    4  backgroundColor  default 0xFFFFFF
//       16    4  textColor        default 0
//       20  256  style            lower case, default "pie"
//      276  256  substyle
//      532  256  chartTitle
//      788  256  xAxisTitle
//     1044  256  yAxisTitle
//     1300    4  seriesCount      0..100
//     1304    4  valueCount       points per series
//     1308    4  errorCode        first error recorded
//     1312    1  styleGiven       1 right after Plotz_Style, 2 a pie drawn with value texts
//     1313    1  customPieColors  1 once Plotz_PieColors stored colours
//     1314    2  pieColorsGiven   how many colours Plotz_PieColors gave, low byte first; 0 in
//                                 older containers, whose stored colours all count
struct ChartHeader {
    char formatTag[4];
    uint32_t width;
    uint32_t height;
    uint32_t backgroundColor;
    uint32_t textColor;
    char style[kTextFieldSize];
    char substyle[kTextFieldSize];
    char chartTitle[kTextFieldSize];
    char xAxisTitle[kTextFieldSize];
    char yAxisTitle[kTextFieldSize];
    uint32_t seriesCount;
    uint32_t valueCount;
    uint32_t errorCode;
    uint8_t styleGiven;
    uint8_t customPieColors;
    uint8_t pieColorsGiven[2];
};
static_assert(sizeof(ChartHeader) == 1316);
static_assert(offsetof(ChartHeader, width) == 4);
static_assert(offsetof(ChartHeader, style) == 20);
static_assert(offsetof(ChartHeader, substyle) == 276);
static_assert(offsetof(ChartHeader, chartTitle) == 532);
static_assert(offsetof(ChartHeader, xAxisTitle) == 788);
static_assert(offsetof(ChartHeader, yAxisTitle) == 1044);
static_assert(offsetof(ChartHeader, seriesCount) == 1300);
static_assert(offsetof(ChartHeader, valueCount) == 1304);
static_assert(offsetof(ChartHeader, errorCode) == 1308);
static_assert(offsetof(ChartHeader, styleGiven) == 1312);
static_assert(offsetof(ChartHeader, customPieColors) == 1313);
static_assert(offsetof(ChartHeader, pieColorsGiven) == 1314);

// The number of pie colours Plotz_PieColors gave (0: not known, every stored colour counts).
// Two bytes in a fixed order, so that the field reads the same in a container of either byte order.
constexpr uint32_t pieColorsGiven(const ChartHeader& h) {
    return uint32_t{h.pieColorsGiven[0]} | uint32_t{h.pieColorsGiven[1]} << 8;
}
constexpr void setPieColorsGiven(ChartHeader& h, uint32_t count) {
    h.pieColorsGiven[0] = static_cast<uint8_t>(count & 0xFF);
    h.pieColorsGiven[1] = static_cast<uint8_t>(count >> 8);
}

// Options of one axis; the index of each field is its Plotz_Axis option number.
//   OFFSET SIZE  FIELD              "auto" value
//        0    4  min                3.4028235e38
//        4    4  max                -3.4028235e38
//        8    4  gridStep           -3.4028235e38
//       12    4  markStep           -3.4028235e38
//       16    4  labelStep          -3.4028235e38
//       20    4  type               0 auto, 1 number, 2 text, 3 date, 4 time, 5 timestamp
//       24   32  format             empty
//       56    4  labelsOrientation  0 auto, 1 horizontal, 2 vertical, 3 sharp
//       60    8  isAuto             one flag per option 0..7 ("scale" is 7)
struct AxisOptions {
    float min;
    float max;
    float gridStep;
    float markStep;
    float labelStep;
    int32_t type;
    char format[kLabelSize];
    int32_t labelsOrientation;
    uint8_t isAuto[8];
};
static_assert(sizeof(AxisOptions) == 68);
static_assert(offsetof(AxisOptions, type) == 20);
static_assert(offsetof(AxisOptions, format) == 24);
static_assert(offsetof(AxisOptions, labelsOrientation) == 56);
static_assert(offsetof(AxisOptions, isAuto) == 60);

// The chart block, stored as the "CHHD" stream.
//   OFFSET SIZE  FIELD
//        0 1316  header     ChartHeader
//     1316   28  fontSize   point size per text type, 0 = not set
//     1344   28  fontColor  colour per text type
//     1372 2048  fontName   font file per text type (the eighth entry is never used)
//     3420  204  axis       X, Y, second Y
//     3624 4000  pieColor   slice colours
struct ChartBlock {
    ChartHeader header;
    uint32_t fontSize[kTextTypes];
    uint32_t fontColor[kTextTypes];
    char fontName[8][kTextFieldSize];
    AxisOptions axis[3];
    uint32_t pieColor[kMaxPieColors];
};
static_assert(sizeof(ChartBlock) == 7624);
static_assert(offsetof(ChartBlock, fontSize) == 1316);
static_assert(offsetof(ChartBlock, fontColor) == 1344);
static_assert(offsetof(ChartBlock, fontName) == 1372);
static_assert(offsetof(ChartBlock, axis) == 3420);
static_assert(offsetof(ChartBlock, pieColor) == 3624);

// One data series, stored in the "SERS" stream.
//   OFFSET SIZE  FIELD
//        0    4  unreadable  values that could not be read as numbers (0 in older containers)
//        4    4  color
//        8  256  name
//      264 4000  x
//     4264 4000  y
struct SeriesRecord {
    uint32_t unreadable;
    uint32_t color;
    char name[kTextFieldSize];
    float x[kMaxValues];
    float y[kMaxValues];
};
static_assert(sizeof(SeriesRecord) == 8264);
static_assert(offsetof(SeriesRecord, name) == 8);
static_assert(offsetof(SeriesRecord, x) == 264);
static_assert(offsetof(SeriesRecord, y) == 4264);

// A label: at most 31 bytes and a terminating zero.
using Label = char[kLabelSize];
using LabelTable = Label[kMaxSeries][kMaxValues];

// The working definition: chart block, series records and the label tables.
struct ChartDefinition {
    ChartBlock block;
    SeriesRecord series[kMaxSeries];
    LabelTable xLabel;
    LabelTable yLabel;

    ChartHeader& header() { return block.header; }
    const ChartHeader& header() const { return block.header; }
};

}  // namespace plotwise
