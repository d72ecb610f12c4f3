// Plotz_Data: the three kinds of data text, combining by X label, field references read record
// by record, the limits and the error codes.
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "definition/codec.h"
#include "definition/data_text.h"
#include "definition/field_reference.h"
#include "driver/pie_default_colors.h"
#include "engine/chart_options.h"
#include "tests/driver/script_harness.h"

namespace plotwise {
namespace {

using testing::Chart;
using testing::ScriptTest;
using testing::chartOf;
using testing::newChart;
using testing::num;
using testing::text;

const ChartDefinition& def() { return testing::lastDefinition(); }

std::string numberList(int count, int start = 1) {
    std::string s;
    for (int i = 0; i < count; ++i) s += (i ? ";" : "") + std::to_string(start + i);
    return s;
}

// ---- Data texts -------------------------------------------------------------------------------

template <class Pieces>
std::vector<std::string_view> piecesOf(std::string_view text) {
    Pieces pieces(text);
    std::vector<std::string_view> out;
    for (std::string_view piece; pieces.next(piece);) out.push_back(piece);
    return out;
}

TEST(DataText, KindsFollowSeparatorsTheNumericSetAndTheLocale) {
    struct Case {
        const char* text;
        bool decimalComma;
        DataTextKind kind;
    } cases[] = {
        {"", false, DataTextKind::Number},
        {"12.5", false, DataTextKind::Number},
        {"-1e3", false, DataTextKind::Number},
        {"1.2E-6", false, DataTextKind::Number},
        {"Orders::Month", false, DataTextKind::FieldReference},
        {"Sales", false, DataTextKind::FieldReference},
        {"1;2;3", false, DataTextKind::NumberList},
        {"1\r2", false, DataTextKind::NumberList},
        {"1.5;2.5", false, DataTextKind::NumberList},            // 2 dots, 1 separator: at most 2
        {"1.5.5;2.5", false, DataTextKind::TextList},            // 3 dots for 1 separator
        {"1,5;2", false, DataTextKind::NumberList},              // "," is in the numeric set
        {"Jan;Feb", false, DataTextKind::TextList},
        {"1;2;E5", false, DataTextKind::NumberList},             // a capital E is an exponent too
        {"1.234.567;2.345.678", true, DataTextKind::NumberList}, // dots that group thousands
        {"1.234.567;2.345.678", false, DataTextKind::TextList},
        {"12.06.2009;13.06.2009", true, DataTextKind::TextList}, // dates stay names
        {"120;135;n/a;150", false, DataTextKind::WrittenNumbers}, // a missing-value marker
        {"$9;$1,299.50;12%", false, DataTextKind::WrittenNumbers},
        {"1 234,56 €;2 000", true, DataTextKind::WrittenNumbers},
        {"Low;Medium;High", false, DataTextKind::TextList},
        {"120;abc;150", false, DataTextKind::TextList},          // a word that is neither
        {"n/a;N/A;?", false, DataTextKind::TextList},            // no number at all
        {"2024 Q1;2024 Q2", false, DataTextKind::TextList},      // codes are no numbers
    };
    for (const Case& c : cases)
        EXPECT_EQ(classifyDataText(c.text, numberMarks(c.decimalComma)), c.kind) << c.text << " " << c.decimalComma;
}

TEST(DataText, TextListsKeepEveryPieceButOneEmptyAtTheEnd) {
    struct Case {
        const char* text;
        std::vector<std::string_view> pieces;
    } cases[] = {
        {"a;;b", {"a", "", "b"}},
        {"North;South;East;", {"North", "South", "East"}},
        {"a;b;;", {"a", "b", ""}},  // only one empty piece at the end is dropped
        {"a\rb\r", {"a", "b"}},
        {";a", {"", "a"}},
    };
    for (const Case& c : cases) EXPECT_EQ(piecesOf<TextPieces>(c.text), c.pieces) << c.text;
}

TEST(DataText, NumberPiecesKeepTheirPlaceBetweenPieces) {
    struct Case {
        const char* text;
        std::vector<std::string_view> pieces;
    } cases[] = {
        {"10;;30;;50", {"10", "", "30", "", "50"}},
        {"1\r\r2", {"1", "", "2"}},
        {"10;20;", {"10", "20"}},           // trailing separators add nothing
        {";;10;20", {"10", "20"}},          // nor do leading ones
        {"10; ;20;\n; ", {"10", "", "20"}},  // blanks count as empty
        {"1;;;2;;", {"1", "", "", "2"}},
        {"", {}},
        {" ", {}},
        {"7", {"7"}},
    };
    for (const Case& c : cases) EXPECT_EQ(piecesOf<NumberPieces>(c.text), c.pieces) << c.text;
}

TEST(DataText, PieceNumbersWithTheLocalesMarks) {
    struct Case {
        const char* piece;
        bool decimalComma;
        std::optional<double> value;
    } cases[] = {
        {"1,5", false, 1.0},  // a comma that groups no thousands ends the number
        {"1,5", true, 1.5},
        {"-2,75", true, -2.75},
        {"1.5", true, 1.5},
        {" 2.5e1", false, 25.0},
        {"1.2E-6", false, 1.2e-6},
        {"12", true, 12.0},
        {"1,234.50", false, 1234.5},
        {"1,234,567", false, 1234567.0},
        {"1.234,50", true, 1234.5},
        {"1.234,50", false, 1.234},
        {"1,2345", false, 1.0},  // four digits after the mark: not a group
        {"", false, std::nullopt},
        {" ", true, std::nullopt},
        {"-", false, std::nullopt},
        {",", true, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pieceNumber(c.piece, numberMarks(c.decimalComma)), c.value) << c.piece << " " << c.decimalComma;
}

TEST(FieldReferenceText, RangesAndTheirAbsence) {
    FieldReference r = parseFieldReference("Orders::Month(2-4)");
    EXPECT_EQ(r.field, "Orders::Month");
    EXPECT_TRUE(r.bounded);
    EXPECT_EQ(r.first, 2);
    EXPECT_EQ(r.last, 4);

    r = parseFieldReference("Orders::Month");
    EXPECT_EQ(r.field, "Orders::Month");
    EXPECT_FALSE(r.bounded);
    EXPECT_EQ(r.first, 1);

    r = parseFieldReference("Orders::Month(5-2)");  // backwards: the whole found set
    EXPECT_EQ(r.field, "Orders::Month");
    EXPECT_FALSE(r.bounded);
    EXPECT_EQ(r.first, 1);

    r = parseFieldReference("Orders::Month(0-3)");  // records count from 1
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(r.last, 3);

    EXPECT_EQ(recordExpression("Orders::Month", 7), "GetNthRecord ( Orders::Month ; 7 )");
}

// ---- Lists --------------------------------------------------------------------------------------

class DataFunction : public ScriptTest {};

TEST_F(DataFunction, NumbersCombineIntoPointsWithBlankEndedLabels) {
    data(newChart(), "1;2;3", "10;20;30");
    ASSERT_EQ(def().header().seriesCount, 1u);
    ASSERT_EQ(def().header().valueCount, 3u);
    EXPECT_EQ(def().header().errorCode, 0u);
    const char* labels[] = {"1 ", "2 ", "3 "};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(def().xLabel[0][i], labels[i]);
        EXPECT_STREQ(def().yLabel[0][i], " ");
        EXPECT_EQ(def().series[0].x[i], i + 1.0f);
        EXPECT_EQ(def().series[0].y[i], 10.0f * (i + 1));
    }
    EXPECT_EQ(def().series[0].color, 0xFF0000u);
}

TEST_F(DataFunction, EqualCategoriesAreSummedKeepingTheLatestXValue) {
    data(newChart(), "A;B;A", "1;2;3");
    ASSERT_EQ(def().header().valueCount, 2u);
    EXPECT_STREQ(def().xLabel[0][0], "A ");
    EXPECT_STREQ(def().xLabel[0][1], "B ");
    EXPECT_EQ(def().series[0].y[0], 4.0f);
    EXPECT_EQ(def().series[0].y[1], 2.0f);
    EXPECT_EQ(def().series[0].x[0], 2.0f);
    EXPECT_EQ(def().series[0].x[1], 1.0f);
}

TEST_F(DataFunction, CategoryNamesAsYStorePlainly) {
    data(newChart(), "A;B;A", "x;y;z");
    ASSERT_EQ(def().header().valueCount, 3u);
    const char* x[] = {"A ", "B ", "A "};
    const char* y[] = {"x ", "y ", "z "};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(def().xLabel[0][i], x[i]);
        EXPECT_STREQ(def().yLabel[0][i], y[i]);
        EXPECT_EQ(def().series[0].y[i], static_cast<float>(i));
    }
}

TEST_F(DataFunction, EmptyNumberPiecesArePointsWithoutAValue) {
    constexpr float M = NoValue;
    struct Case {
        const char* x;
        const char* y;
        std::vector<float> xs, ys;
    } cases[] = {
        {"Jan;Feb;Mar;Apr;May", "10;;30;;50", {0, 1, 2, 3, 4}, {10, M, 30, M, 50}},
        {"1;;3", "10;20;30", {1, M, 3}, {10, 20, 30}},
        {"A;B;C", "10;20;", {0, 1, 2}, {10, 20, M}},   // no Y value past the last piece
        {"A;B;A", "1;;3", {2, 1}, {4, M}},            // an entry of missing values stays missing
        {"A;B;A;B", "1;;3;4", {2, 3}, {4, 4}},        // a missing value adds nothing
        {"A;B", "-;7", {0, 1}, {M, 7}},               // no number in the piece
        {"", "5", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.x) + " / " + c.y);
        data(newChart(), c.x, c.y);
        ASSERT_EQ(def().header().valueCount, c.xs.size());
        EXPECT_EQ(def().header().errorCode, 0u);
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            EXPECT_EQ(def().series[0].x[i], c.xs[i]) << i;
            EXPECT_EQ(def().series[0].y[i], c.ys[i]) << i;
            EXPECT_STREQ(def().yLabel[0][i], " ");  // combined, never switched to plain storage
        }
    }
    data(newChart(), "1;;3", "5;6;7");
    EXPECT_STREQ(def().xLabel[0][1], " ");
    data(newChart(), "a;;b", "5;6;7");
    ASSERT_EQ(def().header().valueCount, 3u);
    EXPECT_STREQ(def().xLabel[0][1], " ");
}

TEST_F(DataFunction, DecimalCommaWhereTheCallingLocaleWritesOne) {
    struct Case {
        const char* locale;
        const char* x;
        const char* y;
        std::vector<float> xs, ys;
    } cases[] = {
        {"de", "0,5;1,25", "1,5;2,75", {0.5f, 1.25f}, {1.5f, 2.75f}},
        {"de", "1", "-0,25", {1}, {-0.25f}},
        {"de", "1;2", "1.5;2", {1, 2}, {1.5f, 2}},
        {"default", "0,5;1,25", "1,5;2,75", {0, 1}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + ": " + c.y);
        fmhost_set_locale(c.locale);
        data(newChart(), c.x, c.y);
        ASSERT_EQ(def().header().valueCount, c.xs.size());
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            EXPECT_EQ(def().series[0].x[i], c.xs[i]) << i;
            EXPECT_EQ(def().series[0].y[i], c.ys[i]) << i;
        }
    }
    EXPECT_STREQ(def().xLabel[0][0], "0,5 ");  // labels keep the text as written
}

// A list of numbers as people write them, with markers where a value is missing, is a list of
// numbers: each number at its value, each marker a missing value. Only a word that is neither
// keeps the list one of category names.
TEST_F(DataFunction, ListsOfNumbersAsPeopleWriteThem) {
    constexpr float M = NoValue;
    struct Case {
        const char* locale;
        const char* y;
        std::vector<float> ys;
    } cases[] = {
        {"default", "120;135;n/a;150", {120, 135, M, 150}},
        {"default", "1;N/A;na;-;\u2013;\u2014;?;#N/A;#n/a;5", {1, M, M, M, M, M, M, M, M, 5}},
        {"default", "$9;$1,299.50;12%", {9, 1299.5f, 12}},
        {"default", "\u00A5300;300 \u00A5;\u00A34.50;7 \u20AC;$ -2", {300, 300, 4.5f, 7, -2}},
        {"default", "\u22125;\u22121,200;+3", {-5, -1200, 3}},
        {"default", "(11,250);(1,200.50);($5)", {-11250, -1200.5f, -5}},
        {"default", "560 kg;1 234 567;1\u00A0234;1\u202F234.5", {560, 1234567, 1234, 1234.5f}},
        {"de", "1 234,56 \u20AC;1\u202F234,5;1.234,5;n/a", {1234.56f, 1234.5f, 1234.5f, M}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        fmhost_set_locale(c.locale);
        std::string x;
        for (std::size_t i = 0; i < c.ys.size(); ++i) x += (i ? ";P" : "P") + std::to_string(i);
        data(newChart(), x, c.y);
        ASSERT_EQ(def().header().valueCount, c.ys.size());
        for (std::size_t i = 0; i < c.ys.size(); ++i) {
            EXPECT_EQ(def().series[0].y[i], c.ys[i]) << i;
            EXPECT_STREQ(def().yLabel[0][i], " ") << i;  // numbers, never category names
        }
    }
    fmhost_set_locale("default");
    // Words keep the list one of names, each at its place.
    data(newChart(), "a;b;c", "Low;n/a;High");
    EXPECT_EQ(def().series[0].y[2], 2.0f);
    EXPECT_STREQ(def().yLabel[0][1], "n/a ");
}

// A record's text among numbers that does not say a value is missing is drawn as missing and
// counted in the series, so that the picture can say how many values could not be read.
TEST_F(DataFunction, TextsAmongNumbersAreCountedAsUnreadable) {
    using Cell = testing::RecordTable::Cell;
    const auto t = [](const char* s) { return Cell(std::string(s)); };
    struct Case {
        const char* name;
        std::vector<Cell> x, y;
        uint32_t unreadable;
    } cases[] = {
        {"texts among Y numbers", {1.0, 2.0, 3.0, 4.0, 5.0}, {10.0, t("12 units"), t("n/a"), t("pending"), 50.0}, 2},
        {"markers only", {1.0, 2.0, 3.0}, {10.0, t("-"), t("")}, 0},
        {"a column of names", {1.0, 2.0}, {t("x"), t("y")}, 0},
        {"texts among X numbers", {1.0, t("soon"), 3.0}, {1.0, 2.0, 3.0}, 1},
        {"a column of X names", {t("Jan"), t("Feb")}, {1.0, 2.0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        records.fields["T::X"] = c.x;
        records.fields["T::Y"] = c.y;
        data(newChart(), "T::X", "T::Y");
        EXPECT_EQ(def().series[0].unreadable, c.unreadable);
    }
}

TEST_F(DataFunction, YShorterLeavesMissingValuesLongerIsIgnored) {
    data(newChart(), "1;2;3", "7");
    ASSERT_EQ(def().header().valueCount, 3u);
    EXPECT_EQ(def().series[0].y[0], 7.0f);
    EXPECT_EQ(def().series[0].y[1], NoValue);
    EXPECT_EQ(def().series[0].y[2], NoValue);
    data(newChart(), "A;B;C", "x;y");  // names, stored plainly
    EXPECT_EQ(def().series[0].y[2], NoValue);
    data(newChart(), "1;2", "7;8;9;10");
    ASSERT_EQ(def().header().valueCount, 2u);
    EXPECT_EQ(def().series[0].y[1], 8.0f);
    EXPECT_EQ(def().series[0].y[2], 0.0f);  // cleared, not the 9 of the longer list
}

TEST_F(DataFunction, SeriesOfDifferentLengthsShareTheLongestCount) {
    constexpr float M = NoValue;
    struct Case {
        const char *x1, *y1, *x2, *y2;
        std::vector<float> ys1, ys2;
        std::vector<std::string> labels;  // the first series' X labels, which the drawing shows
    } cases[] = {
        {"Jan;Feb;Mar;Apr", "1;2;3;4", "Jan;Feb", "5;6", {1, 2, 3, 4}, {5, 6, M, M}, {"Jan ", "Feb ", "Mar ", "Apr "}},
        {"Jan;Feb", "5;6", "Jan;Feb;Mar;Apr", "1;2;3;4", {5, 6, M, M}, {1, 2, 3, 4}, {"Jan ", "Feb ", "Mar ", "Apr "}},
        {"1;2", "5;6", "1;2", "7;8", {5, 6}, {7, 8}, {"1 ", "2 "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.x1) + " then " + c.x2);
        Chart chart = data(newChart(), c.x1, c.y1);
        data(chart, c.x2, c.y2);
        ASSERT_EQ(def().header().valueCount, c.ys1.size());
        for (std::size_t i = 0; i < c.ys1.size(); ++i) {
            EXPECT_EQ(def().series[0].y[i], c.ys1[i]) << i;
            EXPECT_EQ(def().series[1].y[i], c.ys2[i]) << i;
            EXPECT_EQ(def().xLabel[0][i], c.labels[i]) << i;
            // no XY point either
            if (c.ys1[i] == M) {
                EXPECT_EQ(def().series[0].x[i], M) << i;
            }
            if (c.ys2[i] == M) {
                EXPECT_EQ(def().series[1].x[i], M) << i;
            }
        }
    }
}

TEST_F(DataFunction, NumbersWrittenWithGroupingMarks) {
    struct Case {
        const char* locale;
        const char* y;
        std::vector<float> ys;
    } cases[] = {
        {"default", "1,234.50;2,480.00", {1234.5f, 2480}},
        {"de", "1.234,50;2.480,00", {1234.5f, 2480}},
        {"default", "1.2E-6;3E2", {1.2e-6f, 300}},
        {"default", "1,23;x", {}},  // a name among them: a list of names
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + ": " + c.y);
        fmhost_set_locale(c.locale);
        data(newChart(), "A;B", c.y);
        for (std::size_t i = 0; i < c.ys.size(); ++i) EXPECT_EQ(def().series[0].y[i], c.ys[i]) << i;
        if (c.ys.empty()) {
            EXPECT_STREQ(def().yLabel[0][0], "1,23 ");
        }
    }
}

TEST_F(DataFunction, AFinalSeparatorAddsNoCategory) {
    for (const char* x : {"North;South;East;", "North\rSouth\rEast\r"}) {
        data(newChart(), x, "1;2;3");
        EXPECT_EQ(def().header().valueCount, 3u) << x;
        EXPECT_STREQ(def().xLabel[0][2], "East ");
    }
}

TEST_F(DataFunction, ValuesNoFloatHoldsAreMissing) {
    constexpr float M = NoValue;
    const double inf = std::numeric_limits<double>::infinity();
    records.fields["T::X"] = {1.0, 2.0, 3.0, 4.0, 5.0};
    records.fields["T::Y"] = {inf, std::nan(""), 1e39, -inf, 7.0};
    data(newChart(), "T::X", "T::Y");
    EXPECT_EQ(def().series[0].y[0], M);
    EXPECT_EQ(def().series[0].y[1], M);
    EXPECT_EQ(def().series[0].y[2], M);
    EXPECT_EQ(def().series[0].y[3], M);
    EXPECT_EQ(def().series[0].y[4], 7.0f);
    data(newChart(), "A;B;A", "1e400;2;3");  // the sum of what is there
    EXPECT_EQ(def().series[0].y[0], 3.0f);
    data(newChart(), "A;A", "3e38;3e38");  // a sum beyond the float range
    EXPECT_EQ(def().series[0].y[0], M);
}

TEST_F(DataFunction, SeriesAccumulateAndTheNewOneIsCleared) {
    Chart c = data(newChart(), "1;2;3", "1;1;1", 0x00FF00, "First");
    data(c, "1;2;3", "5;6;7", 0x0000FF, "Second");
    EXPECT_EQ(def().header().seriesCount, 2u);
    EXPECT_STREQ(def().series[0].name, "First");
    EXPECT_STREQ(def().series[1].name, "Second");
    EXPECT_EQ(def().series[1].color, 0x0000FFu);
    EXPECT_EQ(def().series[1].y[1], 6.0f);
    EXPECT_EQ(def().series[1].y[3], 0.0f);
}

TEST_F(DataFunction, ThousandPointsFitAndOneMoreIsAnError) {
    for (bool names : {false, true}) {
        SCOPED_TRACE(names ? "plain" : "combining");
        // Y as category names stores plainly; as numbers, combines (all X labels differ).
        std::string y = names ? "n" + std::string(999, ';') : numberList(1000);
        data(newChart(), numberList(1000), y);
        EXPECT_EQ(def().header().valueCount, 1000u);
        EXPECT_EQ(def().header().errorCode, 0u);
        EXPECT_STREQ(def().xLabel[0][999], "1000 ");
        data(newChart(), numberList(1001), names ? y + ";m" : numberList(1001));
        EXPECT_EQ(def().header().valueCount, 1001u);
        EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorTooManyValues));
    }
}

TEST_F(DataFunction, CombiningStopsAtTheThousandAndFirstCategory) {
    // 1001 distinct labels, then a repeat of the first: combining stops at the 1001st.
    data(newChart(), numberList(1001) + ";1", numberList(1002));
    EXPECT_EQ(def().header().valueCount, 1001u);
    EXPECT_EQ(def().series[0].y[0], 1.0f);  // the repeat after the stop is not added
    EXPECT_EQ(def().series[0].y[999], 1000.0f);
}

TEST_F(DataFunction, TextOutsideAContainerStartsANewDefinitionWithNameFourth) {
    Chart c = data(newChart(), "1;2", "1;2");
    data(c, "1;2", "3;4");
    chartOf(Plotz_Data, {text("Jan;Feb"), text("3;4"), num(0x123456), text("Fresh")}, env());
    EXPECT_EQ(def().header().seriesCount, 1u);
    EXPECT_STREQ(def().header().chartTitle, "");
    EXPECT_STREQ(def().series[0].name, "Fresh");
    EXPECT_EQ(def().series[0].color, 0x123456u);
    EXPECT_STREQ(def().xLabel[0][1], "Feb ");
}

TEST_F(DataFunction, AContainerWithoutColourGivesEachSeriesItsOwnColour) {
    Chart c = newChart();
    c = chartOf(Plotz_Data, {c, text("1;2"), text("3;4")}, env());
    c = chartOf(Plotz_Data, {c, text("1;2"), text("5;6")}, env());
    ASSERT_EQ(def().header().seriesCount, 2u);
    EXPECT_EQ(def().series[0].color, pieDefaultColors()[0]);
    EXPECT_EQ(def().series[1].color, pieDefaultColors()[1]);
    EXPECT_NE(def().series[0].color, def().series[1].color);
}

TEST_F(DataFunction, AHundredAndFirstSeriesIsAnErrorAndChangesNothingElse) {
    Chart c = newChart();
    for (int s = 0; s < kMaxSeries; ++s) c = data(c, "1;2;3", "1;2;3");
    ASSERT_EQ(def().header().seriesCount, 100u);
    ASSERT_EQ(def().header().errorCode, 0u);
    data(c, "1;2;3;4;5", "9;9;9;9;9");
    EXPECT_EQ(def().header().seriesCount, 100u);
    EXPECT_EQ(def().header().valueCount, 3u);
    EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorData));
    EXPECT_EQ(def().series[99].y[2], 3.0f);
}

TEST_F(DataFunction, TooFewArgumentsAreAnError) {
    const testing::Outcome o = testing::call(Plotz_Data, {text("1;2"), text("3;4")}, env());
    ASSERT_TRUE(o.isChart());
    EXPECT_EQ(testing::blockOf(o.chart).header.errorCode, static_cast<uint32_t>(kErrorData));
}

TEST_F(DataFunction, LabelsAreCutAtACharacterBoundary) {
    std::string word;
    for (int i = 0; i < 20; ++i) word += "\xC3\xA9";  // 20 x "é", 40 bytes
    data(newChart(), word + ";b", "1;2");
    EXPECT_EQ(std::string(def().xLabel[0][0]), word.substr(0, 30));  // 31 would split an "é"
}

// ---- Field references ---------------------------------------------------------------------------

TEST_F(DataFunction, ARangeReadsJustThoseRecords) {
    records.fields["Orders::Month"] = {std::string("Jan"), std::string("Feb"), std::string("Mar"),
                                       std::string("Apr"), std::string("May")};
    data(newChart(), "Orders::Month(2-4)", "1;2;3");
    EXPECT_EQ(records.evaluated, (std::vector<std::string>{"GetNthRecord ( Orders::Month ; 2 )",
                                                           "GetNthRecord ( Orders::Month ; 3 )",
                                                           "GetNthRecord ( Orders::Month ; 4 )"}));
    ASSERT_EQ(def().header().valueCount, 3u);
    EXPECT_STREQ(def().xLabel[0][0], "Feb ");
    EXPECT_STREQ(def().xLabel[0][2], "Apr ");
    EXPECT_EQ(def().series[0].x[0], 0.0f);  // text records give no X value
}

TEST_F(DataFunction, RecordsAreReadToTheEndOfTheFoundSet) {
    records.fields["T::X"] = {1.0, 2.0, 3.5};
    records.fields["T::Y"] = {10.0, 20.0, 30.0, 40.0};
    data(newChart(), "T::X", "T::Y");
    ASSERT_EQ(def().header().valueCount, 3u);
    EXPECT_STREQ(def().xLabel[0][2], "3.5 ");
    EXPECT_EQ(def().series[0].x[2], 3.5f);
    EXPECT_EQ(def().series[0].y[2], 30.0f);
}

TEST_F(DataFunction, EmptyAndTextRecordsAmongNumbersAreMissingValues) {
    using Cell = testing::RecordTable::Cell;
    constexpr float M = NoValue;
    const std::string none, na = "n/a";
    const Cell empty = testing::EmptyNumber{};
    struct Case {
        const char* name;
        std::vector<Cell> x, y;
        std::vector<float> xs, ys;
        std::vector<std::string> yLabels;
    } cases[] = {
        {"gaps in amounts", {1.0, 2.0, 3.0, 4.0}, {10.0, none, na, 40.0}, {1, 2, 3, 4}, {10, M, M, 40},
         {" ", " ", " ", " "}},
        {"orders per month", {std::string("Jan"), std::string("Jan"), std::string("Feb"), std::string("Feb")},
         {5.0, none, na, 7.0}, {0, 0}, {5, 7}, {" ", " "}},
        {"nothing entered", {1.0, 2.0}, {none, none}, {1, 2}, {M, M}, {" ", " "}},
        {"names alone", {1.0, 2.0, 3.0}, {std::string("x"), none, std::string("z")}, {1, 2, 3}, {0, M, 2},
         {"x ", " ", "z "}},  // an empty label is stored as a blank
        {"empty number fields", {1.0, empty, 3.0}, {10.0, empty, 30.0}, {1, M, 3}, {10, M, 30}, {" ", " ", " "}},
        {"a zero amount", {1.0, 2.0, 3.0}, {10.0, 0.0, 30.0}, {1, 2, 3}, {10, 0, 30}, {" ", " ", " "}},
        {"gaps in x", {1.0, none, na, 4.0}, {1.0, 2.0, 3.0, 4.0}, {1, M, M, 4}, {1, 2, 3, 4},
         {" ", " ", " ", " "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        records.fields["T::X"] = c.x;
        records.fields["T::Y"] = c.y;
        data(newChart(), "T::X", "T::Y");
        ASSERT_EQ(def().header().valueCount, c.xs.size());
        for (std::size_t i = 0; i < c.xs.size(); ++i) {
            EXPECT_EQ(def().series[0].x[i], c.xs[i]) << i;
            EXPECT_EQ(def().series[0].y[i], c.ys[i]) << i;
            EXPECT_EQ(def().yLabel[0][i], c.yLabels[i]) << i;
        }
    }
    // The X labels of texts and empty records stay what the records hold; a column of names alone
    // gives Y labels and stores plainly.
    EXPECT_STREQ(def().xLabel[0][1], " ");
    EXPECT_STREQ(def().xLabel[0][2], "n/a ");
}

TEST_F(DataFunction, AFoundSetOfManyOrdersSumsIntoMonths) {
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    auto& month = records.fields["Orders::Month"];
    auto& amount = records.fields["Orders::Amount"];
    double expected[12] = {};
    for (int r = 0; r < 100000; ++r) {
        month.emplace_back(std::string(months[r % 12]));
        amount.emplace_back(static_cast<double>(r % 7));
        expected[r % 12] += r % 7;
    }
    records.keepLog = false;
    data(newChart(), "Orders::Month", "Orders::Amount");
    ASSERT_EQ(def().header().valueCount, 12u);
    EXPECT_EQ(def().header().errorCode, 0u);
    for (int m = 0; m < 12; ++m) {
        EXPECT_EQ(def().xLabel[0][m], std::string(months[m]) + " ");
        EXPECT_EQ(def().series[0].y[m], static_cast<float>(expected[m])) << months[m];
    }
}

TEST_F(DataFunction, UnknownFieldsAreXOrYDataErrors) {
    records.fields["T::Y"] = {1.0, 2.0};
    data(newChart(), "Sales", "T::Y");
    EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorXData));
    data(newChart(), "1;2", "Nothing::Here");
    EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorYData));
    // Both unknown: the Y reading speaks.
    data(newChart(), "Sales", "Nothing::Here");
    EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorYData));
}

TEST_F(DataFunction, AnXFailureStaysWhenTheYReadingWorked) {
    records.fields["T::Y"] = {1.0, 2.0};
    data(newChart(), "Unknown::Field", "T::Y");
    EXPECT_EQ(def().header().errorCode, static_cast<uint32_t>(kErrorXData));
}

// The host answers a record past the last one (an empty table's first record too) with 101 and
// an unknown table or field with 102: the chart records Data's error for the side that failed.
// Any other host error ends the call with the host's code, one more on the Y side.
TEST_F(DataFunction, HostErrorsOfAReferenceAreDataErrorsOrTheNumericResult) {
    struct Case {
        const char* name;
        int16_t hostError;
        bool ySide;
        uint32_t recorded;  // 0: the result is a number
        double number;
    } cases[] = {
        {"an empty table as X", kFMX_RecordMissing, false, kErrorXData, 0},
        {"an empty table as Y", kFMX_RecordMissing, true, kErrorYData, 0},
        {"a misspelt field as X", kFMX_FieldMissing, false, kErrorXData, 0},
        {"a misspelt field as Y", kFMX_FieldMissing, true, kErrorYData, 0},
        {"a calculation error as X", kFMX_CalcError, false, 0, 1200},
        {"a calculation error as Y", kFMX_CalcError, true, 0, 1201},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        static int16_t answer;
        answer = c.hostError;
        fmhost_set_evaluate_hook([](void*, const char*, FMX_Data*) { return answer; }, nullptr);
        const testing::Outcome o = testing::call(
            Plotz_Data, {newChart(), text(c.ySide ? "1;2" : "T::X"), text(c.ySide ? "T::Y" : "1;2"), num(0)}, env());
        if (c.recorded != 0) {
            ASSERT_TRUE(o.isChart());
            EXPECT_EQ(def().header().errorCode, c.recorded);
        } else {
            EXPECT_EQ(o.type, kFMX_Number);
            EXPECT_EQ(o.number, c.number);
        }
    }
}

}  // namespace
}  // namespace plotwise
