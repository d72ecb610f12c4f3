// The evaluator over host values: operators, Let scoping, built-ins, record tables, calls to
// registered functions and the answers to the plug-in's evaluation requests.
#include <gtest/gtest.h>

#include "app/builtins.h"
#include "app/evaluator.h"
#include "app/parser.h"
#include "app/resolver.h"
#include "fake_plugin.h"

namespace plotwise::app {
namespace {

// Days from 0001-01-01 to a date of the proleptic Gregorian calendar (Hinnant's algorithm,
// independent of the host's calendar code).
int64_t daysSinceYearOne(int64_t y, int64_t m, int64_t d) {
    const auto fromCivil = [](int64_t yy, int64_t mm, int64_t dd) {
        yy -= mm <= 2;
        const int64_t era = (yy >= 0 ? yy : yy - 399) / 400;
        const int64_t yoe = yy - era * 400;
        const int64_t doy = (153 * (mm + (mm > 2 ? -3 : 9)) + 2) / 5 + dd - 1;
        const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe;
    };
    return fromCivil(y, m, d) - fromCivil(1, 1, 1);
}

class EvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::registerFakeFunctions();
        tables_.add(RecordTable::fromCsv("Orders", "Month,Amount\nJan,10\nFeb,20.5\nMar,x\n", "orders.csv"));
        env_ = fmhost_env_create();
    }
    void TearDown() override {
        fmhost_env_delete(env_);
        testing::unregisterFakeFunctions();
    }

    EvaluationContext context() { return {&tables_, &variables_, env_}; }
    Value eval(std::string_view source) { return evaluateSource(source, context()); }
    std::string text(std::string_view source) { return eval(source).asText(); }

    EvaluationError evaluationError(std::string_view source) {
        try {
            eval(source);
        } catch (const EvaluationError& e) {
            return e;
        }
        ADD_FAILURE() << "no evaluation error for: " << source;
        return EvaluationError(0, "");
    }

    SyntaxError syntaxError(std::string_view source) {
        try {
            eval(source);
        } catch (const SyntaxError& e) {
            return e;
        }
        ADD_FAILURE() << "no syntax error for: " << source;
        return SyntaxError({0, 0}, "");
    }

    RecordTables tables_;
    Variables variables_;
    FMX_ExprEnv* env_ = nullptr;
};

struct Case {
    std::string_view source;
    std::string_view result;
};

TEST_F(EvaluatorTest, OperatorsAndPrecedence) {
    const Case cases[] = {
        {"1 + 2 & 3", "33"},           // & binds loosest
        {"\"a\" & 1 + 2 * 3", "a7"},
        {"(1 & 2) + 3", "15"},         // a text of digits adds as a number
        {"-2 * 3", "-6"},
        {"2 - -3", "5"},
        {"10 - 2 - 3", "5"},           // left to right
        {"12 / 4 / 3", "1"},
        {"7 / 2", "3.5"},
        {"0.1 + 0.2", "0.3"},
        {"-0.5", "-0.5"},
        {"1e3 + 1", "1001"},
        {"\xC2\xB6", "\r"},
        {"\"a\" & \xC2\xB6 & \"b\"", "a\rb"},
        {"\"x\" & \"\" & \"y\"", "xy"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.source), c.result) << c.source;
}

TEST_F(EvaluatorTest, ResultTypes) {
    EXPECT_EQ(eval("1 + 1").type(), kFMX_Number);
    EXPECT_EQ(eval("12").type(), kFMX_Number);
    EXPECT_EQ(eval("1 & 1").type(), kFMX_Text);
    EXPECT_EQ(eval("GetAsText ( 12.50 )").type(), kFMX_Text);
    EXPECT_EQ(text("GetAsText ( 12.50 )"), "12.5");
    EXPECT_EQ(eval("GetAsNumber ( \"12.50 kg\" )").type(), kFMX_Number);
    EXPECT_EQ(text("GetAsNumber ( \"12.50 kg\" )"), "12.5");
    EXPECT_EQ(text("GetAsNumber ( \"none\" )"), "0");
    EXPECT_EQ(text("GetAsNumber ( \"$1,655.82\" )"), "1655.82");
    EXPECT_EQ(text("GetAsNumber ( \"12%\" )"), "12");
    fmhost_set_locale("de");  // literals are written with a point whatever the locale
    EXPECT_EQ(text("3.5 + 1"), "4.5");
    EXPECT_EQ(text("GetAsNumber ( \"1.655,82 \u20AC\" )"), "1655.82");
    fmhost_set_locale("default");
}

TEST_F(EvaluatorTest, DivisionByZeroIsAnErrorAtTheDivisor) {
    // A divisor that is zero however it is reached; 0 / 0 is that error too, not a result
    // that is too large. A parenthesised divisor is placed at its first token.
    const struct {
        const char* source;
        SourcePosition divisor;
    } zeros[] = {{"1 / 0", {1, 5}}, {"0 / 0", {1, 5}}, {"-7 / ( 2 - 2 )", {1, 8}}, {"1 / \"0\"", {1, 5}}};
    for (const auto& c : zeros) {
        const EvaluationError e = evaluationError(c.source);
        EXPECT_EQ(e.code(), kErrorCalculation) << c.source;
        EXPECT_STREQ(e.what(), "division by zero") << c.source;
        EXPECT_EQ(e.position(), c.divisor) << c.source;
    }
    // Divisors next to zero divide.
    EXPECT_EQ(text("1 / 0.001"), "1000");
    EXPECT_EQ(text("0 / -4"), "0");
    EXPECT_EQ(text("-1 / 4"), "-0.25");
}

TEST_F(EvaluatorTest, LetBindsInOrderAndScopesItsNames) {
    const Case cases[] = {
        {"Let ( x = 1 ; x + 1 )", "2"},
        {"Let ( [ a = 2 ; b = a * 3 ] ; b )", "6"},
        {"Let ( [ chart = 1 ; chart = chart + 1 ; chart = chart * 10 ] ; chart )", "20"},
        {"Let ( x = 1 ; Let ( x = x + 1 ; x ) & x )", "21"},  // the inner x ends with its Let
        {"Let ( Total = 3 ; total * 2 )", "6"},               // names without regard to case
        {"Let ( [ x = 1 ; y = Let ( x = 5 ; x ) ] ; x & y )", "15"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.source), c.result) << c.source;

    const EvaluationError e = evaluationError("Let ( x = 1 ; x ) & x");
    EXPECT_EQ(e.code(), kErrorFieldMissing);
    EXPECT_EQ(e.position(), (SourcePosition{1, 21}));
}

TEST_F(EvaluatorTest, DollarVariablesOutliveTheirLet) {
    EXPECT_EQ(text("Let ( $v = 5 ; 1 ) & $v & $V"), "155");
    EXPECT_EQ(text("$never & \"|\""), "|");
    variables_.set("$given", Value::text("from the command line"));
    EXPECT_EQ(text("$GIVEN"), "from the command line");
}

TEST_F(EvaluatorTest, UnknownWordsAreMissingFields) {
    const EvaluationError e = evaluationError("1 + Sales");
    EXPECT_EQ(e.code(), kErrorFieldMissing);
    EXPECT_EQ(e.position(), (SourcePosition{1, 5}));
}

TEST_F(EvaluatorTest, FieldsAndRecords) {
    EXPECT_EQ(text("Orders::Month"), "Jan");
    EXPECT_EQ(eval("orders::AMOUNT").type(), kFMX_Number);
    EXPECT_EQ(text("GetNthRecord ( Orders::Amount ; 2 )"), "20.5");
    EXPECT_EQ(text("GetNthRecord ( Orders::Amount ; 2.9 )"), "20.5");  // truncated
    EXPECT_EQ(eval("GetNthRecord ( Orders::Amount ; 3 )").type(), kFMX_Text);
    EXPECT_EQ(text("GetNthRecord ( Orders::Month ; 1 + 2 )"), "Mar");
    EXPECT_EQ(text("Let ( m = 7 ; GetNthRecord ( m ; 3 ) )"), "7");  // a Let name is the same in every record

    for (std::string_view outside : {"GetNthRecord ( Orders::Month ; 4 )", "GetNthRecord ( Orders::Month ; 0 )",
                                     "GetNthRecord ( Orders::Month ; -1 )", "GetNthRecord ( Orders::Month ; 0.5 )",
                                     "GetNthRecord ( Orders::Month ; \"x\" )"})
        EXPECT_EQ(evaluationError(outside).code(), kErrorRecordMissing) << outside;
    for (std::string_view missing : {"Order::Month", "Orders::Day", "GetNthRecord ( Sales ; 1 )",
                                     "GetNthRecord ( Orders::Day ; 1 )", "GetNthRecord ( Other::Month ; 9 )"})
        EXPECT_EQ(evaluationError(missing).code(), kErrorFieldMissing) << missing;

    const EvaluationError e = evaluationError("GetNthRecord ( Orders::Month ;\n 4 )");
    EXPECT_EQ(e.position(), (SourcePosition{2, 2}));
}

TEST_F(EvaluatorTest, GetNthRecordNeedsAField) {
    const SyntaxError e = syntaxError("GetNthRecord ( 1 + 2 ; 1 )");
    EXPECT_EQ(e.position(), (SourcePosition{1, 16}));
}

TEST_F(EvaluatorTest, ListAndChar) {
    const Case cases[] = {
        {"List ( 1 ; \"\" ; \"b\" ; GetAsText ( \"\" ) ; 3 )", "1\rb\r3"},
        {"List ( \"\" )", ""},
        {"Char ( 65 )", "A"},
        {"Char ( 6500066 )", "AB"},  // groups of five digits, the leftmost first
        {"Char ( 13 )", "\r"},
        {"Char ( 0 )", ""},
        {"Char ( -65 )", ""},
        {"Char ( 65.9 )", "A"},
        {"Char ( 9786 )", "\xE2\x98\xBA"},
    };
    for (const Case& c : cases) EXPECT_EQ(text(c.source), c.result) << c.source;
    // 1000000065 splits into 10000 and 00065: U+2710 and A.
    EXPECT_EQ(charactersOfCode(1000000065), "\xE2\x9C\x90" "A");
    EXPECT_EQ(charactersOfCode(55296), "");  // a surrogate is no character
}

TEST_F(EvaluatorTest, DatesTimesAndTimestamps) {
    const int64_t day = 86400;
    EXPECT_EQ(eval("Date ( 6 ; 12 ; 2009 )").type(), kFMX_Date);
    EXPECT_EQ(eval("Date ( 6 ; 12 ; 2009 )").asSeconds(kFMX_Date), daysSinceYearOne(2009, 6, 12) * day);
    EXPECT_EQ(eval("Date ( 13 ; 1 ; 2008 )").asSeconds(kFMX_Date), daysSinceYearOne(2009, 1, 1) * day);
    EXPECT_EQ(text("Date ( 3 ; 1 ; 2008 ) - Date ( 2 ; 1 ; 2008 )"), "29");
    EXPECT_EQ(text("Date ( 3 ; 1 ; 2009 ) - Date ( 2 ; 1 ; 2009 )"), "28");
    EXPECT_EQ(eval("Date ( 1 ; 31 ; 2009 ) + 1").type(), kFMX_Date);
    EXPECT_EQ(eval("Date ( 1 ; 31 ; 2009 ) + 1").asSeconds(kFMX_Date), daysSinceYearOne(2009, 2, 1) * day);
    EXPECT_EQ(eval("1 + Date ( 1 ; 31 ; 2009 )").asSeconds(kFMX_Date), daysSinceYearOne(2009, 2, 1) * day);
    EXPECT_EQ(eval("Date ( 1 ; 1 ; 2009 ) - 1").asSeconds(kFMX_Date), daysSinceYearOne(2008, 12, 31) * day);

    EXPECT_EQ(eval("Time ( 1 ; 30 ; 0 )").type(), kFMX_Time);
    EXPECT_EQ(eval("Time ( 1 ; 30 ; 0 ) + 60").asSeconds(kFMX_Time), 5460);
    EXPECT_EQ(text("Time ( 2 ; 0 ; 0 ) - Time ( 1 ; 30 ; 0 )"), "1800");

    const Value stamp = eval("Timestamp ( Date ( 1 ; 2 ; 2001 ) ; Time ( 3 ; 4 ; 5 ) )");
    EXPECT_EQ(stamp.type(), kFMX_TimeStamp);
    EXPECT_EQ(stamp.asSeconds(kFMX_TimeStamp), daysSinceYearOne(2001, 1, 2) * day + 3 * 3600 + 4 * 60 + 5);
    EXPECT_EQ(eval("Timestamp ( \"2009-06-12\" ; \"14:30:00\" )").asSeconds(kFMX_TimeStamp),
              daysSinceYearOne(2009, 6, 12) * day + 14 * 3600 + 30 * 60);
}

TEST_F(EvaluatorTest, RegisteredFunctionsGetHostValues) {
    EXPECT_EQ(text("Test_Echo ( 12 ; \"abc\" ; Orders::Amount ; Orders::Month ; 1 + 1 ; 1 & 1 )"),
              "2:12|1:abc|2:10|1:Jan|2:2|1:11");
    const std::vector<ContainerStream> streams{{{'C', 'H', 'H', 'D'}, {1, 2, 3}}, {{'G', 'I', 'F', 'f'}, {}}};
    variables_.set("$c", Value::container(streams));
    EXPECT_EQ(text("test_echo ( $c )"), "6:2 streams");
    EXPECT_EQ(text("Test_Zero"), "zero");  // no arguments: no parentheses needed
    EXPECT_EQ(text("Test_Zero ( ) & Test_Zero"), "zerozero");
    EXPECT_EQ(text("ContainerAnalysis ( 1 ; 2 )"), "eleven");
    EXPECT_EQ(text("extractpicture ( 1 )"), "twelve");
}

TEST_F(EvaluatorTest, ANonZeroResultIsAnEvaluationError) {
    const EvaluationError e = evaluationError("1 + \n  Test_Fail ( 7 )");
    EXPECT_EQ(e.code(), 7);
    EXPECT_EQ(e.position(), (SourcePosition{2, 3}));
    EXPECT_NE(std::string(e.what()).find("Test_Fail"), std::string::npos);
}

TEST_F(EvaluatorTest, CallsAreCheckedBeforeAnythingRuns) {
    struct SyntaxCase {
        std::string_view source;
        SourcePosition at;
        std::string_view saying;
    };
    const SyntaxCase cases[] = {
        {"Test_Echo ( )", {1, 1}, "Test_Echo needs at least 1 argument, got 0"},
        {"Test_Zero ( 1 )", {1, 1}, "Test_Zero takes no arguments, got 1"},
        {"1 & Test_Fail ( 1 ; 2 )", {1, 5}, "Test_Fail takes exactly 1 argument, got 2"},
        {"ContainerAnalysis ( 1 )", {1, 1}, "ContainerAnalysis needs at least 2 arguments"},
        {"Test_Ech ( 1 )", {1, 1}, "unknown function Test_Ech (did you mean Test_Echo?)"},
        {"Nothing_Like_It ( 1 )", {1, 1}, "unknown function Nothing_Like_It"},
        {"Test_Echo", {1, 1}, "Test_Echo is a function"},
        {"Date ( 1 ; 2 )", {1, 1}, "Date takes exactly 3 arguments, got 2"},
        {"Let ( x = Test_Fail ( ) ; 1 )", {1, 11}, "Test_Fail takes exactly 1 argument"},
    };
    for (const SyntaxCase& c : cases) {
        const SyntaxError e = syntaxError(c.source);
        EXPECT_EQ(e.position(), c.at) << c.source;
        EXPECT_NE(std::string(e.what()).find(c.saying), std::string::npos) << c.source << ": " << e.what();
    }
    // A failing call is never reached when another call is malformed.
    EXPECT_THROW(eval("Test_Fail ( 7 ) & Test_Zero ( 1 )"), SyntaxError);
}

TEST_F(EvaluatorTest, HookAnswersThePlugInsRequests) {
    std::vector<std::pair<std::string, int32_t>> failures;
    EvaluationHook hook(context(), [&](std::string_view expression, const std::string&, int32_t code) {
        failures.emplace_back(std::string(expression), code);
    });
    EXPECT_EQ(text("Test_Read ( \"Orders::Month\" )"), "Feb");
    EXPECT_EQ(eval("Test_Read ( \"Orders::Amount\" )").type(), kFMX_Number);
    EXPECT_EQ(text("Test_Read ( \"Sales\" )"), "102");
    EXPECT_EQ(text("Test_Read ( \"Orders::Nope\" )"), "102");
    EXPECT_EQ(text("Test_Read ( \"Orders::Month )\" )"), "1200");  // a request that does not parse
    ASSERT_EQ(failures.size(), 3u);
    EXPECT_EQ(failures[0], (std::pair<std::string, int32_t>{"GetNthRecord ( Sales ; 2 )", 102}));
    EXPECT_EQ(failures[2].second, 1200);
}

TEST_F(EvaluatorTest, WithoutTheHookRequestsFail) {
    EXPECT_EQ(text("Test_Read ( \"Orders::Month\" )"), std::to_string(kFMX_CalcError));
}

TEST_F(EvaluatorTest, DeepButValidExpressionsEvaluate) {
    std::string sum = "0";
    for (int i = 0; i < 100000; ++i) sum += "+1";
    EXPECT_EQ(text(sum), "100000");

    const int depth = kMaxNesting - 2;
    EXPECT_EQ(text(std::string(depth, '(') + "42" + std::string(depth, ')')), "42");

    std::string lets;
    for (int i = 0; i < 300; ++i) lets += "Let ( x" + std::to_string(i) + " = " + std::to_string(i) + " ; ";
    lets += "x0 + x299" + std::string(300, ')');
    EXPECT_EQ(text(lets), "299");
}

}  // namespace
}  // namespace plotwise::app
