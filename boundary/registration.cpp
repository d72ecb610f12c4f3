// Registration of the calculation functions from the table the plug-in's entry point hands in.
#include "boundary/registration.h"

#include "boundary/host_calls.h"
#include "resources/strings.h"

namespace plotwise {
namespace {

// Capacity of the buffer a prototype resource is loaded into, in UTF-16 units.
constexpr int kPrototypeCapacity = 1024;

// Withdraws one registration; a host failure here is ignored like the host's result.
void unregisterQuietly(const host::QuadChar& pluginId, int16_t id) noexcept {
    try {
        host::unregisterFunction(pluginId, id);
    } catch (...) {
    }
}

// Withdraws the first `count` entries of the table, highest id first.
void unregisterFirst(std::span<const FunctionEntry> functions, std::size_t count) noexcept {
    try {
        const host::QuadChar pluginId(kPluginId);
        while (count > 0) unregisterQuietly(pluginId, functions[--count].id);
    } catch (...) {
        // Without an identifier nothing can be withdrawn.
    }
}

}  // namespace

int16_t registerFunction(const FunctionEntry& entry) {
    const host::QuadChar pluginId(kPluginId);
    host::Text name;
    host::Text prototype;

    char16_t buffer[kPrototypeCapacity] = {};
    loadStringResource(kPrototypeBase + entry.id, buffer, kPrototypeCapacity);
    name.assignUnicode(buffer);
    const host::Text parenthesis("(");
    const uint32_t cut = name.find(parenthesis, 0);
    if (cut != kFMX_TextNotFound) name.erase(cut, name.size() - cut);
    prototype.assignUnicode(buffer);

    return host::registerFunction(pluginId, entry.id, name, prototype, entry.minArgs, entry.maxArgs,
                                  kRegistrationFlags, entry.function);
}

bool registerAllFunctions(std::span<const FunctionEntry> functions) noexcept {
    std::size_t done = 0;  // entries registered, or refused without harm
    try {
        for (const FunctionEntry& entry : functions) {
            // A host that will not take a function without a name loses only that function
            // (the diagnostics); the named ones stay registered.
            if (registerFunction(entry) != 0 && !stringResource(kPrototypeBase + entry.id).empty()) break;
            ++done;
        }
    } catch (...) {
        // A host failure part-way leaves the same state as a refusal: withdraw below.
    }
    if (done == functions.size()) return true;
    unregisterFirst(functions, done);
    return false;
}

void unregisterAllFunctions(std::span<const FunctionEntry> functions) noexcept {
    unregisterFirst(functions, functions.size());
}

}  // namespace plotwise
