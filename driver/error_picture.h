// Error pictures: the pie drawn instead of a chart whose definition carries an error.
#pragma once

#include <cstdint>
#include <string_view>

namespace plotwise {

// The message of an error code; empty for a code without one.
std::string_view errorMessage(uint32_t code);
// Draws the error pie for `code` at the working definition's size into the picture.
void drawErrorPicture(uint32_t code);

}  // namespace plotwise
