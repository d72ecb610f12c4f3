// Data values: native types and the conversions between numbers, texts and date-times.
#include <atomic>
#include <cmath>
#include <limits>
#include <string_view>
#include <thread>
#include <vector>

#include "stand_in/internal.h"

#include "tests/stand_in/helpers.h"

using namespace hosttest;

namespace {

class DataTest : public HostTest {};

constexpr int64_t kDay = 86400;
constexpr int64_t k20090612 = 733569 * kDay;  // 2009-06-12 00:00:00

int64_t secondsOf(const FMX_DateTime* dt) { return secondsSinceEpoch(dt); }

void setDateTime(FMX_Data* data, int64_t seconds, int32_t type) {
    FMX_Error err{1, 0};
    FMX_DateTime* dt = FM_DateTime_Constructor1(&err);
    setSecondsSinceEpoch(dt, seconds);
    EXPECT_EQ(FM_Data_SetDateTime(data, dt, type, &err), 0);
    FM_DateTime_Delete(dt, &err);
}

TEST_F(DataTest, AFreshValueIsEmpty) {
    DataHandle value;
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Invalid);
    EXPECT_EQ(textOf(value.data), "");
    EXPECT_EQ(numberOf(value.data), 0.0);
    EXPECT_EQ(FM_BinaryData_GetCount(FM_Data_GetBinaryData(value.data, &err), &err), 0);
}

TEST_F(DataTest, NumbersReadAsPlainText) {
    const std::pair<double, const char*> cases[] = {
        {42, "42"},
        {-0.5, "-0.5"},
        {1234.5678, "1234.5678"},
        {0.1, "0.1"},
        {1.1 + 2.2, "3.3"},  // the binary noise lies past the 16th digit
        {-0.0, "0"},
        {1e-7, "0.0000001"},
        {123456789012345.6, "123456789012345.6"},  // sixteen significant digits survive
        {2147483648.0, "2147483648"},
        {1e20, "100000000000000000000"},
        {1.5e25, "1.5e+25"},
        {-2.5e-30, "-2.5e-30"},
        {std::numeric_limits<double>::quiet_NaN(), "?"},
        {std::numeric_limits<double>::infinity(), "?"},
    };
    for (const auto& [number, text] : cases) {
        DataHandle value;
        setNumber(value.data, number);
        EXPECT_EQ(textOf(value.data), text) << number;
    }
}

TEST_F(DataTest, TextsReadAsNumbersKeepDigitsDecimalMarkMinusAndExponent) {
    struct Case {
        const char* locale;
        const char* text;
        double number;
    } cases[] = {
        {"default", "42", 42},          {"default", "  -0.5", -0.5},   {"default", "12abc", 12},
        {"default", "+7", 7},           {"default", ".25", 0.25},      {"default", "-.5x", -0.5},
        {"default", "1e3", 1000},       {"default", "1e", 1},          {"default", "2E-2", 0.02},
        {"default", "1.2E-6", 1.2e-6},  {"default", "abc12", 12},      {"default", "", 0},
        {"default", "-", 0},            {"default", ".", 0},           {"default", "1.2.3", 1.23},
        {"default", "$1,655.82", 1655.82}, {"default", "12%", 12},     {"default", "12 kg", 12},
        {"default", "-$9", -9},         {"default", "1,5", 15},        {"default", "12-5", 125},
        {"de", "1.655,82 \u20AC", 1655.82}, {"de", "\u20AC 1.200,00", 1200}, {"de", "1,5", 1.5},
        {"de", "-2,75x", -2.75},        {"de", "1.5", 15},             {"de", "1,5,5", 1.55},
        {"de", ",25", 0.25},            {"de", ",", 0},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(fmhost_set_locale(c.locale), 0);
        EXPECT_EQ(fmhost_decimal_mark(), std::string_view(c.locale) == "de" ? ',' : '.');
        for (int32_t type : {kFMX_Text, kFMX_Number}) {  // read later, and read when stored
            DataHandle value;
            setText(value.data, c.text, type);
            EXPECT_DOUBLE_EQ(numberOf(value.data), c.number) << c.locale << " " << c.text << " as " << type;
        }
    }
    fmhost_set_locale("default");
}

TEST_F(DataTest, AnEmptyTextStoredAsANumberIsAnEmptyNumberField) {
    for (const char* text : {"", "  "}) {
        DataHandle value;
        setText(value.data, text, kFMX_Number);
        FMX_Error err{1, 0};
        EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Number);
        EXPECT_EQ(textOf(value.data), "");
        EXPECT_EQ(numberOf(value.data), 0);
        setText(value.data, "0", kFMX_Number);
        EXPECT_EQ(textOf(value.data), "0");
    }
}

TEST_F(DataTest, TextToNumberToTextKeepsSixteenDigits) {
    DataHandle value;
    setText(value.data, "1234567890.123456", kFMX_Number);
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Number);
    EXPECT_EQ(textOf(value.data), "1234567890.123456");
}

struct DateCase {
    const char* locale;
    const char* text;
    int64_t seconds;  // -1: does not read as a date
};

TEST_F(DataTest, TextsReadAsDatesByLocale) {
    const DateCase cases[] = {
        {"default", "6/12/2009", k20090612},
        {"default", "06/12/2009", k20090612},
        {"default", "  6/12/2009 ", k20090612},  // labels end with a blank
        {"default", "2009-06-12", k20090612},
        {"default", "12.6.2009", -1},
        {"default", "13/1/2009", -1},
        {"default", "2/29/2009", -1},
        {"default", "2/29/2008", 733100 * kDay},
        {"default", "2/29/1900", -1},
        {"default", "2/29/2000", 63087379200},
        {"default", "1/1/0001", 0},
        {"default", "12/31/9999", 3652058 * kDay},
        {"default", "6/12/09", -1},  // two-digit years are not guessed
        {"default", "Jun", -1},
        {"de", "12.6.2009", k20090612},
        {"de", "12.06.2009 ", k20090612},
        {"de", "2009-06-12", k20090612},
        {"de", "6/12/2009", -1},
        {"de", "31.12.1969", 719161 * kDay},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(fmhost_set_locale(c.locale), 0);
        DataHandle value;
        setText(value.data, c.text);
        FMX_Error err{1, 0};
        const int64_t seconds = secondsOf(FM_Data_GetAsDate(value.data, &err));
        EXPECT_EQ(seconds, c.seconds < 0 ? 0 : c.seconds) << c.locale << " " << c.text;
        // Storing the text as a date succeeds exactly when it reads as one.
        DataHandle stored;
        TextHandle text(c.text);
        FMX_Locale* locale = FM_Locale_Constructor1(1, &err);
        EXPECT_EQ(FM_Data_SetAsText(stored.data, text.text, locale, kFMX_Date, &err) == 0, c.seconds >= 0) << c.text;
        FM_Locale_Delete(locale, &err);
    }
}

TEST_F(DataTest, TextsReadAsTimesAndTimestamps) {
    const struct {
        const char* text;
        int64_t time;   // -1: not a time
        int64_t stamp;  // -1: not a timestamp
    } cases[] = {
        {"14:30:00", 52200, -1},
        {"14:30", 52200, -1},
        {" 9:05:07 ", 32707, -1},
        {"2:30 PM", 52200, -1},
        {"12:00 AM", 0, -1},
        {"12:15 pm", 44100, -1},
        {"25:00:00", 90000, -1},  // a duration
        {"14:60", -1, -1},
        {"14:5", -1, -1},
        {"13:00 PM", -1, -1},
        {"2009-06-12 14:30:00", 52200, k20090612 + 52200},
        {"2009-06-12T14:30:00", 52200, k20090612 + 52200},
        {"6/12/2009 14:30:00", 52200, k20090612 + 52200},
        {"6/12/2009", -1, k20090612},
        {"6/12/2009 24:00:00", -1, -1},
        {"6/12/200914:30", -1, -1},
    };
    for (const auto& c : cases) {
        DataHandle value;
        setText(value.data, c.text);
        FMX_Error err{1, 0};
        EXPECT_EQ(secondsOf(FM_Data_GetAsTime(value.data, &err)), c.time < 0 ? 0 : c.time) << c.text;
        EXPECT_EQ(secondsOf(FM_Data_GetAsTimeStamp(value.data, &err)), c.stamp < 0 ? 0 : c.stamp) << c.text;
    }
}

TEST_F(DataTest, DateTimesReadAsTextInTheLocaleForm) {
    const struct {
        const char* locale;
        int64_t seconds;
        int32_t type;
        const char* text;
    } cases[] = {
        {"default", k20090612 + 52200, kFMX_Date, "6/12/2009"},
        {"de", k20090612, kFMX_Date, "12.6.2009"},
        {"default", 0, kFMX_Date, "1/1/0001"},
        {"default", 52200, kFMX_Time, "14:30:00"},
        {"default", k20090612 + 32707, kFMX_Time, "9:05:07"},  // a timestamp stored as a time keeps its time
        {"default", k20090612 + 52200, kFMX_TimeStamp, "6/12/2009 14:30:00"},
        {"de", k20090612 + 52200, kFMX_TimeStamp, "12.6.2009 14:30:00"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(fmhost_set_locale(c.locale), 0);
        DataHandle value;
        setDateTime(value.data, c.seconds, c.type);
        FMX_Error err{1, 0};
        EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), c.type);
        EXPECT_EQ(textOf(value.data), c.text);
        // The text reads back as the same value.
        DataHandle back;
        setText(back.data, c.text, c.type);
        EXPECT_EQ(FM_Data_GetNativeType(back.data, &err), c.type) << c.text;
    }
}

TEST_F(DataTest, DatesAndNumbersCountDaysFromYearOne) {
    DataHandle date;
    setDateTime(date.data, k20090612, kFMX_Date);
    EXPECT_EQ(numberOf(date.data), 733570.0);  // 0001-01-01 is day 1

    DataHandle number;
    setNumber(number.data, 733570.75);
    FMX_Error err{1, 0};
    EXPECT_EQ(secondsOf(FM_Data_GetAsDate(number.data, &err)), k20090612);
    setNumber(number.data, 1);
    EXPECT_EQ(secondsOf(FM_Data_GetAsDate(number.data, &err)), 0);
    setNumber(number.data, -5);
    EXPECT_EQ(secondsOf(FM_Data_GetAsDate(number.data, &err)), 0);
    setNumber(number.data, 52200);
    EXPECT_EQ(secondsOf(FM_Data_GetAsTime(number.data, &err)), 52200);
    EXPECT_EQ(secondsOf(FM_Data_GetAsTimeStamp(number.data, &err)), 52200);
    setNumber(number.data, 1e300);
    EXPECT_EQ(secondsOf(FM_Data_GetAsTimeStamp(number.data, &err)), 0);

    DataHandle stamp;
    setDateTime(stamp.data, k20090612 + 52200, kFMX_TimeStamp);
    EXPECT_EQ(numberOf(stamp.data), static_cast<double>(k20090612 + 52200));
    EXPECT_EQ(secondsOf(FM_Data_GetAsDate(stamp.data, &err)), k20090612);
    EXPECT_EQ(secondsOf(FM_Data_GetAsTime(stamp.data, &err)), 52200);

    DataHandle time;
    setDateTime(time.data, 52200, kFMX_Time);
    EXPECT_EQ(numberOf(time.data), 52200.0);
}

TEST_F(DataTest, SettingReplacesTheWholeValue) {
    DataHandle value;
    setText(value.data, "abc");
    setNumber(value.data, 5);
    FMX_Error err{1, 0};
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Number);
    EXPECT_EQ(textOf(value.data), "5");

    FMX_BinaryData* binary = FM_BinaryData_Constructor1(&err);
    FMX_QuadChar* type = FM_QuadChar_Constructor2('G', 'I', 'F', 'f', &err);
    FM_BinaryData_Add(binary, type, 3, given("abc"), &err);
    FM_Data_SetBinaryData(value.data, binary, true, &err);
    EXPECT_EQ(err.code, 0);
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Container);
    EXPECT_EQ(numberOf(value.data), 0.0);
    EXPECT_EQ(FM_BinaryData_GetCount(FM_Data_GetBinaryData(value.data, &err), &err), 1);
    FM_BinaryData_RemoveAll(binary, &err);  // the value holds its own copy
    EXPECT_EQ(FM_BinaryData_GetCount(FM_Data_GetBinaryData(value.data, &err), &err), 1);

    setText(value.data, "x");
    EXPECT_EQ(FM_BinaryData_GetCount(FM_Data_GetBinaryData(value.data, &err), &err), 0);
    FM_QuadChar_Delete(type, &err);
    FM_BinaryData_Delete(binary, &err);
}

TEST_F(DataTest, AValueTakesItsLocaleFromTheHostOrTheSetter) {
    ASSERT_EQ(fmhost_set_locale("de"), 0);
    DataHandle value;
    FMX_Error err{1, 0};
    FMX_Locale* german = FM_Locale_Constructor1(1, &err);
    ASSERT_EQ(fmhost_set_locale("default"), 0);
    // Read by the German form the value was stored with, not the host's current one.
    TextHandle text("12.6.2009");
    ASSERT_EQ(FM_Data_SetAsText(value.data, text.text, german, kFMX_Text, &err), 0);
    EXPECT_EQ(secondsOf(FM_Data_GetAsDate(value.data, &err)), k20090612);
    FMX_Locale* copy = FM_Locale_Constructor1(1, &err);
    FM_Locale_operatorAS(copy, FM_Data_GetLocale(value.data, &err), &err);
    DataHandle other;
    ASSERT_EQ(FM_Data_SetAsText(other.data, text.text, copy, kFMX_Date, &err), 0);
    EXPECT_EQ(textOf(other.data), "12.6.2009");
    FM_Locale_Delete(copy, &err);
    FM_Locale_Delete(german, &err);
}

TEST_F(DataTest, UnknownLocaleNamesAreRefused) {
    EXPECT_EQ(fmhost_set_locale("de"), 0);
    EXPECT_EQ(fmhost_set_locale("DE_de"), 0);
    EXPECT_NE(fmhost_set_locale("klingon"), 0);
    EXPECT_NE(fmhost_set_locale(nullptr), 0);
}

TEST_F(DataTest, SetAsNumberIntoOtherTypes) {
    DataHandle value;
    FMX_Error err{1, 0};
    FMX_FixPt* number = FM_FixPt_Constructor1(0, 16, &err);
    FM_FixPt_AssignInt(number, 733570, &err);
    FM_Data_SetAsNumber(value.data, number, kFMX_Date, &err);
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Date);
    EXPECT_EQ(textOf(value.data), "6/12/2009");
    FM_Data_SetAsNumber(value.data, number, kFMX_Text, &err);
    EXPECT_EQ(FM_Data_GetNativeType(value.data, &err), kFMX_Text);
    EXPECT_EQ(textOf(value.data), "733570");
    EXPECT_EQ(err.code, kFMX_ErrorNone);
    FM_Data_SetAsNumber(value.data, number, 99, &err);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    FM_FixPt_Delete(number, &err);
}

// Threads may read one value at once: a converted view, once built, keeps its storage while the
// value is unchanged, so a reader holding it never sees it rewritten or freed by another.
TEST_F(DataTest, ConvertedViewsStayPutForReadersInOtherThreads) {
    DataHandle value;
    setDateTime(value.data, k20090612 + 52200, kFMX_TimeStamp);
    FMX_Error err{1, 0};
    const FMX_Text* view = FM_Data_GetAsText(value.data, &err);
    const char16_t* storage = view->units.data();
    const std::string expected = bytesOf(view);
    std::atomic<int> moved{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 4; ++t) {
        readers.emplace_back([&] {
            for (int i = 0; i < 500; ++i) {
                FMX_Error e{1, 0};
                const FMX_Text* again = FM_Data_GetAsText(value.data, &e);
                if (again != view || again->units.data() != storage || bytesOf(again) != expected) ++moved;
                FM_Data_GetAsNumber(value.data, &e);
                FM_Data_GetAsDate(value.data, &e);
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(moved.load(), 0);
    EXPECT_EQ(expected, "6/12/2009 14:30:00");
    setNumber(value.data, 2.5);  // a changed value gets fresh views
    EXPECT_EQ(textOf(value.data), "2.5");
}

TEST_F(DataTest, VectorsCopyTheirValuesAndCheckPositions) {
    FMX_Error err{1, 0};
    FMX_DataVect* args = FM_DataVect_Constructor1(&err);
    {
        DataHandle first, second;
        setText(first.data, "12 apples");
        setNumber(second.data, -3.75);
        FM_DataVect_PushBack(args, first.data, &err);
        FM_DataVect_PushBack(args, second.data, &err);
        setText(first.data, "changed");
    }
    EXPECT_EQ(FM_DataVect_Size(args, &err), 2u);
    EXPECT_EQ(bytesOf(FM_DataVect_AtAsText(args, 0, &err)), "12 apples");
    EXPECT_EQ(FM_FixPt_AsLong(FM_DataVect_AtAsNumber(args, 0, &err), &err), 12);
    EXPECT_EQ(FM_FixPt_AsLong(FM_DataVect_AtAsNumber(args, 1, &err), &err), -3);
    EXPECT_EQ(bytesOf(FM_DataVect_AtAsText(args, 1, &err)), "-3.75");
    EXPECT_EQ(FM_BinaryData_GetCount(FM_DataVect_AtAsBinaryData(args, 1, &err), &err), 0);
    EXPECT_EQ(err.code, 0);

    EXPECT_EQ(FM_DataVect_At(args, 2, &err), nullptr);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    err.code = 0;
    EXPECT_EQ(FM_DataVect_AtAsText(args, 0xFFFFFFFFu, &err), nullptr);
    EXPECT_EQ(err.code, kFMX_ErrorOther);
    FM_DataVect_Delete(args, &err);
}

}  // namespace
