// Label texts: checked printf formats, y labels of every kind, second-axis labels.
#include "graph_test_support.h"

namespace plotwise::test {
namespace {

class LabelText : public GraphTest {};

TEST_F(LabelText, FormatsAreCheckedBeforeUse) {
    struct Case {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"%.2f", 2.5, "2.50"},
        {"%5.1e", 1234, "1.2e+03"},
        {"%%%.1f%%", 2.5, "%2.5%"},
        {"Vol %g units", 3, "Vol 3 units"},
        {"%lf", 1.5, "1.500000"},
        {"plain", 7, "plain"},
        {"%d", 2.7, "3"},           // not a floating-point conversion: "%.0f"
        {"%s", 1, "1"},
        {"%n", 1, "1"},
        {"%.1f %.1f", 1, "1"},      // two conversions
        {"%*f", 1, "1"},
        {"%1000f", 1, "1"},         // absurd width
        {"%Lf", 1, "1"},
        {"%", 4, "4"},
        {nullptr, 4.4, "4"},
    };
    for (const Case& c : cases) EXPECT_EQ(format_value(c.format, c.value), c.text) << (c.format ? c.format : "null");
}

// Automatic steps of an axis beyond a float's whole numbers are round; given steps, and axes
// a float holds exactly, keep theirs. Automatic labels show 7 significant digits.
TEST_F(LabelText, HugeAxesStepInRoundNumbersAndShowSevenDigits) {
    struct Case {
        float label;       // given label step, or NoValue
        double range, magnitude;
        bool round;
        double expected;   // label step
    } cases[] = {
        {NoValue, 65e9, 65e9, true, 2e10},          // 65e9 / 4 = 16.25e9 points
        {NoValue, 64e9, 64e9, true, 2e10},
        {NoValue, 7.5e15, 7.5e15, true, 2e15},
        {NoValue, 65e9, 65e9, false, 16.25e9},      // date axes keep their steps
        {NoValue, 9, 9, true, 2.25},                // below 2^24: as before
        {3e9f, 65e9, 65e9, true, 3e9},              // given
    };
    for (const Case& c : cases) {
        const AxisSteps s = axis_steps(NoValue, NoValue, c.label, c.range, c.range / 4, c.range / 4, 400, 0,
                                       c.magnitude, c.round);
        EXPECT_DOUBLE_EQ(s.label, c.expected) << c.range;
    }
    GraphLayout L;
    L.fraction_labels = true;
    ChartOptions& o = engineOptions();
    o.y_value_kind = 0;
    EXPECT_EQ(y_label_text(L, o, 21333334016.0f, 5e9f).whole, "21333330000");
    EXPECT_EQ(y_label_length(L, o, 1.25e15f, 2.5e14f), 16);  // "1250000000000000"
    EXPECT_EQ(y2_label_text(o, 4249999872.0), "4250000000");
}

TEST_F(LabelText, PrintfFormatsSelectTheDecimalTable) {
    EXPECT_FALSE(is_printf_format(nullptr));
    EXPECT_FALSE(is_printf_format("abc"));
    EXPECT_TRUE(is_printf_format("%.1f"));
    EXPECT_TRUE(is_printf_format("value"));  // holds an 'e'
}

TEST_F(LabelText, YLabelsOfEachKind) {
    GraphLayout L;
    L.fraction_labels = true;
    ChartOptions& o = engineOptions();
    o.y_value_kind = 0;
    EXPECT_EQ(y_label_text(L, o, 20, 10).whole, "20");
    YLabelText half = y_label_text(L, o, 2.5f, 0.5f);
    EXPECT_EQ(half.whole, "2");
    EXPECT_EQ(half.numerator, 1);
    EXPECT_EQ(half.denominator, 2);
    YLabelText quarter = y_label_text(L, o, 0.75f, 0.25f);
    EXPECT_EQ(quarter.whole, "");  // "3/4", not "0 3/4"
    EXPECT_EQ(quarter.numerator, 3);
    EXPECT_EQ(quarter.denominator, 4);
    YLabelText negative = y_label_text(L, o, -0.5f, 0.5f);
    EXPECT_EQ(negative.whole, "-");
    EXPECT_EQ(negative.numerator, 1);
    EXPECT_EQ(y_label_text(L, o, 3, 0.5f).denominator, 0);
    EXPECT_EQ(y_label_length(L, o, 2.5f, 0.5f), 5);  // "2 1/2"
    L.fraction_labels = false;
    o.ylabel_format = "%.2f";
    EXPECT_EQ(y_label_text(L, o, 2.5f, 0.5f).whole, "2.50");
    o.y_value_kind = 1;
    o.ylabel_value_format = "#,###.##";
    EXPECT_EQ(y_label_text(L, o, 1234.5f, 10).whole, "1,234.50");
    o.y_value_kind = 4;
    o.ylabel_value_format = "%H:%M";
    EXPECT_EQ(y_label_text(L, o, 45296, 10).whole, "12:34");
    EXPECT_EQ(y_label_text(L, o, 86400, 10).whole, "00:00");  // a duration of a day: %H is its hour of the day
    EXPECT_EQ(y_label_text(L, o, -1, 10).whole, "Err");     // the formatter refuses a time before midnight
    EXPECT_EQ(y_label_length(L, o, 0, 10), 5);
    o.ylabel_value_format = "";  // no text at all: counted as 3 characters
    o.y_value_kind = 3;
    EXPECT_EQ(y_label_length(L, o, 0, 10), 3);
}

TEST_F(LabelText, SecondAxisZero) {
    ChartOptions& o = engineOptions();
    EXPECT_EQ(y2_label_text(o, -0.3), "0");  // "-0" reads back as 0
    EXPECT_EQ(y2_label_text(o, 52.27), "52");
    o.ylabel2_format = "%.1f";
    EXPECT_EQ(y2_label_text(o, -0.01), "0");
    EXPECT_EQ(y2_label_text(o, -0.5), "-0.5");
    o.ylabel2_format = "Vol %.0f";
    EXPECT_EQ(y2_label_text(o, 0), "Vol 0");
}

}  // namespace
}  // namespace plotwise::test
