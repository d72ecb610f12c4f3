// The string table compiled into the module: name, description, version and the prototypes
// of the registered functions (ids 11 and 12 have none).
#include "resources/strings.h"

#include <algorithm>

namespace plotwise {
namespace {

struct StringResource {
    int id;
    std::string_view text;
};

// Lines of the description are separated by carriage returns, as the host's texts are.
constexpr StringResource kStrings[] = {
    {kNameString, "Norvane Plotwise Plug-In"},
    {kDescriptionString,
     "This plug-in extends FileMaker applications by adding chart functions.\r"
     "Norvane Software. Charts drawn with gd and FreeType.\r"
     "Version 1.3"},
    {kVersionString, "1.3"},
    {kPrototypeBase + 1, "Plotz_Version( versionFormat )"},
    {kPrototypeBase + 2, "Plotz_New"},
    {kPrototypeBase + 3, "Plotz_Data( chartdataContainer ; Xdata ; Ydata ; seriesColor {; seriesName } )"},
    {kPrototypeBase + 4, "Plotz_Titles( chartdataContainer ; chartName ; XaxisName ; YaxisName )"},
    {kPrototypeBase + 5, "Plotz_Style( chartdataContainer ; chartStyle {; chartSubstyle } )"},
    {kPrototypeBase + 7, "Plotz_Draw( chartdataContainer ; hsize ; vsize {; backcol ; textcol } )"},
    {kPrototypeBase + 8, "Plotz_PieColors( chartdataContainer ; color1 { ; color2 ... } )"},
    {kPrototypeBase + 9, "Plotz_Font( chartdataContainer ; texttype ; fontname ; fontsize {; fontcol } )"},
    {kPrototypeBase + 10,
     "Plotz_Axis( chartdataContainer ; axis ; optionName ; optionValue { ; optionName ; optionValue ... } )"},
    {kPrototypeBase + 13, "Plotz_Export( chartdataContainer ; format {; scale } )"},
    {kFunctionDescriptionBase + 13,
     "The chart drawn as vectors: format \"png\" (anti-aliased, scale 1 to 8 pixels per picture pixel, "
     "default 2), \"svg\" or \"pdf\". Returns a container holding the picture alone; the definition "
     "is left as it is."},
};

// The table is plain ASCII, so each byte is one UTF-16 unit when loaded.
constexpr bool allAscii() {
    for (const auto& entry : kStrings) {
        for (const char c : entry.text) {
            if (static_cast<unsigned char>(c) >= 0x80) return false;
        }
    }
    return true;
}
static_assert(allAscii(), "string resources are loaded byte for unit");

}  // namespace

std::string_view stringResource(int id) {
    for (const auto& entry : kStrings) {
        if (entry.id == id) return entry.text;
    }
    return {};
}

int loadStringResource(int id, char16_t* buffer, int capacity) {
    const std::string_view text = stringResource(id);
    if (text.empty() || !buffer || capacity <= 0) return 0;
    const int count = static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1)));
    for (int i = 0; i < count; ++i) buffer[i] = static_cast<char16_t>(text[static_cast<std::size_t>(i)]);
    buffer[count] = u'\0';
    return count;
}

}  // namespace plotwise
