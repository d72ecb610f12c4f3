// Functions registered with the host stand-in as a plug-in would register them, so that the
// evaluator's calls are checked without the real plug-in: they report what they receive.
#pragma once

#include <string>

#include "stand_in/fmhost.h"

namespace plotwise::app::testing {

// Registers:
//   Test_Echo ( value ; ... )  text "TYPE:TEXT|..." of its arguments (a container: "6:N streams")
//   Test_Fail ( code )         returns `code` as its error
//   Test_Zero                  text "zero", no arguments
//   Test_Read ( reference )    evaluates "GetNthRecord ( reference ; 2 )" through the host and
//                              returns the value, or the host error as a number
//   id 11 and id 12 without names (2 or more, and exactly 1 argument), returning "eleven"
//   and "twelve"
void registerFakeFunctions();

// Clears every registration of the host stand-in.
void unregisterFakeFunctions();

}  // namespace plotwise::app::testing
