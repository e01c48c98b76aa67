#pragma once
// A console reporter that also keeps every repetition's time per benchmark, and afterwards prints the figures of
// the targets side by side: each ratio is of medians taken in this one run. The time is the thread's processor
// time: every benchmark here runs on one thread in fast mode and never sleeps, so on an idle machine it equals the
// wall time, and on a machine shared with builds it leaves out the time the thread waited for a core.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TTargetReporter : public benchmark::ConsoleReporter {
public:
    TTargetReporter() : benchmark::ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& Reports) override;
    // The table of figures and targets; false when a figure could not be measured.
    bool PrintTargets(std::ostream& Out) const;

private:
    std::map<std::string, std::vector<double>> Nanoseconds; // per iteration (per frame where frames are counted)
    double Median(const std::string& Name) const;           // negative when the benchmark did not run
};
