// The report fill as Print runs it (ReportPrinting::FillReportTemplate: the buffer sized from the
// template and grown until the fill fits, then the report file written) against one fill with
// unlimited room and the same write, on a generated 2,000-parameter unit and a template with one
// row per parameter (value, initial value, unit, name). Two label lengths: the unit's own short
// labels (the first buffer is large enough), and 2,000-character labels (it is not, so the fill runs
// again on a larger buffer). Prints Google Benchmark's figures and the ratio per case.
//   report_bench [Google Benchmark options]
#include "GeneratedUnit.h"

#include <talverin/ReportPrinting.h>

#include <model/DataFile.h>
#include <model/ReportFill.h>

#include <platform/text.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include <unistd.h>

namespace {

constexpr int kParameters = 2000;
// Longer than 20 rows of the template: the first buffer is too small.
constexpr int kLongLabel = 2000;

struct Fixture {
    explicit Fixture(std::size_t labelLength)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "talverin-report-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        folder = pattern;
        const std::string unit = folder + "/unit.ini";
        templatePath = folder + "/template.html";
        output = folder + "/report131.html";
        std::string text = "<html><body><p>##YEAR##/##MONTH##/##DAY##</p><table>\n";
        for (int i = 0; i < kParameters; ++i) {
            const std::string name = bench::parameterName(i);
            text += "<tr><td>##" + name + "-NAME##</td><td>##" + name + "##</td><td>##" + name + "-INIT##</td><td>##"
                    + name + "-UNIT##</td></tr>\n";
        }
        text += "</table><p>##ZZ##</p></body></html>\n";
        if (!plat::WriteFileAtomic(unit, bench::unitText(kParameters)) || !plat::WriteFileAtomic(templatePath, text)
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
        if (labelLength)
            for (auto& record : *store.GetParameterList()) record->m_label = std::string(labelLength, 'L');
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

    std::string folder, templatePath, output;
    model::CDataFile store;
};

// Ended by main before the platform's own statics go.
std::map<std::size_t, std::unique_ptr<Fixture>> fixtures;

Fixture& fixture(std::size_t labelLength)
{
    auto& slot = fixtures[labelLength];
    if (!slot) slot = std::make_unique<Fixture>(labelLength);
    return *slot;
}

void FillReportTemplate(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<std::size_t>(state.range(0)));
    talverin::ReportPrinting printing(f.store);
    for (auto _ : state)
        if (printing.FillReportTemplate(f.templatePath, f.output, talverin::kReportViewParameter, 0) != 0)
            state.SkipWithError("fill failed");
}

void UnlimitedFill(benchmark::State& state)
{
    Fixture& f = fixture(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        model::ReportText report{{}, model::ReportText::kUnlimited};
        if (!plat::ReadFileBytes(f.templatePath, report.text) || f.store.WriteParameterReport(report) != 0
            || model::FillReportDate(report) != 0 || model::ReplaceLeftoverTokens(report, "-") != 0
            || !plat::WriteFileAtomic(f.output, report.text))
            state.SkipWithError("fill failed");
    }
}

void labels(benchmark::internal::Benchmark* b) { b->Arg(0)->Arg(kLongLabel)->Unit(benchmark::kMillisecond); }

BENCHMARK(FillReportTemplate)->Apply(labels);
BENCHMARK(UnlimitedFill)->Apply(labels);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
            const std::string name = run.benchmark_name();
            const auto slash = name.find('/');
            times[name.substr(0, slash)][std::atoi(name.c_str() + slash + 1)] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, std::map<int, double>> times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixtures.clear();
    for (const int label : {0, kLongLabel}) {
        const double grown = reporter.times["FillReportTemplate"][label];
        const double unlimited = reporter.times["UnlimitedFill"][label];
        std::printf("labels of %3d characters: FillReportTemplate %.2f ms, unlimited fill %.2f ms, ratio %.2f\n",
                    label, grown, unlimited, unlimited > 0 ? grown / unlimited : 0.0);
    }
    return 0;
}
