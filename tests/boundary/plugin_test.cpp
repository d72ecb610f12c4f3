// The built plug-in as a real host runs it: Plotwise.fmx loaded with dlopen from its file, driven
// through its one export with records filled as a host fills them, and its functions called
// through the pointers it registered, with the host's callback signature.
#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "stand_in/fmhost.h"
#include "tests/support/plugin_calls.h"

namespace {

namespace s = plotwise::support;

constexpr uint8_t kServerScriptEngine = 7;  // start-up parm1: which application
constexpr char16_t kServerVersion[] = u"Server 20.1.1";
constexpr uintptr_t kGerman = 1031;         // string request parm2: a Windows language id

class HostHarness : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_set_locale("default");
        module = dlopen(PLOTWISE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        entry = reinterpret_cast<FMX_ExternCallProcPtr>(dlsym(module, "FMExternCallProc"));
        ASSERT_NE(entry, nullptr) << dlerror();
        env = fmhost_env_create();
    }
    void TearDown() override {
        fmhost_env_delete(env);
        if (module) dlclose(module);
        fmhost_reset();
    }

    // One message in a record filled as a host fills it; the record's result afterwards.
    intptr_t send(uint8_t message, uint8_t parm1 = 0, uintptr_t parm2 = 0, uintptr_t parm3 = 0, intptr_t result = 0) {
        FMX_ExternCallStruct record;
        fmhost_init_call_record(&record, entry, module);
        record.extnVersion = hostVersion;
        record.whichCall = message;
        record.parm1 = parm1;
        record.parm2 = parm2;
        record.parm3 = parm3;
        record.result = result;
        entry(&record);
        return record.result;
    }
    intptr_t startUp() {
        return send(kFMXT_Init, kServerScriptEngine, reinterpret_cast<uintptr_t>(kServerVersion));
    }
    std::u16string string(uint8_t which, std::size_t capacity = 256) {
        std::u16string buffer(capacity, u'x');
        send(kFMXT_GetString, which, kGerman, capacity, reinterpret_cast<intptr_t>(buffer.data()));
        return buffer.c_str();
    }
    // Calls a registered function by its name through the pointer the plug-in registered.
    s::Outcome call(const char* name, const std::vector<s::Value>& args) {
        fmhost_registration r{};
        EXPECT_EQ(fmhost_find_registration(name, &r), 0) << name;
        if (!r.function) return {};
        return s::call(r.function, args, env, {}, r.functionId);
    }

    void* module = nullptr;
    FMX_ExternCallProcPtr entry = nullptr;
    FMX_ExprEnv* env = nullptr;
    int16_t hostVersion = kFMX_CurrentVersion;
};

TEST_F(HostHarness, LoadsStartsDrawsExportsAndShutsDown) {
    const int32_t objects = fmhost_live_objects();
    ASSERT_EQ(startUp(), kFMX_CurrentVersion);
    EXPECT_EQ(string(kFMXT_NameStr), u"Norvane Plotwise Plug-In");
    EXPECT_EQ(string(kFMXT_OptionsStr), u"QXPL1nnYnnn");

    // What it registered: twelve functions, all of them code of the loaded module.
    ASSERT_EQ(fmhost_registration_count(), 12);
    for (int32_t i = 0; i < 12; ++i) {
        fmhost_registration r{};
        ASSERT_EQ(fmhost_registration_at(i, &r), 0);
        Dl_info info{};
        ASSERT_NE(dladdr(reinterpret_cast<void*>(r.function), &info), 0) << r.functionId;
        EXPECT_NE(std::string(info.dli_fname).find("Plotwise.fmx"), std::string::npos) << r.functionId;
    }

    const s::Outcome version = call("Plotz_Version", {s::text("long")});
    EXPECT_EQ(version.text, "Norvane Plotwise Plug-In 1.3");

    s::Outcome chart = call("Plotz_New", {});
    ASSERT_TRUE(chart.isContainer());
    chart = call("Plotz_Data", {s::container(chart.streams), s::text("Jan;Feb;Mar"), s::text("3;1;2"), s::number(255)});
    chart = call("Plotz_Style", {s::container(chart.streams), s::text("bar")});
    chart = call("Plotz_Draw", {s::container(chart.streams), s::number(160), s::number(120)});
    ASSERT_EQ(chart.returned, 0);
    const std::string* gif = s::findStream(chart.streams, "GIFf");
    ASSERT_NE(gif, nullptr);
    ASSERT_GE(gif->size(), 10u);
    EXPECT_EQ(gif->substr(0, 3), "GIF");
    EXPECT_EQ(gif->substr(6, 4), std::string("\xA0\x00\x78\x00", 4));  // 160 x 120, little-endian
    EXPECT_EQ(*s::findStream(chart.streams, "SIZE"), std::string("\x00\xA0\x00\x78", 4));

    const s::Outcome svg = call("Plotz_Export", {s::container(chart.streams), s::text("svg")});
    ASSERT_EQ(svg.streams.size(), 1u);
    EXPECT_NE(svg.streams[0].second.find("<svg"), std::string::npos);

    send(kFMXT_Shutdown);
    EXPECT_EQ(fmhost_registration_count(), 0);
    EXPECT_EQ(fmhost_live_objects(), objects);  // every host object the plug-in held was given back
}

// What a host may send that the plug-in has no use for: no crash, nothing written.
TEST_F(HostHarness, BadInputFromTheHostIsHarmless) {
    for (const int16_t version : {int16_t{52}, int16_t{256}}) {
        hostVersion = version;
        EXPECT_EQ(startUp(), kFMX_WrongVersion) << version;
    }
    EXPECT_EQ(send(kFMXT_GetString, kFMXT_NameStr, kGerman, 64, 0), 0);  // no buffer
    EXPECT_EQ(send(200, 0, 0, 0, 5), 5);                                  // unknown message
    EXPECT_EQ(string(kFMXT_NameStr, 8), u"Norvane");                      // cut to fit, zero included
    EXPECT_EQ(fmhost_registration_count(), 0);
}

// Everything but the entry point stays inside the module.
TEST(PluginExports, OnlyTheEntryPointIsExported) {
    const std::string command = std::string("nm -D --defined-only ") + PLOTWISE_PLUGIN;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe.get())) {
        std::istringstream fields(line);
        std::string address, kind, name;
        if (fields >> address >> kind >> name) names.insert(name);
    }
    EXPECT_EQ(names, std::set<std::string>{"FMExternCallProc"});
}

}  // namespace
