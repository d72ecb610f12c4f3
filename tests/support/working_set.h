// Working sets for tests: the one of the tests that drive the definition layer directly (one
// per test thread, decoded into and encoded from as a call's own would be), and the definition
// a container holds, decoded afresh.
#pragma once

#include <memory>

#include "definition/codec.h"
#include "definition/working_set.h"
#include "stand_in/fmhost.h"
#include "tests/support/host_values.h"

namespace plotwise {

inline WorkingSet& testWorkingSet() {
    thread_local WorkingSet set;
    return set;
}
inline ChartDefinition& testDefinition() { return testWorkingSet().definition(); }

// The definition the streams of a container hold, decoded into a working set of its own that
// lives until the next decoding.
inline const ChartDefinition& decodedDefinition(const support::Streams& streams) {
    thread_local std::unique_ptr<WorkingSet> set;
    set.reset();
    set = std::make_unique<WorkingSet>();
    FMX_BinaryData* binary = FM_BinaryData_Constructor1(support::err());
    support::addStreams(binary, streams);
    decodeDefinition(*set, binary);
    FM_BinaryData_Delete(binary, support::err());
    return set->definition();
}

}  // namespace plotwise
