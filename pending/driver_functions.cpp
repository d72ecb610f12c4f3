// Stand-ins until the draw driver and the editing functions land; remove each one as its real
// code arrives.
#include "driver/draw_chart.h"
#include "frame/script_functions.h"

namespace plotwise {
int16_t Plotz_Data(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_Titles(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_Style(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_Draw(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_PieColors(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_Font(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
int16_t Plotz_Axis(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }
void drawChart(ChartDefinition&) {}
}  // namespace plotwise
