#include "target_table.h"

#include "bench_names.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

double NanosecondsPer(benchmark::TimeUnit Unit)
{
    switch (Unit) {
    case benchmark::kNanosecond: return 1.0;
    case benchmark::kMicrosecond: return 1e3;
    case benchmark::kMillisecond: return 1e6;
    case benchmark::kSecond: return 1e9;
    }
    return 1.0;
}

} // namespace

void TTargetReporter::ReportRuns(const std::vector<Run>& Reports)
{
    benchmark::ConsoleReporter::ReportRuns(Reports);
    for (const Run& Report : Reports) {
        if (Report.run_type != Run::RT_Iteration || Report.error_occurred)
            continue;
        double Time = Report.GetAdjustedCPUTime() * NanosecondsPer(Report.time_unit);
        auto Frames = Report.counters.find(BenchFramesCounter);
        if (Frames != Report.counters.end() && Frames->second.value > 0)
            Time /= Frames->second.value;
        Nanoseconds[Report.run_name.function_name].push_back(Time);
    }
}

double TTargetReporter::Median(const std::string& Name) const
{
    auto Found = Nanoseconds.find(Name);
    if (Found == Nanoseconds.end() || Found->second.empty())
        return -1;
    std::vector<double> Times = Found->second;
    std::sort(Times.begin(), Times.end());
    const std::size_t Middle = Times.size() / 2;
    return Times.size() % 2 != 0 ? Times[Middle] : (Times[Middle - 1] + Times[Middle]) / 2;
}

bool TTargetReporter::PrintTargets(std::ostream& Out) const
{
    struct TRatio {
        const char* Figure;
        const char* Measured;
        const char* Baseline;
        double Target;
    };
    const TRatio Ratios[] = {
        {"1 engine copy / memcpy", BenchEngineCopy, BenchMemcpyView, 1.25},
        {"1 Blit copy / memcpy", BenchBlitCopy, BenchMemcpyView, 1.25},
        {"1 engine keyed copy / memcpy", BenchEngineKeyed, BenchMemcpyView, 3.0},
        {"1 Blit keyed copy / memcpy", BenchBlitKeyed, BenchMemcpyView, 3.0},
        {"2 frame / memcpy of its rows", BenchWholeFrame, BenchMemcpyFrame, 1.5},
    };
    bool AllMeasured = true;
    char Line[200];
    std::snprintf(Line, sizeof Line, "%-34s %-28s %s\n", "figure (medians, processor time)", "measured", "target");
    Out << Line;
    for (const TRatio& Ratio : Ratios) {
        const double Measured = Median(Ratio.Measured);
        const double Baseline = Median(Ratio.Baseline);
        if (Measured < 0 || Baseline <= 0) {
            std::snprintf(Line, sizeof Line, "%-34s %-28s %-10s missing\n", Ratio.Figure, "not measured", "");
            AllMeasured = false;
        } else {
            const double Value = Measured / Baseline;
            const bool Met = Value <= Ratio.Target;
            char Figure[64];
            std::snprintf(Figure, sizeof Figure, "%.2f x (%.1f / %.1f us)", Value, Measured / 1e3, Baseline / 1e3);
            std::snprintf(Line, sizeof Line, "%-34s %-28s <= %-7.2f %s\n", Ratio.Figure, Figure, Ratio.Target,
                          Met ? "met" : "MISSED");
        }
        Out << Line;
    }
    const double Lines = Median(BenchStatusLines);
    if (Lines >= 0) {
        std::snprintf(Line, sizeof Line, "%-34s %-28s %-10s (part of 2)\n", "  three status lines (DrawText)",
                      (std::to_string(static_cast<long>(Lines + 0.5)) + " ns").c_str(), "");
        Out << Line;
    }
    return AllMeasured;
}
