#pragma once
// One run of a child process, timed from just before it is started to its exit, with what the kernel counted for
// it.

#include <string>
#include <vector>

struct TChildRun {
    bool Started = false;
    int ExitStatus = -1; // the exit status, or -1 when it did not exit by itself
    double WallSeconds = 0;
    double CpuSeconds = 0; // user plus system time
    long PeakResidentKiB = 0;
};

// Runs Arguments (the first is the executable's path) in Folder with standard output and standard error on
// /dev/null. After InterruptAfter seconds (when above 0) the child gets SIGINT, as a person's Ctrl-C; after
// KillAfter seconds it is killed.
TChildRun RunChild(const std::vector<std::string>& Arguments, const std::string& Folder, double InterruptAfter,
                   double KillAfter);
