// The locale of the running call: the first argument's, once the running script function has
// given it; the host's current locale before that. The host objects behind it live no longer
// than the call that made them, so no call sees another's locale and nothing of the host is
// held between calls: shutdown and unload find no host object of ours left.
#include "boundary/process_locale.h"

#include <memory>

#include "boundary/boundary.h"
#include "boundary/host_calls.h"

namespace plotwise {
namespace {

// Per thread: the host's current locale and the locale the running call gave, each made on
// first use. Outside any call (the layers driven directly) they stay until released.
struct ThreadLocales {
    std::unique_ptr<host::Locale> hostLocale;
    std::unique_ptr<host::Locale> given;
    uint64_t call = 0;
};

ThreadLocales& threadLocales() {
    thread_local ThreadLocales locales;
    if (firstUseInCall(locales.call)) locales.given.reset();
    return locales;
}

}  // namespace

const FMX_Locale* processLocale() {
    ThreadLocales& locales = threadLocales();
    if (locales.given) return locales.given->get();
    if (!locales.hostLocale) locales.hostLocale = std::make_unique<host::Locale>(1);
    return locales.hostLocale->get();
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
    if (!locales.given) locales.given = std::make_unique<host::Locale>(1);
    locales.given->assign(host::dataLocale(arguments.at(0)));
}

void releaseProcessLocale() noexcept {
    ThreadLocales& locales = threadLocales();
    locales.given.reset();
    locales.hostLocale.reset();
}

}  // namespace plotwise
