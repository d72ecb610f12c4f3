// Small text helpers shared by the program's pieces.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace plotwise::app {

// Names are compared without regard to case (ASCII letters), as the host compares them.
std::string lowerAscii(std::string_view s);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Edit distance between two names, compared without regard to case; for "did you mean".
int editDistance(std::string_view a, std::string_view b);

// The text with carriage returns shown as line ends (how a text result is printed).
std::string returnsToLineEnds(std::string_view s);

}  // namespace plotwise::app
