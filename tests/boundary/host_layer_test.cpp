// The checked C++ layer: failures reported by the host become exceptions, results pass through.
#include <cstring>

#include <gtest/gtest.h>

#include "boundary/host_calls.h"

namespace {

using namespace plotwise;

class HostLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        fmhost_reset();
        fmhost_set_locale("default");
    }
    void TearDown() override { fmhost_reset(); }
};

TEST_F(HostLayerTest, CheckRaisesByErrorCode) {
    EXPECT_NO_THROW(host::check(FMX_Error{1, 0}));
    EXPECT_THROW(host::check(FMX_Error{1, 1}), host::BadAllocation);
    EXPECT_THROW(host::check(FMX_Error{1, 2}), host::HostFailure);
    EXPECT_THROW(host::check(FMX_Error{1, 77}), host::HostFailure);  // any other code is a failure too
    const FMX_Error fresh = host::errorRecord();
    EXPECT_EQ(fresh.version, 1);
    EXPECT_EQ(fresh.code, 0);
}

TEST_F(HostLayerTest, AFailedAllocationRaisesBadAllocation) {
    fmhost_fail_allocation(1);
    try {
        host::Text text;
        FAIL() << "the constructor did not report the failure";
    } catch (const std::bad_alloc& e) {
        EXPECT_NE(dynamic_cast<const host::BadAllocation*>(&e), nullptr);
        EXPECT_STREQ(e.what(), "bad allocation");
    }
    // The second allocation of a compound operation fails just the same.
    fmhost_fail_allocation(2);
    EXPECT_THROW(host::setNumber(host::Data().get(), 1.5), host::BadAllocation);
    fmhost_fail_allocation(0);
}

TEST_F(HostLayerTest, TextOperations) {
    host::Text text("Plotz_Data( a ; b )");
    EXPECT_EQ(text.size(), 19u);
    const host::Text parenthesis("(");
    EXPECT_EQ(text.find(parenthesis), 10u);
    EXPECT_EQ(text.find(parenthesis, 11), kFMX_TextNotFound);
    text.erase(10, text.size() - 10);
    EXPECT_EQ(host::textBytes(text.get()), "Plotz_Data");
    text.lowercase();
    const host::Text lower("plotz_data");
    EXPECT_TRUE(text.equals(lower.get()));
    text.append(parenthesis.get());
    EXPECT_EQ(host::textBytes(text.get()), "plotz_data(");
    text.assignUnicode(u"\u00C4\u20AC");
    EXPECT_EQ(host::textBytes(text.get()), "\xC3\x84\xE2\x82\xAC");
    // Texts travel to the host as UTF-8: two characters, not five bytes read one by one.
    text.assign("\xC3\x84\xE2\x82\xAC");
    EXPECT_EQ(text.size(), 2u);
}

TEST_F(HostLayerTest, TextBytesCutsAtCharacterBoundaries) {
    const host::Text text("a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
    EXPECT_EQ(host::textBytes(text.get()), "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
    EXPECT_EQ(host::textBytes(text.get(), 9), "a\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(host::textBytes(text.get(), 2), "a");
    EXPECT_EQ(host::textBytes(text.get(), 0), "");
    const host::Text empty;
    EXPECT_EQ(host::textBytes(empty.get()), "");
}

TEST_F(HostLayerTest, LongTextsComeWholeInPieces) {
    // Characters of one to four bytes, so that pieces end before, inside and after each kind.
    const char* kinds[] = {"a", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E"};
    for (int lead = 0; lead < 4; ++lead) {
        std::string bytes(static_cast<std::size_t>(65530 + lead), 'x');
        for (int i = 0; i < 40000; ++i) bytes += kinds[(i * 7 + lead) % 4];
        const host::Text text(bytes);
        EXPECT_EQ(host::textBytes(text.get()), bytes) << lead;
    }
}

TEST_F(HostLayerTest, ArgumentsReadThroughTheHostConversions) {
    FMX_Error err = host::errorRecord();
    FMX_DataVect* vect = FM_DataVect_Constructor1(&err);
    {
        host::Data text, number, container;
        const host::Text words("-7.9 dwarfs");
        const host::Locale locale;
        host::setText(text.get(), words.get(), locale.get());
        host::setNumber(number.get(), 2147483648.0);
        host::BinaryData binary;
        char abc[] = "abc";
        EXPECT_EQ(host::addStream(binary.get(), "GIFf", 3, abc), 0);
        host::setContainer(container.get(), binary.get());
        FM_DataVect_PushBack(vect, text.get(), &err);
        FM_DataVect_PushBack(vect, number.get(), &err);
        FM_DataVect_PushBack(vect, container.get(), &err);
    }
    const host::Args args(vect);
    EXPECT_EQ(args.size(), 3u);
    EXPECT_EQ(args.text(0), "-7.9 dwarfs");
    EXPECT_EQ(args.text(0, 4), "-7.9");
    EXPECT_DOUBLE_EQ(args.number(0), -7.9);
    EXPECT_EQ(args.integer(0), -7);
    EXPECT_EQ(args.integer(1), 2147483647);  // saturates
    EXPECT_EQ(args.nativeType(1), kFMX_Number);
    EXPECT_FALSE(args.isContainer(1));
    EXPECT_TRUE(args.isContainer(2));
    const FMX_BinaryData* binary = args.container(2);
    EXPECT_EQ(host::streamIndex(binary, "GIFf"), 0);
    EXPECT_EQ(host::streamIndex(binary, "SIZE"), -1);
    EXPECT_EQ(host::streamSize(binary, 0), 3u);
    EXPECT_EQ(host::totalSize(binary), 3u);
    char bytes[3];
    EXPECT_TRUE(host::readStream(binary, 0, 1, 2, bytes));
    EXPECT_EQ(std::string(bytes, 2), "bc");
    EXPECT_FALSE(host::readStream(binary, 0, 2, 2, bytes));  // refused, not raised
    EXPECT_THROW(args.at(3), host::HostFailure);
    EXPECT_THROW(args.text(3), host::HostFailure);
    FM_DataVect_Delete(vect, &err);
}

TEST_F(HostLayerTest, DateTimeParts) {
    host::DateTime dt;
    dt.setSecondsSinceEpoch(733569LL * 86400 + 52207);  // 2009-06-12 14:30:07
    const host::DateTimeParts parts = host::partsOf(dt.get());
    EXPECT_EQ(parts.year, 2009);
    EXPECT_EQ(parts.month, 6);
    EXPECT_EQ(parts.day, 12);
    EXPECT_EQ(parts.hour, 14);
    EXPECT_EQ(parts.minute, 30);
    EXPECT_EQ(parts.second, 7);
    EXPECT_EQ(host::secondsSinceMidnight(dt.get()), 52207);
    EXPECT_EQ(host::secondsSinceEpoch(dt.get()), 733569LL * 86400 + 52207);
}

TEST_F(HostLayerTest, DataViewsAndLocales) {
    host::Data value;
    host::setNumber(value.get(), 733570);
    EXPECT_EQ(host::nativeType(value.get()), kFMX_Number);
    EXPECT_EQ(host::textBytes(host::dataText(value.get())), "733570");
    EXPECT_EQ(host::asLong(host::dataNumber(value.get())), 733570);
    EXPECT_EQ(host::partsOf(host::dataAsDate(value.get())).year, 2009);
    EXPECT_EQ(host::secondsSinceMidnight(host::dataAsTime(value.get())), 733570 % 86400);
    EXPECT_EQ(host::secondsSinceEpoch(host::dataAsTimeStamp(value.get())), 733570);
    host::Locale copy;
    copy.assign(host::dataLocale(value.get()));
}

TEST_F(HostLayerTest, ContainersThroughTheLayer) {
    host::BinaryData binary;
    char hi[] = "hi";
    EXPECT_EQ(host::addStream(binary.get(), "CHHD", 2, hi), 0);
    EXPECT_NE(host::addStream(binary.get(), "LABS", 2, nullptr), 0);
    EXPECT_EQ(host::totalSize(binary.get()), 2u);
    host::removeAllStreams(binary.get());
    EXPECT_EQ(host::totalSize(binary.get()), 0u);
    EXPECT_THROW(host::streamSize(binary.get(), 0), host::HostFailure);
}

TEST_F(HostLayerTest, FixPtAndQuadChar) {
    host::FixPt number;
    number.assign(-2.75);
    EXPECT_EQ(host::asLong(number.get()), -2);
    EXPECT_DOUBLE_EQ(host::asDouble(number.get()), -2.75);
    number.assign(int32_t{-40});
    EXPECT_EQ(host::asLong(number.get()), -40);
    const host::QuadChar code("QXPL");
    FMX_Error err = host::errorRecord();
    EXPECT_EQ(FM_QuadChar_GetValue(code.get(), &err), 0x5158504Cu);
}

int16_t echoExpression(void* context, const char* expression, FMX_Data* result) {
    *static_cast<std::string*>(context) = expression;
    host::Text text(expression);
    host::setText(result, text.get(), nullptr);
    return 0;
}

TEST_F(HostLayerTest, EvaluateReturnsTheHostCode) {
    FMX_ExprEnv* env = fmhost_env_create();
    host::Data result;
    EXPECT_EQ(host::evaluate(env, "Sales::Amount", result.get()), kFMX_CalcError);
    std::string seen;
    fmhost_set_evaluate_hook(echoExpression, &seen);
    EXPECT_EQ(host::evaluate(env, "Sales::Amount", result.get()), 0);
    EXPECT_EQ(seen, "Sales::Amount");
    EXPECT_EQ(host::textBytes(host::dataText(result.get())), "Sales::Amount");
    fmhost_set_evaluate_hook(nullptr, nullptr);
    fmhost_env_delete(env);
}

}  // namespace
