// A console reporter that also keeps each benchmark's time per iteration, so that a benchmark
// program can print ratios between its measurements at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>

class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                ms[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // By benchmark name, in the benchmark's unit.
    std::map<std::string, double> ms;
};
