// Host memory blocks: through the stored call record's callbacks, or ordinary memory without one.
#include <cstring>

#include <gtest/gtest.h>

#include "frame/call_record.h"
#include "frame/process_locale.h"
#include "frame/host.h"

namespace {

using namespace plotwise;

class CallRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_set_locale("default");
        fmhost_init_call_record(&record);
        storeCallRecord(nullptr);
    }
    void TearDown() override {
        storeCallRecord(nullptr);
        fmhost_reset();
        fmhost_set_locale("default");
    }
    FMX_ExternCallStruct record{};
};

TEST_F(CallRecordTest, WithoutARecordOrdinaryMemoryStandsIn) {
    const int32_t before = fmhost_live_handles();
    HostMemoryBlock block(32);
    ASSERT_TRUE(block.ok());
    EXPECT_EQ(block.size(), 32u);
    EXPECT_EQ(fmhost_live_handles(), before);
    uint8_t* bytes = block.lock();
    ASSERT_NE(bytes, nullptr);
    std::memset(bytes, 1, 32);
    block.unlock();
}

TEST_F(CallRecordTest, BlocksComeFromTheHostAndGoBack) {
    storeCallRecord(&record);
    EXPECT_EQ(callRecord(), &record);
    const int32_t before = fmhost_live_handles();
    {
        HostMemoryBlock block(100);
        ASSERT_TRUE(block.ok());
        EXPECT_EQ(fmhost_live_handles(), before + 1);
        uint8_t* bytes = block.lock();
        ASSERT_NE(bytes, nullptr);
        std::memset(bytes, 0x5A, 100);
        // Still locked at destruction: the block unlocks and disposes of itself.
    }
    EXPECT_EQ(fmhost_live_handles(), before);
}

TEST_F(CallRecordTest, AHostWithoutMemoryGivesAFailedBlock) {
    storeCallRecord(&record);
    const int32_t before = fmhost_live_handles();
    fmhost_fail_allocation(1);
    HostMemoryBlock block(10);
    EXPECT_FALSE(block.ok());
    EXPECT_NE(block.memoryError(), 0);
    EXPECT_EQ(block.lock(), nullptr);
    EXPECT_EQ(fmhost_live_handles(), before);
}

TEST_F(CallRecordTest, ABlockIsReleasedThroughTheRecordItCameFrom) {
    storeCallRecord(&record);
    const int32_t before = fmhost_live_handles();
    {
        HostMemoryBlock block(8);
        ASSERT_TRUE(block.ok());
        FMX_ExternCallStruct other{};  // a later call whose record carries no callbacks
        storeCallRecord(&other);
        ASSERT_NE(block.lock(), nullptr);
    }
    EXPECT_EQ(fmhost_live_handles(), before);
}

TEST_F(CallRecordTest, ProcessLocaleFollowsTheFirstArgument) {
    ASSERT_EQ(fmhost_set_locale("de"), 0);
    host::Data german;
    const host::Text text("x");
    host::setText(german.get(), text.get(), nullptr);  // keeps the locale it was made with
    ASSERT_EQ(fmhost_set_locale("default"), 0);

    FMX_Error err = host::errorRecord();
    FMX_DataVect* args = FM_DataVect_Constructor1(&err);
    rememberLocale(args);  // no arguments: nothing changes
    FM_DataVect_PushBack(args, german.get(), &err);
    rememberLocale(args);
    // A date text stored with the process locale now reads the German way.
    host::Data date;
    const host::Text germanDate("12.6.2009");
    EXPECT_EQ(FM_Data_SetAsText(date.get(), germanDate.get(), processLocale(), kFMX_Date, &err), 0);
    EXPECT_EQ(host::partsOf(host::dataAsDate(date.get())).month, 6);
    FM_DataVect_Delete(args, &err);

    // And back, so other tests see the host's own form.
    host::Data plain;
    FMX_DataVect* back = FM_DataVect_Constructor1(&err);
    FM_DataVect_PushBack(back, plain.get(), &err);
    rememberLocale(back);
    FM_DataVect_Delete(back, &err);
    EXPECT_NE(FM_Data_SetAsText(date.get(), germanDate.get(), processLocale(), kFMX_Date, &err), 0);
}

}  // namespace
