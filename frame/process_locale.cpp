// The process-wide locale used when texts are stored: the first argument's, once a script
// function has run. It is a host object, so it is released at shutdown while the host still
// serves the plug-in, never when the library is unloaded.
#include "frame/process_locale.h"

#include <mutex>

#include "frame/host.h"

namespace plotwise {
namespace {

std::mutex gLocaleLock;
host::Locale* gLocale = nullptr;  // guarded by gLocaleLock; no destructor runs at unload

// The stored locale, created on first use as the host's current locale. Needs gLocaleLock.
host::Locale& storedLocale() {
    if (!gLocale) gLocale = new host::Locale(1);
    return *gLocale;
}

}  // namespace

const FMX_Locale* processLocale() {
    const std::lock_guard<std::mutex> lock(gLocaleLock);
    return storedLocale().get();
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
    const FMX_Locale* locale = host::dataLocale(arguments.at(0));
    const std::lock_guard<std::mutex> lock(gLocaleLock);
    storedLocale().assign(locale);
}

void releaseProcessLocale() noexcept {
    const std::lock_guard<std::mutex> lock(gLocaleLock);
    delete gLocale;
    gLocale = nullptr;
}

}  // namespace plotwise
