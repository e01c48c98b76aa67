#include "child_run.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double Now()
{
    timespec Time{};
    clock_gettime(CLOCK_MONOTONIC, &Time);
    return static_cast<double>(Time.tv_sec) + static_cast<double>(Time.tv_nsec) / 1e9;
}

[[noreturn]] void ExecChild(const std::vector<std::string>& Arguments, const std::string& Folder)
{
    const int Null = open("/dev/null", O_RDWR);
    if (Null < 0 || chdir(Folder.c_str()) != 0)
        _exit(127);
    dup2(Null, STDIN_FILENO);
    dup2(Null, STDOUT_FILENO);
    dup2(Null, STDERR_FILENO);
    std::vector<char*> Words;
    for (const std::string& Argument : Arguments)
        Words.push_back(const_cast<char*>(Argument.c_str()));
    Words.push_back(nullptr);
    execv(Words[0], Words.data());
    _exit(127);
}

// Waits until the child has exited or Deadline has come; true when it has exited (it is not reaped here).
bool WaitForExit(int PidHandle, double Deadline)
{
    for (;;) {
        const double Left = Deadline - Now();
        if (Left <= 0)
            return false;
        pollfd Poll{PidHandle, POLLIN, 0};
        const int Ready = poll(&Poll, 1, static_cast<int>(Left * 1000) + 1);
        if (Ready > 0)
            return true;
        if (Ready < 0 && errno != EINTR)
            return false;
    }
}

} // namespace

TChildRun RunChild(const std::vector<std::string>& Arguments, const std::string& Folder, double InterruptAfter,
                   double KillAfter)
{
    TChildRun Run;
    const double Start = Now();
    const pid_t Child = fork();
    if (Child < 0)
        return Run;
    if (Child == 0)
        ExecChild(Arguments, Folder);
    Run.Started = true;
    const int PidHandle = static_cast<int>(syscall(SYS_pidfd_open, Child, 0));
    if (PidHandle >= 0) {
        if (InterruptAfter > 0 && !WaitForExit(PidHandle, Start + InterruptAfter))
            kill(Child, SIGINT);
        if (!WaitForExit(PidHandle, Start + KillAfter))
            kill(Child, SIGKILL);
        close(PidHandle);
    }
    int Status = 0;
    rusage Usage{};
    while (wait4(Child, &Status, 0, &Usage) < 0 && errno == EINTR) {
    }
    Run.WallSeconds = Now() - Start;
    Run.CpuSeconds = static_cast<double>(Usage.ru_utime.tv_sec + Usage.ru_stime.tv_sec)
        + static_cast<double>(Usage.ru_utime.tv_usec + Usage.ru_stime.tv_usec) / 1e6;
    Run.PeakResidentKiB = Usage.ru_maxrss;
    Run.ExitStatus = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    return Run;
}
