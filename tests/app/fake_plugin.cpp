#include "fake_plugin.h"

#include <string_view>

#include "app/fm_objects.h"
#include "app/value.h"

namespace plotwise::app::testing {

namespace {

void setText(FMX_Data* result, std::string_view text) { Value::text(text).copyInto(result); }

int16_t echo(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data* result) {
    FMX_Error err{1, 0};
    const uint32_t n = FM_DataVect_Size(args, &err);
    std::string out;
    for (uint32_t i = 0; i < n; ++i) {
        const FMX_Data* arg = FM_DataVect_At(args, i, &err);
        const int32_t type = FM_Data_GetNativeType(arg, &err);
        if (!out.empty()) out += "|";
        out += std::to_string(type) + ":";
        if (type == kFMX_Container) {
            out += std::to_string(FM_BinaryData_GetCount(FM_Data_GetBinaryData(arg, &err), &err)) + " streams";
        } else {
            out += textToUtf8(FM_Data_GetAsText(arg, &err));
        }
    }
    setText(result, out);
    return 0;
}

int16_t fail(int16_t, const FMX_ExprEnv*, const FMX_DataVect* args, FMX_Data*) {
    FMX_Error err{1, 0};
    return static_cast<int16_t>(FM_FixPt_AsLong(FM_DataVect_AtAsNumber(args, 0, &err), &err));
}

int16_t zero(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data* result) {
    setText(result, "zero");
    return 0;
}

int16_t read(int16_t, const FMX_ExprEnv* env, const FMX_DataVect* args, FMX_Data* result) {
    FMX_Error err{1, 0};
    const std::string reference = textToUtf8(FM_DataVect_AtAsText(args, 0, &err));
    HostText expression = makeHostText("GetNthRecord ( " + reference + " ; 2 )");
    const int16_t code = FM_ExprEnv_Evaluate(env, expression.get(), result, &err);
    if (code != 0) Value::number(code).copyInto(result);
    return 0;
}

int16_t eleven(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data* result) {
    setText(result, "eleven");
    return 0;
}

int16_t twelve(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data* result) {
    setText(result, "twelve");
    return 0;
}

void add(int16_t id, std::string_view name, int16_t minArgs, int16_t maxArgs, FMX_ExternCallPtr function) {
    FMX_Error err{1, 0};
    HostQuadChar plugin(FM_QuadChar_Constructor2('T', 'E', 'S', 'T', &err));
    HostText text = makeHostText(name);
    HostText prototype = makeHostText(name.empty() ? std::string() : std::string(name) + "( ... )");
    FM_ExprEnv_RegisterExternalFunction(plugin.get(), id, text.get(), prototype.get(), minArgs, maxArgs, 0xFF01,
                                        function, &err);
}

}  // namespace

void registerFakeFunctions() {
    add(1, "Test_Echo", 1, -1, echo);
    add(2, "Test_Fail", 1, 1, fail);
    add(3, "Test_Zero", 0, 0, zero);
    add(4, "Test_Read", 1, 1, read);
    add(11, "", 2, -1, eleven);
    add(12, "", 1, 1, twelve);
}

void unregisterFakeFunctions() { fmhost_reset(); }

}  // namespace plotwise::app::testing
