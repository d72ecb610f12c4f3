// Registration of the calculation functions from one table.
#include "frame/registration.h"

#include <iterator>

#include "frame/host.h"
#include "resources/strings.h"

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
void unregisterFirst(std::size_t count) noexcept {
    try {
        const host::QuadChar pluginId(kPluginId);
        while (count > 0) unregisterQuietly(pluginId, kFunctions[--count].id);
    } catch (...) {
        // Without an identifier nothing can be withdrawn.
    }
}

}  // namespace

std::span<const FunctionEntry> functionTable() { return kFunctions; }

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

bool registerAllFunctions() noexcept {
    std::size_t done = 0;  // entries registered, or refused without harm
    try {
        for (const FunctionEntry& entry : kFunctions) {
            // A host that will not take a function without a name loses only that function
            // (the diagnostics); the named ones stay registered.
            if (registerFunction(entry) != 0 && !stringResource(kPrototypeBase + entry.id).empty()) break;
            ++done;
        }
    } catch (...) {
        // A host failure part-way leaves the same state as a refusal: withdraw below.
    }
    if (done == std::size(kFunctions)) return true;
    unregisterFirst(done);
    return false;
}

void unregisterAllFunctions() noexcept { unregisterFirst(std::size(kFunctions)); }

}  // namespace plotwise
