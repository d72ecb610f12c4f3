// Calling the plug-in in this process the way the host does: start it with message 0 (so
// that its functions are registered), build argument vectors of host values, call a calculation function and read its
// result. Used by the unit tests of the script functions, the tests that stress the plug-in as
// a whole and the fuzz targets.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "boundary/script_functions.h"
#include "stand_in/fmhost.h"
#include "tests/support/host_values.h"

namespace plotwise::support {

// One argument of a call.
struct Value {
    enum class Kind { Text, Number, Container, Empty } kind = Kind::Empty;
    std::string text;
    double number = 0;
    Streams streams;
};
inline Value text(std::string s) { return Value{Value::Kind::Text, std::move(s), 0, {}}; }
inline Value number(double n) { return Value{Value::Kind::Number, {}, n, {}}; }
inline Value container(Streams streams) { return Value{Value::Kind::Container, {}, 0, std::move(streams)}; }
inline Value empty() { return Value{}; }

void setValue(FMX_Data* data, const Value& value);

// What a calculation function gave back.
struct Outcome {
    int16_t returned = 0;   // the function's host error code
    int32_t type = 0;       // native type of the result value
    double number = 0;      // a number result
    std::string text;       // a text result
    Streams streams;        // a container result
    bool isContainer() const { return type == kFMX_Container; }
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

// Reads a result value into an outcome (all but `returned`).
Outcome outcomeOf(const FMX_Data* result);

// Calls `function` with `args` (as function id `functionId`). `around`, when given, is called
// with true right before the function runs and with false right after it (the arguments and
// the result value are made before, and read after): a test arms failure injection or watches
// the call there.
Outcome call(ScriptFunction function, const std::vector<Value>& args, const FMX_ExprEnv* env = nullptr,
             const std::function<void(bool)>& around = {}, int16_t functionId = 0);

// Starts the plug-in once in this process: its functions are registered with the host
// stand-in, and its staging blocks count against the stand-in's failure injection. Returns the
// start-up result (kFMX_CurrentVersion when started).
intptr_t startPlugIn();

// Makes every staging block of the plug-in count as a host allocation, so that
// fmhost_fail_allocation(n) reaches the plug-in's own memory too.
void countStagingAsHostAllocations();

}  // namespace plotwise::support
