// brimlet_bench: Google Benchmark's run of every benchmark, then the table of the targets measured here (a missed
// target is shown there, not in the exit status, which fails only when a figure could not be measured). Without
// options of its own the repetitions are interleaved at random, so that a load that comes and goes on the machine
// falls on all benchmarks alike.

#include "target_table.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

bool HasOption(int Count, char** Arguments, const char* Prefix)
{
    for (int I = 1; I < Count; ++I)
        if (std::strncmp(Arguments[I], Prefix, std::strlen(Prefix)) == 0)
            return true;
    return false;
}

} // namespace

int main(int Count, char** Arguments)
{
    std::vector<char*> Options(Arguments, Arguments + Count);
    std::string Repetitions = "--benchmark_repetitions=9";
    std::string Interleaving = "--benchmark_enable_random_interleaving=true";
    std::string MinTime = "--benchmark_min_time=0.2";
    if (!HasOption(Count, Arguments, "--benchmark_repetitions"))
        Options.push_back(Repetitions.data());
    if (!HasOption(Count, Arguments, "--benchmark_enable_random_interleaving"))
        Options.push_back(Interleaving.data());
    if (!HasOption(Count, Arguments, "--benchmark_min_time"))
        Options.push_back(MinTime.data());
    int OptionCount = static_cast<int>(Options.size());
    Options.push_back(nullptr);
    benchmark::Initialize(&OptionCount, Options.data());
    if (benchmark::ReportUnrecognizedArguments(OptionCount, Options.data()))
        return 2;
    TTargetReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    std::cout << "\n";
    return Reporter.PrintTargets(std::cout) ? 0 : 1;
}
