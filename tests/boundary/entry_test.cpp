// The entry point: version check, registration and its failures, string requests, shutdown.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/call_locale.h"
#include "boundary/registration.h"
#include "stand_in/fmhost.h"

extern "C" void FMExternCallProc(FMX_ExternCallStruct* record);

namespace {

using namespace plotwise;

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_init_call_record(&record, FMExternCallProc, nullptr);
    }
    void TearDown() override { fmhost_reset(); }

    intptr_t send(uint8_t message, int16_t version = kFMX_CurrentVersion) {
        record.whichCall = message;
        record.extnVersion = version;
        record.result = 12345;
        FMExternCallProc(&record);
        return record.result;
    }
    // Sends a string request into `buffer` (filled with 'x' first) with the given capacity.
    std::u16string request(uint8_t which, std::size_t capacity, std::u16string& buffer) {
        buffer.assign(64, u'x');
        record.whichCall = kFMXT_GetString;
        record.parm1 = which;
        record.parm3 = capacity;
        record.result = reinterpret_cast<intptr_t>(buffer.data());
        FMExternCallProc(&record);
        return std::u16string(buffer.c_str());
    }
    static std::vector<int16_t> unregistered() {
        std::vector<int16_t> ids(64);
        ids.resize(static_cast<std::size_t>(fmhost_unregistration_log(ids.data(), 64)));
        return ids;
    }
    static std::vector<int16_t> registeredIds() {
        std::vector<int16_t> ids;
        fmhost_registration r{};
        for (int32_t i = 0; fmhost_registration_at(i, &r) == 0; ++i) ids.push_back(r.functionId);
        return ids;
    }

    FMX_ExternCallStruct record{};
};

const std::vector<int16_t> kAllIds = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13};

TEST_F(EntryTest, HostVersionsOutsideTheRangeAreRefused) {
    const std::pair<int16_t, intptr_t> cases[] = {
        {50, -1}, {52, -1}, {53, 71}, {57, 71}, {71, 71}, {255, 71}, {256, -1}, {-1, -1}, {0, -1}, {32767, -1},
    };
    for (const auto& [version, expected] : cases) {
        fmhost_reset();
        EXPECT_EQ(send(kFMXT_Init, version), expected) << version;
        EXPECT_EQ(fmhost_registration_count(), expected == 71 ? 12 : 0) << version;
        EXPECT_TRUE(unregistered().empty()) << version;
    }
}

TEST_F(EntryTest, StartUpRegistersInAscendingOrder) {
    ASSERT_EQ(send(kFMXT_Init), 71);
    EXPECT_EQ(registeredIds(), kAllIds);
}

TEST_F(EntryTest, RegisteredNamesPrototypesAndArgumentCounts) {
    ASSERT_EQ(send(kFMXT_Init), 71);
    const struct {
        int16_t id;
        const char* name;
        const char* prototype;
        int16_t min, max;
        ScriptFunction function;
    } expected[] = {
        {1, "Plotz_Version", "Plotz_Version( versionFormat )", 1, 1, Plotz_Version},
        {2, "Plotz_New", "Plotz_New", 0, 0, Plotz_New},
        {3, "Plotz_Data", "Plotz_Data( chartdataContainer ; Xdata ; Ydata ; seriesColor {; seriesName } )", 3, -1,
         Plotz_Data},
        {4, "Plotz_Titles", "Plotz_Titles( chartdataContainer ; chartName ; XaxisName ; YaxisName )", 4, -1,
         Plotz_Titles},
        {5, "Plotz_Style", "Plotz_Style( chartdataContainer ; chartStyle {; chartSubstyle } )", 2, -1, Plotz_Style},
        {7, "Plotz_Draw", "Plotz_Draw( chartdataContainer ; hsize ; vsize {; backcol ; textcol } )", 3, -1,
         Plotz_Draw},
        {8, "Plotz_PieColors", "Plotz_PieColors( chartdataContainer ; color1 { ; color2 ... } )", 2, -1,
         Plotz_PieColors},
        {9, "Plotz_Font", "Plotz_Font( chartdataContainer ; texttype ; fontname ; fontsize {; fontcol } )", 4, -1,
         Plotz_Font},
        {10, "Plotz_Axis",
         "Plotz_Axis( chartdataContainer ; axis ; optionName ; optionValue { ; optionName ; optionValue ... } )", 4,
         -1, Plotz_Axis},
        {11, "", "", 2, -1, ContainerAnalysis},
        {12, "", "", 1, 1, ExtractPicture},
        {13, "Plotz_Export", "Plotz_Export( chartdataContainer ; format {; scale } )", 2, 3, Plotz_Export},
    };
    for (const auto& e : expected) {
        fmhost_registration r{};
        ASSERT_EQ(fmhost_find_registration_id(e.id, &r), 0) << e.id;
        EXPECT_STREQ(r.name, e.name);
        EXPECT_STREQ(r.prototype, e.prototype);
        EXPECT_EQ(r.minArgs, e.min) << e.id;
        EXPECT_EQ(r.maxArgs, e.max) << e.id;
        EXPECT_EQ(r.flags, 0xFF01u);
        EXPECT_EQ(r.pluginId, 0x5158504Cu);  // "QXPL"
        EXPECT_EQ(r.function, e.function) << e.id;
    }
}

TEST_F(EntryTest, ShutdownUnregistersFromThirteenDown) {
    ASSERT_EQ(send(kFMXT_Init), 71);
    send(kFMXT_Shutdown);
    EXPECT_EQ(fmhost_registration_count(), 0);
    std::vector<int16_t> descending(kAllIds.rbegin(), kAllIds.rend());
    EXPECT_EQ(unregistered(), descending);
}

TEST_F(EntryTest, RefusedFifthRegistrationWithdrawsTheFirstFour) {
    fmhost_fail_registration(5);
    EXPECT_EQ(send(kFMXT_Init), -2);
    EXPECT_EQ(unregistered(), (std::vector<int16_t>{4, 3, 2, 1}));
    EXPECT_EQ(fmhost_registration_count(), 0);
}

// A refused named function withdraws the earlier ones; a refused unnamed one (11, 12) is only
// left out, and the plug-in starts with the others.
TEST_F(EntryTest, RefusalAtEachPositionWithdrawsExactlyTheEarlierOnes) {
    for (std::size_t refused = 0; refused < kAllIds.size(); ++refused) {
        const int16_t id = kAllIds[refused];
        fmhost_reset();
        fmhost_fail_registration(static_cast<int32_t>(refused + 1));
        if (id == 11 || id == 12) {
            EXPECT_EQ(send(kFMXT_Init), 71) << id;
            std::vector<int16_t> rest = kAllIds;
            rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(refused));
            EXPECT_EQ(registeredIds(), rest) << id;
            EXPECT_TRUE(unregistered().empty()) << id;
            continue;
        }
        EXPECT_EQ(send(kFMXT_Init), -2);
        std::vector<int16_t> expected(kAllIds.begin(), kAllIds.begin() + static_cast<std::ptrdiff_t>(refused));
        std::reverse(expected.begin(), expected.end());
        EXPECT_EQ(unregistered(), expected) << "refused id " << id;
        EXPECT_EQ(fmhost_registration_count(), 0);
    }
}

// A call's locale is a host object that lives no longer than the call: the plug-in holds no
// host object between calls, so none is left for shutdown to give back.
TEST_F(EntryTest, TheCallsLocaleLivesNoLongerThanTheCall) {
    ASSERT_EQ(send(kFMXT_Init), 71);
    const int32_t held = fmhost_live_objects();
    {
        CallLocale locale;
        ASSERT_NE(locale.get(), nullptr);
        EXPECT_EQ(fmhost_live_objects(), held + 1);
    }
    EXPECT_EQ(fmhost_live_objects(), held);
}

// A host that runs out of memory at any allocation of start-up: the entry point returns
// normally, answers -2, and leaves nothing registered.
TEST_F(EntryTest, AllocationFailureAnywhereInStartUpLeavesNothingRegistered) {
    int failures = 0;
    for (int32_t n = 1; n < 500; ++n) {
        fmhost_reset();
        fmhost_fail_allocation(n);
        const intptr_t result = send(kFMXT_Init);
        fmhost_fail_allocation(0);
        if (result == 71) {
            EXPECT_EQ(fmhost_registration_count(), 12);
            break;  // start-up needs fewer than n allocations
        }
        ++failures;
        EXPECT_EQ(result, -2) << "allocation " << n;
        EXPECT_EQ(fmhost_registration_count(), 0) << "allocation " << n;
        const std::vector<int16_t> log = unregistered();
        EXPECT_TRUE(std::is_sorted(log.rbegin(), log.rend())) << "allocation " << n;
    }
    EXPECT_GE(failures, 12 * 3);  // at least identifier, name and prototype per function
}

TEST_F(EntryTest, NameAndDescriptionRequests) {
    std::u16string buffer;
    EXPECT_EQ(request(kFMXT_NameStr, 64, buffer), u"Norvane Plotwise Plug-In");
    EXPECT_EQ(request(kFMXT_NameStr, 5, buffer), u"Norv");  // cut to the capacity, zero included
    EXPECT_EQ(buffer[5], u'x');

    const std::u16string description = [&] {
        std::u16string big(1024, u'x');
        record.whichCall = kFMXT_GetString;
        record.parm1 = kFMXT_AppConfigStr;
        record.parm3 = big.size();
        record.result = reinterpret_cast<intptr_t>(big.data());
        FMExternCallProc(&record);
        return std::u16string(big.c_str());
    }();
    const std::u16string first = u"This plug-in extends FileMaker applications by adding chart functions.\r";
    const std::u16string last = u"\rVersion 1.3";
    ASSERT_GT(description.size(), first.size() + last.size());
    EXPECT_EQ(description.substr(0, first.size()), first);
    EXPECT_EQ(description.substr(description.size() - last.size()), last);
}

TEST_F(EntryTest, OptionsRequestWritesElevenCharactersAndAZero) {
    std::u16string buffer;
    EXPECT_EQ(request(kFMXT_OptionsStr, 64, buffer), u"QXPL1nnYnnn");
    EXPECT_EQ(buffer[11], u'\0');
    EXPECT_EQ(buffer[12], u'x');
    EXPECT_EQ(request(kFMXT_OptionsStr, 12, buffer), u"QXPL1nnYnnn");
    // Too small for the whole text: nothing is written.
    request(kFMXT_OptionsStr, 11, buffer);
    EXPECT_EQ(buffer, std::u16string(64, u'x'));
    request(kFMXT_OptionsStr, 0, buffer);
    EXPECT_EQ(buffer, std::u16string(64, u'x'));
}

// A host language and a capacity below the text's need: the text is cut to the capacity, its
// zero included, and nothing is written past it.
TEST_F(EntryTest, StringRequestsStayWithinTheCapacity) {
    record.parm2 = 1031;  // German: the plug-in has one language
    const struct {
        uint8_t which;
        std::size_t capacity;
        const char16_t* answer;
    } cases[] = {
        {kFMXT_NameStr, 1, u""}, {kFMXT_NameStr, 2, u"N"}, {kFMXT_NameStr, 24, u"Norvane Plotwise Plug-I"},
        {kFMXT_NameStr, 25, u"Norvane Plotwise Plug-In"}, {kFMXT_AppConfigStr, 5, u"This"},
    };
    for (const auto& c : cases) {
        std::u16string buffer;
        EXPECT_EQ(request(c.which, c.capacity, buffer), c.answer) << c.capacity;
        EXPECT_EQ(buffer.substr(c.capacity), std::u16string(64 - c.capacity, u'x')) << c.capacity;
    }
    std::u16string buffer;
    request(kFMXT_NameStr, 0, buffer);
    EXPECT_EQ(buffer, std::u16string(64, u'x'));
}

TEST_F(EntryTest, OtherStringRequestsLeaveTheBufferAlone) {
    for (const uint8_t which : {uint8_t{0}, uint8_t{127}, uint8_t{130}, uint8_t{132}, uint8_t{255}}) {
        std::u16string buffer;
        request(which, 64, buffer);
        EXPECT_EQ(buffer, std::u16string(64, u'x')) << int{which};
    }
    record.whichCall = kFMXT_GetString;  // no buffer at all
    record.parm1 = kFMXT_NameStr;
    record.parm3 = 64;
    record.result = 0;
    FMExternCallProc(&record);
}

TEST_F(EntryTest, OtherMessagesAreIgnored) {
    for (const uint8_t message : {uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{5}, uint8_t{6}, uint8_t{8}, uint8_t{9},
                                  uint8_t{10}, uint8_t{255}}) {
        EXPECT_EQ(send(message), 12345) << int{message};
    }
    EXPECT_EQ(fmhost_registration_count(), 0);
    EXPECT_TRUE(unregistered().empty());
    FMExternCallProc(nullptr);  // no record: nothing to do, nothing to crash on
}

}  // namespace
