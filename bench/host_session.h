// The bench as a host: it starts the plug-in through its entry point, looks the calculation
// functions up in the host's registrations and calls them with host values, the way the
// database application calls them when it shows a record.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stand_in/fmhost.h"

namespace plotwise::bench {

// A fresh error record (the host's operations all take one).
FMX_Error* noError();

// A data value owned by the bench.
class Value {
public:
    Value();
    ~Value();
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;

    Value& text(std::string_view utf8);
    Value& number(double n);
    Value& copyOf(const FMX_Data* other);  // any native type, containers included

    FMX_Data* get() { return data_; }
    const FMX_Data* get() const { return data_; }
    int32_t type() const;
    // The bytes of the value's first stream of that type; empty when it has none.
    std::vector<uint8_t> stream(std::string_view code) const;
    // Total bytes of all streams of a container value.
    std::size_t containerBytes() const;

private:
    FMX_Data* data_;
};

// An argument vector; values are copied in, as the host copies its arguments.
class Arguments {
public:
    Arguments();
    ~Arguments();
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;

    Arguments& text(std::string_view utf8);
    Arguments& number(double n);
    Arguments& value(const Value& v);
    const FMX_DataVect* get() const { return vect_; }

private:
    FMX_DataVect* vect_;
};

// The plug-in, started once for the process (message 0) and shut down at exit (message 4).
class HostSession {
public:
    static HostSession& instance();

    const FMX_ExprEnv* env() const { return env_; }

    ~HostSession();

private:
    HostSession();
    FMX_ExprEnv* env_ = nullptr;
};

// A registered calculation function, looked up once by its name.
class Function {
public:
    explicit Function(std::string_view name);
    // A call as the host makes it: its id, the environment, the arguments, a result value.
    // Returns the function's host error code.
    int16_t operator()(const Arguments& args, Value& result) const {
        return pointer_(id_, HostSession::instance().env(), args.get(), result.get());
    }

private:
    FMX_ExternCallPtr pointer_;
    int16_t id_;
};

}  // namespace plotwise::bench
