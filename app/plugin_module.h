// The plug-in as the host sees it: a shared library loaded with dlopen, started with
// message 0, asked for its strings with message 7 and shut down with message 4 through its
// one entry point, FMExternCallProc.
#pragma once

#include <string>

#include "app/dynamic_library.h"

#include "stand_in/fmhost.h"

namespace plotwise::app {

// The host interface version this program announces, that of today's hosts; a plug-in built
// for it that started and registered its functions answers it back.
constexpr int16_t kHostInterfaceVersion = kFMX_CurrentVersion;
constexpr intptr_t kStartedResult = kFMX_CurrentVersion;
// What the program tells the plug-in about itself at start-up (parm1, parm2) and the language
// of its string requests (parm2: a Windows language id, English).
constexpr uint8_t kApplicationServerScripts = 7;
constexpr char16_t kApplicationVersion[] = u"Server 20.1.1";
constexpr uintptr_t kLanguageEnglish = 1033;

class PlugInModule {
public:
    PlugInModule() = default;
    ~PlugInModule();  // shuts the plug-in down when it was started
    PlugInModule(const PlugInModule&) = delete;
    PlugInModule& operator=(const PlugInModule&) = delete;

    // Loads the library and starts it; throws UsageError naming the file and the reason.
    void start(const std::string& path);
    // Message 4; done once, also by the destructor.
    void shutdown();
    // A string of message 7 (kFMXT_NameStr, kFMXT_AppConfigStr, ...) as UTF-8.
    std::string string(uint8_t which);
    // "Norvane Plotwise Plug-In 1.3": the name and the version, the last line of the description.
    std::string nameAndVersion();
    // The strings read at start-up, as a host reads them: name and options ("QXPL1nnYnnn").
    const std::string& name() const { return name_; }
    const std::string& options() const { return options_; }

private:
    void* library_ = nullptr;
    FMX_ExternCallProcPtr entry_ = nullptr;
    bool started_ = false;
    std::string name_;
    std::string options_;

    // Sends one message in a record filled as a host fills it; returns the record's result.
    intptr_t send(uint8_t message, uint8_t parm1 = 0, uintptr_t parm2 = 0, uintptr_t parm3 = 0, intptr_t result = 0);
};

// The plug-in a program in `programFolder` loads when none is named: Plotwise.fmx next to it
// (the build tree), else where an installation puts it relative to the program
// (../lib/plotwise/); the first of them when neither exists, so that the message names it.
std::string defaultPlugInPath(const std::string& programFolder);

}  // namespace plotwise::app
