#include "tests/support/host_values.h"

namespace plotwise::support {

FMX_Error* err() {
    thread_local FMX_Error e;
    e = FMX_Error{1, 0};
    return &e;
}

void setText(FMX_Data* data, std::string_view utf8) {
    FMX_Text* text = FM_Text_Constructor1(err());
    const std::string zeroTerminated(utf8);
    FM_Text_Assign(text, zeroTerminated.c_str(), kFMX_EncodingUTF8, err());
    FMX_Locale* locale = FM_Locale_Constructor1(1, err());
    FM_Data_SetAsText(data, text, locale, kFMX_Text, err());
    FM_Locale_Delete(locale, err());
    FM_Text_Delete(text, err());
}

void setNumber(FMX_Data* data, double n) {
    FMX_FixPt* fixed = FM_FixPt_Constructor1(0, 16, err());
    FM_FixPt_AssignDouble(fixed, n, err());
    FM_Data_SetAsNumber(data, fixed, kFMX_Number, err());
    FM_FixPt_Delete(fixed, err());
}

namespace {

int64_t secondsThrough(void (*get)(const FMX_DateTime*, FMX_FixPt*, FMX_Error*), const FMX_DateTime* dateTime) {
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, err());
    get(dateTime, number, err());
    const int64_t seconds = FM_FixPt_AsLong64(number, err());
    FM_FixPt_Delete(number, err());
    return seconds;
}

}  // namespace

int64_t secondsSinceEpoch(const FMX_DateTime* dateTime) {
    return secondsThrough(FM_DateTime_GetSecondsSinceEpoch, dateTime);
}

int64_t secondsSinceMidnight(const FMX_DateTime* dateTime) {
    return secondsThrough(FM_DateTime_GetSecsSinceMidnight, dateTime);
}

void setSecondsSinceEpoch(FMX_DateTime* dateTime, int64_t seconds) {
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, err());
    FM_FixPt_AssignInt64(number, seconds, err());
    FM_DateTime_SetSecondsSinceEpoch(dateTime, number, err());
    FM_FixPt_Delete(number, err());
}

std::string textOf(const FMX_Text* text) {
    const uint32_t units = FM_Text_GetSize(text, err());
    // A UTF-16 unit takes at most three UTF-8 bytes.
    std::string bytes(static_cast<std::size_t>(units) * 3 + 1, '\0');
    FM_Text_GetBytes(text, bytes.data(), static_cast<uint32_t>(bytes.size()), 0, units, kFMX_EncodingUTF8, err());
    bytes.resize(bytes.find('\0'));
    return bytes;
}

int32_t addStream(FMX_BinaryData* binary, std::string_view type, const void* bytes, std::size_t size) {
    const std::string code = (std::string(type) + "    ").substr(0, 4);
    FMX_QuadChar* quad = FM_QuadChar_Constructor2(code[0], code[1], code[2], code[3], err());
    // The host wants a readable address even for an empty stream; it only reads the bytes.
    static char none = 0;
    const int32_t rc = FM_BinaryData_Add(binary, quad, static_cast<uint32_t>(size),
                                         size == 0 ? &none : const_cast<void*>(bytes), err());
    FM_QuadChar_Delete(quad, err());
    return rc;
}

}  // namespace plotwise::support
