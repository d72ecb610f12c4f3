// Owning handles for the host's objects, deleted through the host when they go out of scope.
#pragma once

#include <memory>
#include <new>

#include "stand_in/fmhost.h"

namespace plotwise::app {

void checkHost(const FMX_Error& err, const char* operation);

template <typename T, void (*Delete)(T*, FMX_Error*)>
struct HostDeleter {
    void operator()(T* object) const {
        FMX_Error err{1, 0};
        Delete(object, &err);
    }
};

using HostText = std::unique_ptr<FMX_Text, HostDeleter<FMX_Text, FM_Text_Delete>>;
using HostData = std::unique_ptr<FMX_Data, HostDeleter<FMX_Data, FM_Data_Delete>>;
using HostDataVect = std::unique_ptr<FMX_DataVect, HostDeleter<FMX_DataVect, FM_DataVect_Delete>>;
using HostBinary = std::unique_ptr<FMX_BinaryData, HostDeleter<FMX_BinaryData, FM_BinaryData_Delete>>;
using HostQuadChar = std::unique_ptr<FMX_QuadChar, HostDeleter<FMX_QuadChar, FM_QuadChar_Delete>>;
using HostFixPt = std::unique_ptr<FMX_FixPt, HostDeleter<FMX_FixPt, FM_FixPt_Delete>>;
using HostDateTime = std::unique_ptr<FMX_DateTime, HostDeleter<FMX_DateTime, FM_DateTime_Delete>>;

// Runs a host constructor and raises its failure; never returns null.
template <typename Handle, typename Construct>
Handle constructHost(Construct construct, const char* operation) {
    FMX_Error err{1, 0};
    auto* object = construct(&err);
    if (!object) {
        if (err.code == kFMX_ErrorNone) err.code = kFMX_ErrorMemory;
        checkHost(err, operation);
    }
    Handle handle(object);
    checkHost(err, operation);
    return handle;
}

HostText makeHostText(std::string_view utf8);

// Seconds since 0001-01-01 of a host date-time, which the host exchanges as fixed-point numbers.
int64_t hostSeconds(const FMX_DateTime* dateTime);
void setHostSeconds(FMX_DateTime* dateTime, int64_t seconds);

}  // namespace plotwise::app
