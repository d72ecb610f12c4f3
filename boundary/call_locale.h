// The locale of one call, used when texts are stored or read as dates: the first argument's,
// once the script function has given it; the host's current locale before that.
#pragma once

#include <memory>

#include "stand_in/fmhost.h"

namespace plotwise {

namespace host {
class Locale;
}

// Each call has its own: the host objects behind it live no longer than the call that made
// them, so no call sees another's locale and nothing of the host is held between calls
// (shutdown and unload find no host object of ours left).
class CallLocale {
public:
    CallLocale();
    // The locale of a call with these arguments (see remember).
    explicit CallLocale(const FMX_DataVect* args);
    ~CallLocale();
    CallLocale(const CallLocale&) = delete;
    CallLocale& operator=(const CallLocale&) = delete;

    // Takes the locale of the first argument (when there is one).
    void remember(const FMX_DataVect* args);
    // The call's locale, made on first use.
    const FMX_Locale* get();
    // True when the locale writes numbers with a decimal comma ("1,5"): the host reads such a
    // text as one and a half in that locale.
    bool hasDecimalComma();

private:
    std::unique_ptr<host::Locale> hostLocale_;
    std::unique_ptr<host::Locale> given_;
};

}  // namespace plotwise
