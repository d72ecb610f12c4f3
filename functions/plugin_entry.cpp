// The plug-in's one entry point: the host's calls go to the frame with the table of the
// script functions, which the frame registers at start-up.
#include <cstddef>
#include <iterator>

#include "boundary/entry.h"
#include "boundary/registration.h"

namespace plotwise {
namespace {

constexpr FunctionEntry kFunctions[] = {
    {1, 1, 1, Plotz_Version},
    {2, 0, 0, Plotz_New},
    {3, 3, kNoUpperLimit, Plotz_Data},
    {4, 4, kNoUpperLimit, Plotz_Titles},
    {5, 2, kNoUpperLimit, Plotz_Style},
    {7, 3, kNoUpperLimit, Plotz_Draw},
    {8, 2, kNoUpperLimit, Plotz_PieColors},
    {9, 4, kNoUpperLimit, Plotz_Font},
    {10, 4, kNoUpperLimit, Plotz_Axis},
    {11, 2, kNoUpperLimit, ContainerAnalysis},
    {12, 1, 1, ExtractPicture},
    {13, 2, 3, Plotz_Export},
};

constexpr bool ascendingIds() {
    for (std::size_t i = 1; i < std::size(kFunctions); ++i) {
        if (kFunctions[i].id <= kFunctions[i - 1].id) return false;
    }
    return true;
}
static_assert(std::size(kFunctions) == 12 && ascendingIds(), "twelve functions in ascending id order");

}  // namespace
}  // namespace plotwise

extern "C" FMX_PLUGIN_EXPORT void FMExternCallProc(FMX_ExternCallStruct* record) {
    plotwise::answerHostCall(record, plotwise::kFunctions);
}
