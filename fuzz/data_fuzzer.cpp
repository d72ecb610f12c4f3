// Plotz_Data on any Xdata and Ydata texts: numbers, category lists, separators in every
// arrangement, bytes that are no UTF-8, and field references with record ranges, answered by
// an evaluation hook that serves a found set of numbers, texts and dates taken from the input
// and then fails with an error code taken from the input. The series is then drawn as a
// graph. Every call must return 0 to the host with a container or a number.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "tests/support/plugin_calls.h"

using plotwise::fuzz::FuzzInput;
namespace h = plotwise::support;

namespace {

struct Record {
    int kind;  // 0 number, 1 text, 2 date
    double number;
    std::string text;
    int64_t seconds = 0;  // a date's seconds since 0001-01-01
};

// The found set the evaluation hook answers from.
struct FoundSet {
    std::vector<Record> records;
    int16_t failure = 101;  // the host's error for a record past the end
    long evaluations = 0;
};

constexpr std::string_view kPrefix = "GetNthRecord ( ";
constexpr std::string_view kSuffix = " )";

int16_t answer(void* context, const char* expression, FMX_Data* result) {
    auto* set = static_cast<FoundSet*>(context);
    ++set->evaluations;
    const std::string_view e(expression);
    // The plug-in asks for records only in this one form.
    if (e.substr(0, kPrefix.size()) != kPrefix || e.size() < kPrefix.size() + kSuffix.size() ||
        e.substr(e.size() - kSuffix.size()) != kSuffix) {
        std::abort();
    }
    const std::size_t semicolon = e.rfind(" ; ");
    if (semicolon == std::string_view::npos) std::abort();
    const long n = std::strtol(std::string(e.substr(semicolon + 3)).c_str(), nullptr, 10);
    if (n < 1) std::abort();  // records count from 1
    if (n > static_cast<long>(set->records.size())) return set->failure;
    const Record& record = set->records[static_cast<std::size_t>(n - 1)];
    if (record.kind == 0) {
        h::setNumber(result, record.number);
    } else if (record.kind == 1) {
        h::setText(result, record.text);
    } else {
        FMX_DateTime* date = FM_DateTime_Constructor1(h::err());
        FM_DateTime_SetSecondsSinceEpoch(date, record.seconds, h::err());
        FM_Data_SetDateTime(result, date, kFMX_Date, h::err());
        FM_DateTime_Delete(date, h::err());
    }
    return 0;
}

constexpr const char* kStyles[] = {"vbar", "line", "xyline", "xypoint", "combolinebar", "hbar", "3darea", "pie", "3dpie"};
constexpr int16_t kFailures[] = {101, 102, 1200, 1201, 0x7FFF, -1};

// Definitions a series can be added to: none yet, a new one, and one whose 100 series are in use.
std::vector<h::Value> gBases;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    h::startPlugIn();
    const h::Outcome fresh = h::call(plotwise::Plotz_New, {});
    gBases.push_back(h::container(fresh.streams));
    h::Outcome full = fresh;
    for (int s = 0; s < 100; ++s) {
        full = h::call(plotwise::Plotz_Data, {h::container(full.streams), h::text("a;b"), h::text("1;2"), h::number(s)});
    }
    gBases.push_back(h::container(full.streams));
    gBases.push_back(h::text("not a container"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint8_t shape = in.byte();
    std::vector<h::Value> args;
    const int base = shape % 4;
    if (base < 3) args.push_back(gBases[static_cast<std::size_t>(base)]);
    args.push_back(h::text(in.text(20000)));
    args.push_back(h::text(in.text(20000)));
    const int more = (shape >> 2) % 3;  // colour, colour and name, or neither
    if (more >= 1) args.push_back(h::number(in.flag() ? static_cast<double>(in.raw<int32_t>()) : in.raw<double>()));
    if (more >= 2) args.push_back(in.flag() ? h::text(in.text(300)) : h::number(in.chartFloat()));
    const char* style = kStyles[in.byte() % std::size(kStyles)];

    FoundSet set;
    set.failure = kFailures[in.byte() % std::size(kFailures)];
    const auto count = static_cast<std::size_t>(in.range(0, 2500));
    for (std::size_t i = 0; i < count && !in.empty(); ++i) {
        Record record{static_cast<int>(in.byte() % 3), 0, {}};
        if (record.kind == 1) record.text = in.text(300);
        else if (record.kind == 2) record.seconds = in.raw<int64_t>();
        else record.number = in.flag() ? static_cast<double>(in.raw<int16_t>()) : in.raw<double>();
        set.records.push_back(std::move(record));
    }

    fmhost_set_evaluate_hook(answer, &set);
    FMX_ExprEnv* env = fmhost_env_create();
    const h::Outcome added = h::call(plotwise::Plotz_Data, args, env);
    if (added.returned != 0) std::abort();
    if (!added.isContainer() && added.type != kFMX_Number) std::abort();
    if (added.isContainer()) {
        const h::Outcome styled = h::call(plotwise::Plotz_Style, {h::container(added.streams), h::text(style)}, env);
        if (styled.returned != 0 || !styled.isContainer()) std::abort();
    }
    fmhost_env_delete(env);
    fmhost_set_evaluate_hook(nullptr, nullptr);
    return 0;
}
