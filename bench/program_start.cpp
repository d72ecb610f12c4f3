#include "bench/program_start.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include <benchmark/benchmark.h>

extern char** environ;

namespace plotwise::bench {
namespace {

double cpuMilliseconds(const rusage& usage) {
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Runs the program once; false when it could not be started or did not succeed.
bool runOnce(const std::string& script, const std::string& picture) {
    const std::string program = PLOTWISE_PROGRAM;
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("run"), const_cast<char*>(script.c_str()),
                    const_cast<char*>("-o"), const_cast<char*>(picture.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int error = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void registerProgramStartCases() {
    benchmark::RegisterBenchmark("program/one chart, start to exit", [](benchmark::State& state) {
        const std::string script = PLOTWISE_SOURCE_DIR "/examples/sales.calc";
        const std::string picture = PLOTWISE_BINARY_DIR "/bench_program_start.gif";
        rusage before{};
        getrusage(RUSAGE_CHILDREN, &before);
        for (auto _ : state) {
            if (!runOnce(script, picture)) {
                state.SkipWithError("the plotwise program failed");
                return;
            }
        }
        rusage after{};
        getrusage(RUSAGE_CHILDREN, &after);
        state.counters["child_cpu_ms"] =
            (cpuMilliseconds(after) - cpuMilliseconds(before)) / static_cast<double>(state.iterations());
        ::unlink(picture.c_str());
    })->UseRealTime()->Unit(benchmark::kMillisecond);
}

}  // namespace plotwise::bench
