// What the user waits for at start: a cold start of the program (a new process: Qt, the settings,
// the unit, the document, the frame with its menus and bars, the oscilloscope screen with its
// controls made through components.ini) until its main window is mapped, against a bare Qt
// program (startup_bare: a main window with the same menus) started the same way. Both run
// offscreen; a small library loaded into each (startup_mapped_probe) notes the moment the first
// main window is exposed and ends the process there. Each is started once before it is measured.
// Prints Google Benchmark's figures, then the medians and their ratio.
//   build/release/bin/startup_bench [--benchmark_repetitions=5]
#include "MedianReporter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kLimitMs = 60000;

fs::path g_scratch; // XDG folders of the started programs

std::int64_t nowNs()
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Starts the program and returns the seconds from just before its start to its main window
// mapped; negative when it did not get there.
double startUntilMapped(const char* program)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    const int writeEnd = ::fcntl(fds[1], F_DUPFD, 10); // inherited: no close-on-exec
    ::close(fds[1]);
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("QT_QPA_PLATFORM=") && !entry.starts_with("LD_PRELOAD=")
            && !entry.starts_with("XDG_DATA_HOME=") && !entry.starts_with("XDG_CONFIG_HOME="))
            variables.push_back(entry);
    }
    variables.push_back("QT_QPA_PLATFORM=offscreen");
    variables.push_back(std::string("LD_PRELOAD=") + STARTUP_MAPPED_PROBE);
    variables.push_back("TALVERIN_BENCH_MAPPED_FD=" + std::to_string(writeEnd));
    variables.push_back("XDG_DATA_HOME=" + (g_scratch / "data").string());
    variables.push_back("XDG_CONFIG_HOME=" + (g_scratch / "config").string());
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string path = program;
    char* argv[] = {path.data(), nullptr};

    const std::int64_t start = nowNs();
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program, nullptr, nullptr, argv, envp.data());
    ::close(writeEnd);
    std::int64_t mapped = 0;
    if (spawned == 0) {
        pollfd p {fds[0], POLLIN, 0};
        if (::poll(&p, 1, kLimitMs) == 1 && ::read(fds[0], &mapped, sizeof mapped) != sizeof mapped)
            mapped = 0;
        if (!mapped)
            ::kill(pid, SIGKILL);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    ::close(fds[0]);
    return mapped ? static_cast<double>(mapped - start) / 1e9 : -1;
}

void measure(benchmark::State& state, const char* program)
{
    for (auto _ : state) {
        const double seconds = startUntilMapped(program);
        if (seconds < 0) {
            state.SkipWithError("the program did not map its window");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void Program(benchmark::State& state) { measure(state, TALVERIN_PROGRAM); }
void BareQt(benchmark::State& state) { measure(state, STARTUP_BARE); }
BENCHMARK(Program)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BareQt)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const fs::path registry = fs::path(TALVERIN_PROGRAM).parent_path() / "components.ini";
    if (!fs::exists(registry)) {
        std::fprintf(stderr, "startup_bench: %s is missing: the screens' controls would not be made\n",
                     registry.c_str());
        return 1;
    }
    char pattern[] = "/tmp/talverin-startup-benchXXXXXX";
    g_scratch = ::mkdtemp(pattern);
    // The first start of each registers the desktop files and fills the caches: not measured.
    if (startUntilMapped(TALVERIN_PROGRAM) < 0 || startUntilMapped(STARTUP_BARE) < 0) {
        std::fprintf(stderr, "startup_bench: a program did not map its window\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double program = reporter.median("Program");
    const double bare = reporter.median("BareQt");
    if (bare > 0)
        std::printf("cold start to the main window mapped: program %.1f ms, bare Qt program %.1f ms, ratio %.2f\n",
                    program, bare, program / bare);
    std::error_code ec;
    fs::remove_all(g_scratch, ec);
    return 0;
}
