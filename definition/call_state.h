// The one state of a call of a script function: made by the boundary's guarded call from the
// call's arguments, handed down to everything the call does, and gone when the call ends. A
// call the host makes while this one runs (a field whose calculation calls the plug-in again)
// has its own and leaves this one as it was.
#pragma once

#include "boundary/call_locale.h"
#include "definition/working_set.h"
#include "stand_in/fmhost.h"

namespace plotwise {

struct CallState {
    explicit CallState(const FMX_DataVect* args) : locale(args) {}

    CallLocale locale;   // the first argument's locale, or the host's
    WorkingSet working;  // the working definition, its extent in use and its staging buffer
};

}  // namespace plotwise
