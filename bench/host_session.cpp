#include "bench/host_session.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>


// The plug-in's entry point, linked in with its code.
extern "C" void FMExternCallProc(FMX_ExternCallStruct* record);

namespace plotwise::bench {

namespace {

// Sends one message in a record filled as a host fills it; the record's result.
intptr_t send(uint8_t message) {
    FMX_ExternCallStruct record;
    fmhost_init_call_record(&record, FMExternCallProc, nullptr);
    record.whichCall = message;
    FMExternCallProc(&record);
    return record.result;
}

}  // namespace

FMX_Error* noError() {
    static FMX_Error err;
    err = FMX_Error{1, 0};
    return &err;
}

// ---- Values ----------------------------------------------------------------------------------

Value::Value() : data_(FM_Data_Constructor1(noError())) {
    if (data_ == nullptr) throw std::bad_alloc();
}

Value::~Value() { FM_Data_Delete(data_, noError()); }

Value& Value::text(std::string_view utf8) {
    FMX_Text* text = FM_Text_Constructor1(noError());
    const std::string bytes(utf8);
    FM_Text_Assign(text, bytes.c_str(), kFMX_EncodingUTF8, noError());
    FMX_Locale* locale = FM_Locale_Constructor1(1, noError());
    FM_Data_SetAsText(data_, text, locale, kFMX_Text, noError());
    FM_Locale_Delete(locale, noError());
    FM_Text_Delete(text, noError());
    return *this;
}

Value& Value::number(double n) {
    FMX_FixPt* fixed = FM_FixPt_Constructor1(0, 16, noError());
    FM_FixPt_AssignDouble(fixed, n, noError());
    FM_Data_SetAsNumber(data_, fixed, kFMX_Number, noError());
    FM_FixPt_Delete(fixed, noError());
    return *this;
}

Value& Value::copyOf(const FMX_Data* other) {
    switch (FM_Data_GetNativeType(other, noError())) {
        case kFMX_Container:
            FM_Data_SetBinaryData(data_, FM_Data_GetBinaryData(other, noError()), true, noError());
            break;
        case kFMX_Number:
            FM_Data_SetAsNumber(data_, FM_Data_GetAsNumber(other, noError()), kFMX_Number, noError());
            break;
        default:
            FM_Data_SetAsText(data_, FM_Data_GetAsText(other, noError()), FM_Data_GetLocale(other, noError()),
                              kFMX_Text, noError());
            break;
    }
    return *this;
}

int32_t Value::type() const { return FM_Data_GetNativeType(data_, noError()); }

std::vector<uint8_t> Value::stream(std::string_view code) const {
    if (type() != kFMX_Container || code.size() != 4) return {};
    const FMX_BinaryData* binary = FM_Data_GetBinaryData(data_, noError());
    FMX_QuadChar* quad = FM_QuadChar_Constructor2(code[0], code[1], code[2], code[3], noError());
    const int32_t index = FM_BinaryData_GetIndex(binary, quad, noError());
    FM_QuadChar_Delete(quad, noError());
    if (index < 0) return {};
    std::vector<uint8_t> bytes(FM_BinaryData_GetSize(binary, index, noError()));
    if (!bytes.empty())
        FM_BinaryData_GetData(binary, index, 0, static_cast<uint32_t>(bytes.size()), bytes.data(), noError());
    return bytes;
}

std::size_t Value::containerBytes() const {
    if (type() != kFMX_Container) return 0;
    return FM_BinaryData_GetTotalSize(FM_Data_GetBinaryData(data_, noError()), noError());
}

// ---- Argument vectors ------------------------------------------------------------------------

Arguments::Arguments() : vect_(FM_DataVect_Constructor1(noError())) {
    if (vect_ == nullptr) throw std::bad_alloc();
}

Arguments::~Arguments() { FM_DataVect_Delete(vect_, noError()); }

Arguments& Arguments::text(std::string_view utf8) {
    Value v;
    v.text(utf8);
    return value(v);
}

Arguments& Arguments::number(double n) {
    Value v;
    v.number(n);
    return value(v);
}

Arguments& Arguments::value(const Value& v) {
    FM_DataVect_PushBack(vect_, v.get(), noError());
    return *this;
}

// ---- The session -----------------------------------------------------------------------------

HostSession& HostSession::instance() {
    static HostSession session;
    return session;
}

HostSession::HostSession() {
    // No GDFONTPATH: fonts are found as on a server whose environment nobody set up.
    fmhost_set_locale("default");
    if (send(kFMXT_Init) != kFMX_CurrentVersion) throw std::runtime_error("the plug-in did not start");
    env_ = fmhost_env_create();
}

HostSession::~HostSession() {
    send(kFMXT_Shutdown);
    fmhost_env_delete(env_);
}

Function::Function(std::string_view name) {
    HostSession::instance();
    fmhost_registration registration{};
    if (fmhost_find_registration(std::string(name).c_str(), &registration) != 0)
        throw std::runtime_error("no function " + std::string(name) + " is registered");
    pointer_ = registration.function;
    id_ = registration.functionId;
}

}  // namespace plotwise::bench
