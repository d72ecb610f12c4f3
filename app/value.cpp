// Values held by the host: construction from program data, conversion through the host.
#include "app/value.h"

#include <cstring>
#include <limits>
#include <stdexcept>

#include "app/fm_objects.h"

namespace plotwise::app {

void checkHost(const FMX_Error& err, const char* operation) {
    if (err.code == kFMX_ErrorNone) return;
    if (err.code == kFMX_ErrorMemory) throw std::bad_alloc();
    throw std::runtime_error(std::string("the host operation ") + operation + " failed");
}

HostText makeHostText(std::string_view utf8) {
    HostText text = constructHost<HostText>(FM_Text_Constructor1, "FM_Text_Constructor1");
    const std::string zeroTerminated(utf8);
    FMX_Error err{1, 0};
    FM_Text_Assign(text.get(), zeroTerminated.c_str(), kFMX_EncodingUTF8, &err);
    checkHost(err, "FM_Text_Assign");
    return text;
}

std::string textToUtf8(const FMX_Text* text) {
    if (!text) return {};
    FMX_Error err{1, 0};
    const uint32_t units = FM_Text_GetSize(text, &err);
    checkHost(err, "FM_Text_GetSize");
    if (units == 0) return {};
    // A UTF-16 unit never takes more than three UTF-8 bytes.
    const uint64_t capacity = uint64_t{units} * 3 + 1;
    if (capacity > std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
    std::string buffer(static_cast<std::size_t>(capacity), '\0');
    FM_Text_GetBytes(text, buffer.data(), static_cast<uint32_t>(capacity), 0, units, kFMX_EncodingUTF8, &err);
    checkHost(err, "FM_Text_GetBytes");
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

std::vector<ContainerStream> readStreams(const FMX_BinaryData* binary) {
    std::vector<ContainerStream> streams;
    if (!binary) return streams;
    FMX_Error err{1, 0};
    const int32_t count = FM_BinaryData_GetCount(binary, &err);
    checkHost(err, "FM_BinaryData_GetCount");
    for (int32_t i = 0; i < count; ++i) {
        ContainerStream stream;
        FM_BinaryData_GetType(binary, i, stream.type.data(), &err);
        checkHost(err, "FM_BinaryData_GetType");
        const uint32_t size = FM_BinaryData_GetSize(binary, i, &err);
        checkHost(err, "FM_BinaryData_GetSize");
        stream.bytes.resize(size);
        if (size > 0) {
            const int32_t rc = FM_BinaryData_GetData(binary, i, 0, size, stream.bytes.data(), &err);
            checkHost(err, "FM_BinaryData_GetData");
            if (rc != 0) throw std::runtime_error("the host could not read a container stream");
        }
        streams.push_back(std::move(stream));
    }
    return streams;
}

std::shared_ptr<FMX_Data> Value::make() {
    HostData data = constructHost<HostData>(FM_Data_Constructor1, "FM_Data_Constructor1");
    return std::shared_ptr<FMX_Data>(data.release(), HostDeleter<FMX_Data, FM_Data_Delete>());
}

Value::Value() : Value(text("")) {}

Value Value::text(std::string_view utf8) {
    Value value(make());
    HostText text = makeHostText(utf8);
    FMX_Error err{1, 0};
    FM_Data_SetAsText(value.data_.get(), text.get(), nullptr, kFMX_Text, &err);
    checkHost(err, "FM_Data_SetAsText");
    return value;
}

Value Value::number(double number) {
    Value value(make());
    HostFixPt fixpt = constructHost<HostFixPt>(
        [](FMX_Error* err) { return FM_FixPt_Constructor1(0, 16, err); }, "FM_FixPt_Constructor1");
    FMX_Error err{1, 0};
    FM_FixPt_AssignDouble(fixpt.get(), number, &err);
    checkHost(err, "FM_FixPt_AssignDouble");
    FM_Data_SetAsNumber(value.data_.get(), fixpt.get(), kFMX_Number, &err);
    checkHost(err, "FM_Data_SetAsNumber");
    return value;
}

Value Value::numberFromText(std::string_view decimal) {
    Value value(make());
    // The host reads only its locale's decimal separator as one.
    std::string written(decimal);
    const char mark = fmhost_decimal_mark();
    for (char& c : written)
        if (c == '.') c = mark;
    HostText text = makeHostText(written);
    FMX_Error err{1, 0};
    FM_Data_SetAsText(value.data_.get(), text.get(), nullptr, kFMX_Number, &err);
    checkHost(err, "FM_Data_SetAsText");
    return value;
}

Value Value::dateTime(int64_t seconds, int32_t type) {
    Value value(make());
    HostDateTime dt = constructHost<HostDateTime>(FM_DateTime_Constructor1, "FM_DateTime_Constructor1");
    setHostSeconds(dt.get(), seconds);
    FMX_Error err{1, 0};
    FM_Data_SetDateTime(value.data_.get(), dt.get(), type, &err);
    checkHost(err, "FM_Data_SetDateTime");
    return value;
}

Value Value::container(const std::vector<ContainerStream>& streams) {
    Value value(make());
    HostBinary binary = constructHost<HostBinary>(FM_BinaryData_Constructor1, "FM_BinaryData_Constructor1");
    FMX_Error err{1, 0};
    for (const ContainerStream& stream : streams) {
        if (stream.bytes.size() > std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
        HostQuadChar type = constructHost<HostQuadChar>(
            [&](FMX_Error* e) {
                return FM_QuadChar_Constructor2(stream.type[0], stream.type[1], stream.type[2], stream.type[3], e);
            },
            "FM_QuadChar_Constructor2");
        // The host takes the buffer as non-const but only reads it.
        const int32_t rc = FM_BinaryData_Add(binary.get(), type.get(), static_cast<uint32_t>(stream.bytes.size()),
                                             const_cast<uint8_t*>(stream.bytes.data()), &err);
        checkHost(err, "FM_BinaryData_Add");
        if (rc != 0) throw std::runtime_error("the host refused a container stream");
    }
    FM_Data_SetBinaryData(value.data_.get(), binary.get(), true, &err);
    checkHost(err, "FM_Data_SetBinaryData");
    return value;
}

Value Value::adopt(FMX_Data* data) {
    if (!data) throw std::invalid_argument("no value to adopt");
    return Value(std::shared_ptr<FMX_Data>(data, HostDeleter<FMX_Data, FM_Data_Delete>()));
}

int32_t Value::type() const {
    FMX_Error err{1, 0};
    const int32_t type = FM_Data_GetNativeType(data_.get(), &err);
    checkHost(err, "FM_Data_GetNativeType");
    return type == kFMX_Invalid ? kFMX_Text : type;
}

bool Value::isDateTime() const {
    const int32_t t = type();
    return t == kFMX_Date || t == kFMX_Time || t == kFMX_TimeStamp;
}

std::string Value::asText() const {
    FMX_Error err{1, 0};
    const FMX_Text* text = FM_Data_GetAsText(data_.get(), &err);
    checkHost(err, "FM_Data_GetAsText");
    return textToUtf8(text);
}

double Value::asNumber() const {
    FMX_Error err{1, 0};
    const FMX_FixPt* number = FM_Data_GetAsNumber(data_.get(), &err);
    checkHost(err, "FM_Data_GetAsNumber");
    const double value = FM_FixPt_AsFloat(number, &err);
    checkHost(err, "FM_FixPt_AsFloat");
    return value;
}

int64_t Value::asSeconds(int32_t asType) const {
    FMX_Error err{1, 0};
    const FMX_DateTime* dt = asType == kFMX_Date   ? FM_Data_GetAsDate(data_.get(), &err)
                             : asType == kFMX_Time ? FM_Data_GetAsTime(data_.get(), &err)
                                                   : FM_Data_GetAsTimeStamp(data_.get(), &err);
    checkHost(err, "FM_Data_GetAsDate");
    return hostSeconds(dt);
}

int64_t hostSeconds(const FMX_DateTime* dateTime) {
    HostFixPt seconds = constructHost<HostFixPt>([](FMX_Error* e) { return FM_FixPt_Constructor1(0, 16, e); },
                                                 "FM_FixPt_Constructor1");
    FMX_Error err{1, 0};
    FM_DateTime_GetSecondsSinceEpoch(dateTime, seconds.get(), &err);
    checkHost(err, "FM_DateTime_GetSecondsSinceEpoch");
    const int64_t whole = FM_FixPt_AsLong64(seconds.get(), &err);
    checkHost(err, "FM_FixPt_AsLong64");
    return whole;
}

void setHostSeconds(FMX_DateTime* dateTime, int64_t seconds) {
    HostFixPt number = constructHost<HostFixPt>([](FMX_Error* e) { return FM_FixPt_Constructor1(0, 16, e); },
                                                "FM_FixPt_Constructor1");
    FMX_Error err{1, 0};
    FM_FixPt_AssignInt64(number.get(), seconds, &err);
    checkHost(err, "FM_FixPt_AssignInt64");
    FM_DateTime_SetSecondsSinceEpoch(dateTime, number.get(), &err);
    checkHost(err, "FM_DateTime_SetSecondsSinceEpoch");
}

std::vector<ContainerStream> Value::streams() const {
    if (!isContainer()) return {};
    FMX_Error err{1, 0};
    const FMX_BinaryData* binary = FM_Data_GetBinaryData(data_.get(), &err);
    checkHost(err, "FM_Data_GetBinaryData");
    return readStreams(binary);
}

void Value::copyInto(FMX_Data* target) const {
    FMX_Error err{1, 0};
    const FMX_Data* source = data_.get();
    switch (type()) {
    case kFMX_Number: {
        const FMX_FixPt* number = FM_Data_GetAsNumber(source, &err);
        checkHost(err, "FM_Data_GetAsNumber");
        FM_Data_SetAsNumber(target, number, kFMX_Number, &err);
        checkHost(err, "FM_Data_SetAsNumber");
        return;
    }
    case kFMX_Date:
    case kFMX_Time:
    case kFMX_TimeStamp: {
        const int32_t t = type();
        const FMX_DateTime* dt = t == kFMX_Date   ? FM_Data_GetAsDate(source, &err)
                                 : t == kFMX_Time ? FM_Data_GetAsTime(source, &err)
                                                  : FM_Data_GetAsTimeStamp(source, &err);
        checkHost(err, "FM_Data_GetAsDate");
        FM_Data_SetDateTime(target, dt, t, &err);
        checkHost(err, "FM_Data_SetDateTime");
        return;
    }
    case kFMX_Container: {
        const FMX_BinaryData* binary = FM_Data_GetBinaryData(source, &err);
        checkHost(err, "FM_Data_GetBinaryData");
        FM_Data_SetBinaryData(target, binary, 1, &err);
        checkHost(err, "FM_Data_SetBinaryData");
        return;
    }
    default: {
        const FMX_Text* text = FM_Data_GetAsText(source, &err);
        checkHost(err, "FM_Data_GetAsText");
        const FMX_Locale* locale = FM_Data_GetLocale(source, &err);
        checkHost(err, "FM_Data_GetLocale");
        FM_Data_SetAsText(target, text, locale, kFMX_Text, &err);
        checkHost(err, "FM_Data_SetAsText");
        return;
    }
    }
}

}  // namespace plotwise::app
