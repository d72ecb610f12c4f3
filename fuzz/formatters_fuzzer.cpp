// The axis label formatters on any pattern, template or strftime format and any value: number
// patterns with any separators, values of every bit pattern (NaN, infinities, 1e300),
// date parts out of every range, seconds from the far past to the far future, and the 64-bit
// calendar on every count of seconds, checked against its own field ranges.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/format/calendar64.h"
#include "engine/format/label_format.h"
#include "fuzz_input.h"

using plotwise::fuzz::FuzzInput;

namespace {

// A formatter gives a label or nothing; a label never holds a zero byte its inputs did not.
void checkLabel(const std::string& label, const std::string& format, const std::string& text = {}) {
    const bool zeroGiven = format.find('\0') != std::string::npos || text.find('\0') != std::string::npos;
    if (!zeroGiven && label.find('\0') != std::string::npos) std::abort();
}

double anyValue(FuzzInput& in) {
    switch (in.byte() % 4) {
        case 0: return in.raw<double>();
        case 1: return static_cast<double>(in.raw<int32_t>());
        case 2: return static_cast<double>(in.chartFloat());
        default: return static_cast<double>(in.raw<int64_t>());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const int which = in.byte() % 5;
    const std::string format = in.text(64);
    switch (which) {
        case 0:
            checkLabel(plotwise::formatNumberLabel(format, anyValue(in)), format);
            break;
        case 1: {
            const std::string text = in.text(300);
            checkLabel(plotwise::formatTextLabel(format, text), format, text);
            break;
        }
        case 2: {
            const int year = static_cast<int>(in.range(-40000, 40000));
            const int month = static_cast<int>(in.range(-20, 20));
            const int day = static_cast<int>(in.range(-40, 40));
            const int hour = static_cast<int>(in.range(-30, 30));
            const int minute = static_cast<int>(in.range(-70, 70));
            const int second = static_cast<int>(in.range(-70, 70));
            checkLabel(plotwise::formatDateParts(format, year, month, day, hour, minute, second), format);
            break;
        }
        case 3: {
            const double value = anyValue(in);
            const int kind = static_cast<int>(in.range(0, 6));
            checkLabel(plotwise::formatDateValue(format, value, kind), format);
            break;
        }
        default: {
            const int64_t seconds = in.raw<int64_t>();
            std::tm fields{};
            if (plotwise::breakDownTime64(seconds, &fields) != nullptr && !plotwise::check_tm(&fields)) std::abort();
            break;
        }
    }
    return 0;
}
