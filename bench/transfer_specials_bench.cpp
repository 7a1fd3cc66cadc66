// The upload/download dialog's work on a unit with [DOWNLOAD] Special parameters, for generated
// units of 500, 1,000, 2,000 and 4,000 parameters (three of them special):
//   DownloadList  the send list of a document file, the special parameters' records taken out of
//                 its parameter part (each record's parameter name read as the store reads it);
//   UploadText    the text an upload writes to a file from the read-all reply, the specials'
//                 answers moved after the header and their dump lines taken out.
// Prints Google Benchmark's figures, then the median times and the growth from 500 to 4,000
// (8.0 is linear). Run: build/release/bin/transfer_specials_bench [--benchmark_repetitions=3]
#include "BenchFixtures.h"
#include "GeneratedUnit.h"
#include "MedianReporter.h"

#include "transfer/TransferRules.h"

#include <model/DataFile.h>
#include <model/DocumentFile.h>

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

constexpr int kSizes[] = {500, 1000, 2000, 4000};
const std::string kSpecials = "QAAAB,QAAAC,QAAAD";

struct Fixture {
    explicit Fixture(int count)
    {
        const std::string unit = folder.file("unit.ini");
        const std::string document = folder.file("doc.zrd");
        if (!plat::WriteFileAtomic(unit, bench::unitText(count))
            || !plat::WriteFileAtomic(folder.file("Talverin.ini"),
                                      "[Unit]\nGEN=" + unit + "\n[DOWNLOAD]\nSpecial=" + kSpecials + "\n")) {
            std::fprintf(stderr, "transfer_specials_bench: cannot write the fixture\n");
            std::exit(1);
        }
        store.m_programFolder = folder.path;
        store.m_unitName = "GEN";
        if (store.LoadSettings(folder.file("Talverin.ini")) != 1 || store.LoadDefinition(unit) != 1
            || store.ResetToDefaults() != 1 || store.SaveDocument(document) != 1
            || !plat::ReadFileBytes(document, documentBytes) || store.m_specialParameters.size() != 3) {
            std::fprintf(stderr, "transfer_specials_bench: cannot prepare %d parameters\n", count);
            std::exit(1);
        }
        // The read-all reply as the dialog has it: the specials' answers, then the dump from the
        // data header on (the document's lines without its comments), CR line ends.
        std::string prefix;
        for (const std::string& name : store.m_specialParameters) prefix += name + "7\r";
        std::string dump;
        for (const std::string_view line : plat::SplitLines(documentBytes))
            if (line.empty() || line.front() != ';') dump.append(line).push_back('\r');
        store.ExtractSpecialParameters(prefix, specials);
        reply = prefix + dump;
        if (specials.size() != 3) {
            std::fprintf(stderr, "transfer_specials_bench: the specials' answers were not found\n");
            std::exit(1);
        }
    }

    bench::ScratchFolder folder{"talverin-specials"};
    std::string documentBytes, reply;
    std::vector<model::SpecialParameterLine> specials;
    model::CDataFile store;
};

bench::FixturesBySize<Fixture> fixtures;

void DownloadList(benchmark::State& state)
{
    Fixture& f = fixtures.get(static_cast<int>(state.range(0)));
    std::size_t before = 0;
    std::size_t after = 0;
    for (auto _ : state) {
        std::vector<std::string> records = talverin::BuildFileSendList(f.documentBytes, true);
        before = records.size();
        talverin::RemoveSpecialRecords(records, f.store.m_specialParameters, talverin::StoreParameterNameOf(f.store));
        after = records.size();
    }
    if (before != after + 3) state.SkipWithError("the specials were not all taken out");
}

void UploadText(benchmark::State& state)
{
    Fixture& f = fixtures.get(static_cast<int>(state.range(0)));
    const std::string data = f.reply.substr(f.reply.find("MM0"));
    const auto transferable = [&f](std::string_view name) {
        const model::CZRParamData* record = f.store.FindParameter(name);
        return record && record->m_attributes.find('T') != std::string::npos;
    };
    std::string text;
    for (auto _ : state)
        text = talverin::BuildUploadText(data, f.store.m_definitionHeader.size(), f.specials, transferable,
                                         talverin::StoreParameterNameOf(f.store));
    // The answers right after the header, the dump's own lines gone.
    if (text.find("MM0\rQAAAD7\rQAAAC7\rQAAAB7\r") != 0 || text.find("QAAAB1.00") != std::string::npos)
        state.SkipWithError("unexpected upload text");
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (const int n : kSizes) b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(DownloadList)->Apply(sizes);
BENCHMARK(UploadText)->Apply(sizes);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixtures.clear();
    std::printf("\n%-14s %10s %10s %10s %10s %10s\n", "case", "500 ms", "1,000 ms", "2,000 ms", "4,000 ms", "growth");
    for (const char* name : {"DownloadList", "UploadText"}) {
        const double small = reporter.median(name, {500});
        const double large = reporter.median(name, {4000});
        std::printf("%-14s %10.2f %10.2f %10.2f %10.2f %10.1f\n", name, small, reporter.median(name, {1000}),
                    reporter.median(name, {2000}), large, small > 0 ? large / small : 0.0);
    }
    std::printf("growth: the 4,000 time over the 500 time (linear: 8)\n");
    return 0;
}
