// The parameter report as Print makes it (ReportPrinting::FillReportTemplate: the template read,
// filled and the report file written) and the fill of the template's text alone
// (ReportPrinting::FillReportText), on generated units of 1,000, 2,000 and 4,000 parameters, with
// two templates: one row per parameter (value, initial value, unit, name), and the shipped English
// parameter template (a fixed set of rows, so nearly every token is left for the dash). Prints
// Google Benchmark's figures, then per case the median times and the growth from 1,000 to 4,000
// parameters (4.0 is linear; the file's write is a fixed cost).
//   report_bench [Google Benchmark options, e.g. --benchmark_repetitions=3]
#include "GeneratedUnit.h"

#include <talverin/ReportPrinting.h>

#include <model/DataFile.h>

#include <platform/text.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kSizes[] = {1000, 2000, 4000};
enum Template { kRowPerParameter = 0, kShipped = 1 };
constexpr const char* kTemplateNames[] = {"row per parameter", "shipped template"};

struct Fixture {
    explicit Fixture(int count)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "talverin-report-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder = pattern;
        const std::string unit = folder + "/unit.ini";
        templates[kRowPerParameter] = folder + "/template.html";
        templates[kShipped] = TALVERIN_SAMPLE_DATA_DIR "/report_en/report_Parameter.html";
        output = folder + "/report131.html";
        if (!plat::WriteFileAtomic(unit, bench::unitText(count))
            || !plat::WriteFileAtomic(templates[kRowPerParameter], bench::reportTemplate(count))
            || !plat::WriteFileAtomic(folder + "/Talverin.ini", "[Unit]\nGEN=" + unit + "\n")) {
            std::fprintf(stderr, "report_bench: cannot write the fixture\n");
            std::exit(1);
        }
        store.m_programFolder = folder;
        if (store.LoadSettings(folder + "/Talverin.ini") != 1 || store.LoadDefinition(unit) != 1
            || store.ResetToDefaults() != 1) {
            std::fprintf(stderr, "report_bench: cannot load the unit\n");
            std::exit(1);
        }
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    std::string folder, output;
    std::string templates[2];
    model::CDataFile store;
};

// Ended by main before the platform's own statics go.
std::map<int, std::unique_ptr<Fixture>> fixtures;

Fixture& fixture(int count)
{
    auto& slot = fixtures[count];
    if (!slot) slot = std::make_unique<Fixture>(count);
    return *slot;
}

void FillReportTemplate(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const std::string& path = f.templates[state.range(1)];
    talverin::ReportPrinting printing(f.store);
    for (auto _ : state)
        if (printing.FillReportTemplate(path, f.output, talverin::kReportViewParameter, 0) != 0)
            state.SkipWithError("fill failed");
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (const int kind : {kRowPerParameter, kShipped})
        for (const int n : kSizes) b->Args({n, kind});
    b->Unit(benchmark::kMillisecond);
}

void FillReportText(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    std::string text;
    if (!plat::ReadFileBytes(f.templates[state.range(1)], text)) state.SkipWithError("no template");
    talverin::ReportPrinting printing(f.store);
    for (auto _ : state) benchmark::DoNotOptimize(printing.FillReportText(text, talverin::kReportViewParameter, 0));
}

BENCHMARK(FillReportTemplate)->Apply(sizes);
BENCHMARK(FillReportText)->Apply(sizes);

// Keeps every repetition's time per (parameters, template) for the medians.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            char name[32] = {};
            int count = 0;
            int kind = 0;
            if (std::sscanf(run.benchmark_name().c_str(), "%31[A-Za-z]/%d/%d", name, &count, &kind) != 3) continue;
            times[name][kind][count].push_back(run.GetAdjustedRealTime());
        }
    }
    double median(const std::string& name, int kind, int count) const
    {
        const auto byName = times.find(name);
        if (byName == times.end() || !byName->second.count(kind) || !byName->second.at(kind).count(count)) return 0.0;
        std::vector<double> values = byName->second.at(kind).at(count);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    std::map<std::string, std::map<int, std::map<int, std::vector<double>>>> times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixtures.clear();
    std::printf("\n%-18s %-18s %10s %10s %10s %12s\n", "case", "template", "1,000 ms", "2,000 ms", "4,000 ms",
                "4,000/1,000");
    for (const char* name : {"FillReportTemplate", "FillReportText"}) {
        for (const int kind : {kRowPerParameter, kShipped}) {
            const double small = reporter.median(name, kind, 1000);
            const double large = reporter.median(name, kind, 4000);
            std::printf("%-18s %-18s %10.2f %10.2f %10.2f %12.2f\n", name, kTemplateNames[kind], small,
                        reporter.median(name, kind, 2000), large, small > 0 ? large / small : 0.0);
        }
    }
    std::printf("growth: the 4,000 time over the 1,000 time (linear: 4)\n");
    return 0;
}
