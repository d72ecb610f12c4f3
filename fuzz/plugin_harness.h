// Calling the plug-in in this process the way the host does: start it with message 0 (so
// that its functions are registered and the call record with the host's memory callbacks is
// stored), build argument vectors of host values, call a calculation function and read its
// result. Used by the fuzz targets and by the tests that stress the plug-in as a whole.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "frame/script_functions.h"
#include "host/fmhost.h"

extern "C" void FMExternCallProc(FMX_ExternCallStruct* record);

namespace plotwise::harness {

// A fresh error record for one host call.
inline FMX_Error* err() {
    thread_local FMX_Error e;
    e = FMX_Error{1, 0};
    return &e;
}

// The streams of a container, in order: type code and bytes.
using Streams = std::vector<std::pair<std::string, std::string>>;

inline Streams streamsOf(const FMX_BinaryData* binary) {
    Streams streams;
    if (binary == nullptr) return streams;
    const int32_t count = FM_BinaryData_GetCount(binary, err());
    for (int32_t i = 0; i < count; ++i) {
        char type[4] = {};
        FM_BinaryData_GetType(binary, i, type, err());
        std::string bytes(FM_BinaryData_GetSize(binary, i, err()), '\0');
        if (!bytes.empty()) FM_BinaryData_GetData(binary, i, 0, static_cast<uint32_t>(bytes.size()), bytes.data(), err());
        streams.emplace_back(std::string(type, 4), std::move(bytes));
    }
    return streams;
}

inline const std::string* findStream(const Streams& streams, std::string_view code) {
    for (const auto& stream : streams) {
        if (stream.first == code) return &stream.second;
    }
    return nullptr;
}

// Adds the streams to a container (type codes shorter than four characters are padded).
inline void addStreams(FMX_BinaryData* binary, const Streams& streams) {
    for (const auto& [code, bytes] : streams) {
        const std::string c = (code + "    ").substr(0, 4);
        FMX_QuadChar* quad = FM_QuadChar_Constructor2(c[0], c[1], c[2], c[3], err());
        static const char none = 0;
        FM_BinaryData_Add(binary, quad, static_cast<uint32_t>(bytes.size()), bytes.empty() ? &none : bytes.data(), err());
        FM_QuadChar_Delete(quad, err());
    }
}

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

inline void setText(FMX_Data* data, std::string_view utf8) {
    FMX_Text* t = FM_Text_Constructor1(err());
    const std::string zeroTerminated(utf8);
    FM_Text_Assign(t, zeroTerminated.c_str(), kFMX_EncodingNative, err());
    FMX_Locale* locale = FM_Locale_Constructor1(1, err());
    FM_Data_SetAsText(data, t, locale, kFMX_Text, err());
    FM_Locale_Delete(locale, err());
    FM_Text_Delete(t, err());
}

inline void setNumber(FMX_Data* data, double n) {
    FMX_FixPt* fixed = FM_FixPt_Constructor1(0, 16, err());
    FM_FixPt_AssignDouble(fixed, n, err());
    FM_Data_SetAsNumber(data, fixed, kFMX_Number, err());
    FM_FixPt_Delete(fixed, err());
}

inline void setValue(FMX_Data* data, const Value& value) {
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
            FM_Data_SetBinaryData(data, binary, 1, err());
            FM_BinaryData_Delete(binary, err());
            break;
        }
        case Value::Kind::Empty:
            break;
    }
}

// What a calculation function gave back.
struct Outcome {
    int16_t returned = 0;   // the function's host error code
    int32_t type = 0;       // native type of the result value
    double number = 0;      // a number result
    std::string text;       // a text result
    Streams streams;        // a container result
    bool isContainer() const { return type == kFMX_Container; }
};

// Calls `function` with `args`. `around`, when given, is called with true right before the
// function runs and with false right after it (the arguments and the result value are made
// before, and read after): a test arms failure injection or watches the call there.
inline Outcome call(ScriptFunction function, const std::vector<Value>& args, const FMX_ExprEnv* env = nullptr,
                    const std::function<void(bool)>& around = {}) {
    FMX_DataVect* vect = FM_DataVect_Constructor1(err());
    for (const Value& arg : args) {
        FMX_Data* value = FM_Data_Constructor1(err());
        setValue(value, arg);
        FM_DataVect_PushBack(vect, value, err());
        FM_Data_Delete(value, err());
    }
    FMX_Data* result = FM_Data_Constructor1(err());
    Outcome outcome;
    if (around) around(true);
    outcome.returned = function(0, env, vect, result);
    if (around) around(false);
    outcome.type = FM_Data_GetNativeType(result, err());
    if (outcome.type == kFMX_Number) outcome.number = FM_FixPt_AsFloat(FM_Data_GetAsNumber(result, err()), err());
    if (outcome.type == kFMX_Text) {
        const FMX_Text* t = FM_Data_GetAsText(result, err());
        const uint32_t units = FM_Text_GetSize(t, err());
        std::string bytes(static_cast<std::size_t>(units) * 3 + 1, '\0');
        FM_Text_GetBytes(t, bytes.data(), static_cast<uint32_t>(bytes.size()), 0, units, kFMX_EncodingUTF8, err());
        bytes.resize(bytes.find('\0'));
        outcome.text = std::move(bytes);
    }
    if (outcome.type == kFMX_Container) outcome.streams = streamsOf(FM_Data_GetBinaryData(result, err()));
    FM_Data_Delete(result, err());
    FM_DataVect_Delete(vect, err());
    return outcome;
}

// Starts the plug-in once in this process: its functions are registered with the host
// stand-in, and its stored call record carries the host's memory callbacks. Returns the
// start-up result (51 when started).
inline intptr_t startPlugIn() {
    // The plug-in keeps the address of the record it was last given, so the record lives as
    // long as the process.
    static FMX_ExternCallStruct record{};
    static const bool started = [] {
        record.extnVersion = 51;
        record.whichCall = kFMXT_Init;
        fmhost_init_call_record(&record);
        FMExternCallProc(&record);
        return true;
    }();
    (void)started;
    return record.result;
}

}  // namespace plotwise::harness
