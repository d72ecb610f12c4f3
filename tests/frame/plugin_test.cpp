// The built plug-in as the host sees it: loaded with dlopen, driven through its one export.
#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "host/fmhost.h"

namespace {

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        module = dlopen(PLOTWISE_PLUGIN, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        entry = reinterpret_cast<FMX_ExternCallProcPtr>(dlsym(module, "FMExternCallProc"));
        ASSERT_NE(entry, nullptr) << dlerror();
        fmhost_init_call_record(&record);
    }
    void TearDown() override {
        if (module) dlclose(module);
        fmhost_reset();
    }

    void* module = nullptr;
    FMX_ExternCallProcPtr entry = nullptr;
    FMX_ExternCallStruct record{};
};

TEST_F(PluginTest, StartsAnswersAndShutsDownLikeAHostExpects) {
    record.extnVersion = 50;
    record.whichCall = kFMXT_Init;
    entry(&record);
    ASSERT_EQ(record.result, 51);
    EXPECT_EQ(fmhost_registration_count(), 12);

    // The registered functions live in the loaded module.
    fmhost_registration version{};
    ASSERT_EQ(fmhost_find_registration("Plotz_Version", &version), 0);
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(version.function), &info), 0);
    EXPECT_NE(std::string(info.dli_fname).find("Plotwise.fmx"), std::string::npos);

    std::u16string buffer(40, u'x');
    record.whichCall = kFMXT_GetString;
    record.parm1 = kFMXT_NameStr;
    record.parm3 = buffer.size();
    record.result = reinterpret_cast<intptr_t>(buffer.data());
    entry(&record);
    EXPECT_EQ(std::u16string(buffer.c_str()), u"Norvane Plotwise Plug-In");

    record.whichCall = kFMXT_Shutdown;
    entry(&record);
    EXPECT_EQ(fmhost_registration_count(), 0);
}

TEST_F(PluginTest, RefusedRegistrationThroughTheModule) {
    fmhost_fail_registration(5);
    record.extnVersion = 51;
    record.whichCall = kFMXT_Init;
    entry(&record);
    EXPECT_EQ(record.result, -2);
    int16_t ids[8] = {};
    ASSERT_EQ(fmhost_unregistration_log(ids, 8), 4);
    EXPECT_EQ(ids[0], 4);
    EXPECT_EQ(ids[3], 1);
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
