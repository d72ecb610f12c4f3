// The x labels the driver hands to the graph engine: one text per point, kept in the label
// store of the drawing and made by the X axis type from the x label texts (category charts) or
// from the x range (xy charts).
#pragma once

#include <cstddef>

#include "boundary/call_locale.h"
#include "definition/chart_definition.h"

namespace plotwise {

constexpr int kLabelStoreText = 256;  // 255 bytes and a zero
using LabelStore = char[kMaxValues][kLabelStoreText];

// Slots 0 .. valueCount-1 from the x label texts of series 0 by the X axis type and format.
// Every slot is written: a label the formatter cannot make falls back to the x label text.
void makeCategoryLabels(LabelStore& store, CallLocale& locale, const ChartDefinition& definition, int valueCount);

// Slots 0 .. valueCount-1 for xy charts from the range of `xValues` (count values, all series),
// widened by the requested bounds. Date, time and timestamp values are seconds after
// `offset`. Returns the decimals of automatic labels.
int makeXyLabels(LabelStore& store, const ChartDefinition& definition, const float* xValues, int count, int valueCount,
                 float requestedMin, float requestedMax, double offset = 0);

// Points entries 0 .. valueCount-1 at the store's texts, "Empty label" for an empty one;
// returns the length of the longest label.
std::size_t fillLabelPointers(const LabelStore& store, const char** pointers, int valueCount);

}  // namespace plotwise
