// The header snapshot every script function edits, and the defaults of a new definition.
#include <algorithm>
#include <cstring>

#include "definition/codec.h"

namespace plotwise {

namespace {

constexpr uint32_t kDefaultWidth = 320;
constexpr uint32_t kDefaultHeight = 240;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0;
constexpr char kDefaultStyle[] = "pie";
constexpr char kDefaultFont[] = "Times.ttf";
constexpr char kSnapshotTag[4] = {'V', '1', '3', '\0'};

// The header fields a snapshot refreshes from, and commits to, the working definition: all
// but formatTag, styleGiven and pieColorsGiven (written by Plotz_PieColors straight into the
// working definition).
void copyCommonFields(ChartHeader& to, const ChartHeader& from) {
    to.width = from.width;
    to.height = from.height;
    to.backgroundColor = from.backgroundColor;
    to.textColor = from.textColor;
    std::memcpy(to.style, from.style, sizeof to.style);
    std::memcpy(to.substyle, from.substyle, sizeof to.substyle);
    std::memcpy(to.chartTitle, from.chartTitle, sizeof to.chartTitle);
    std::memcpy(to.xAxisTitle, from.xAxisTitle, sizeof to.xAxisTitle);
    std::memcpy(to.yAxisTitle, from.yAxisTitle, sizeof to.yAxisTitle);
    to.seriesCount = from.seriesCount;
    to.valueCount = from.valueCount;
    to.errorCode = from.errorCode;
    to.customPieColors = from.customPieColors;
}

}  // namespace

void initHeader(ChartHeader& snapshot) {
    std::memset(&snapshot, 0, sizeof snapshot);
    std::memcpy(snapshot.formatTag, kSnapshotTag, sizeof snapshot.formatTag);
    snapshot.width = kDefaultWidth;
    snapshot.height = kDefaultHeight;
    snapshot.backgroundColor = kWhite;
    snapshot.textColor = kBlack;
    copyText(snapshot.style, kDefaultStyle);
}

void resetAxis(AxisOptions& axis) {
    std::memset(&axis, 0, sizeof axis);
    axis.min = kLargestFloat;
    axis.max = kLowestFloat;
    axis.gridStep = kLowestFloat;
    axis.markStep = kLowestFloat;
    axis.labelStep = kLowestFloat;
    axis.type = kAxisAuto;
    axis.labelsOrientation = 0;
    std::fill(std::begin(axis.isAuto), std::end(axis.isAuto), uint8_t{1});
}

void resetDefinition(ChartDefinition& definition, ChartHeader& snapshot) {
    initHeader(snapshot);
    ChartBlock& block = definition.block;
    std::fill(std::begin(block.fontSize), std::end(block.fontSize), 0u);
    std::fill(std::begin(block.fontColor), std::end(block.fontColor), kDefaultColor);
    for (auto& name : block.fontName) {
        copyText(name, kDefaultFont);
    }
    for (auto& axis : block.axis) {
        resetAxis(axis);
    }
}

void loadDefinition(WorkingSet& working, const FMX_BinaryData* container, ChartHeader& snapshot) {
    if (decodeDefinition(working, container)) {
        const ChartHeader& header = working.definition().header();
        copyCommonFields(snapshot, header);
        // A pie that shows its values goes on showing them; Plotz_Style's own mark is for the
        // drawing of its call only.
        if (header.styleGiven == kPieValueTexts) snapshot.styleGiven = kPieValueTexts;
    }
}

void commitHeader(ChartDefinition& definition, const ChartHeader& snapshot) {
    ChartHeader& header = definition.header();
    copyCommonFields(header, snapshot);
    header.styleGiven = snapshot.styleGiven;
    // The series table has 100 records; a larger count would send every reader past it.
    header.seriesCount = std::min<uint32_t>(header.seriesCount, kMaxSeries);
}

void recordError(const ChartDefinition& definition, ChartHeader& snapshot, uint32_t code) {
    // The first error recorded stays: one the definition already carries, and one recorded
    // earlier in the same call.
    if (definition.header().errorCode == 0 && snapshot.errorCode == 0) {
        snapshot.errorCode = code;
    }
}

void clearSeries(ChartDefinition& definition, int index) {
    if (index < 0 || index >= kMaxSeries) {
        return;
    }
    std::memset(&definition.series[index], 0, sizeof(SeriesRecord));
}

int seriesInUse(const ChartHeader& header) {
    return static_cast<int>(std::min<uint32_t>(header.seriesCount, kMaxSeries));
}

int valuesInUse(const ChartHeader& header) {
    return static_cast<int>(std::min<uint32_t>(header.valueCount, kMaxValues));
}

}  // namespace plotwise
