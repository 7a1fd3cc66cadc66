// What a user waits for when the program reads or saves its settings: every key of a 2,000-key
// settings file through one snapshot against key by key (each single-key read parses the file
// again), and 200 changes through one edit against 200 single writes (each a full rewrite). Prints
// each figure and the ratios. Run: build/release/bin/profile_bench
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace plat;

namespace {

constexpr int kSections = 20;
constexpr int kKeysPerSection = 100; // 2,000 keys
constexpr int kChanges = 200;

struct Fixture {
    std::string folder;
    std::string file;
    std::vector<std::pair<std::string, std::string>> keys; // section, key

    Fixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "profile-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("profile_bench: mkdtemp");
            std::exit(1);
        }
        folder = pattern;
        file = folder + "/Talverin.ini";
        std::string bytes = "; settings of the bench\r\n";
        for (int s = 0; s < kSections; ++s) {
            const std::string section = "Section" + std::to_string(s);
            bytes += "[" + section + "]\r\n";
            for (int k = 0; k < kKeysPerSection; ++k) {
                const std::string key = "Key" + std::to_string(k);
                bytes += key + "=" + std::to_string(s * 1000 + k) + ",12.5,\"text of the value\"\r\n";
                keys.emplace_back(section, key);
            }
        }
        reset(bytes);
        m_bytes = bytes;
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
    void reset(const std::string& bytes) const { WriteFileAtomic(file, bytes); }
    void reset() const { reset(m_bytes); }

private:
    std::string m_bytes;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void SnapshotReadAll(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        const profile::Snapshot snap(f.file);
        std::size_t total = 0;
        for (const auto& [s, k] : f.keys)
            total += snap.getString(s, k).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.keys.size()));
}

void SingleKeyReadAll(benchmark::State& state)
{
    const Fixture& f = fixture();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const auto& [s, k] : f.keys)
            total += profile::getString(f.file, s, k).size();
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(f.keys.size()));
}

void EditCommit200(benchmark::State& state)
{
    const Fixture& f = fixture();
    int round = 0;
    for (auto _ : state) {
        profile::Edit edit(f.file);
        for (int i = 0; i < kChanges; ++i)
            edit.setInt(f.keys[static_cast<std::size_t>(i * 10)].first, f.keys[static_cast<std::size_t>(i * 10)].second, round + i);
        if (!edit.commit())
            state.SkipWithError("commit failed");
        ++round;
    }
    f.reset();
}

void SingleWrites200(benchmark::State& state)
{
    const Fixture& f = fixture();
    int round = 0;
    for (auto _ : state) {
        for (int i = 0; i < kChanges; ++i) {
            const auto& [s, k] = f.keys[static_cast<std::size_t>(i * 10)];
            if (!profile::setInt(f.file, s, k, round + i))
                state.SkipWithError("write failed");
        }
        ++round;
    }
    f.reset();
}

BENCHMARK(SnapshotReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(SingleKeyReadAll)->Unit(benchmark::kMillisecond);
BENCHMARK(EditCommit200)->Unit(benchmark::kMillisecond);
BENCHMARK(SingleWrites200)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's real time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs) {
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                ms[r.benchmark_name()] = r.GetAdjustedRealTime(); // in the unit asked: ms
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto ratio = [&](const char* slow, const char* fast) {
        const auto a = reporter.ms.find(slow), b = reporter.ms.find(fast);
        if (a != reporter.ms.end() && b != reporter.ms.end() && b->second > 0)
            std::printf("%-18s / %-16s = %8.1f x\n", slow, fast, a->second / b->second);
    };
    std::printf("\n2,000 keys: snapshot read of every key %.3f ms (goal: under 5 ms)\n",
                reporter.ms.count("SnapshotReadAll") ? reporter.ms["SnapshotReadAll"] : -1.0);
    ratio("SingleKeyReadAll", "SnapshotReadAll");
    ratio("SingleWrites200", "EditCommit200");
    return 0;
}
