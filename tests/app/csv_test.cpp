// The CSV reader and record tables: quoting, line breaks, byte-order mark, ragged records,
// number detection.
#include <gtest/gtest.h>

#include <optional>

#include "app/csv.h"
#include "app/diagnostics.h"
#include "app/record_tables.h"
#include "common/written_number.h"
#include "stand_in/fmhost.h"

namespace plotwise::app {
namespace {

using Fields = std::vector<std::string>;

std::vector<Fields> fieldsOf(std::string_view text) {
    std::vector<Fields> out;
    for (const CsvRecord& r : readCsv(text)) out.push_back(r.fields);
    return out;
}

TEST(Csv, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    EXPECT_EQ(fieldsOf("a,b\n\"x, y\",\"say \"\"hi\"\"\"\n\"two\nlines\",\"\"\n"),
              (std::vector<Fields>{{"a", "b"}, {"x, y", "say \"hi\""}, {"two\nlines", ""}}));
    EXPECT_EQ(fieldsOf("\"a\r\nb\"\r\n"), (std::vector<Fields>{{"a\nb"}}));
}

TEST(Csv, LineEndingsAndByteOrderMark) {
    const std::vector<Fields> expected{{"a", "b"}, {"1", "2"}};
    EXPECT_EQ(fieldsOf("a,b\r\n1,2\r\n"), expected);
    EXPECT_EQ(fieldsOf("a,b\n1,2"), expected);  // no line break at the end
    EXPECT_EQ(fieldsOf("a,b\r1,2\r"), expected);
    EXPECT_EQ(fieldsOf("\xEF\xBB\xBF" "a,b\n1,2\n"), expected);
    EXPECT_EQ(fieldsOf("a,b\n\n\r\n1,2\n\n"), expected);  // empty lines are no records
}

TEST(Csv, EmptyFieldsAndRecordLines) {
    EXPECT_EQ(fieldsOf(",\n,x,\n"), (std::vector<Fields>{{"", ""}, {"", "x", ""}}));
    const std::vector<CsvRecord> records = readCsv("h\n\"multi\nline\"\nlast\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1].line, 2);
    EXPECT_EQ(records[2].line, 4);  // counted past the line break inside quotes
}

TEST(Csv, QuotesInsideUnquotedFieldsStandForThemselves) {
    EXPECT_EQ(fieldsOf("5\" screen,x\n"), (std::vector<Fields>{{"5\" screen", "x"}}));
}

TEST(Csv, FaultsNameTheirLine) {
    struct Case {
        std::string_view text;
        int line;
    };
    const Case cases[] = {
        {"a,b\n1,\"never closed\n2,3\n", 2},
        {"a,b\n\"x\"y,2\n", 2},
        {"a\nb\n\xC3\x28\n", 3},  // not UTF-8
    };
    for (const Case& c : cases) {
        try {
            readCsv(c.text);
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const CsvError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text;
        }
    }
}

TEST(Csv, SeparatorFromTheHeaderLine) {
    struct Case {
        std::string_view text;
        char separator;
    };
    const Case cases[] = {
        {"Month,Amount\nJan,1;2\n", ','},
        {"Month;Amount\nJan;1,5\n", ';'},
        {"Month\tAmount\n", '\t'},
        {"\xEF\xBB\xBF" "Month;Amount", ';'},
        {"a;b,c\n", ','},             // as many of each: a comma
        {"a;b;c,d\n", ';'},
        {"\"a;b;c\",d\n", ','},        // separators inside quotes do not count
        {"\"say \"\"x\"\"\";b\n", ';'},  // nor do doubled quotes end the quotes
        {"Month\nJan;Feb;Mar\n", ','},  // only the header line counts
        {"", ','},
    };
    for (const Case& c : cases) EXPECT_EQ(detectSeparator(c.text), c.separator) << c.text;
    std::vector<Fields> fields;
    for (const CsvRecord& r : readCsv("a;b\n\"x;y\";1,5\n", ';')) fields.push_back(r.fields);
    EXPECT_EQ(fields, (std::vector<Fields>{{"a", "b"}, {"x;y", "1,5"}}));
}

TEST(Csv, NumberDetection) {
    for (std::string_view yes : {"12", "-3.5", "+4", ".5", "5.", "1e3", "2.5E-2", " 42 ", "0", "007"})
        EXPECT_TRUE(isDecimalNumber(yes)) << yes;
    for (std::string_view no : {"", " ", "-", ".", "1,5", "12 kg", "0x1F", "inf", "nan", "1e", "1e+", "e3", "1.2.3",
                                "--1", "$5", "1 2"})
        EXPECT_FALSE(isDecimalNumber(no)) << no;
    // Where the locale writes a decimal comma.
    for (std::string_view yes : {"1,5", "-2,75", " 0,25 ", ",5", "5,", "1.5", "1,5e3"})
        EXPECT_TRUE(isDecimalNumber(yes, ',')) << yes;
    for (std::string_view no : {",", "1,5,5", "1,2.3", "1 000,5", "1,5 kg"})
        EXPECT_FALSE(isDecimalNumber(no, ',')) << no;
}

TEST(Csv, NumbersAsPeopleWriteThem) {
    struct Case {
        const char* cell;
        char decimalMark;
        std::optional<std::string> number;
    } cases[] = {
        {"1,655.82", '.', "1655.82"},   {"$1,655.82", '.', "1655.82"}, {"-$9", '.', "-9"},
        {"$-9", '.', "-9"},             {"12%", '.', "12"},            {"12 kg", '.', "12"},
        {"1.2E-6", '.', "1.2e-6"},      {"1,234,567", '.', "1234567"}, {" 42 ", '.', "42"},
        {"\u20AC 1.200,00", ',', "1200.00"}, {"1.655,82 \u20AC", ',', "1655.82"}, {"1,5", ',', "1.5"},
        {"1,23", '.', std::nullopt},    {"1,2345", '.', std::nullopt}, {"1234,567", '.', std::nullopt},
        {"2024-01", '.', std::nullopt}, {"Q1 2024", '.', std::nullopt}, {"A-17", '.', std::nullopt},
        {"6/12/2009", '.', std::nullopt}, {"1.5", ',', std::nullopt},  {"$", '.', std::nullopt},
        {"1e", '.', std::nullopt},      {"", '.', std::nullopt},       {"12 kg kg", '.', std::nullopt},
        // accounting negatives, other currencies, the minus sign, blanks that group thousands
        {"(11,250)", '.', "-11250"},    {"(1,200.50)", '.', "-1200.50"}, {"($5)", '.', "-5"},
        {"(-5)", '.', std::nullopt},    {"(5", '.', std::nullopt},     {"()", '.', std::nullopt},
        {"\u00A5300", '.', "300"},      {"4.50 \u00A3", '.', "4.50"},   {"\u22125", '.', "-5"},
        {"1 234,56 \u20AC", ',', "1234.56"}, {"1\u00A0234", '.', "1234"}, {"1\u202F234\u202F567", '.', "1234567"},
        {"1 2", '.', std::nullopt},     {"2024 Q1", '.', std::nullopt}, {"1 234,567 1", ',', std::nullopt},
        {"1,234 567", '.', std::nullopt},  // one mark throughout
    };
    for (const Case& c : cases) EXPECT_EQ(writtenNumberText(c.cell, c.decimalMark), c.number) << c.cell;
}

TEST(RecordTable, AColumnIsOfNumbersWhenEveryCellIsOne) {
    const RecordTable t = RecordTable::fromCsv(
        "T", "Amount,Month,Mixed\n\"$1,655.82\",2024-01,12\n12%,2024-02,\"1,5\"\n,2024-03,x\n", "t.csv");
    EXPECT_EQ(t.value(1, 0).asText(), "1655.82");
    EXPECT_EQ(t.value(2, 0).asText(), "12");
    EXPECT_EQ(t.value(3, 0).type(), kFMX_Text);  // an empty cell stays empty
    EXPECT_EQ(t.value(1, 1).type(), kFMX_Text);  // months stay names
    EXPECT_EQ(t.value(1, 2).asText(), "12");     // a mixed column reads cell by cell, as before
    EXPECT_EQ(t.value(2, 2).type(), kFMX_Text);
    fmhost_set_locale("de");
    const RecordTable de = RecordTable::fromCsv("T", "A,B\n\"1.655,82\",1.5\n\"2,5\",2\n", "t.csv", ',');
    EXPECT_EQ(de.value(1, 0).asText(), "1655.82");
    EXPECT_EQ(de.value(2, 0).asText(), "2.5");
    EXPECT_EQ(de.value(1, 1).asText(), "1.5");  // a decimal point is still read where it is not a group
    fmhost_set_locale("default");
}

// Amounts in parentheses are negative, as spreadsheets export them, and a marker of a missing
// value does not make a column of numbers one of texts: each cell is read as people write it.
TEST(RecordTable, AccountingNegativesAndMarkersInAColumnOfNumbers) {
    struct Case {
        const char* column;  // the cells, one a line
        std::vector<std::optional<double>> values;  // nothing: the cell is a text
    } cases[] = {
        {"\"(11,250)\"\n500\n\"(1,200.50)\"\n", {-11250, 500, -1200.5}},
        {"12%\nn/a\n\"$1,299.50\"\n-\n", {12, std::nullopt, 1299.5, std::nullopt}},
        {"(380)\npending\n7\n", {std::nullopt, std::nullopt, 7}},  // a word: cell by cell, as before
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const RecordTable t = RecordTable::fromCsv("T", std::string("Net\n") + c.column, "t.csv");
        ASSERT_EQ(t.recordCount(), c.values.size());
        for (std::size_t r = 0; r < c.values.size(); ++r) {
            const Value v = t.value(r + 1, 0);
            EXPECT_EQ(v.type() == kFMX_Number ? std::optional<double>(v.asNumber()) : std::nullopt, c.values[r]) << r;
        }
    }
}

TEST(RecordTable, CellsAreNumbersOrTexts) {
    const RecordTable t = RecordTable::fromCsv("T", "Name,Value\nAnn,12.50\nBob,n/a\n\" 7 \",\"1\r\n2\"\n", "t.csv");
    ASSERT_EQ(t.recordCount(), 3u);
    EXPECT_EQ(t.value(1, 1).type(), kFMX_Number);
    EXPECT_EQ(t.value(1, 1).asText(), "12.5");
    EXPECT_EQ(t.value(2, 1).type(), kFMX_Text);
    EXPECT_EQ(t.value(3, 0).type(), kFMX_Number);  // quotes do not make a number a text
    EXPECT_EQ(t.value(3, 1).asText(), "1\r2");      // line breaks inside a value become returns
    EXPECT_EQ(t.fieldIndex("value"), 1);
    EXPECT_EQ(t.fieldIndex("Missing"), -1);
}

TEST(RecordTable, RaggedRecords) {
    // Short records end in empty cells; long ones may carry only empty cells past the header.
    const RecordTable t = RecordTable::fromCsv("T", "a,b,c\n1\n1,2,3,,\n", "t.csv");
    ASSERT_EQ(t.recordCount(), 2u);
    EXPECT_EQ(t.value(1, 2).asText(), "");
    EXPECT_EQ(t.value(1, 2).type(), kFMX_Text);
    EXPECT_EQ(t.value(2, 2).asText(), "3");
    try {
        RecordTable::fromCsv("T", "a,b\n1,2\n1,2,lost\n", "t.csv");
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_EQ(std::string(e.what()), "t.csv:3: the record has 3 fields, the header names only 2");
    }
}

TEST(RecordTable, HeaderFaults) {
    EXPECT_THROW(RecordTable::fromCsv("T", "", "t.csv"), UsageError);
    EXPECT_THROW(RecordTable::fromCsv("T", "a,A\n1,2\n", "t.csv"), UsageError);  // named twice
    EXPECT_THROW(RecordTable::fromCsv("T", "a::b\n1\n", "t.csv"), UsageError);
    const RecordTable t = RecordTable::fromCsv("T", "a,,b\n1,2,3\n", "t.csv");  // a blank name is no field
    EXPECT_EQ(t.fieldIndex(""), -1);
    EXPECT_EQ(t.value(1, t.fieldIndex("b")).asText(), "3");
}

TEST(RecordTables, NamesWithoutRegardToCase) {
    RecordTables tables;
    tables.add(RecordTable::fromCsv("Orders", "a\n1\n", "o.csv"));
    EXPECT_NE(tables.find("ORDERS"), nullptr);
    EXPECT_EQ(tables.find("Order"), nullptr);
    EXPECT_THROW(tables.add(RecordTable::fromCsv("orders", "a\n1\n", "o.csv")), UsageError);
}

TEST(RecordTables, TableArgument) {
    EXPECT_THROW(loadTableArgument("Orders"), UsageError);
    EXPECT_THROW(loadTableArgument("=x.csv"), UsageError);
    EXPECT_THROW(loadTableArgument("Orders="), UsageError);
    try {
        loadTableArgument("Orders=/nonexistent/orders.csv");
        FAIL();
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("cannot read /nonexistent/orders.csv"), std::string::npos);
    }
}

}  // namespace
}  // namespace plotwise::app
