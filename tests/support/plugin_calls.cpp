#include "tests/support/plugin_calls.h"

#include "definition/container_streams.h"

extern "C" void FMExternCallProc(FMX_ExternCallStruct* record);

namespace plotwise::support {

void setValue(FMX_Data* data, const Value& value) {
    switch (value.kind) {
        case Value::Kind::Text:
            setText(data, value.text);
            break;
        case Value::Kind::Number:
            setNumber(data, value.number);
            break;
        case Value::Kind::Container: {
            FMX_BinaryData* binary = FM_BinaryData_Constructor1(err());
            addStreams(binary, value.streams);
            FM_Data_SetBinaryData(data, binary, true, err());
            FM_BinaryData_Delete(binary, err());
            break;
        }
        case Value::Kind::Empty:
            break;
    }
}

Outcome outcomeOf(const FMX_Data* result) {
    Outcome outcome;
    outcome.type = FM_Data_GetNativeType(result, err());
    if (outcome.type == kFMX_Number) outcome.number = FM_FixPt_AsFloat(FM_Data_GetAsNumber(result, err()), err());
    if (outcome.type == kFMX_Text) outcome.text = textOf(FM_Data_GetAsText(result, err()));
    if (outcome.type == kFMX_Container) outcome.streams = streamsOf(FM_Data_GetBinaryData(result, err()));
    return outcome;
}

Outcome call(ScriptFunction function, const std::vector<Value>& args, const FMX_ExprEnv* env,
             const std::function<void(bool)>& around, int16_t functionId) {
    FMX_DataVect* vect = FM_DataVect_Constructor1(err());
    for (const Value& arg : args) {
        FMX_Data* value = FM_Data_Constructor1(err());
        setValue(value, arg);
        FM_DataVect_PushBack(vect, value, err());
        FM_Data_Delete(value, err());
    }
    FMX_Data* result = FM_Data_Constructor1(err());
    if (around) around(true);
    const int16_t returned = function(functionId, env, vect, result);
    if (around) around(false);
    Outcome outcome = outcomeOf(result);
    outcome.returned = returned;
    FM_Data_Delete(result, err());
    FM_DataVect_Delete(vect, err());
    return outcome;
}

void countStagingAsHostAllocations() {
    setStagingCheck([] { return fmhost_take_allocation() != 0; });
}

intptr_t startPlugIn() {
    static const intptr_t answer = [] {
        countStagingAsHostAllocations();
        FMX_ExternCallStruct record;
        fmhost_init_call_record(&record, FMExternCallProc, nullptr);
        record.whichCall = kFMXT_Init;
        FMExternCallProc(&record);
        return record.result;
    }();
    return answer;
}

}  // namespace plotwise::support
