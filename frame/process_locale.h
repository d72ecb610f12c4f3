// The process-wide locale used when texts are stored or read as dates: each script function
// copies its first argument's locale here before anything else.
#pragma once

#include "host/fmhost.h"

namespace plotwise {

// Copies the locale of the first argument (when there is one) into the process-wide locale.
void rememberLocale(const FMX_DataVect* args);
// The process-wide locale (the host's current locale until a script function sets it).
const FMX_Locale* processLocale();
// True when the process-wide locale writes numbers with a decimal comma ("1,5"): the host
// reads such a text as one and a half in that locale.
bool processLocaleHasDecimalComma();
// Gives the process-wide locale back to the host (at shutdown); a later use makes it afresh.
void releaseProcessLocale() noexcept;

}  // namespace plotwise
