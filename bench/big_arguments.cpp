#include "bench/big_arguments.h"

#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <functional>

#include "bench/host_session.h"
#include "bench/memory_use.h"
#include "definition/chart_definition.h"

namespace plotwise::bench {
namespace {

// The process's peak resident size (VmHWM), in bytes.
std::size_t peakResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmHWM:") {
            std::size_t kib = 0;
            status >> kib;
            return kib * 1024;
        }
    }
    return 0;
}

// Texts of about `bytes` bytes: "1;2;3;..." or "name1;name2;...".
std::string longList(std::size_t bytes, const char* prefix) {
    std::string text;
    text.reserve(bytes + 32);
    for (long i = 1; text.size() < bytes; ++i) {
        text += prefix;
        text += std::to_string(i % 1000000);
        text += ';';
    }
    return text;
}

struct Measured {
    std::size_t peak = 0;
    double seconds = 0;
    int ok = 0;
};

// Runs `prepare` and then `call` in a child process: the peak is reset after `prepare` (Linux:
// "5" into clear_refs), so only the call is measured.
Measured inChild(const std::function<void()>& prepare, const std::function<bool()>& call) {
    int pipeFds[2];
    Measured m;
    if (pipe(pipeFds) != 0) return m;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        prepare();
        malloc_trim(0);  // what prepare freed is not the call's to reuse
        std::ofstream("/proc/self/clear_refs") << "5";
        Measured r;
        const std::size_t before = residentBytes();
        const auto start = std::chrono::steady_clock::now();
        r.ok = call() ? 1 : 0;
        r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const std::size_t peak = peakResidentBytes();
        r.peak = peak > before ? peak - before : 0;
        const ssize_t written = write(pipeFds[1], &r, sizeof r);
        _exit(written == static_cast<ssize_t>(sizeof r) ? 0 : 1);
    }
    close(pipeFds[1]);
    if (child > 0) {
        if (read(pipeFds[0], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) m = Measured{};
        waitpid(child, nullptr, 0);
    }
    close(pipeFds[0]);
    return m;
}

// The error code stored in a result container's header.
uint32_t errorCodeOf(const Value& result) {
    const std::vector<uint8_t> header = result.stream("CHHD");
    uint32_t code = 0;
    if (header.size() >= offsetof(ChartHeader, errorCode) + sizeof code)
        std::memcpy(&code, header.data() + offsetof(ChartHeader, errorCode), sizeof code);
    return code;
}

}  // namespace

std::vector<BigArgument> measureBigArguments(std::size_t bytes) {
    struct Case {
        const char* name;
        bool longX;
        const char* prefix;
        uint32_t error;  // more than 1000 points record error 10
    } cases[] = {
        {"Ydata of numbers", false, "", 0},
        {"Xdata of distinct names", true, "name", kErrorTooManyValues},
    };
    std::vector<BigArgument> out;
    HostSession::instance();  // the plug-in is started before the children are made
    const Function plotzData("Plotz_Data");
    for (const Case& c : cases) {
        BigArgument a;
        a.name = "Plotz_Data, " + std::to_string(bytes >> 20) + " MB " + c.name;
        const std::size_t length = longList(bytes, c.prefix).size();
        a.argumentBytes = length;
        Arguments* args = nullptr;
        const Measured m = inChild(
            [&] {
                // The host holds its arguments before it calls.
                const std::string text = longList(bytes, c.prefix);
                args = new Arguments;
                if (c.longX) args->text(text).text("1");
                else args->text("Jan;Feb;Mar;Apr;May;Jun;Jul;Aug;Sep;Oct;Nov;Dec").text(text);
                args->number(0xFF0000);
            },
            [&] {
                Value result;
                return plotzData(*args, result) == 0 && result.type() == kFMX_Container && errorCodeOf(result) == c.error;
            });
        a.peakBytes = m.peak;
        a.seconds = m.seconds;
        a.ok = m.ok != 0;
        out.push_back(a);
    }
    return out;
}

}  // namespace plotwise::bench
