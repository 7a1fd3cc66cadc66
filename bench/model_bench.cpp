// The data store's readers and writer on generated units of 500, 1,000, 2,000, 4,000 and 20,000
// parameters (letters-only names; integer, two-decimal, ON/OFF and free-text parameters in turn;
// every one in the tree, in groups):
//   UnitLoad      the unit definition file with its full tree and [Indirect] section;
//   DocumentLoad  a document the store wrote, read back;
//   UnitAndDocument  both, as opening a document loads them;
//   DocumentSave  the document written;
//   ReplyLoad     the driver's read-all reply (driver order, CR line ends) loaded from a file.
// Prints Google Benchmark's figures, then per case the median times and the growth from 500 to
// 4,000 parameters (8 is linear) and from 2,000 to 20,000 (10 is linear).
//   model_bench [Google Benchmark options, e.g. --benchmark_repetitions=5]
#include "BenchFixtures.h"
#include "GeneratedUnit.h"
#include "MedianReporter.h"

#include <model/DataFile.h>

#include <platform/message_box.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using bench::parameterName;
using bench::unitText;

constexpr int kSizes[] = {500, 1000, 2000, 4000, 20000};

// The value a document or reply gives parameter `index`.
std::string valueLine(int index)
{
    const std::string name = parameterName(index);
    switch (index % 4) {
    case 0:
        return name + std::to_string(index % 3000);
    case 1:
        return name + "12.34";
    case 2:
        return name + (index % 8 == 2 ? "ON" : "OFF");
    default:
        return name + "MANUAL";
    }
}

// The read-all reply: parameters, the channel part, the pins (CR line ends).
std::string replyText(int count)
{
    std::string out = "MM0\r";
    for (int i = 0; i < count; ++i)
        out += valueLine(i) + "\r";
    out += "\rCC/AL\rCH0\rMOV+1000\rEND\r\r";
    for (int ch = 1; ch < 256; ++ch)
        out += "CH" + std::to_string(ch) + "\r\r";
    out += "\rPI/CL\rPI0\rFN1\rAB0\rNW0\r\rPO/CL\rPO0\rFN2\rGC0\rST0\r\r";
    return out;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Answers every box (a failed load must not wait for a user).
class SilentBoxes : public plat::MessageBoxService {
public:
    int show(plat::HWND, const std::string&, const std::string&, plat::UINT type) override
    {
        return plat::MessageBoxDefaultButton(type);
    }
};

// One generated program folder per size: settings file, unit file, a written document, a reply.
struct Fixture {
    explicit Fixture(int count)
    {
        unit = folder.file("unit.ini");
        settings = folder.file("Talverin.ini");
        document = folder.file("doc.zrd");
        reply = folder.file("reply.txt");
        writeFile(unit, unitText(count));
        writeFile(settings, "[Unit]\nGEN=" + unit + "\n");
        writeFile(reply, replyText(count));
        store.m_programFolder = folder.path;
        store.m_unitName = "GEN";
        int code = 0;
        if (store.LoadSettings(settings) != 1 || store.LoadDefinition(unit) != 1 || store.LoadDocument(reply, code) != 1
            || store.SaveDocument(document) != 1) {
            std::fprintf(stderr, "model_bench: cannot prepare %d parameters\n", count);
            std::exit(1);
        }
    }

    bench::ScratchFolder folder{"talverin-bench"};
    std::string unit, settings, document, reply;
    model::CDataFile store;
};

bench::FixturesBySize<Fixture> fixtures;

// Runs `step` on the fixture of the benchmark's size once per iteration. The store keeps the
// generated unit loaded throughout, so every step starts from the same lists.
template <typename Step>
void measure(benchmark::State& state, const char* failure, Step step)
{
    Fixture& f = fixtures.get(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (!step(f))
            state.SkipWithError(failure);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

bool loadDocument(Fixture& f, const std::string& path)
{
    int code = 0;
    return f.store.LoadDocument(path, code) == 1;
}

void UnitLoad(benchmark::State& state)
{
    measure(state, "unit load failed", [](Fixture& f) { return f.store.LoadDefinition(f.unit) == 1; });
}

void DocumentLoad(benchmark::State& state)
{
    measure(state, "document load failed", [](Fixture& f) { return loadDocument(f, f.document); });
}

void UnitAndDocument(benchmark::State& state)
{
    measure(state, "unit or document load failed",
            [](Fixture& f) { return f.store.LoadDefinition(f.unit) == 1 && loadDocument(f, f.document); });
}

void DocumentSave(benchmark::State& state)
{
    measure(state, "document save failed", [](Fixture& f) { return f.store.SaveDocument(f.document) == 1; });
}

void ReplyLoad(benchmark::State& state)
{
    measure(state, "reply load failed", [](Fixture& f) { return loadDocument(f, f.reply); });
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (const int n : kSizes)
        b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(UnitLoad)->Apply(sizes);
BENCHMARK(DocumentLoad)->Apply(sizes);
BENCHMARK(UnitAndDocument)->Apply(sizes);
BENCHMARK(DocumentSave)->Apply(sizes);
BENCHMARK(ReplyLoad)->Apply(sizes);

} // namespace

int main(int argc, char** argv)
{
    SilentBoxes boxes;
    plat::ScopedMessageBoxService scoped(boxes);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fixtures.clear();

    std::printf("\n%-16s", "case");
    for (const int n : kSizes)
        std::printf(" %9d ms", n);
    std::printf(" %9s %9s %9s\n", "4k/500", "20k/2k", "us/param");
    for (const char* name : {"UnitLoad", "DocumentLoad", "UnitAndDocument", "DocumentSave", "ReplyLoad"}) {
        if (reporter.median(name, {kSizes[0]}) <= 0)
            continue; // filtered out
        std::printf("%-16s", name);
        for (const int n : kSizes)
            std::printf(" %12.2f", reporter.median(name, {n}));
        const auto growth = [&](int small, int large) {
            const double t = reporter.median(name, {small});
            return t > 0 ? reporter.median(name, {large}) / t : 0.0;
        };
        std::printf(" %9.1f %9.1f %9.2f\n", growth(500, 4000), growth(2000, 20000),
                    reporter.median(name, {20000}) * 1000 / 20000);
    }
    std::printf("growth: 4,000 over 500 parameters (linear: 8), 20,000 over 2,000 (linear: 10)\n");
    return 0;
}
