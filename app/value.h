// Values as the host holds them: each Value owns an FMX_Data of the host stand-in, so a plug-in
// function receives exactly what the host would give it. Values never change once made and
// are shared by copying the handle.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in/fmhost.h"

namespace plotwise::app {

// One stream of a container: its four-character type and its bytes.
struct ContainerStream {
    std::array<char, 4> type{};
    std::vector<uint8_t> bytes;

    std::string typeName() const { return std::string(type.data(), type.size()); }
    friend bool operator==(const ContainerStream&, const ContainerStream&) = default;
};

// Raises the outcome of a host operation: code 1 as std::bad_alloc, code 2 as
// std::runtime_error naming the operation.
void checkHost(const FMX_Error& err, const char* operation);

class Value {
public:
    // The empty text.
    Value();

    static Value text(std::string_view utf8);
    static Value number(double value);
    // A number read by the host from its decimal text ("12.5", "-3", "1e3").
    static Value numberFromText(std::string_view decimal);
    // kFMX_Date, kFMX_Time or kFMX_TimeStamp from seconds since 0001-01-01 00:00:00.
    static Value dateTime(int64_t seconds, int32_t type);
    static Value container(const std::vector<ContainerStream>& streams);
    // Takes ownership of a value the host made (for instance a plug-in function's result).
    static Value adopt(FMX_Data* data);

    int32_t type() const;  // kFMX_Text ... kFMX_Container; kFMX_Invalid reads as text
    bool isContainer() const { return type() == kFMX_Container; }
    bool isDateTime() const;

    std::string asText() const;   // UTF-8, converted by the host
    double asNumber() const;      // converted by the host
    // Seconds since 0001-01-01 for dates and timestamps; seconds of the time for times.
    int64_t asSeconds(int32_t asType) const;
    std::vector<ContainerStream> streams() const;  // empty unless a container

    const FMX_Data* data() const { return data_.get(); }
    // Writes a copy of this value into a value the host owns.
    void copyInto(FMX_Data* target) const;

private:
    explicit Value(std::shared_ptr<FMX_Data> data) : data_(std::move(data)) {}
    static std::shared_ptr<FMX_Data> make();
    std::shared_ptr<FMX_Data> data_;
};

// The UTF-8 bytes of a host text.
std::string textToUtf8(const FMX_Text* text);

// The streams of a host container.
std::vector<ContainerStream> readStreams(const FMX_BinaryData* binary);

}  // namespace plotwise::app
