#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/time.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "runtime/console.h"
#include "runtime/errors.h"
#include "support/test_support.h"

namespace {

// In a child: writes Text as a line and returns 0, or the error number of the EInOutError it raised.
int WriteAndReport(const std::string& Text)
{
    try {
        WriteLine(Text);
        return 0;
    } catch (const EInOutError& Error) {
        std::fprintf(stderr, "%s\n", Error.Message.c_str());
        return Error.ErrorCode;
    }
}

TEST(Console, EachLineEndsInOneLineFeed)
{
    const TChildResult Run = RunInChild([] {
        WriteLine("alpha");
        WriteLine("");
        WriteLine("tab\there");
        return 0;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "alpha\n\ntab\there\n");
}

TEST(Console, AFullDeviceRaisesTheInOutError)
{
    TChildOptions Options;
    Options.StdoutPath = "/dev/full";
    const TChildResult Run = RunInChild([] { return WriteAndReport("lost"); }, Options);
    EXPECT_EQ(Run.ExitStatus, ENOSPC);
    EXPECT_EQ(Run.Err, "No space left on device\n");
}

TEST(Console, AClosedPipeRaisesInsteadOfKilling)
{
    const TChildResult Run = RunInChild([] {
        std::signal(SIGPIPE, SIG_IGN);
        int Pipe[2];
        if (pipe(Pipe) != 0)
            return 100;
        close(Pipe[0]);
        dup2(Pipe[1], STDOUT_FILENO);
        return WriteAndReport("nobody reads this");
    });
    EXPECT_EQ(Run.Signal, 0);
    EXPECT_EQ(Run.ExitStatus, EPIPE);
    EXPECT_EQ(Run.Err, "Broken pipe\n");
}

void CountSignal(int)
{
}

TEST(Console, ALongLineArrivesWholeThroughInterruptedWrites)
{
    // A pipe takes a long line in parts, and a timer signal without SA_RESTART breaks the writes off; the line
    // must still arrive complete and in order.
    constexpr std::size_t Length = 8 << 20;
    std::string Text(Length, ' ');
    for (std::size_t Index = 0; Index < Length; ++Index)
        Text[Index] = static_cast<char>('A' + (Index * 7 + Index / 4096) % 26);

    const TChildResult Run = RunInChild([&Text] {
        struct sigaction Action;
        std::memset(&Action, 0, sizeof Action);
        Action.sa_handler = CountSignal;
        sigaction(SIGALRM, &Action, nullptr);
        const itimerval Every = {{0, 200}, {0, 200}};
        setitimer(ITIMER_REAL, &Every, nullptr);
        const int Status = WriteAndReport(Text);
        const itimerval Stop = {{0, 0}, {0, 0}};
        setitimer(ITIMER_REAL, &Stop, nullptr);
        return Status;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    ASSERT_EQ(Run.Out.size(), Length + 1);
    EXPECT_TRUE(Run.Out.compare(0, Length, Text) == 0);
    EXPECT_EQ(Run.Out.back(), '\n');
}

}
