// The thin C++ layer over the host library: each call passes a fresh error record and checks it.
#include "boundary/host_calls.h"

#include <vector>

#include "common/utf8.h"

namespace plotwise::host {
namespace {

// Calls a host operation with a fresh error record and raises what the record reports.
template <typename Operation>
auto call(Operation&& operation) {
    FMX_Error err = errorRecord();
    if constexpr (std::is_void_v<decltype(operation(&err))>) {
        operation(&err);
        check(err);
    } else {
        auto result = operation(&err);
        check(err);
        return result;
    }
}

// Releases a host object; failures while releasing are not worth an exception.
template <typename T>
void release(void (*deleter)(T*, FMX_Error*), T* object) noexcept {
    if (!object) return;
    FMX_Error err = errorRecord();
    deleter(object, &err);
}

}  // namespace

void check(const FMX_Error& err) {
    if (err.code == kFMX_ErrorMemory) throw BadAllocation();
    if (err.code != kFMX_ErrorNone) throw HostFailure();
}

// ---- Text ----------------------------------------------------------------------------------

Text::Text() : text_(call([](FMX_Error* e) { return FM_Text_Constructor1(e); })) {}

Text::Text(std::string_view utf8) : Text() {
    try {
        assign(utf8);
    } catch (...) {
        release(FM_Text_Delete, text_);
        throw;
    }
}

Text::~Text() { release(FM_Text_Delete, text_); }

void Text::assign(std::string_view utf8) {
    // The host takes a zero-terminated text; short ones (expressions, labels) are terminated on
    // the stack, since some calls assign one per record.
    char small[256];
    if (utf8.size() < sizeof small) {
        utf8.copy(small, utf8.size());
        small[utf8.size()] = '\0';
        call([&](FMX_Error* e) { FM_Text_Assign(text_, small, kFMX_EncodingUTF8, e); });
        return;
    }
    const std::string zeroTerminated(utf8);
    call([&](FMX_Error* e) { FM_Text_Assign(text_, zeroTerminated.c_str(), kFMX_EncodingUTF8, e); });
}

void Text::assignUnicode(const char16_t* zeroTerminated) {
    call([&](FMX_Error* e) {
        FM_Text_AssignUnicode(text_, reinterpret_cast<const uint16_t*>(zeroTerminated), e);
    });
}

void Text::append(const FMX_Text* other) {
    call([&](FMX_Error* e) { FM_Text_AppendText(text_, other, 0, 0xFFFFFFFFu, e); });
}

void Text::append(const FMX_Text* other, uint32_t position, uint32_t count) {
    call([&](FMX_Error* e) { FM_Text_AppendText(text_, other, position, count, e); });
}

uint32_t Text::size() const {
    return call([&](FMX_Error* e) { return FM_Text_GetSize(text_, e); });
}

uint32_t Text::find(const Text& other, uint32_t from) const {
    return call([&](FMX_Error* e) { return FM_Text_Find(text_, other.text_, from, e); });
}

void Text::erase(uint32_t position, uint32_t count) {
    call([&](FMX_Error* e) { FM_Text_DeleteText(text_, position, count, e); });
}

void Text::lowercase() {
    call([&](FMX_Error* e) { FM_Text_Lowercase(text_, e); });
}

bool Text::equals(const FMX_Text* other) const {
    return call([&](FMX_Error* e) { return FM_Text_operatorEQ(text_, other, e); });
}

namespace {

// UTF-16 units of the UTF-8 bytes: a four-byte sequence stands for a surrogate pair.
std::size_t unitsOfBytes(std::string_view bytes) {
    std::size_t units = 0;
    for (char c : bytes) {
        if (!utf8::isContinuation(c)) units += static_cast<unsigned char>(c) >= 0xF0 ? 2 : 1;
    }
    return units;
}

// A long text in pieces of this many bytes, appended to the result: a buffer sized for the
// worst case (three bytes a unit) would cost three times the text for the common one.
constexpr uint32_t kPieceBytes = 1 << 16;

}  // namespace

// A UTF-16 unit can take up to three UTF-8 bytes (a surrogate pair four for two units).
std::string textBytes(const FMX_Text* text, std::size_t maxBytes) {
    const uint32_t units = call([&](FMX_Error* e) { return FM_Text_GetSize(text, e); });
    std::size_t capacity = std::size_t{units} * 3 + 1;
    if (maxBytes < capacity - 1) capacity = maxBytes + 1;
    if (capacity > UINT32_MAX) capacity = UINT32_MAX;
    // Short texts (field values read record by record) need no buffer from the heap.
    char small[256];
    if (capacity <= sizeof small || maxBytes < std::size_t{units} * 3) {
        std::vector<char> large;
        char* buffer = small;
        if (capacity > sizeof small) {
            large.assign(capacity, '\0');
            buffer = large.data();
        }
        buffer[0] = '\0';
        call([&](FMX_Error* e) {
            FM_Text_GetBytes(text, buffer, static_cast<uint32_t>(capacity), 0, 0xFFFFFFFFu, kFMX_EncodingUTF8, e);
        });
        return std::string(buffer);
    }
    // The host cuts each piece at a character boundary; its bytes tell how many units it took.
    std::string out;
    out.reserve(units);
    std::vector<char> piece(std::min<std::size_t>(capacity, kPieceBytes + 1));
    const auto pieceCapacity = static_cast<uint32_t>(piece.size());
    for (uint32_t position = 0; position < units;) {
        piece[0] = '\0';
        call([&](FMX_Error* e) {
            FM_Text_GetBytes(text, piece.data(), pieceCapacity, position, 0xFFFFFFFFu, kFMX_EncodingUTF8, e);
        });
        const std::string_view bytes(piece.data());
        const std::size_t taken = unitsOfBytes(bytes);
        out += bytes;
        // A zero character ends the text, as it ends the bytes of a short one: the piece then
        // stops short of its room although characters follow.
        if (taken == 0 || (bytes.size() + 4 < pieceCapacity && position + taken < units)) break;
        position += static_cast<uint32_t>(taken);
    }
    return out;
}

// ---- QuadChar, FixPt ------------------------------------------------------------------------

QuadChar::QuadChar(const char code[4]) : QuadChar(code[0], code[1], code[2], code[3]) {}

QuadChar::QuadChar(char c0, char c1, char c2, char c3)
    : code_(call([&](FMX_Error* e) { return FM_QuadChar_Constructor2(c0, c1, c2, c3, e); })) {}

QuadChar::~QuadChar() { release(FM_QuadChar_Delete, code_); }

FixPt::FixPt() : number_(call([](FMX_Error* e) { return FM_FixPt_Constructor1(0, 16, e); })) {}

FixPt::~FixPt() { release(FM_FixPt_Delete, number_); }

void FixPt::assign(int32_t value) {
    call([&](FMX_Error* e) { FM_FixPt_AssignInt(number_, value, e); });
}

void FixPt::assign(double value) {
    call([&](FMX_Error* e) { FM_FixPt_AssignDouble(number_, value, e); });
}

void FixPt::assignInt64(int64_t value) {
    call([&](FMX_Error* e) { FM_FixPt_AssignInt64(number_, value, e); });
}

int32_t asLong(const FMX_FixPt* number) {
    return call([&](FMX_Error* e) { return FM_FixPt_AsLong(number, e); });
}

int64_t asLong64(const FMX_FixPt* number) {
    return call([&](FMX_Error* e) { return FM_FixPt_AsLong64(number, e); });
}

double asDouble(const FMX_FixPt* number) {
    return call([&](FMX_Error* e) { return FM_FixPt_AsFloat(number, e); });
}

// ---- DateTime ---------------------------------------------------------------------------------

DateTime::DateTime() : dateTime_(call([](FMX_Error* e) { return FM_DateTime_Constructor1(e); })) {}

DateTime::~DateTime() { release(FM_DateTime_Delete, dateTime_); }

// The host exchanges seconds as fixed-point numbers, never as plain integers.
void DateTime::setSecondsSinceEpoch(int64_t seconds) {
    FixPt number;
    number.assignInt64(seconds);
    call([&](FMX_Error* e) { FM_DateTime_SetSecondsSinceEpoch(dateTime_, number.get(), e); });
}

DateTimeParts partsOf(const FMX_DateTime* dateTime) {
    DateTimeParts parts{};
    parts.year = call([&](FMX_Error* e) { return FM_DateTime_GetYear(dateTime, e); });
    parts.month = call([&](FMX_Error* e) { return FM_DateTime_GetMonth(dateTime, e); });
    parts.day = call([&](FMX_Error* e) { return FM_DateTime_GetDay(dateTime, e); });
    parts.hour = call([&](FMX_Error* e) { return FM_DateTime_GetHour(dateTime, e); });
    parts.minute = call([&](FMX_Error* e) { return FM_DateTime_GetMinute(dateTime, e); });
    parts.second = call([&](FMX_Error* e) { return FM_DateTime_GetSec(dateTime, e); });
    return parts;
}

int64_t secondsSinceEpoch(const FMX_DateTime* dateTime) {
    FixPt seconds;
    call([&](FMX_Error* e) { FM_DateTime_GetSecondsSinceEpoch(dateTime, seconds.get(), e); });
    return asLong64(seconds.get());
}

int32_t secondsSinceMidnight(const FMX_DateTime* dateTime) {
    FixPt seconds;
    call([&](FMX_Error* e) { FM_DateTime_GetSecsSinceMidnight(dateTime, seconds.get(), e); });
    return asLong(seconds.get());
}

// ---- Locale, Data, BinaryData -------------------------------------------------------------------

Locale::Locale(int32_t type) : locale_(call([&](FMX_Error* e) { return FM_Locale_Constructor1(type, e); })) {}

Locale::~Locale() { release(FM_Locale_Delete, locale_); }

void Locale::assign(const FMX_Locale* other) {
    call([&](FMX_Error* e) { FM_Locale_operatorAS(locale_, other, e); });
}

Data::Data() : data_(call([](FMX_Error* e) { return FM_Data_Constructor1(e); })) {}

Data::~Data() { release(FM_Data_Delete, data_); }

BinaryData::BinaryData() : binary_(call([](FMX_Error* e) { return FM_BinaryData_Constructor1(e); })) {}

BinaryData::~BinaryData() { release(FM_BinaryData_Delete, binary_); }

int32_t nativeType(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetNativeType(data, e); });
}

const FMX_Text* dataText(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetAsText(data, e); });
}

const FMX_FixPt* dataNumber(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetAsNumber(data, e); });
}

const FMX_Locale* dataLocale(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetLocale(data, e); });
}

const FMX_DateTime* dataAsDate(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetAsDate(data, e); });
}

const FMX_DateTime* dataAsTime(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetAsTime(data, e); });
}

const FMX_DateTime* dataAsTimeStamp(const FMX_Data* data) {
    return call([&](FMX_Error* e) { return FM_Data_GetAsTimeStamp(data, e); });
}

void setText(FMX_Data* data, const FMX_Text* text, const FMX_Locale* locale) {
    call([&](FMX_Error* e) { return FM_Data_SetAsText(data, text, locale, kFMX_Text, e); });
}

bool setTextAs(FMX_Data* data, const FMX_Text* text, const FMX_Locale* locale, int32_t nativeType) {
    return call([&](FMX_Error* e) { return FM_Data_SetAsText(data, text, locale, nativeType, e); }) == 0;
}

void setNumber(FMX_Data* data, double value) {
    FixPt number;
    number.assign(value);
    call([&](FMX_Error* e) { FM_Data_SetAsNumber(data, number.get(), kFMX_Number, e); });
}

void setContainer(FMX_Data* data, const FMX_BinaryData* binary) {
    call([&](FMX_Error* e) { FM_Data_SetBinaryData(data, binary, true, e); });
}

int32_t streamIndex(const FMX_BinaryData* binary, const char code[4]) {
    QuadChar type(code);
    const int32_t index = call([&](FMX_Error* e) { return FM_BinaryData_GetIndex(binary, type.get(), e); });
    return index < 0 ? -1 : index;
}

uint32_t streamSize(const FMX_BinaryData* binary, int32_t index) {
    return call([&](FMX_Error* e) { return FM_BinaryData_GetSize(binary, index, e); });
}

uint32_t totalSize(const FMX_BinaryData* binary) {
    return call([&](FMX_Error* e) { return FM_BinaryData_GetTotalSize(binary, e); });
}

bool readStream(const FMX_BinaryData* binary, int32_t index, uint32_t offset, uint32_t amount, void* buffer) {
    return call([&](FMX_Error* e) { return FM_BinaryData_GetData(binary, index, offset, amount, buffer, e); }) == 0;
}

int16_t addStream(FMX_BinaryData* binary, const char code[4], uint32_t size, void* bytes) {
    QuadChar type(code);
    return call([&](FMX_Error* e) { return FM_BinaryData_Add(binary, type.get(), size, bytes, e); });
}

void removeAllStreams(FMX_BinaryData* binary) {
    call([&](FMX_Error* e) { FM_BinaryData_RemoveAll(binary, e); });
}

// ---- Args, evaluation ------------------------------------------------------------------------

uint32_t Args::size() const {
    return call([&](FMX_Error* e) { return FM_DataVect_Size(args_, e); });
}

const FMX_Data* Args::at(uint32_t index) const {
    return call([&](FMX_Error* e) { return FM_DataVect_At(args_, index, e); });
}

int32_t Args::nativeType(uint32_t index) const { return host::nativeType(at(index)); }

bool Args::isContainer(uint32_t index) const { return nativeType(index) == kFMX_Container; }

std::string Args::text(uint32_t index, std::size_t maxBytes) const {
    const FMX_Text* text = call([&](FMX_Error* e) { return FM_DataVect_AtAsText(args_, index, e); });
    return textBytes(text, maxBytes);
}

double Args::number(uint32_t index) const {
    return asDouble(call([&](FMX_Error* e) { return FM_DataVect_AtAsNumber(args_, index, e); }));
}

int32_t Args::integer(uint32_t index) const {
    return asLong(call([&](FMX_Error* e) { return FM_DataVect_AtAsNumber(args_, index, e); }));
}

const FMX_BinaryData* Args::container(uint32_t index) const {
    return call([&](FMX_Error* e) { return FM_DataVect_AtAsBinaryData(args_, index, e); });
}

int16_t evaluate(const FMX_ExprEnv* env, std::string_view expression, FMX_Data* result) {
    const Text text(expression);
    return evaluate(env, text, result);
}

int16_t evaluate(const FMX_ExprEnv* env, const Text& expression, FMX_Data* result) {
    return call([&](FMX_Error* e) { return FM_ExprEnv_Evaluate(env, expression.get(), result, e); });
}

int16_t registerFunction(const QuadChar& pluginId, int16_t functionId, const Text& name, const Text& prototype,
                         int16_t minArgs, int16_t maxArgs, uint32_t flags, FMX_ExternCallPtr function) {
    return call([&](FMX_Error* e) {
        return FM_ExprEnv_RegisterExternalFunction(pluginId.get(), functionId, name.get(), prototype.get(), minArgs,
                                                   maxArgs, flags, function, e);
    });
}

int16_t unregisterFunction(const QuadChar& pluginId, int16_t functionId) {
    return call([&](FMX_Error* e) { return FM_ExprEnv_UnRegisterExternalFunction(pluginId.get(), functionId, e); });
}

}  // namespace plotwise::host
