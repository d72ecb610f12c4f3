// The locale used when texts are stored: the first argument's, once the running script
// function has given it; the host's current locale before that.
#include "frame/process_locale.h"

#include "frame/boundary.h"
#include "frame/host.h"

namespace plotwise {
namespace {

// Per thread: the host's current locale (created on first use) and the locale the running
// call gave. A call that gives none works in the host's locale, whatever an earlier call gave.
struct ThreadLocales {
    host::Locale hostLocale{1};
    host::Locale given{1};
    bool hasGiven = false;
    uint64_t call = 0;
};

ThreadLocales& threadLocales() {
    thread_local ThreadLocales locales;
    if (firstUseInCall(locales.call)) locales.hasGiven = false;
    return locales;
}

}  // namespace

const FMX_Locale* processLocale() {
    const ThreadLocales& locales = threadLocales();
    return locales.hasGiven ? locales.given.get() : locales.hostLocale.get();
}

bool processLocaleHasDecimalComma() {
    host::Data value;
    const host::Text half("0,5");
    return host::setTextAs(value.get(), half.get(), processLocale(), kFMX_Number) &&
           host::asDouble(host::dataNumber(value.get())) == 0.5;
}

void rememberLocale(const FMX_DataVect* args) {
    const host::Args arguments(args);
    if (arguments.size() == 0) return;
    ThreadLocales& locales = threadLocales();
    locales.given.assign(host::dataLocale(arguments.at(0)));
    locales.hasGiven = true;
}

}  // namespace plotwise
