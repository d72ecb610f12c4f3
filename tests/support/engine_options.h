// The options the engine tests draw with: one set per test thread, which a test writes and
// hands to the engine calls it makes (the engines themselves keep no options of their own).
#pragma once

#include "engine/chart_options.h"

namespace plotwise {

inline ChartOptions& engineOptions() {
    thread_local ChartOptions options;
    return options;
}

}  // namespace plotwise
