// On Windows the fonts scripts name (Arial.ttf, Times.ttf) are in the system's fonts folder,
// where the plug-in looks by itself: no font map is put in front.
#include "app/font_path.h"

namespace plotwise::app {

void setFontSearchPath(std::string_view) {}

}  // namespace plotwise::app
