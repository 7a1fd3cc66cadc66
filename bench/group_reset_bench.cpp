// "Set to default" on a parameter group of the parameter editor (the tree's context menu, as a
// user picks it), for one group of 500, 1,000, 2,000 and 4,000 generated parameters that all
// differ from their defaults: each is reset, its value cell redrawn, its change mark and the
// group's recounted and OnParamChange fired. Prints Google Benchmark's figures, then the median
// times, the time per parameter and the growth from 500 to 4,000 (8.0 is linear).
// Run: build/release/bin/group_reset_bench [--benchmark_repetitions=3]
#include <component/loader.h>
#include <component/registry.h>
#include <model/DataFile.h>
#include <platform/qt/popup_menu.h>
#include <platform/qt/pump.h>

#include "MedianReporter.h"
#include "ParamEditorForm.h"

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

using comp::Variant;
namespace ids = ctl::zrparam;

constexpr int kSizes[] = {500, 1000, 2000, 4000};

// One editor over a store whose tree holds one group of `count` parameters.
struct Editor {
    model::CDataFile store;
    std::unique_ptr<bench::ParamEditorForm> editor;
    QTreeWidget* tree = nullptr;

    explicit Editor(int count)
    {
        std::string definitions;
        std::string lines;
        bench::AppendParameterGroup(count, "WR,,,,,,Big", definitions, lines); // a group the command may reset
        store.ParseParameterDefinitions(definitions);
        store.ParseParameterTree(lines);
        store.ResetToDefaults();
        editor = std::make_unique<bench::ParamEditorForm>("group_reset_bench");
        editor->call(ids::ShowTreeItem, {Variant::fromI4(0), Variant::fromString("Big")});
        plat::qt::PumpAllPending();
        tree = editor->window->findChild<QTreeWidget*>(QStringLiteral("1000"));
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

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    comp::Registry::setDefaultPath(TALVERIN_COMPONENT_REGISTRY);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%-12s %12s %14s\n", "parameters", "reset ms", "us/parameter");
    for (const int n : kSizes) {
        const double ms = reporter.median("GroupReset", {n});
        std::printf("%-12d %12.2f %14.2f\n", n, ms, ms * 1000 / n);
    }
    const double small = reporter.median("GroupReset", {kSizes[0]});
    std::printf("growth 4,000 / 500: %.1f (linear: 8)\n", small > 0 ? reporter.median("GroupReset", {4000}) / small : 0.0);
    editors.clear();
    comp::Loader::instance().shutdown();
    benchmark::Shutdown();
    return 0;
}
