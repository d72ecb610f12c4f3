// Decoding a container into a call's working definition, encoding it back, and the header
// snapshot operations every script function uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "definition/chart_definition.h"
#include "definition/working_set.h"
#include "stand_in/fmhost.h"

namespace plotwise {

// Fills a snapshot with the header defaults (tag "V13", 320 x 240, white on black text, "pie").
void initHeader(ChartHeader& snapshot);
// initHeader, then fonts and axes of the definition back to their defaults.
void resetDefinition(ChartDefinition& definition, ChartHeader& snapshot);
// Decodes a container into the working definition; when it held a definition, refreshes the
// snapshot from the working header. A container without "CHHD" changes nothing.
void loadDefinition(WorkingSet& working, const FMX_BinaryData* container, ChartHeader& snapshot);
// Decodes without touching any snapshot; true when the container held a definition.
bool decodeDefinition(WorkingSet& working, const FMX_BinaryData* container);
// Copies the snapshot's fields (not formatTag) into the definition's header.
void commitHeader(ChartDefinition& definition, const ChartHeader& snapshot);
// Records `code` in the snapshot unless the definition already carries an error.
void recordError(const ChartDefinition& definition, ChartHeader& snapshot, uint32_t code);
// Writes the working definition and its picture (the GIF drawn for it; none when empty) into
// the container: 0, or the host's memory error code.
int16_t encodeDefinition(WorkingSet& working, FMX_BinaryData* container, std::span<const uint8_t> picture = {});

// Default values of one axis record.
void resetAxis(AxisOptions& axis);
// Copies text into a fixed-size zero-terminated field, cut at a UTF-8 character boundary.
void copyText(char* field, std::size_t fieldSize, std::string_view text);
template <std::size_t N>
void copyText(char (&field)[N], std::string_view text) { copyText(field, N, text); }
// Ends the block's zero-terminated texts (header texts, font names, axis formats) inside their
// fields, whatever a stream held.
void terminateBlockTexts(ChartBlock& block);
// terminateBlockTexts, the series names, and the labels of the series and values in use: every
// text an engine reads by reference. Ending only the labels in use keeps a small chart from
// walking all 6.4 MB of the two label tables.
void terminateTexts(ChartDefinition& definition);
// Clears a series record (reserved, colour, name, values); labels are left alone. An index
// outside the table changes nothing.
void clearSeries(ChartDefinition& definition, int index);

// The number of series and of values per series that the tables hold for `header`: its
// counts, clamped to 100 and 1000. Everything that walks the tables goes by these.
int seriesInUse(const ChartHeader& header);
int valuesInUse(const ChartHeader& header);

}  // namespace plotwise
