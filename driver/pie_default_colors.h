// The slice colours of a pie whose definition has no colours of its own; also the colour a
// new series gets when a script gives none.
#pragma once

#include <array>
#include <cstdint>

namespace plotwise {

constexpr int kPieDefaultColorCount = 256;

// The 256 default slice colours, 0xRRGGBB.
const std::array<uint32_t, kPieDefaultColorCount>& pieDefaultColors();

}  // namespace plotwise
