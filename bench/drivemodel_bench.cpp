// The driver model's cost on the line: a read-all ("TX0") of a generated 2,000-parameter unit
// through the communication library, answered once by the model and once by a bare scripted reply
// of the same dump, each on its own simulated driver in this process. The model's answer must
// cost nothing measurable: the ratio of the medians is printed, with the dump's size.
//   drivemodel_bench [--parameters N] [benchmark options]
#include <benchmark/benchmark.h>

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>

#include "LibrarySide.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int g_parameters = 2000;

std::string GeneratedUnit(int parameters)
{
    std::string text = "[Parameter]\n";
    for (int i = 1; i <= parameters; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "WRT,P%04d,0,,%d,%d,Generated,0-99999,,1,0,0\n", i, i * 7 % 99999, i % 3);
        text += line;
    }
    return text + "[DataFile]\nHeader=MM0\n";
}

// One side: a simulated driver, the library while connected to it, and the times of its read-alls.
struct Side {
    std::unique_ptr<drivesim::DriverSim> sim;
    std::unique_ptr<bench::LibrarySide> lib;
    std::vector<double> ms;
    std::string reply;
};

drivesim::DriverModel g_model;
Side g_modelSide, g_bareSide;
std::string g_dump;

bool Open(Side& side)
{
    side.sim = std::make_unique<drivesim::DriverSim>();
    std::string error;
    if (!side.sim->start(&error)) {
        std::fprintf(stderr, "cannot start the simulated driver: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool Connect(Side& side)
{
    side.lib = std::make_unique<bench::LibrarySide>();
    side.lib->keepReplies(true);
    return side.lib->open(side.sim->slavePath(), 9600);
}

// The library's exported functions serve one port at a time: each side connects for its run.
void ReadAll(benchmark::State& state, Side& side)
{
    if (!Connect(side)) {
        state.SkipWithError("no connection to the simulated driver");
        return;
    }
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const CommandId id = side.lib->queue("TX0\r");
        side.lib->pumpUntil([&] { return side.lib->ended(id); });
        const double seconds = std::chrono::duration<double>(side.lib->endTime(id) - t0).count();
        state.SetIterationTime(seconds);
        side.ms.push_back(seconds * 1000.0);
        side.reply = side.lib->lastReply();
    }
    state.counters["reply_bytes"] = static_cast<double>(side.reply.size());
    side.lib.reset();
}

void BM_ReadAllByTheModel(benchmark::State& state) { ReadAll(state, g_modelSide); }
void BM_ReadAllByAScriptedReply(benchmark::State& state) { ReadAll(state, g_bareSide); }

BENCHMARK(BM_ReadAllByTheModel)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_ReadAllByAScriptedReply)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--parameters") == 0) {
            g_parameters = std::max(1, std::atoi(argv[i + 1]));
            std::memmove(argv + i, argv + i + 2, sizeof(char*) * static_cast<std::size_t>(argc - i - 1));
            argc -= 2;
            break;
        }
    benchmark::Initialize(&argc, argv);
    std::string error;
    if (!g_model.loadText(GeneratedUnit(g_parameters), &error)) {
        std::fprintf(stderr, "the generated unit: %s\n", error.c_str());
        return 1;
    }
    g_dump = g_model.dumpText();
    if (!Open(g_modelSide) || !Open(g_bareSide))
        return 1;
    g_model.install(*g_modelSide.sim);
    drivesim::Program bare;
    for (std::size_t from = 0; from < g_dump.size();) {
        const std::size_t end = g_dump.find("\r\n", from);
        bare.push_back(drivesim::Line(g_dump.substr(from, end - from)));
        from = end + 2;
    }
    g_bareSide.sim->addCommand(drivesim::Match::exact("TX0"), bare);
    benchmark::RunSpecifiedBenchmarks();
    const double model = Median(g_modelSide.ms), scripted = Median(g_bareSide.ms);
    std::printf("read-all of %d parameters (%zu lines, %zu bytes): model %.2f ms, scripted reply %.2f ms, "
                "model/scripted %.3f; replies %s\n",
                g_parameters, bare.size(), g_dump.size(), model, scripted, scripted > 0 ? model / scripted : 0.0,
                g_modelSide.reply == g_bareSide.reply && !g_modelSide.reply.empty() ? "identical" : "DIFFER");
    benchmark::Shutdown();
    return 0;
}
