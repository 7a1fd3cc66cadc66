// "Set to default" on a parameter group of the parameter editor (the tree's context menu, as a
// user picks it), for one group of 500, 1,000, 2,000 and 4,000 generated parameters that all
// differ from their defaults: each is reset, its value cell redrawn, its change mark and the
// group's recounted and OnParamChange fired. Prints Google Benchmark's figures, then the median
// times, the time per parameter and the growth from 500 to 4,000 (8.0 is linear).
// Run: build/release/bin/group_reset_bench [--benchmark_repetitions=3]
#include <controls/ZRPARAMMembers.h>
#include <component/loader.h>
#include <component/registry.h>
#include <model/DataFile.h>
#include <platform/qt/popup_menu.h>
#include <platform/qt/pump.h>

#include "GeneratedUnit.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QTreeWidget>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

using comp::InvokeKind;
using comp::Variant;
namespace ids = ctl::zrparam;

constexpr int kSizes[] = {500, 1000, 2000, 4000};

// One editor over a store whose tree holds one group of `count` parameters.
struct Editor {
    model::CDataFile store;
    QWidget form;
    std::unique_ptr<comp::Control> control;
    QTreeWidget* tree = nullptr;

    explicit Editor(int count)
    {
        std::string definitions;
        std::string lines = "WR,,,,,,Big\r{\r"; // a group the command may reset
        for (int i = 0; i < count; ++i) {
            definitions += bench::definitionLine(i) + "\r";
            lines += "WR," + bench::parameterName(i) + ",,,,,\r";
        }
        lines += "}\r";
        store.ParseParameterDefinitions(definitions);
        store.ParseParameterTree(lines);
        store.ResetToDefaults();
        auto made = comp::Loader::instance().create(ctl::kZRPARAMIdentity.clsid);
        if (!made.ok()) {
            std::fprintf(stderr, "group_reset_bench: %s\n", made.error.c_str());
            std::exit(1);
        }
        control = std::move(made.control);
        QWidget* window = control->createWidget(&form);
        form.resize(820, 620);
        window->setGeometry(10, 10, 800, 600);
        form.show();
        control->invoke(ids::LoadFile, InvokeKind::Method, {Variant::fromString(""), Variant::fromString("")});
        control->invoke(ids::ShowTreeItem, InvokeKind::Method, {Variant::fromI4(0), Variant::fromString("Big")});
        plat::qt::PumpAllPending();
        tree = window->findChild<QTreeWidget*>(QStringLiteral("1000"));
        if (!tree || !tree->currentItem()) {
            std::fprintf(stderr, "group_reset_bench: no group selected\n");
            std::exit(1);
        }
    }
    // Every numeric value away from its default (text values are not reset by the group command).
    void changeAll()
    {
        for (const auto& record : *store.GetParameterList())
            if (!record->IsTextValued()) record->m_currentValue = record->m_defaultValue + 1;
    }
    void resetGroup()
    {
        plat::qt::ScopedPopupMenuRunner pick(plat::qt::PickMenuItem(QStringLiteral("Set to default")));
        const QPoint at = tree->visualItemRect(tree->currentItem()).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &event);
    }
};

std::map<int, std::unique_ptr<Editor>> editors;

void GroupReset(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    auto& editor = editors[count];
    if (!editor) editor = std::make_unique<Editor>(count);
    for (auto _ : state) {
        state.PauseTiming();
        editor->changeAll();
        state.ResumeTiming();
        editor->resetGroup();
    }
    // Every numeric value must be back at its default.
    for (const auto& record : *editor->store.GetParameterList())
        if (!record->IsTextValued() && record->m_currentValue != record->m_defaultValue) {
            state.SkipWithError("a value was not reset");
            break;
        }
}
BENCHMARK(GroupReset)->Apply([](benchmark::internal::Benchmark* b) {
    for (const int n : kSizes) b->Arg(n);
    b->Unit(benchmark::kMillisecond)->Iterations(3);
});

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            int count = 0;
            if (run.error_occurred || run.run_type != Run::RT_Iteration
                || std::sscanf(run.benchmark_name().c_str(), "GroupReset/%d", &count) != 1)
                continue;
            times[count].push_back(run.GetAdjustedRealTime());
        }
    }
    double median(int count) const
    {
        if (!times.count(count)) return 0.0;
        std::vector<double> values = times.at(count);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    std::map<int, std::vector<double>> times;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    comp::Registry::setDefaultPath(TALVERIN_COMPONENT_REGISTRY);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-12s %12s %14s\n", "parameters", "reset ms", "us/parameter");
    for (const int n : kSizes) {
        const double ms = reporter.median(n);
        std::printf("%-12d %12.2f %14.2f\n", n, ms, ms * 1000 / n);
    }
    const double small = reporter.median(kSizes[0]);
    std::printf("growth 4,000 / 500: %.1f (linear: 8)\n", small > 0 ? reporter.median(4000) / small : 0.0);
    editors.clear();
    comp::Loader::instance().shutdown();
    benchmark::Shutdown();
    return 0;
}
