// Stand-ins until the definition subsystem lands; remove each one as its real code arrives.
#include "definition/codec.h"
#include "definition/editing.h"
#include "frame/script_functions.h"

namespace plotwise {
int16_t Plotz_Version(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_New(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t ContainerAnalysis(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t ExtractPicture(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
void initHeader(ChartHeader&) {}
void resetDefinition(ChartHeader&) {}
void loadDefinition(const FMX_BinaryData*, ChartHeader&) {}
bool decodeDefinition(const FMX_BinaryData*) { return false; }
void commitHeader(const ChartHeader&) {}
void recordError(ChartHeader&, uint32_t) {}
int16_t encodeDefinition(FMX_BinaryData*) { return 0; }
void resetAxis(AxisOptions&) {}
void copyText(char*, std::size_t, std::string_view) {}
void clearSeries(int) {}
int16_t finishEdit(const ChartHeader*, FMX_Data*) { return 0; }
}  // namespace plotwise
