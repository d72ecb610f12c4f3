// Every call has a state of its own: a call the host makes while another runs leaves the other
// as it was, and a call that ends early leaves nothing for the next.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/script_functions.h"
#include "stand_in/fmhost.h"
#include "tests/driver/script_harness.h"

namespace plotwise {
namespace {

using testing::Chart;
using testing::RecordTable;
using testing::ScriptTest;
using testing::chartOf;
using testing::newChart;
using testing::num;
using testing::text;

std::string numberList(int count) {
    std::string s;
    for (int i = 1; i <= count; ++i) s += (i > 1 ? ";" : "") + std::to_string(i);
    return s;
}

// Answers the field reads of a call; before the first it makes `inner` call the plug-in again,
// as a field whose calculation calls the plug-in does.
struct NestingHost {
    RecordTable* records = nullptr;
    std::function<void()> inner;
    bool entered = false;

    static int16_t answer(void* context, const char* expression, FMX_Data* result) {
        auto* host = static_cast<NestingHost*>(context);
        if (!host->entered) {
            host->entered = true;
            host->inner();
        }
        return RecordTable::answer(host->records, expression, result);
    }
};

class CallStateTest : public ScriptTest {
protected:
    // Plotz_Data on `chart` with the fields T::X and T::Y, while `inner` calls the plug-in.
    Chart dataWhile(const Chart& chart, std::function<void()> inner) {
        NestingHost host{&records, std::move(inner)};
        fmhost_set_evaluate_hook(&NestingHost::answer, &host);
        const Chart c = data(chart, "T::X", "T::Y");
        fmhost_set_evaluate_hook(&RecordTable::answer, &records);
        return c;
    }
};

TEST_F(CallStateTest, ANestedCallLeavesTheOuterCallAsItWas) {
    // The outer chart shows its x texts as dates of the German locale (day first).
    fmhost_set_locale("de");
    Chart outer = style(newChart(), "vbar");
    outer = chartOf(Plotz_Axis, {outer, text("x"), text("type"), text("date"), text("format"), text("%d.%m.%Y")});
    records.fields["T::X"] = {std::string("12.6.2009"), std::string("13.6.2009")};
    records.fields["T::Y"] = {1.0, 2.0};
    const Chart alone = dataWhile(outer, [] {});
    const Chart other = data(newChart(), "a;b", "5;6");

    struct Row {
        const char* inner;
        std::function<void()> call;
    } rows[] = {
        {"a font", [&] { chartOf(Plotz_Font, {other, text("charttitle"), text("Inner.ttf"), num(30)}); }},
        {"an axis format", [&] { chartOf(Plotz_Axis, {other, text("x"), text("format"), text("inner %s")}); }},
        {"pie colours", [&] { chartOf(Plotz_PieColors, {other, num(0x123456), num(0x654321)}); }},
        {"another locale",
         [&] {
             fmhost_set_locale("default");
             data(other, "1;2", "3;4");
             fmhost_set_locale("de");
         }},
        {"a call that fails",
         [&] {
             fmhost_fail_allocation(1);
             testing::call(Plotz_Draw, {other, num(300), num(200)});
             fmhost_fail_allocation(0);
         }},
    };
    ASSERT_EQ(testing::Picture(alone).width(), 320);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.inner);
        EXPECT_EQ(dataWhile(outer, row.call).streams, alone.streams);
    }
}

TEST_F(CallStateTest, ACallThatEndsEarlyLeavesNothingForTheNext) {
    const Chart two = data(data(newChart(), "1;2;3", "1;2;3"), "1;2;3", "4;5;6");
    const Chart small = data(newChart(), "a", "7");
    int ended = 0;
    for (int32_t n = 1; n < 200; ++n) {
        // A longer third series lengthens the first two before the header counts the points;
        // the n-th allocation fails on the way.
        fmhost_fail_allocation(n);
        const testing::Outcome o = testing::call(Plotz_Data, {two, text(numberList(40)), text(numberList(40))}, env());
        fmhost_fail_allocation(0);
        if (o.returned == 0) break;
        ++ended;
        EXPECT_EQ(data(newChart(), "a", "7").streams, small.streams) << "allocation " << n;
    }
    EXPECT_GT(ended, 0);
}

}  // namespace
}  // namespace plotwise
