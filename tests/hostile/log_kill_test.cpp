// A run killed with SIGKILL in the frame loop, where nothing of the program runs any more: every log entry that was
// written is whole, because each is flushed as soon as it is written, and the file ends at the end of one.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Starts ./brimlet-sim with Arguments in the run's folder, its output sent to files there; the process id.
pid_t Start(const TSimRun& Run, const std::vector<std::string>& Arguments)
{
    const pid_t Child = fork();
    if (Child != 0)
        return Child;
    if (chdir(Run.Folder().c_str()) != 0)
        _exit(126);
    for (const std::string& Setting : TSimRun::Environment())
        putenv(strdup(Setting.c_str()));
    const int Out = open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int Err = open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (Out < 0 || Err < 0 || dup2(Out, 1) < 0 || dup2(Err, 2) < 0)
        _exit(126);
    std::vector<char*> Words{const_cast<char*>("./brimlet-sim")};
    for (const std::string& Argument : Arguments)
        Words.push_back(const_cast<char*>(Argument.c_str()));
    Words.push_back(nullptr);
    execv(Words[0], Words.data());
    _exit(127);
}

// Waits until the trace shows flip Flip, or the child has ended, or a minute has passed; true for the flip.
bool WaitForFlip(const TSimRun& Run, pid_t Child, int Flip)
{
    const std::string Mark = "FLIP " + std::to_string(Flip) + " ";
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < Deadline) {
        if (ReadFileIfAny(Run.File("trace.txt")).find(Mark) != std::string::npos)
            return true;
        if (waitpid(Child, nullptr, WNOHANG) == Child)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

class LogKillTest : public ::testing::TestWithParam<int> {};

TEST_P(LogKillTest, LeavesOnlyWholeEntries)
{
    TSimRun Run;
    // At 60 frames a second this run would last over an hour; it is killed long before.
    const pid_t Child = Start(Run, {"--headless", "--frames", "250000", "--trace", "trace.txt"});
    ASSERT_GT(Child, 0);
    const bool Flipped = WaitForFlip(Run, Child, GetParam());
    kill(Child, SIGKILL);
    int Status = 0;
    ASSERT_EQ(waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(Flipped) << ReadFileIfAny(Run.File("out.txt")) << ReadFileIfAny(Run.File("err.txt"));
    ASSERT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGKILL);

    const std::string Log = Run.Log();
    const std::vector<std::string> Messages = CompleteLogMessages(Log);
    ASSERT_FALSE(Messages.empty());
    EXPECT_EQ(Messages.front(), "Starting Application");
    EXPECT_EQ(Messages.back(), "Playing started") << "the last entry before the frame loop";
    EXPECT_EQ(Log.substr(Log.size() - 3), "\r\n\n");
}

INSTANTIATE_TEST_SUITE_P(AfterFlips, LogKillTest, ::testing::Values(1, 30));

} // namespace
