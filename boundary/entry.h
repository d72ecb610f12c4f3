// The host's calls to the plug-in, answered with the table of functions it registers.
#pragma once

#include <span>

#include "boundary/registration.h"
#include "stand_in/fmhost.h"

namespace plotwise {

// Answers one call of the host (start-up, shutdown, string requests); start-up registers
// `functions`, shutdown withdraws them. No exception leaves it.
void answerHostCall(FMX_ExternCallStruct* record, std::span<const FunctionEntry> functions) noexcept;

}  // namespace plotwise
