// A run killed with SIGKILL in the frame loop, where nothing of the program runs any more: every log entry written
// is whole, because each is flushed as it is written, and the file ends at the end of one.

#include "hostile/sim_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class LogKillTest : public ::testing::TestWithParam<int> {};

TEST_P(LogKillTest, LeavesOnlyWholeEntries)
{
    TSimRun Run;
    // At 60 frames a second the run would last over an hour; it is killed once the trace shows the flip.
    const std::string Script = "./brimlet-sim --headless --frames 250000 --trace trace.txt >/dev/null &\n"
                               "while kill -0 $! 2>/dev/null && ! grep -q 'FLIP " + std::to_string(GetParam()) +
                               " ' trace.txt 2>/dev/null; do sleep 0.02; done\n"
                               "kill -KILL $!; wait $!; echo $?\n";
    TChildOptions Options;
    Options.WorkingDirectory = Run.Folder();
    Options.Environment = TSimRun::Environment();
    Options.TimeoutSeconds = 60;
    const TChildResult Result = RunProgram({"/bin/sh", "-c", Script}, Options);
    ASSERT_EQ(Result.Out, "137\n") << "killed by SIGKILL in the frame loop\n"
                                   << Result.Err;

    const std::string Log = Run.Log();
    const std::vector<std::string> Messages = CompleteLogMessages(Log);
    ASSERT_FALSE(Messages.empty());
    EXPECT_EQ(Messages.front(), "Starting Application");
    EXPECT_EQ(Messages.back(), "Playing started") << "the last entry before the frame loop";
    EXPECT_EQ(Log.substr(Log.size() - 3), "\r\n\n");
}

INSTANTIATE_TEST_SUITE_P(AfterFlips, LogKillTest, ::testing::Values(1, 30));

} // namespace
