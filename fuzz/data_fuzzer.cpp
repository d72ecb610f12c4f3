// Plotz_Data on any Xdata and Ydata texts: numbers, category lists, separators in every
// arrangement, bytes that are no UTF-8, and field references with record ranges, answered by
// an evaluation hook that serves a found set of numbers, texts and dates taken from the input
// and then fails with an error code taken from the input. The series is then drawn as a
// graph. Every call must return 0 to the host with a container or a number. The calls run in
// the default locale or in one that writes numbers with a decimal comma.
//
// Some inputs instead build a number list with gaps (empty and blank pieces at the ends and
// between numbers) written with the locale's decimal separator and, at times, its thousands
// grouped, against one category per piece: the stored Y values must be those the list writes,
// a missing value for each piece between numbers that holds none. The categories are the
// numbers 1, 2, 3, ... Others read a grouped number with a currency sign or unit before or
// after it ("$1,234.50", "1.234,50 €", "12%") as the host reads texts as numbers, against the
// number it writes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "definition/chart_definition.h"
#include "fuzz_input.h"
#include "tests/support/plugin_calls.h"
#include "tests/support/working_set.h"

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
        h::setSecondsSinceEpoch(date, record.seconds);
        FM_Data_SetDateTime(result, date, kFMX_Date, h::err());
        FM_DateTime_Delete(date, h::err());
    }
    return 0;
}

// A number with two decimals as people write it in the locale, its thousands grouped or not:
// "-1,234,567.05", or "-1.234.567,05" under a decimal comma.
std::string writtenAsPeopleWrite(long whole, int hundredths, bool grouped, bool decimalComma) {
    std::string digits = std::to_string(whole < 0 ? -whole : whole);
    if (grouped)
        for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, decimalComma ? '.' : ',');
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%c%02d", decimalComma ? ',' : '.', hundredths);
    return (whole < 0 ? "-" : "") + digits + fraction;
}

// The host's reading of a text as a number against a simple model: a number as people write
// it, with a currency sign or unit before or after, reads as the number it writes.
void checkHostNumber(FuzzInput& in, bool decimalComma) {
    static constexpr const char* kBefore[] = {"", "$", "\u20AC ", "USD "};
    static constexpr const char* kAfter[] = {"", "%", " kg", " \u20AC", " per cent"};
    const long whole = static_cast<int32_t>(in.raw<uint32_t>()) / 100;
    const int hundredths = in.byte() % 100;
    const std::string text = std::string(kBefore[in.byte() % std::size(kBefore)]) +
                             writtenAsPeopleWrite(whole, hundredths, in.flag(), decimalComma) +
                             kAfter[in.byte() % std::size(kAfter)];
    FMX_Data* value = FM_Data_Constructor1(h::err());
    h::setText(value, text);
    const double read = FM_FixPt_AsFloat(FM_Data_GetAsNumber(value, h::err()), h::err());
    FM_Data_Delete(value, h::err());
    const double expected = (whole < 0 ? -1.0 : 1.0) * (static_cast<double>(whole < 0 ? -whole : whole) + hundredths / 100.0);
    if (std::fabs(read - expected) > 1e-6 * (1 + std::fabs(expected))) std::abort();
}

// A number list of the input's pieces against one category per piece (1;2;3;...); checks what
// is stored.
void checkNumberList(FuzzInput& in, bool decimalComma) {
    const auto count = static_cast<std::size_t>(in.range(0, 60));
    std::string x, y;
    std::vector<std::optional<float>> written;  // per piece: its value, or none for a gap
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            x += ';';
            y += in.flag() ? ';' : '\r';
        }
        x += std::to_string(i + 1);  // numbers: a single name would read as a field reference
        const uint8_t kind = in.byte() % 4;
        if (kind == 0) {
            written.emplace_back();
            continue;
        }
        if (kind == 1) {
            y += std::string(in.byte() % 3, ' ');
            written.emplace_back();
            continue;
        }
        const long whole = static_cast<int32_t>(in.raw<uint32_t>()) / 100;
        const int hundredths = in.byte() % 100;
        char point[32];
        std::snprintf(point, sizeof point, "%ld.%02d", whole, hundredths);
        y += writtenAsPeopleWrite(whole, hundredths, in.flag(), decimalComma);
        written.emplace_back(static_cast<float>(std::strtod(point, nullptr)));
    }
    const h::Outcome added = h::call(plotwise::Plotz_Data, {h::text(x), h::text(y), h::number(0xFF0000)});
    if (added.returned != 0 || !added.isContainer()) std::abort();

    // Empty pieces before the first number and after the last add nothing; every piece
    // between them keeps its place. Categories beyond the list's pieces have no value.
    std::size_t first = 0, last = written.size();
    while (first < last && !written[first]) ++first;
    while (last > first && !written[last - 1]) --last;
    const plotwise::ChartDefinition& d = plotwise::decodedDefinition(added.streams);
    if (d.header().valueCount != count) std::abort();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t piece = first + i;
        const float expected = piece >= last ? -3.4028235e38f : written[piece].value_or(-3.4028235e38f);
        if (d.series[0].y[i] != expected) std::abort();
    }
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
    const uint8_t locale = in.byte();
    const bool decimalComma = (locale & 1) != 0;
    fmhost_set_locale(decimalComma ? "de" : "default");
    if ((locale & 6) == 6) {
        checkNumberList(in, decimalComma);
        return 0;
    }
    if ((locale & 6) == 4) {
        checkHostNumber(in, decimalComma);
        return 0;
    }
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
