// A console reporter that also keeps the time of every repetition by benchmark and arguments, so
// that a benchmark program can print medians, ratios and growth at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace bench {

class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration)
                continue;
            // "Name/4000/1/iterations:3/manual_time": the name and the numeric arguments.
            const std::string full = run.benchmark_name();
            std::string name = full.substr(0, full.find('/'));
            std::vector<long> args;
            for (std::size_t at = full.find('/'); at != std::string::npos; at = full.find('/', at + 1)) {
                char* end = nullptr;
                const long value = std::strtol(full.c_str() + at + 1, &end, 10);
                if (end != full.c_str() + at + 1 && (*end == '/' || *end == '\0'))
                    args.push_back(value);
            }
            times[name][args].push_back(run.GetAdjustedRealTime());
        }
    }
    // In the benchmarks' unit; 0 when there was no such run.
    double median(const std::string& name, const std::vector<long>& args = {}) const
    {
        const auto byName = times.find(name);
        if (byName == times.end() || !byName->second.count(args))
            return 0.0;
        std::vector<double> values = byName->second.at(args);
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }

private:
    std::map<std::string, std::map<std::vector<long>, std::vector<double>>> times;
};

} // namespace bench
