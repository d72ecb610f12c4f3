// The thin C++ layer over the host library. Every host call passes an error record and is
// checked afterwards: code 1 raises BadAllocation ("bad allocation"), code 2 HostFailure.
// Owning wrappers release their host object on destruction; views borrow one.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>

#include "stand_in/fmhost.h"

namespace plotwise::host {

// Raised when the host reports that memory could not be had.
struct BadAllocation : std::bad_alloc {
    const char* what() const noexcept override { return "bad allocation"; }
};

// Raised for any other failure the host reports.
struct HostFailure : std::runtime_error {
    HostFailure() : std::runtime_error("host failure") {}
};

// Raises the exception that matches the error record; nothing on success.
void check(const FMX_Error& err);

// A fresh error record: version 1, code 0.
inline FMX_Error errorRecord() { return FMX_Error{1, 0}; }

// Owned host text.
class Text {
public:
    Text();
    explicit Text(std::string_view utf8);
    ~Text();
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    void assign(std::string_view utf8);
    void assignUnicode(const char16_t* zeroTerminated);
    void append(const FMX_Text* other);
    void append(const FMX_Text* other, uint32_t position, uint32_t count);  // characters [position, +count)
    uint32_t size() const;                            // characters
    uint32_t find(const Text& other, uint32_t from = 0) const;  // kFMX_TextNotFound when absent
    void erase(uint32_t position, uint32_t count);
    void lowercase();
    bool equals(const FMX_Text* other) const;
    FMX_Text* get() { return text_; }
    const FMX_Text* get() const { return text_; }

private:
    FMX_Text* text_;
};

// UTF-8 bytes of a host text, at most maxBytes bytes (cut at a character boundary).
std::string textBytes(const FMX_Text* text, std::size_t maxBytes = SIZE_MAX);

// Owned four-character code.
class QuadChar {
public:
    explicit QuadChar(const char code[4]);
    QuadChar(char c0, char c1, char c2, char c3);
    ~QuadChar();
    QuadChar(const QuadChar&) = delete;
    QuadChar& operator=(const QuadChar&) = delete;
    const FMX_QuadChar* get() const { return code_; }

private:
    FMX_QuadChar* code_;
};

// Owned fixed-point number.
class FixPt {
public:
    FixPt();
    ~FixPt();
    FixPt(const FixPt&) = delete;
    FixPt& operator=(const FixPt&) = delete;
    void assign(int32_t value);
    void assign(double value);
    void assignInt64(int64_t value);
    FMX_FixPt* get() { return number_; }
    const FMX_FixPt* get() const { return number_; }

private:
    FMX_FixPt* number_;
};

int32_t asLong(const FMX_FixPt* number);   // truncated toward zero
int64_t asLong64(const FMX_FixPt* number); // truncated toward zero
double asDouble(const FMX_FixPt* number);

// Owned date-time.
class DateTime {
public:
    DateTime();
    ~DateTime();
    DateTime(const DateTime&) = delete;
    DateTime& operator=(const DateTime&) = delete;
    void setSecondsSinceEpoch(int64_t seconds);
    FMX_DateTime* get() { return dateTime_; }
    const FMX_DateTime* get() const { return dateTime_; }

private:
    FMX_DateTime* dateTime_;
};

// Parts of a host date-time, as the host reports them.
struct DateTimeParts {
    int year, month, day, hour, minute, second;
};
DateTimeParts partsOf(const FMX_DateTime* dateTime);
int64_t secondsSinceEpoch(const FMX_DateTime* dateTime);  // since 0001-01-01 00:00:00
int32_t secondsSinceMidnight(const FMX_DateTime* dateTime);

// Owned locale.
class Locale {
public:
    explicit Locale(int32_t type = 1);
    ~Locale();
    Locale(const Locale&) = delete;
    Locale& operator=(const Locale&) = delete;
    void assign(const FMX_Locale* other);
    FMX_Locale* get() { return locale_; }
    const FMX_Locale* get() const { return locale_; }

private:
    FMX_Locale* locale_;
};

// Owned data value.
class Data {
public:
    Data();
    ~Data();
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;
    FMX_Data* get() { return data_; }
    const FMX_Data* get() const { return data_; }

private:
    FMX_Data* data_;
};

// Owned container.
class BinaryData {
public:
    BinaryData();
    ~BinaryData();
    BinaryData(const BinaryData&) = delete;
    BinaryData& operator=(const BinaryData&) = delete;
    FMX_BinaryData* get() { return binary_; }
    const FMX_BinaryData* get() const { return binary_; }

private:
    FMX_BinaryData* binary_;
};

// Operations on data values and containers (views).
int32_t nativeType(const FMX_Data* data);
const FMX_Text* dataText(const FMX_Data* data);
const FMX_FixPt* dataNumber(const FMX_Data* data);
const FMX_Locale* dataLocale(const FMX_Data* data);
const FMX_DateTime* dataAsDate(const FMX_Data* data);
const FMX_DateTime* dataAsTime(const FMX_Data* data);
const FMX_DateTime* dataAsTimeStamp(const FMX_Data* data);
void setText(FMX_Data* data, const FMX_Text* text, const FMX_Locale* locale);  // native type text
// Stores a text read in the locale as a value of the native type; false when the text does
// not read as one (the value is then unchanged).
bool setTextAs(FMX_Data* data, const FMX_Text* text, const FMX_Locale* locale, int32_t nativeType);
void setNumber(FMX_Data* data, double value);
void setContainer(FMX_Data* data, const FMX_BinaryData* binary);

int32_t streamIndex(const FMX_BinaryData* binary, const char code[4]);  // -1 when absent
uint32_t streamSize(const FMX_BinaryData* binary, int32_t index);
uint32_t totalSize(const FMX_BinaryData* binary);
// Reads `amount` bytes from `offset` of stream `index`; false when the host refuses.
bool readStream(const FMX_BinaryData* binary, int32_t index, uint32_t offset, uint32_t amount, void* buffer);
// Appends a stream of the caller's bytes (the host only reads them); the host's result (0 on success).
int16_t addStream(FMX_BinaryData* binary, const char code[4], uint32_t size, void* bytes);
void removeAllStreams(FMX_BinaryData* binary);

// The arguments of one calculation function.
class Args {
public:
    explicit Args(const FMX_DataVect* args) : args_(args) {}
    uint32_t size() const;
    const FMX_Data* at(uint32_t index) const;
    int32_t nativeType(uint32_t index) const;
    bool isContainer(uint32_t index) const;                      // native type 6
    std::string text(uint32_t index, std::size_t maxBytes = SIZE_MAX) const;  // UTF-8
    double number(uint32_t index) const;
    int32_t integer(uint32_t index) const;                       // host conversion, truncated
    const FMX_BinaryData* container(uint32_t index) const;
    const FMX_DataVect* get() const { return args_; }

private:
    const FMX_DataVect* args_;
};

// Evaluates an expression in the calling environment; the host error code (0 = success).
int16_t evaluate(const FMX_ExprEnv* env, std::string_view expression, FMX_Data* result);
// The same with the expression already in a host text (reused when evaluating many).
int16_t evaluate(const FMX_ExprEnv* env, const Text& expression, FMX_Data* result);

// Registers a calculation function with the host; the host's result (0 = success).
int16_t registerFunction(const QuadChar& pluginId, int16_t functionId, const Text& name, const Text& prototype,
                         int16_t minArgs, int16_t maxArgs, uint32_t flags, FMX_ExternCallPtr function);
// Withdraws a registration; the host's result (0 = success).
int16_t unregisterFunction(const QuadChar& pluginId, int16_t functionId);

}  // namespace plotwise::host
