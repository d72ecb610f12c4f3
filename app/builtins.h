// The program's own calculation functions, the part of the host's function library that
// scripts need around the plug-in's functions.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "app/value.h"

namespace plotwise::app {

// A built-in function; `apply` is null for GetNthRecord, which the evaluator answers itself
// because it reads a field rather than a value.
struct BuiltinFunction {
    std::string_view name;
    int minArgs;
    int maxArgs;  // -1: no upper limit
    std::string_view prototype;
    Value (*apply)(std::span<const Value> args);
};

std::span<const BuiltinFunction> builtinFunctions();
// Index into builtinFunctions() (names compared without regard to case), -1 when none.
int findBuiltin(std::string_view name);
// Index of GetNthRecord.
int getNthRecordBuiltin();

// Char's codes: groups of five digits from the right, the leftmost group the first character;
// 0 groups and codes that are no Unicode scalar value give nothing.
std::string charactersOfCode(double code);

// A copy of a value as a number, converted by the host.
Value asNumberValue(const Value& value);

}  // namespace plotwise::app
