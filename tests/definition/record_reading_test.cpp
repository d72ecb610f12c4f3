// Reading a field record by record edits one host text in place: every record must still be
// asked for with exactly its own number, also where the number gains a digit or carries, and
// a long field name must come through whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "boundary/host_calls.h"
#include "definition/field_reference.h"
#include "stand_in/fmhost.h"

namespace plotwise {
namespace {

// Answers every expression with a number until `records` have been asked for by the reading,
// and keeps every expression it was given.
struct Recorder {
    std::vector<std::string> asked;
    long records = 0;

    static int16_t answer(void* context, const char* expression, FMX_Data* result) {
        auto* self = static_cast<Recorder*>(context);
        self->asked.emplace_back(expression);
        if (static_cast<long>(self->asked.size()) > self->records) return kFMX_RecordMissing;
        host::setNumber(result, 1);
        return 0;
    }
};

class RecordReading : public ::testing::Test {
protected:
    void SetUp() override {
        env_ = fmhost_env_create();
        fmhost_set_evaluate_hook(&Recorder::answer, &recorder);
    }
    void TearDown() override {
        fmhost_set_evaluate_hook(nullptr, nullptr);
        fmhost_env_delete(env_);
    }
    // The record numbers of the expressions asked, checked against the field and the form.
    std::vector<long> numbersAsked(const std::string& field) {
        std::vector<long> numbers;
        const std::string head = "GetNthRecord ( " + field + " ; ";
        for (const std::string& e : recorder.asked) {
            EXPECT_EQ(e.compare(0, head.size(), head), 0) << e;
            EXPECT_EQ(e.substr(e.size() - 2), " )") << e;
            numbers.push_back(std::stol(e.substr(head.size())));
            EXPECT_EQ(e, recordExpression(field, numbers.back()));
        }
        return numbers;
    }
    int16_t read(const std::string& reference) {
        return readFieldRecords(env_, parseFieldReference(reference), [](const FMX_Data*) { return true; });
    }

    Recorder recorder;
    FMX_ExprEnv* env_ = nullptr;
};

TEST_F(RecordReading, NumbersGainingADigitOrCarrying) {
    recorder.records = 1000;
    EXPECT_EQ(read("Orders::Month(8-11)"), 0);
    EXPECT_EQ(numbersAsked("Orders::Month"), (std::vector<long>{8, 9, 10, 11}));
    recorder.asked.clear();
    EXPECT_EQ(read("Orders::Month(98-101)"), 0);
    EXPECT_EQ(numbersAsked("Orders::Month"), (std::vector<long>{98, 99, 100, 101}));
    recorder.asked.clear();
    EXPECT_EQ(read("Orders::Month(999-1000)"), 0);
    EXPECT_EQ(numbersAsked("Orders::Month"), (std::vector<long>{999, 1000}));
    // Carries over several digits without a new one.
    recorder.asked.clear();
    EXPECT_EQ(read("Orders::Month(1098-1101)"), 0);
    EXPECT_EQ(numbersAsked("Orders::Month"), (std::vector<long>{1098, 1099, 1100, 1101}));
}

TEST_F(RecordReading, TheWholeFoundSetThenTheFirstMissingRecord) {
    recorder.records = 12;
    EXPECT_EQ(read("Orders::Amount"), 0);
    std::vector<long> expected;
    for (long n = 1; n <= 13; ++n) expected.push_back(n);
    EXPECT_EQ(numbersAsked("Orders::Amount"), expected);
}

TEST_F(RecordReading, ALongFieldNameComesThroughWhole) {
    // Past the 255 bytes that short texts are handled in, and with characters of several bytes.
    std::string field = "Orders::";
    for (int i = 0; i < 150; ++i) field += "\xC3\xA9";  // é
    recorder.records = 3;
    EXPECT_EQ(read(field), 0);
    EXPECT_EQ(numbersAsked(field), (std::vector<long>{1, 2, 3, 4}));
}

TEST_F(RecordReading, NoRecordAtAllGivesTheHostsError) {
    recorder.records = 0;
    EXPECT_EQ(read("Orders::Month"), kFMX_RecordMissing);
    EXPECT_EQ(numbersAsked("Orders::Month"), (std::vector<long>{1}));
}

// Host texts of every length around the 255 bytes handled on the stack read back unchanged.
TEST(HostTexts, RoundTripAroundTheShortTextSize) {
    const std::string two = "\xC3\xA9";  // é: one unit, two bytes
    for (int length : {0, 1, 254, 255, 256, 257, 600}) {
        const std::string ascii(static_cast<std::size_t>(length), 'x');
        EXPECT_EQ(host::textBytes(host::Text(ascii).get()), ascii) << length;
    }
    // 85 units make a 256-byte read buffer, 86 one byte more.
    for (int units : {84, 85, 86, 200}) {
        std::string accented;
        for (int i = 0; i < units; ++i) accented += two;
        EXPECT_EQ(host::textBytes(host::Text(accented).get()), accented) << units;
        EXPECT_EQ(host::textBytes(host::Text(accented).get(), 11), accented.substr(0, 10)) << units;
    }
}

}  // namespace
}  // namespace plotwise
