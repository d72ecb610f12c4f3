// Loading the built plug-in as the host does: start-up, strings, registrations, shutdown.
#include <gtest/gtest.h>

#include "app/diagnostics.h"
#include "app/plugin_module.h"
#include "app/resolver.h"

namespace plotwise::app {
namespace {

class PlugInModuleTest : public ::testing::Test {
protected:
    void SetUp() override { fmhost_reset(); }
    void TearDown() override { fmhost_reset(); }
};

TEST_F(PlugInModuleTest, StartsRegistersAndShutsDown) {
    {
        PlugInModule plugin;
        plugin.start(PLOTWISE_PLUGIN);
        EXPECT_EQ(plugin.name(), "Norvane Plotwise Plug-In");
        EXPECT_EQ(plugin.options(), "QXPL1nnYnnn");
        EXPECT_EQ(plugin.nameAndVersion(), "Norvane Plotwise Plug-In 1.3");
        EXPECT_EQ(fmhost_registration_count(), 12);

        const std::optional<FunctionInfo> data = findFunction("plotz_data");
        ASSERT_TRUE(data.has_value());
        EXPECT_EQ(data->name, "Plotz_Data");
        EXPECT_EQ(data->minArgs, 3);
        EXPECT_EQ(data->maxArgs, -1);
        EXPECT_EQ(data->binding.kind, Binding::Kind::PlugIn);
        const std::optional<FunctionInfo> analysis = findFunction("ContainerAnalysis");
        ASSERT_TRUE(analysis.has_value());
        EXPECT_EQ(analysis->binding.functionId, 11);
        EXPECT_EQ(findFunction("ExtractPicture")->binding.functionId, 12);
        EXPECT_FALSE(findFunction("").has_value());
        // The destructor shuts the plug-in down.
    }
    EXPECT_EQ(fmhost_registration_count(), 0);
    int16_t ids[16] = {};
    ASSERT_EQ(fmhost_unregistration_log(ids, 16), 12);
    const int16_t descending[12] = {13, 12, 11, 10, 9, 8, 7, 5, 4, 3, 2, 1};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(ids[i], descending[i]) << i;
    EXPECT_FALSE(findFunction("Plotz_Data").has_value());
}

TEST_F(PlugInModuleTest, ShutdownHappensOnce) {
    PlugInModule plugin;
    plugin.start(PLOTWISE_PLUGIN);
    plugin.shutdown();
    plugin.shutdown();
    int16_t ids[32] = {};
    EXPECT_EQ(fmhost_unregistration_log(ids, 32), 12);
}

TEST_F(PlugInModuleTest, FilesThatAreNoPlugIn) {
    PlugInModule missing;
    try {
        missing.start("/nonexistent/Plotwise.fmx");
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot load the plug-in /nonexistent/Plotwise.fmx"), std::string::npos);
    }
    PlugInModule wrong;
    const std::string host = std::string(PLOTWISE_BINARY_DIR) + "/libFMWrapper.so";
    try {
        wrong.start(host);
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_EQ(std::string(e.what()), host + " is not a plug-in: it has no FMExternCallProc");
    }
}

TEST_F(PlugInModuleTest, ARefusedRegistrationIsAFailedStart) {
    fmhost_fail_registration(3);
    PlugInModule plugin;
    try {
        plugin.start(PLOTWISE_PLUGIN);
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("did not start (it answered -2 instead of 71)"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(fmhost_registration_count(), 0);
}

}  // namespace
}  // namespace plotwise::app
