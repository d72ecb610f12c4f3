// Fixed-size text fields: zero-terminated, zero-filled, never ending in half a character; and
// the definition's texts ended inside their fields whatever a container held.
#include <algorithm>
#include <cstring>

#include "common/utf8.h"

#include "definition/codec.h"

namespace plotwise {

void copyText(char* field, std::size_t fieldSize, std::string_view text) {
    if (fieldSize == 0) {
        return;
    }
    // Bytes past the field are never kept (one more is looked at, to cut at a character).
    text = text.substr(0, std::min(text.size(), fieldSize));
    // The stored text ends at the first zero byte, so nothing after one is kept. Fields are
    // short and labels are copied by the hundred thousand: a plain loop beats a library call.
    std::size_t end = 0;
    while (end < text.size() && text[end] != '\0') {
        ++end;
    }
    text = text.substr(0, end);
    std::size_t length = text.size();
    if (length > fieldSize - 1) {
        length = fieldSize - 1;
        // Cutting inside a multi-byte character would leave an invalid sequence behind: step
        // back to the first byte of that character. A character has at most three continuation
        // bytes; text that is not UTF-8 is cut where it is.
        std::size_t cut = length;
        for (int step = 0; step < 3 && cut > 0 && utf8::isContinuation(text[cut]); ++step) {
            --cut;
        }
        if (!utf8::isContinuation(text[cut])) {
            length = cut;
        }
    }
    std::memcpy(field, text.data(), length);
    // Zero-fill the rest so that equal texts give equal stored bytes.
    std::memset(field + length, 0, fieldSize - length);
}

void terminateBlockTexts(ChartBlock& block) {
    ChartHeader& header = block.header;
    for (char* text : {header.style, header.substyle, header.chartTitle, header.xAxisTitle, header.yAxisTitle}) {
        text[kTextFieldSize - 1] = '\0';
    }
    for (auto& name : block.fontName) {
        name[kTextFieldSize - 1] = '\0';
    }
    for (AxisOptions& axis : block.axis) {
        axis.format[kLabelSize - 1] = '\0';
    }
}

void terminateTexts(ChartDefinition& definition) {
    terminateBlockTexts(definition.block);
    for (SeriesRecord& series : definition.series) {
        series.name[kTextFieldSize - 1] = '\0';
    }
    const int sets = seriesInUse(definition.header());
    const int points = valuesInUse(definition.header());
    for (int s = 0; s < sets; ++s) {
        for (int v = 0; v < points; ++v) {
            definition.xLabel[s][v][kLabelSize - 1] = '\0';
            definition.yLabel[s][v][kLabelSize - 1] = '\0';
        }
    }
}

}  // namespace plotwise
