// Where gd looks for TrueType fonts: the font map folder first (Windows font names mapped onto
// the Liberation fonts; next to the program in the build tree, under share/plotwise/fonts where
// it is installed), then the usual font folders of the system.
#pragma once

#include <string>
#include <string_view>

namespace plotwise::app {

// The search path for a program living in `programFolder`.
std::string fontSearchPath(std::string_view programFolder);

// Sets GDFONTPATH for this process unless the user has set it.
void setFontSearchPath(std::string_view programFolder);

}  // namespace plotwise::app
