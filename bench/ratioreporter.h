// SPDX-License-Identifier: MIT
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Runs the registered benchmarks and prints "RATIO <name> = <ours/peer>" for each pair,
// from the mean real time per iteration.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                m_times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    double time(const std::string &name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> m_times;
};

// Parses the arguments, runs everything, prints the ratios; returns the exit code.
inline int RunWithRatios(
    int argc, char **argv,
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> &ratios)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto &[name, pair] : ratios) {
        const double ours = reporter.time(pair.first), peer = reporter.time(pair.second);
        if (ours > 0 && peer > 0)
            std::printf("RATIO %s = %.3f\n", name.c_str(), ours / peer);
    }
    benchmark::Shutdown();
    return 0;
}
