// The host's function registry, the unregistration log, and expression evaluation through the
// hosting program's hook.
#include <algorithm>
#include <cstring>
#include <strings.h>

#include "common/utf8.h"
#include "stand_in/internal.h"

using namespace fmhost;

namespace {

// A registry answer other than 0: the host refused.
constexpr int16_t kRefused = 1;

struct Registration {
    uint32_t pluginId;
    int16_t functionId;
    std::string name;  // UTF-8
    std::string prototype;
    int16_t minArgs, maxArgs;
    uint32_t flags;
    FMX_ExternCallPtr function;
};

// Guarded by registryMutex().
std::vector<Registration> gRegistrations;
std::vector<int16_t> gUnregistered;
fmhost_evaluate_hook gHook = nullptr;
void* gHookContext = nullptr;

// Copies text into a fixed field, zero-terminated, cut before a partial UTF-8 character.
template <std::size_t N>
void copyField(char (&field)[N], const std::string& text) {
    const std::size_t length = plotwise::utf8::cutLength(text, N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

void fill(fmhost_registration* out, const Registration& r) {
    out->pluginId = r.pluginId;
    out->functionId = r.functionId;
    copyField(out->name, r.name);
    copyField(out->prototype, r.prototype);
    out->minArgs = r.minArgs;
    out->maxArgs = r.maxArgs;
    out->flags = r.flags;
    out->function = r.function;
}

}  // namespace

namespace fmhost {

void clearRegistrations() {
    std::lock_guard<std::mutex> lock(registryMutex());
    gRegistrations.clear();
    gUnregistered.clear();
}

}  // namespace fmhost

extern "C" {

// A second registration of the same plug-in id and function id is refused.
int16_t FM_ExprEnv_RegisterExternalFunction(const FMX_QuadChar* pluginId, int16_t functionId, const FMX_Text* name,
                                            const FMX_Text* prototype, int16_t minArgs, int16_t maxArgs,
                                            uint32_t flags, FMX_ExternCallPtr function, FMX_Error* err) {
    if (!pluginId || !name || !prototype || !function) {
        setError(err, kFMX_ErrorOther);
        return kRefused;
    }
    setError(err, kFMX_ErrorNone);
    if (!registrationAllowed()) return kRefused;
    try {
        Registration entry{pluginId->value, functionId, unitsToUtf8(name->units), unitsToUtf8(prototype->units),
                           minArgs, maxArgs, flags, function};
        std::lock_guard<std::mutex> lock(registryMutex());
        const bool taken = std::any_of(gRegistrations.begin(), gRegistrations.end(), [&](const Registration& r) {
            return r.pluginId == entry.pluginId && r.functionId == functionId;
        });
        if (taken) return kRefused;
        gRegistrations.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
        return kRefused;
    }
    return 0;
}

int16_t FM_ExprEnv_UnRegisterExternalFunction(const FMX_QuadChar* pluginId, int16_t functionId, FMX_Error* err) {
    if (!pluginId) {
        setError(err, kFMX_ErrorOther);
        return kRefused;
    }
    setError(err, kFMX_ErrorNone);
    std::lock_guard<std::mutex> lock(registryMutex());
    try {
        gUnregistered.push_back(functionId);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
    }
    const auto found = std::find_if(gRegistrations.begin(), gRegistrations.end(), [&](const Registration& r) {
        return r.pluginId == pluginId->value && r.functionId == functionId;
    });
    if (found == gRegistrations.end()) return kRefused;
    gRegistrations.erase(found);
    return 0;
}

// The hook is called outside the lock: it may call back into registered functions.
int16_t FM_ExprEnv_Evaluate(const FMX_ExprEnv* /*self*/, const FMX_Text* expression, FMX_Data* result,
                            FMX_Error* err) {
    if (!expression || !result) {
        setError(err, kFMX_ErrorOther);
        return kFMX_CalcError;
    }
    fmhost_evaluate_hook hook;
    void* context;
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        hook = gHook;
        context = gHookContext;
    }
    setError(err, kFMX_ErrorNone);
    if (!hook) return kFMX_CalcError;
    try {
        const std::string utf8 = unitsToUtf8(expression->units);
        return hook(context, utf8.c_str(), result);
    } catch (const std::bad_alloc&) {
        setError(err, kFMX_ErrorMemory);
        return kFMX_CalcError;
    }
}

void fmhost_set_evaluate_hook(fmhost_evaluate_hook hook, void* context) {
    std::lock_guard<std::mutex> lock(registryMutex());
    gHook = hook;
    gHookContext = context;
}

fmhost_evaluate_hook fmhost_get_evaluate_hook(void** context) {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (context) *context = gHookContext;
    return gHook;
}

FMX_ExprEnv* fmhost_env_create(void) { return new (std::nothrow) FMX_ExprEnv{}; }

void fmhost_env_delete(FMX_ExprEnv* env) { delete env; }

int32_t fmhost_registration_count(void) {
    std::lock_guard<std::mutex> lock(registryMutex());
    return static_cast<int32_t>(gRegistrations.size());
}

int32_t fmhost_registration_at(int32_t index, fmhost_registration* out) {
    std::lock_guard<std::mutex> lock(registryMutex());
    if (!out || index < 0 || static_cast<std::size_t>(index) >= gRegistrations.size()) return -1;
    fill(out, gRegistrations[static_cast<std::size_t>(index)]);
    return 0;
}

// An empty name finds nothing: the functions registered without a name are reached by id.
int32_t fmhost_find_registration(const char* name, fmhost_registration* out) {
    if (!name || !out || !*name) return -1;
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const auto& r : gRegistrations) {
        if (strcasecmp(r.name.c_str(), name) == 0) {
            fill(out, r);
            return 0;
        }
    }
    return -1;
}

int32_t fmhost_find_registration_id(int16_t functionId, fmhost_registration* out) {
    if (!out) return -1;
    std::lock_guard<std::mutex> lock(registryMutex());
    for (const auto& r : gRegistrations) {
        if (r.functionId == functionId) {
            fill(out, r);
            return 0;
        }
    }
    return -1;
}

// Returns the number of logged ids (which may exceed capacity; only capacity are copied).
int32_t fmhost_unregistration_log(int16_t* ids, int32_t capacity) {
    std::lock_guard<std::mutex> lock(registryMutex());
    const auto count = static_cast<int32_t>(gUnregistered.size());
    if (ids) {
        for (int32_t i = 0; i < std::min(count, capacity); ++i) ids[i] = gUnregistered[static_cast<std::size_t>(i)];
    }
    return count;
}

}  // extern "C"
