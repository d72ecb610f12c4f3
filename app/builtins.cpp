// Built-in functions: List, Char, GetAsText, GetAsNumber, Date, Time, Timestamp, and the
// table entry of GetNthRecord.
#include "app/builtins.h"

#include <array>
#include <cmath>
#include <limits>

#include "app/fm_objects.h"
#include "app/text_util.h"
#include "common/utf8.h"

namespace plotwise::app {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// A number argument as the host converts it to an integer: truncated, kept in 32 bits.
int32_t integerArgument(const Value& value) {
    const double d = value.asNumber();
    if (std::isnan(d)) return 0;
    const double t = std::trunc(d);
    if (t > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (t < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(t);
}

Value list(std::span<const Value> args) {
    std::string out;
    for (const Value& arg : args) {
        const std::string text = arg.asText();
        if (text.empty()) continue;
        if (!out.empty()) out += '\r';
        out += text;
    }
    return Value::text(out);
}

Value character(std::span<const Value> args) { return Value::text(charactersOfCode(args[0].asNumber())); }

Value getAsText(std::span<const Value> args) { return Value::text(args[0].asText()); }

Value getAsNumber(std::span<const Value> args) { return asNumberValue(args[0]); }

Value date(std::span<const Value> args) {
    HostDateTime dt = constructHost<HostDateTime>(FM_DateTime_Constructor1, "FM_DateTime_Constructor1");
    FMX_Error err{1, 0};
    FM_DateTime_SetNormalizedDate(dt.get(), integerArgument(args[0]), integerArgument(args[1]),
                                  integerArgument(args[2]), &err);
    checkHost(err, "FM_DateTime_SetNormalizedDate");
    return Value::dateTime(hostSeconds(dt.get()), kFMX_Date);
}

Value time(std::span<const Value> args) {
    HostDateTime dt = constructHost<HostDateTime>(FM_DateTime_Constructor1, "FM_DateTime_Constructor1");
    FMX_Error err{1, 0};
    FM_DateTime_SetNormalizedTime(dt.get(), integerArgument(args[0]), integerArgument(args[1]),
                                  integerArgument(args[2]), &err);
    checkHost(err, "FM_DateTime_SetNormalizedTime");
    return Value::dateTime(hostSeconds(dt.get()), kFMX_Time);
}

Value timestamp(std::span<const Value> args) {
    int64_t day = args[0].asSeconds(kFMX_Date);
    day -= ((day % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;  // the date alone
    return Value::dateTime(day + args[1].asSeconds(kFMX_Time), kFMX_TimeStamp);
}

constexpr std::array<BuiltinFunction, 8> kBuiltins{{
    {"GetNthRecord", 2, 2, "GetNthRecord ( Table::Field ; recordNumber )", nullptr},
    {"List", 1, -1, "List ( value1 {; value2 ...} )", list},
    {"Char", 1, 1, "Char ( code )", character},
    {"GetAsText", 1, 1, "GetAsText ( value )", getAsText},
    {"GetAsNumber", 1, 1, "GetAsNumber ( value )", getAsNumber},
    {"Date", 3, 3, "Date ( month ; day ; year )", date},
    {"Time", 3, 3, "Time ( hours ; minutes ; seconds )", time},
    {"Timestamp", 2, 2, "Timestamp ( date ; time )", timestamp},
}};

}  // namespace

std::span<const BuiltinFunction> builtinFunctions() { return kBuiltins; }

int findBuiltin(std::string_view name) {
    for (std::size_t i = 0; i < kBuiltins.size(); ++i)
        if (equalsIgnoringCase(kBuiltins[i].name, name)) return static_cast<int>(i);
    return -1;
}

int getNthRecordBuiltin() { return 0; }

std::string charactersOfCode(double code) {
    if (!std::isfinite(code) || code < 1) return {};
    // Beyond 2^53 a double no longer holds every integer; such codes are taken as they round.
    double rest = std::trunc(code);
    std::vector<uint32_t> groups;
    while (rest >= 1) {
        const double group = std::fmod(rest, 100000.0);
        groups.push_back(static_cast<uint32_t>(group));
        rest = std::trunc(rest / 100000.0);
    }
    std::string out;
    for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
        const uint32_t cp = *it;
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
        utf8::append(out, cp);
    }
    return out;
}

Value asNumberValue(const Value& value) {
    FMX_Error err{1, 0};
    const FMX_FixPt* number = FM_Data_GetAsNumber(value.data(), &err);
    checkHost(err, "FM_Data_GetAsNumber");
    HostData data = constructHost<HostData>(FM_Data_Constructor1, "FM_Data_Constructor1");
    FM_Data_SetAsNumber(data.get(), number, kFMX_Number, &err);
    checkHost(err, "FM_Data_SetAsNumber");
    return Value::adopt(data.release());
}

}  // namespace plotwise::app
