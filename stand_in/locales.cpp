// Locales: which form dates take when read from and written to texts.
#include <cstring>
#include <strings.h>

#include "stand_in/internal.h"

using namespace fmhost;

namespace fmhost {
namespace {

constexpr LocaleForm kLocales[] = {
    {"default", DateOrder::MonthDayYear, '/', '.'},  // 6/12/2009, 1.5
    {"de", DateOrder::DayMonthYear, '.', ','},       // 12.6.2009, 1,5
};

// Names the process locale may be given by, and the form each stands for.
struct LocaleName {
    const char* name;
    int32_t kind;
};
constexpr LocaleName kLocaleNames[] = {
    {"default", 0}, {"en", 0}, {"en_US", 0}, {"C", 0}, {"de", 1}, {"de_DE", 1}, {"de_AT", 1}, {"de_CH", 1},
};

int32_t gCurrentKind = 0;  // guarded by registryMutex()

}  // namespace

const LocaleForm& localeForm(int32_t kind) {
    if (kind < 0 || kind >= static_cast<int32_t>(std::size(kLocales))) kind = 0;
    return kLocales[kind];
}

int32_t currentLocaleKind() {
    std::lock_guard<std::mutex> lock(registryMutex());
    return gCurrentKind;
}

}  // namespace fmhost

extern "C" {

int32_t fmhost_set_locale(const char* name) {
    if (!name) return -1;
    for (const auto& entry : kLocaleNames) {
        if (strcasecmp(entry.name, name) == 0) {
            std::lock_guard<std::mutex> lock(registryMutex());
            gCurrentKind = entry.kind;
            return 0;
        }
    }
    return -1;
}

char fmhost_decimal_mark(void) { return localeForm(currentLocaleKind()).decimal; }

// Every locale type stands for the host's current locale here.
FMX_Locale* FM_Locale_Constructor1(int32_t /*type*/, FMX_Error* err) {
    FMX_Locale* locale = construct<FMX_Locale>(err);
    if (locale) locale->kind = currentLocaleKind();
    return locale;
}

void FM_Locale_Delete(FMX_Locale* self, FMX_Error* err) { destroy(self, err); }

FMX_Locale* FM_Locale_operatorAS(FMX_Locale* self, const FMX_Locale* other, FMX_Error* err) {
    if (!self || !other) {
        setError(err, kFMX_ErrorOther);
        return self;
    }
    self->kind = other->kind;
    setError(err, kFMX_ErrorNone);
    return self;
}

}  // extern "C"
