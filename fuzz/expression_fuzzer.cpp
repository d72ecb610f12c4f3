// Whole calculation scripts through the plotwise program's parser, resolver and evaluator,
// with the plug-in started in this process: any text is parsed, and what parses is evaluated
// against a small record table, so that scripts call every plug-in function with any
// arguments, nest them, and let the plug-in read fields back through the evaluation hook.
// A script either gives a value or fails with a syntax or evaluation error; nothing else.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "app/diagnostics.h"
#include "app/evaluator.h"
#include "app/parser.h"
#include "app/record_tables.h"
#include "app/resolver.h"
#include "tests/support/plugin_calls.h"

namespace app = plotwise::app;

namespace {

constexpr std::string_view kOrders =
    "Month,Amount,Region,Day\n"
    "Jan,12,North,2009-06-12\n"
    "Feb,19.5,South,6/13/2009\n"
    "Jan,-7,North,\n"
    "Mar,1e38,\"West, far\",2009-06-14 14:30:00\n";

app::RecordTables* gTables = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("GDFONTPATH", PLOTWISE_BINARY_DIR "/fonts", 1);
    plotwise::support::startPlugIn();
    gTables = new app::RecordTables;
    gTables->add(app::RecordTable::fromCsv("Orders", kOrders, "orders.csv"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    app::NodePtr root;
    try {
        root = app::parseExpression(source);
        app::resolve(*root);
    } catch (const app::SyntaxError&) {
        return 0;
    }
    app::Variables variables;
    variables.set("$chart", app::Value::text("not a chart"));
    FMX_ExprEnv* env = fmhost_env_create();
    app::EvaluationContext context{gTables, &variables, env};
    {
        app::EvaluationHook hook(context);
        try {
            app::Evaluator(context).evaluate(*root);
        } catch (const app::EvaluationError&) {
        }
    }
    fmhost_env_delete(env);
    return 0;
}
