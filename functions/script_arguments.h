// Small pieces every script function that edits a definition shares: reading keyword
// arguments and recording argument errors.
#pragma once

#include <cstdint>
#include <string>

#include "boundary/host_calls.h"
#include "definition/chart_definition.h"

namespace plotwise {

constexpr std::size_t kTextArgumentBytes = 255;

// The text of argument `index` (at most 255 bytes), lowered in case by the host.
std::string loweredArgument(const host::Args& args, uint32_t index);

// Records an argument error. Without a loaded definition the snapshot is a fresh default
// header and takes the code whatever an earlier call left in the working definition; with one,
// the first error recorded stays, as recordError does.
void recordArgumentError(const ChartDefinition& definition, ChartHeader& snapshot, uint32_t code, bool loaded);

}  // namespace plotwise
