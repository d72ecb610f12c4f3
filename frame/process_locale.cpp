// The process-wide locale used when texts are stored: the first argument's, once a script
// function has run.
#include "frame/process_locale.h"

#include "frame/host.h"

namespace plotwise {
namespace {

// Created on first use (the host's current locale) and kept for the life of the process.
host::Locale& storedLocale() {
    static host::Locale locale(1);
    return locale;
}

}  // namespace

const FMX_Locale* processLocale() { return storedLocale().get(); }

bool processLocaleHasDecimalComma() {
    host::Data value;
    const host::Text half("0,5");
    return host::setTextAs(value.get(), half.get(), processLocale(), kFMX_Number) &&
           host::asDouble(host::dataNumber(value.get())) == 0.5;
}

void rememberLocale(const FMX_DataVect* args) {
    const host::Args arguments(args);
    if (arguments.size() == 0) return;
    storedLocale().assign(host::dataLocale(arguments.at(0)));
}

}  // namespace plotwise
