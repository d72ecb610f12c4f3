// The locale of the running call, used when texts are stored or read as dates: each script
// function copies its first argument's locale here before anything else.
#pragma once

#include "stand_in/fmhost.h"

namespace plotwise {

// Copies the locale of the first argument (when there is one) into the call's locale.
void rememberLocale(const FMX_DataVect* args);
// The call's locale (the host's current locale until the script function sets it).
const FMX_Locale* processLocale();
// True when the call's locale writes numbers with a decimal comma ("1,5"): the host
// reads such a text as one and a half in that locale.
bool processLocaleHasDecimalComma();
// Gives this thread's locale objects back to the host; a later use makes them afresh. The end
// of every outermost call does this, so does shutdown.
void releaseProcessLocale() noexcept;

}  // namespace plotwise
