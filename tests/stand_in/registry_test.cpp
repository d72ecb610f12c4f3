// The registry, the evaluation hook, handle memory and failure injection.
#include <algorithm>
#include <cstring>
#include <thread>

#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

class RegistryTest : public HostTest {
protected:
    void TearDown() override {
        fmhost_set_evaluate_hook(nullptr, nullptr);
        HostTest::TearDown();
    }
    static int16_t function(int16_t, const FMX_ExprEnv*, const FMX_DataVect*, FMX_Data*) { return 0; }

    int16_t registerId(int16_t id, const char* name, char c0 = 'Q') {
        FMX_Error err{1, 0};
        FMX_QuadChar* plugin = FM_QuadChar_Constructor2(c0, 'X', 'P', 'L', &err);
        TextHandle nameText(name), prototype(std::string(name) + "( x )");
        const int16_t result =
            FM_ExprEnv_RegisterExternalFunction(plugin, id, nameText.text, prototype.text, 1, -1, 0xFF01, function, &err);
        FM_QuadChar_Delete(plugin, &err);
        return result;
    }
    int16_t unregisterId(int16_t id) {
        FMX_Error err{1, 0};
        FMX_QuadChar* plugin = FM_QuadChar_Constructor2('Q', 'X', 'P', 'L', &err);
        const int16_t result = FM_ExprEnv_UnRegisterExternalFunction(plugin, id, &err);
        FM_QuadChar_Delete(plugin, &err);
        return result;
    }
};

TEST_F(RegistryTest, KeepsRegistrationsInOrder) {
    ASSERT_EQ(registerId(3, "Gamma"), 0);
    ASSERT_EQ(registerId(1, "Alpha"), 0);
    EXPECT_EQ(fmhost_registration_count(), 2);
    fmhost_registration r{};
    ASSERT_EQ(fmhost_registration_at(0, &r), 0);
    EXPECT_STREQ(r.name, "Gamma");
    EXPECT_STREQ(r.prototype, "Gamma( x )");
    EXPECT_EQ(r.pluginId, 0x5158504Cu);
    EXPECT_EQ(r.functionId, 3);
    EXPECT_EQ(r.minArgs, 1);
    EXPECT_EQ(r.maxArgs, -1);
    EXPECT_EQ(r.flags, 0xFF01u);
    EXPECT_EQ(r.function, &function);
    EXPECT_NE(fmhost_registration_at(2, &r), 0);
    EXPECT_NE(fmhost_registration_at(-1, &r), 0);

    ASSERT_EQ(fmhost_find_registration("alpha", &r), 0);  // without regard to case
    EXPECT_EQ(r.functionId, 1);
    EXPECT_NE(fmhost_find_registration("Alph", &r), 0);
    EXPECT_NE(fmhost_find_registration("", &r), 0);
    ASSERT_EQ(fmhost_find_registration_id(3, &r), 0);
    EXPECT_STREQ(r.name, "Gamma");
}

TEST_F(RegistryTest, RefusesASecondRegistrationOfTheSameId) {
    ASSERT_EQ(registerId(1, "One"), 0);
    EXPECT_NE(registerId(1, "Again"), 0);
    EXPECT_EQ(registerId(1, "OtherPlugin", 'Z'), 0);  // another plug-in may use the id
    EXPECT_EQ(fmhost_registration_count(), 2);
}

TEST_F(RegistryTest, UnregistrationIsLogged) {
    ASSERT_EQ(registerId(1, "One"), 0);
    ASSERT_EQ(registerId(2, "Two"), 0);
    EXPECT_EQ(unregisterId(2), 0);
    EXPECT_NE(unregisterId(7), 0);  // not registered, but still logged
    EXPECT_EQ(fmhost_registration_count(), 1);
    int16_t ids[4] = {};
    ASSERT_EQ(fmhost_unregistration_log(ids, 4), 2);
    EXPECT_EQ(ids[0], 2);
    EXPECT_EQ(ids[1], 7);
    EXPECT_EQ(fmhost_unregistration_log(ids, 1), 2);  // the count even when only one fits

    fmhost_reset();
    EXPECT_EQ(fmhost_registration_count(), 0);
    EXPECT_EQ(fmhost_unregistration_log(ids, 4), 0);
}

TEST_F(RegistryTest, LongNamesAreCutAtACharacterBoundary) {
    std::string name(254, 'a');
    name += "\xC3\xA9";  // 256 bytes: the last character does not fit the 255 the field holds
    ASSERT_EQ(registerId(1, name.c_str()), 0);
    fmhost_registration r{};
    ASSERT_EQ(fmhost_registration_at(0, &r), 0);
    EXPECT_EQ(std::strlen(r.name), 254u);
}

TEST_F(RegistryTest, RegistrationFailureHitsTheNthCallOnce) {
    fmhost_fail_registration(3);
    EXPECT_EQ(registerId(1, "A"), 0);
    EXPECT_EQ(registerId(2, "B"), 0);
    EXPECT_NE(registerId(3, "C"), 0);
    EXPECT_EQ(registerId(4, "D"), 0);
    EXPECT_EQ(fmhost_registration_count(), 3);
}

TEST_F(RegistryTest, AllocationFailureHitsTheNthConstructorOnce) {
    fmhost_fail_allocation(2);
    FMX_Error err{1, 0};
    FMX_Text* first = FM_Text_Constructor1(&err);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(err.code, 0);
    FMX_Data* second = FM_Data_Constructor1(&err);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(err.code, kFMX_ErrorMemory);
    err.code = 0;
    FMX_FixPt* third = FM_FixPt_Constructor1(0, 16, &err);
    EXPECT_NE(third, nullptr);
    EXPECT_EQ(err.code, 0);
    FM_Text_Delete(first, &err);
    FM_FixPt_Delete(third, &err);
}

// Each kind of constructor counts towards the failure and reports it the same way.
TEST_F(RegistryTest, EveryConstructorCanFail) {
    using Make = bool (*)();
    const Make makers[] = {
        [] { FMX_Error e{1, 0}; return FM_Text_Constructor1(&e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_Data_Constructor1(&e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_DataVect_Constructor1(&e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_BinaryData_Constructor1(&e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_QuadChar_Constructor2('a', 'b', 'c', 'd', &e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_FixPt_Constructor1(1, 16, &e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_DateTime_Constructor1(&e) == nullptr && e.code == 1; },
        [] { FMX_Error e{1, 0}; return FM_Locale_Constructor1(1, &e) == nullptr && e.code == 1; },
    };
    for (std::size_t i = 0; i < std::size(makers); ++i) {
        fmhost_fail_allocation(1);
        EXPECT_TRUE(makers[i]()) << "constructor " << i;
    }
}

void fakeEntry(FMX_ExternCallStruct*) {}

TEST_F(RegistryTest, CallRecordIsFilledAsAHostFillsIt) {
    FMX_ExternCallStruct record;
    std::memset(&record, 0xAA, sizeof record);
    int instance = 0;
    fmhost_init_call_record(&record, fakeEntry, &instance);
    // The record is packed: its fields are read into aligned copies before they are compared.
    const int16_t version = record.extnVersion;
    const int32_t unusedID = record.unusedID;  // 32-bit on Linux, 16-bit on Windows
    const FMX_ExternCallProcPtr entryPoint = record.entryPoint;
    const uint64_t instanceID = record.instanceID;
    EXPECT_EQ(version, kFMX_CurrentVersion);
    EXPECT_EQ(unusedID, -1);
    EXPECT_EQ(entryPoint, fakeEntry);
    EXPECT_EQ(instanceID, reinterpret_cast<uintptr_t>(&instance));
    // Every other byte is zero: no message, no parameters, no result, no host services.
    FMX_ExternCallStruct rest = record;
    rest.extnVersion = 0;
    rest.unusedID = 0;
    rest.entryPoint = nullptr;
    rest.instanceID = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&rest);
    EXPECT_EQ(std::count(bytes, bytes + sizeof rest, 0), static_cast<std::ptrdiff_t>(sizeof rest));
}

TEST_F(RegistryTest, CallersOwnAllocationsCountAgainstTheInjectedFailure) {
    fmhost_fail_allocation(2);
    EXPECT_EQ(fmhost_take_allocation(), 1);
    EXPECT_EQ(fmhost_take_allocation(), 0);
    EXPECT_EQ(fmhost_take_allocation(), 1);  // the failure was spent
}

struct HookCall {
    std::string expression;
    int calls = 0;
};

int16_t answerSeven(void* context, const char* expression, FMX_Data* result) {
    auto* call = static_cast<HookCall*>(context);
    call->expression = expression;
    ++call->calls;
    setNumber(result, 7);
    return 0;
}

TEST_F(RegistryTest, EvaluationGoesThroughTheHook) {
    FMX_ExprEnv* env = fmhost_env_create();
    TextHandle expression("Sales::Amount \xE2\x82\xAC");
    DataHandle result;
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_ExprEnv_Evaluate(env, expression.text, result.data, &err), kFMX_CalcError);  // no hook yet

    HookCall call;
    fmhost_set_evaluate_hook(answerSeven, &call);
    EXPECT_EQ(FM_ExprEnv_Evaluate(env, expression.text, result.data, &err), 0);
    EXPECT_EQ(call.calls, 1);
    EXPECT_EQ(call.expression, "Sales::Amount \xE2\x82\xAC");
    EXPECT_EQ(numberOf(result.data), 7.0);
    fmhost_env_delete(env);
}

// Registrations from several threads at once all arrive (run under a sanitizer to see races).
TEST_F(RegistryTest, RegistryIsSafeAcrossThreads) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 50; ++i) registerId(static_cast<int16_t>(t * 100 + i), "F");
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(fmhost_registration_count(), 200);
}

}  // namespace
