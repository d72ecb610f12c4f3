// Registration of the calculation functions with the host. The functions live in the layer
// above; the plug-in's entry point hands their table in.
#pragma once

#include <cstdint>
#include <span>

#include "boundary/script_functions.h"

namespace plotwise {

// The plug-in's creator code, used as the plug-in id of every registration.
constexpr char kPluginId[4] = {'Q', 'X', 'P', 'L'};
constexpr uint32_t kRegistrationFlags = 0xFF01;
constexpr int16_t kNoUpperLimit = -1;  // maxArgs of a function without an upper limit

// One row of the registration table.
struct FunctionEntry {
    int16_t id;
    int16_t minArgs;
    int16_t maxArgs;  // kNoUpperLimit: any number
    ScriptFunction function;
};

// Registers one function under the name and prototype from its prototype resource: the name
// is the prototype up to its first "(". Returns the host's result (0 = success).
int16_t registerFunction(const FunctionEntry& entry);
// Registers the table's functions in ascending id order; at the first refusal of a named function or host
// failure, withdraws those registered so far in descending order and returns false. A refused
// function without a name (ids 11 and 12) is left out and the rest go on.
bool registerAllFunctions(std::span<const FunctionEntry> functions) noexcept;
// Withdraws the table's functions, highest id first; results are ignored.
void unregisterAllFunctions(std::span<const FunctionEntry> functions) noexcept;

}  // namespace plotwise
