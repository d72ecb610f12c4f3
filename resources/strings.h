// The plug-in's string resources (name, description, version, function prototypes), compiled
// in where the Windows string table is not available.
#pragma once

#include <string_view>

namespace plotwise {

constexpr int kNameString = 1;
constexpr int kDescriptionString = 2;
constexpr int kVersionString = 3;
constexpr int kPrototypeBase = 100;  // prototype of function id n is resource 100 + n
constexpr int kFunctionDescriptionBase = 200;  // description of function id n, where it has one

// The text of resource `id` as UTF-8; empty when there is no such resource.
std::string_view stringResource(int id);

// Loads resource `id` into a UTF-16 buffer of `capacity` units, zero-terminated and cut to fit,
// as the Windows loader does; returns the number of units written (without the zero), 0 when
// the resource does not exist (the buffer is then left as it was).
int loadStringResource(int id, char16_t* buffer, int capacity);

}  // namespace plotwise
