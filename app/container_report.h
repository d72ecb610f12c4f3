// plotwise inspect: a container's streams and, when it holds a chart definition, what the
// definition says, for a person to read.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

// The message of a chart definition's error code, "" for a code without one.
std::string_view chartErrorMessage(uint32_t code);

// Writes the description of the streams; never reads outside them, whatever they hold.
void describeContainer(const std::vector<ContainerStream>& streams, std::ostream& out);

}  // namespace plotwise::app
