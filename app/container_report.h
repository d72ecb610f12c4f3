// plotwise inspect: a container's streams and, when it holds a chart definition, what the
// definition says, for a person to read.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

// Writes the description of the streams; never reads outside them, whatever they hold.
void describeContainer(const std::vector<ContainerStream>& streams, std::ostream& out);

}  // namespace plotwise::app
