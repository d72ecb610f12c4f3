// Every example, gallery and real-data script made again from four threads at once. Each script
// runs once through the plotwise program in this process while every call it makes of a
// plug-in function is recorded: the function, copies of its arguments, the answers of the
// evaluations it asks the host for, and its result. Then four threads make all the recorded
// calls at once, each in an order of its own, through the registered function pointers with
// fresh host values, and every result must be the recorded one byte for byte. The host's
// locale is one for the process, so the calls are made again one locale at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/evaluator.h"
#include "app/plugin_module.h"
#include "app/program.h"
#include "tests/support/example_scripts.h"
#include "tests/support/plugin_calls.h"

namespace plotwise {
namespace {

struct VectDelete {
    void operator()(FMX_DataVect* v) const { FM_DataVect_Delete(v, nullptr); }
};
using Vect = std::unique_ptr<FMX_DataVect, VectDelete>;

// A copy of each value of `values`, made by the host.
Vect copyOf(const FMX_DataVect* values) {
    Vect copy(FM_DataVect_Constructor1(nullptr));
    for (uint32_t i = 0; i < FM_DataVect_Size(values, nullptr); ++i)
        FM_DataVect_PushBack(copy.get(), FM_DataVect_At(values, i, nullptr), nullptr);
    return copy;
}

struct Evaluation {
    std::string expression;
    int16_t code = 0;
    app::Value answer;
};

struct RecordedCall {
    std::string script;
    int16_t functionId = 0;
    FMX_ExternCallPtr function = nullptr;
    bool withEnvironment = false;
    Vect arguments;
    std::vector<Evaluation> evaluations;
    support::Outcome result;
};

// The recording: the calls so far, and the hosting program's evaluation hook while a call runs.
std::vector<RecordedCall>* gRecorded = nullptr;
std::string gScript;
fmhost_evaluate_hook gProgramHook = nullptr;
void* gProgramHookContext = nullptr;

int16_t recordEvaluation(void*, const char* expression, FMX_Data* result) {
    FMX_Data* answered = FM_Data_Constructor1(nullptr);
    const int16_t code = gProgramHook(gProgramHookContext, expression, answered);
    const app::Value answer = app::Value::adopt(answered);
    answer.copyInto(result);
    gRecorded->back().evaluations.push_back({expression, code, answer});
    return code;
}

void recordCall(const app::PlugInCall& call, bool done) {
    if (!done) {
        gRecorded->push_back({gScript, call.functionId, call.function, call.environment != nullptr,
                              copyOf(call.arguments), {}, {}});
        gProgramHook = fmhost_get_evaluate_hook(&gProgramHookContext);
        if (gProgramHook) fmhost_set_evaluate_hook(recordEvaluation, nullptr);
        return;
    }
    if (gProgramHook) fmhost_set_evaluate_hook(gProgramHook, gProgramHookContext);
    gRecorded->back().result = support::outcomeOf(call.result);
    gRecorded->back().result.returned = call.code;
}

// The replay: each thread answers the evaluations of its current call from the recording, in
// the order they were asked.
thread_local const std::vector<Evaluation>* tEvaluations = nullptr;
thread_local std::size_t tNextEvaluation = 0;

int16_t replayEvaluation(void*, const char* expression, FMX_Data* result) {
    if (!tEvaluations || tNextEvaluation >= tEvaluations->size()) return kFMX_CalcError;
    const Evaluation& e = (*tEvaluations)[tNextEvaluation++];
    if (e.expression != expression) return kFMX_CalcError;
    e.answer.copyInto(result);
    return e.code;
}

support::Outcome replay(const RecordedCall& call, const FMX_ExprEnv* environment) {
    const Vect arguments = copyOf(call.arguments.get());
    FMX_Data* result = FM_Data_Constructor1(nullptr);
    tEvaluations = &call.evaluations;
    tNextEvaluation = 0;
    const int16_t code = call.function(call.functionId, call.withEnvironment ? environment : nullptr,
                                       arguments.get(), result);
    support::Outcome outcome = support::outcomeOf(result);
    outcome.returned = code;
    FM_Data_Delete(result, nullptr);
    return outcome;
}

std::string localeOf(const std::vector<std::string>& args) {
    const auto found = std::find(args.begin(), args.end(), "--locale");
    return found != args.end() && found + 1 != args.end() ? *(found + 1) : "default";
}

TEST(ScriptsFromThreads, FourThreadsGetTheBytesOfOneForEveryScript) {
    std::map<std::string, std::vector<RecordedCall>> byLocale;
    for (const support::ScriptRun& script : support::exampleScripts(PLOTWISE_SOURCE_DIR)) {
        std::vector<std::string> args = script.args;
        args.insert(args.begin() + 1, {"--plugin", PLOTWISE_PLUGIN});
        gRecorded = &byLocale[localeOf(args)];
        gScript = script.name;
        const std::size_t before = gRecorded->size();
        app::watchPlugInCalls(recordCall);
        std::ostringstream out, err;
        app::runProgram(args, out, err);
        app::watchPlugInCalls(nullptr);
        EXPECT_GT(gRecorded->size(), before) << script.name << " made no call of the plug-in";
    }

    // The program shut the plug-in down at the end of each run; the library stays loaded.
    app::PlugInModule plugIn;
    plugIn.start(PLOTWISE_PLUGIN);
    fmhost_set_evaluate_hook(replayEvaluation, nullptr);
    FMX_ExprEnv* environment = fmhost_env_create();
    constexpr int kThreads = 4;
    for (const auto& group : byLocale) {
        ASSERT_EQ(fmhost_set_locale(group.first.c_str()), 0);
        const std::vector<RecordedCall>& calls = group.second;
        std::vector<std::vector<std::string>> wrong(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                std::vector<std::size_t> order(calls.size());
                for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
                std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(t)));
                for (std::size_t k : order)
                    if (!(replay(calls[k], environment) == calls[k].result))
                        wrong[t].push_back(calls[k].script + " call " + std::to_string(k));
            });
        for (std::thread& thread : threads) thread.join();
        for (int t = 0; t < kThreads; ++t)
            for (const std::string& call : wrong[t]) ADD_FAILURE() << "thread " << t << ": " << call << " differs";
    }
    fmhost_env_delete(environment);
    fmhost_set_evaluate_hook(nullptr, nullptr);
    fmhost_set_locale("default");
}

}  // namespace
}  // namespace plotwise
