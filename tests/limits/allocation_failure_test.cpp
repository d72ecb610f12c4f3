// Host memory that cannot be had, at every point of a whole script. For each step of the
// script (every calculation function, each given the previous step's result) and every n,
// the n-th host allocation of the call fails. Each such call ends with the documented result
// - a non-zero host error code, or a number result that carries the memory error - leaves
// no host memory block behind, and the same call made again without the failure gives
// exactly the result it gives when nothing fails. Under AddressSanitizer every host object
// that a failing path forgets to release is reported as a leak when the test ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "boundary/boundary.h"
#include "tests/support/plugin_calls.h"

namespace plotwise {
namespace {

namespace h = support;

// Records of the field the script reads with Plotz_Data ( ... ; "T::Month" ; "T::Amount" ).
constexpr const char* kMonths[] = {"Jan", "Feb", "Jan", "Mar"};
constexpr double kAmounts[] = {12, 19.5, -7, 30};

// Set when one of the host's own allocations failed while it evaluated a record.
bool gEvaluationFailed = false;

// Answers "GetNthRecord ( T::Month ; n )" and "GetNthRecord ( T::Amount ; n )". The host's own
// allocations count against the failure too; when one fails, the evaluation reports error 1200.
int16_t answer(void*, const char* expression, FMX_Data* result) {
    const std::string e(expression);
    const std::size_t semicolon = e.rfind(" ; ");
    const long n = semicolon == std::string::npos ? 0 : std::strtol(e.c_str() + semicolon + 3, nullptr, 10);
    if (n < 1 || n > 4) return 101;
    FMX_Error err{1, 0};
    if (e.find("T::Month") != std::string::npos) {
        FMX_Text* text = FM_Text_Constructor1(&err);
        FMX_Locale* locale = FM_Locale_Constructor1(1, &err);
        const bool made = text != nullptr && locale != nullptr;
        if (made) {
            FM_Text_Assign(text, kMonths[n - 1], kFMX_EncodingUTF8, &err);
            FM_Data_SetAsText(result, text, locale, kFMX_Text, &err);
        }
        if (locale) FM_Locale_Delete(locale, &err);
        if (text) FM_Text_Delete(text, &err);
        if (!made) gEvaluationFailed = true;
        return made ? 0 : 1200;
    }
    if (e.find("T::Amount") != std::string::npos) {
        FMX_FixPt* fixed = FM_FixPt_Constructor1(0, 16, &err);
        if (fixed == nullptr) {
            gEvaluationFailed = true;
            return 1200;
        }
        FM_FixPt_AssignDouble(fixed, kAmounts[n - 1], &err);
        FM_Data_SetAsNumber(result, fixed, kFMX_Number, &err);
        FM_FixPt_Delete(fixed, &err);
        return 0;
    }
    return 102;
}

// One step of the script: the function and its arguments, given the previous result.
struct Step {
    const char* name;
    ScriptFunction function;
    std::function<std::vector<h::Value>(const h::Value& previous)> arguments;
};

std::vector<Step> script() {
    using V = std::vector<h::Value>;
    return {
        {"New", Plotz_New, [](const h::Value&) { return V{}; }},
        {"Data", Plotz_Data, [](const h::Value& c) { return V{c, h::text("Jan;Feb;Mar"), h::text("10;20;30"), h::number(255), h::text("North")}; }},
        {"DataFromFields", Plotz_Data, [](const h::Value& c) { return V{c, h::text("T::Month"), h::text("T::Amount"), h::number(65280), h::text("South")}; }},
        {"Titles", Plotz_Titles, [](const h::Value& c) { return V{c, h::text("Title"), h::text("X"), h::text("Y")}; }},
        {"Style", Plotz_Style, [](const h::Value& c) { return V{c, h::text("vbar"), h::text("auto")}; }},
        {"Font", Plotz_Font, [](const h::Value& c) { return V{c, h::text("xaxistexts"), h::text("none.ttf"), h::number(0), h::number(255)}; }},
        {"Axis", Plotz_Axis, [](const h::Value& c) { return V{c, h::text("y"), h::text("min"), h::number(-20), h::text("format"), h::text("#,###.#")}; }},
        {"DateAxis", Plotz_Axis, [](const h::Value& c) { return V{c, h::text("x"), h::text("type"), h::text("date")}; }},
        {"PieColors", Plotz_PieColors, [](const h::Value& c) { return V{c, h::number(255), h::number(65280)}; }},
        {"Draw", Plotz_Draw, [](const h::Value& c) { return V{c, h::number(200), h::number(150), h::number(0xFFFFFF), h::number(0)}; }},
        {"Pie", Plotz_Style, [](const h::Value& c) { return V{c, h::text("3dpie"), h::text("both")}; }},
        {"Version", Plotz_Version, [](const h::Value&) { return V{h::text("long")}; }},
        {"Analysis", ContainerAnalysis, [](const h::Value& c) { return V{c, h::text("analysis")}; }},
        {"Extract", ExtractPicture, [](const h::Value& c) { return V{c}; }},
    };
}

// Calls `function` with the n-th host allocation of the call failing (0: none fails). Tells
// whether the failure happened within the call.
h::Outcome callFailing(ScriptFunction function, const std::vector<h::Value>& args, const FMX_ExprEnv* env, int32_t n,
                       bool& failed) {
    return h::call(function, args, env, [&](bool before) {
        if (before) {
            fmhost_fail_allocation(n);
        } else {
            failed = n > 0 && fmhost_allocations_before_failure() == 0;
            fmhost_fail_allocation(0);
        }
    });
}

bool same(const h::Outcome& a, const h::Outcome& b) {
    return a.returned == b.returned && a.type == b.type && a.number == b.number && a.text == b.text &&
           a.streams == b.streams;
}

class AllocationFailure : public ::testing::Test {
protected:
    // A failed start is checked in every test: a failure in the suite's set-up would only skip them.
    static void SetUpTestSuite() { started = h::startPlugIn(); }
    static inline intptr_t started = 0;
    void SetUp() override {
        ASSERT_EQ(started, kFMX_CurrentVersion);
        fmhost_set_evaluate_hook(answer, nullptr);
    }
    void TearDown() override {
        fmhost_set_evaluate_hook(nullptr, nullptr);
        fmhost_fail_allocation(0);
    }
};

TEST_F(AllocationFailure, EveryAllocationOfAWholeScriptFailsCleanly) {
    FMX_ExprEnv* env = fmhost_env_create();
    h::Value previous = h::empty();
    int failuresSeen = 0;
    for (const Step& step : script()) {
        const std::vector<h::Value> args = step.arguments(previous);
        bool failed = false;
        const h::Outcome reference = callFailing(step.function, args, env, 0, failed);
        ASSERT_EQ(reference.returned, 0) << step.name;

        int n = 1;
        for (;; ++n) {
            ASSERT_LT(n, 100000) << step.name << ": the failure never came";
            gEvaluationFailed = false;
            const h::Outcome outcome = callFailing(step.function, args, env, n, failed);
            if (!failed) {
                // Past the last allocation of the call: nothing failed, and so nothing differs.
                EXPECT_TRUE(same(outcome, reference)) << step.name << " allocation " << n;
                break;
            }
            ++failuresSeen;
            // The documented results of a call whose memory could not be had: the boundary's
            // memory error, or a number result carrying the host's memory error code.
            const bool hostError = outcome.returned == kBoundaryMemoryError;
            const bool numberResult = outcome.returned == 0 && outcome.type == kFMX_Number && outcome.number != 0;
            // A record whose evaluation failed in the host ends the field there: the series is
            // made of the records read before it.
            const bool shorterField = gEvaluationFailed && outcome.returned == 0 && outcome.isContainer();
            EXPECT_TRUE(hostError || numberResult || shorterField || same(outcome, reference))
                << step.name << " failing allocation " << n << ": returned " << outcome.returned << ", result type "
                << outcome.type;
            // The plug-in is not left in a state that changes the next call.
            const h::Outcome again = callFailing(step.function, args, env, 0, failed);
            EXPECT_TRUE(same(again, reference)) << step.name << " after failing allocation " << n;
        }
        EXPECT_GT(n, 1) << step.name << " made no host allocation";
        if (reference.isContainer()) previous = h::container(reference.streams);
    }
    EXPECT_GT(failuresSeen, 50);
    fmhost_env_delete(env);
}

}  // namespace
}  // namespace plotwise
