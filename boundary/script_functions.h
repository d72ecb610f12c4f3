// The calculation functions the plug-in registers, with the host's calling shape. They are
// defined in functions/, whose entry point hands their table to the frame at start-up.
#pragma once

#include <cstdint>

#include "stand_in/fmhost.h"

namespace plotwise {

using ScriptFunction = int16_t (*)(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args,
                                   FMX_Data* result);

int16_t Plotz_Version(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_New(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Data(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Titles(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Style(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Draw(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_PieColors(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Font(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Axis(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t ContainerAnalysis(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t ExtractPicture(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);
int16_t Plotz_Export(int16_t id, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result);

}  // namespace plotwise
