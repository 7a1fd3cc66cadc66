// The parameter report as Print makes it (ReportPrinting::FillReportTemplate: the template read,
// filled and the report file written) and the fill of the template's text alone
// (ReportPrinting::FillReportText), on generated units of 1,000, 2,000 and 4,000 parameters, with
// two templates: one row per parameter (value, initial value, unit, name), and the shipped English
// parameter template (a fixed set of rows, so nearly every token is left for the dash). Prints
// Google Benchmark's figures, then per case the median times and the growth from 1,000 to 4,000
// parameters (4.0 is linear; the file's write is a fixed cost).
//   report_bench [Google Benchmark options, e.g. --benchmark_repetitions=3]
#include "BenchFixtures.h"
#include "GeneratedUnit.h"
#include "MedianReporter.h"

#include "report/ReportPrinting.h"

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
        const std::string unit = folder.file("unit.ini");
        templates[kRowPerParameter] = folder.file("template.html");
        templates[kShipped] = TALVERIN_SAMPLE_DATA_DIR "/report_en/report_Parameter.html";
        output = folder.file("report131.html");
        if (!plat::WriteFileAtomic(unit, bench::unitText(count))
            || !plat::WriteFileAtomic(templates[kRowPerParameter], bench::reportTemplate(count))
            || !plat::WriteFileAtomic(folder.file("Talverin.ini"), "[Unit]\nGEN=" + unit + "\n")) {
            std::fprintf(stderr, "report_bench: cannot write the fixture\n");
            std::exit(1);
        }
        store.m_programFolder = folder.path;
        if (store.LoadSettings(folder.file("Talverin.ini")) != 1 || store.LoadDefinition(unit) != 1
            || store.ResetToDefaults() != 1) {
            std::fprintf(stderr, "report_bench: cannot load the unit\n");
            std::exit(1);
        }
    }

    bench::ScratchFolder folder{"talverin-report"};
    std::string output;
    std::string templates[2];
    model::CDataFile store;
};

bench::FixturesBySize<Fixture> fixtures;

void FillReportTemplate(benchmark::State& state)
{
    Fixture& f = fixtures.get(static_cast<int>(state.range(0)));
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
    Fixture& f = fixtures.get(static_cast<int>(state.range(0)));
    std::string text;
    if (!plat::ReadFileBytes(f.templates[state.range(1)], text)) state.SkipWithError("no template");
    talverin::ReportPrinting printing(f.store);
    for (auto _ : state) benchmark::DoNotOptimize(printing.FillReportText(text, talverin::kReportViewParameter, 0));
}

BENCHMARK(FillReportTemplate)->Apply(sizes);
BENCHMARK(FillReportText)->Apply(sizes);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixtures.clear();
    std::printf("\n%-18s %-18s %10s %10s %10s %12s\n", "case", "template", "1,000 ms", "2,000 ms", "4,000 ms",
                "4,000/1,000");
    for (const char* name : {"FillReportTemplate", "FillReportText"}) {
        for (const int kind : {kRowPerParameter, kShipped}) {
            const double small = reporter.median(name, {1000, kind});
            const double large = reporter.median(name, {4000, kind});
            std::printf("%-18s %-18s %10.2f %10.2f %10.2f %12.2f\n", name, kTemplateNames[kind], small,
                        reporter.median(name, {2000, kind}), large, small > 0 ? large / small : 0.0);
        }
    }
    std::printf("growth: the 4,000 time over the 1,000 time (linear: 4)\n");
    return 0;
}
