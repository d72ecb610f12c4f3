// The evaluator of resolved syntax trees, and the answer to the plug-in's requests for
// expression evaluation (FM_ExprEnv_Evaluate), both over the same record tables and
// $variables.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/record_tables.h"
#include "app/syntax.h"
#include "app/value.h"

namespace plotwise::app {

// $variables ($name and $$name), names compared without regard to case. A variable never
// set reads as the empty text, as in the host.
class Variables {
public:
    void set(std::string_view name, Value value);
    const Value* find(std::string_view name) const;

private:
    std::map<std::string, Value> values_;
};

// What an evaluation sees.
struct EvaluationContext {
    const RecordTables* tables = nullptr;
    Variables* variables = nullptr;
    const FMX_ExprEnv* environment = nullptr;  // handed to the plug-in's functions
};

class Evaluator {
public:
    explicit Evaluator(EvaluationContext context) : context_(context) {}
    // Evaluates a tree that resolve() has bound; throws EvaluationError.
    Value evaluate(const Node& root);

private:
    EvaluationContext context_;
    std::vector<std::pair<std::string, Value>> locals_;  // Let names, lower case, innermost last

    Value node(const Node& n);
    Value local(const Node& n) const;
    Value field(const Node& n, const Value* recordNumber, SourcePosition at) const;
    Value chain(const Node& n);
    Value call(const Node& n);
    [[gnu::noinline]] Value callPlugIn(const Node& n, const std::vector<Value>& args) const;
    Value let(const Node& n);
};

// A call of a plug-in function as the program makes it.
struct PlugInCall {
    int16_t functionId = 0;
    FMX_ExternCallPtr function = nullptr;
    const FMX_ExprEnv* environment = nullptr;
    const FMX_DataVect* arguments = nullptr;
    const FMX_Data* result = nullptr;  // null until the call has returned
    int16_t code = 0;                  // what the call returned
};
// For tests: `watcher` sees every plug-in call the program makes, on the calling thread, right
// before it runs (`done` false) and right after it (`done` true, with its result); a test
// records the calls of a run this way and makes them again elsewhere. Null stops the watching.
// Set it only while no run goes on.
using PlugInCallWatcher = void (*)(const PlugInCall& call, bool done);
void watchPlugInCalls(PlugInCallWatcher watcher);

// Parses, resolves and evaluates a whole source text; SyntaxError or EvaluationError.
Value evaluateSource(std::string_view source, const EvaluationContext& context);

// Answers the plug-in's FM_ExprEnv_Evaluate through the host stand-in's hook while it lives: each
// request is parsed and evaluated against the context's tables and $variables. A request that
// fails is reported to `onFailure` (the expression and the error) when one is given.
class EvaluationHook {
public:
    using FailureReporter = std::function<void(std::string_view expression, const std::string& error, int32_t code)>;
    explicit EvaluationHook(EvaluationContext context, FailureReporter onFailure = {});
    ~EvaluationHook();
    EvaluationHook(const EvaluationHook&) = delete;
    EvaluationHook& operator=(const EvaluationHook&) = delete;

private:
    static int16_t answer(void* self, const char* expression, FMX_Data* result);
    EvaluationContext context_;
    FailureReporter onFailure_;
    int depth_ = 0;
};

}  // namespace plotwise::app
