#include "app/plugin_module.h"

#include <vector>

#include "app/diagnostics.h"
#include "app/dynamic_library.h"
#include "app/text_util.h"
#include "common/utf8.h"

#ifndef PLOTWISE_PLUGIN_DIR_FROM_PROGRAM
#define PLOTWISE_PLUGIN_DIR_FROM_PROGRAM "../lib/plotwise"
#endif

namespace plotwise::app {

namespace {

constexpr uint32_t kStringCapacity = 1024;  // UTF-16 units of a string request's buffer

std::string utf16ToUtf8(const uint16_t* units, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        uint32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a lone surrogate
        }
        utf8::append(out, cp);
    }
    return out;
}

}  // namespace

PlugInModule::~PlugInModule() {
    shutdown();
    // The library stays loaded: pictures and values it made may still be referenced, and
    // the process ends soon after.
}

void PlugInModule::start(const std::string& path) {
    std::string why;
    library_ = openLibrary(path, why);
    if (!library_) throw UsageError("cannot load the plug-in " + path + ": " + why);
    entry_ = reinterpret_cast<FMX_ExternCallProcPtr>(librarySymbol(library_, "FMExternCallProc"));
    if (!entry_) throw UsageError(path + " is not a plug-in: it has no FMExternCallProc");
    const intptr_t answer = send(kFMXT_Init, kApplicationServerScripts, reinterpret_cast<uintptr_t>(kApplicationVersion));
    if (answer != kStartedResult)
        throw UsageError("the plug-in " + path + " did not start (it answered " + std::to_string(answer) +
                         " instead of " + std::to_string(kStartedResult) + ")");
    started_ = true;
    name_ = string(kFMXT_NameStr);
    options_ = string(kFMXT_OptionsStr);
}

void PlugInModule::shutdown() {
    if (!started_) return;
    started_ = false;
    send(kFMXT_Shutdown);
}

intptr_t PlugInModule::send(uint8_t message, uint8_t parm1, uintptr_t parm2, uintptr_t parm3, intptr_t result) {
    FMX_ExternCallStruct record;
    fmhost_init_call_record(&record, entry_, library_);
    record.extnVersion = kHostInterfaceVersion;
    record.whichCall = message;
    record.parm1 = parm1;
    record.parm2 = parm2;
    record.parm3 = parm3;
    record.result = result;
    entry_(&record);
    return record.result;
}

std::string PlugInModule::string(uint8_t which) {
    if (!entry_) return {};
    std::vector<uint16_t> buffer(kStringCapacity + 1, 0);
    send(kFMXT_GetString, which, kLanguageEnglish, kStringCapacity, reinterpret_cast<intptr_t>(buffer.data()));
    std::size_t length = 0;
    while (length < kStringCapacity && buffer[length] != 0) ++length;
    return utf16ToUtf8(buffer.data(), length);
}

std::string PlugInModule::nameAndVersion() {
    std::string name = string(kFMXT_NameStr);
    const std::string description = string(kFMXT_AppConfigStr);
    // The version is the last non-empty line of the description: "Version 1.3".
    std::string last;
    std::size_t start = 0;
    while (start <= description.size()) {
        std::size_t end = description.find_first_of("\r\n", start);
        if (end == std::string::npos) end = description.size();
        const std::string line = description.substr(start, end - start);
        if (line.find_first_not_of(" \t") != std::string::npos) last = line;
        start = end + 1;
    }
    const std::size_t blank = last.find_last_of(' ');
    const std::string version = blank == std::string::npos ? last : last.substr(blank + 1);
    if (version.empty()) return name;
    return name.empty() ? version : name + " " + version;
}

}  // namespace plotwise::app

namespace plotwise::app {

std::string defaultPlugInPath(const std::string& programFolder) {
    if (programFolder.empty()) return kPlugInFileName;
    const std::string beside = programFolder + "/" + kPlugInFileName;
    const std::string installed = programFolder + "/" PLOTWISE_PLUGIN_DIR_FROM_PROGRAM "/" + kPlugInFileName;
    if (!fileExists(beside) && fileExists(installed)) return installed;
    return beside;
}

}  // namespace plotwise::app
