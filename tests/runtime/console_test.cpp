#include <csignal>
#include <cstring>
#include <sys/time.h>

#include <gtest/gtest.h>

#include "runtime/console.h"
#include "support/test_support.h"

// A failed write is checked through the run frame, which turns it into the error report and status 217.

namespace {

TEST(Console, EachLineEndsInOneLineFeed)
{
    const TChildResult Run = RunInChild([] {
        WriteLine("alpha");
        WriteLine("");
        WriteLine("a\tb");
        return 0;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "alpha\n\na\tb\n");
}

void IgnoreSignal(int)
{
}

// A pipe takes a long line in parts, and a timer signal without SA_RESTART breaks the writes off; the line must
// still arrive complete and in order.
TEST(Console, ALongLineArrivesWholeThroughInterruptedWrites)
{
    std::string Text(8 << 20, ' ');
    for (std::size_t Index = 0; Index < Text.size(); ++Index)
        Text[Index] = static_cast<char>('A' + (Index * 7 + Index / 4096) % 26);
    const TChildResult Run = RunInChild([&Text] {
        struct sigaction Action;
        std::memset(&Action, 0, sizeof Action);
        Action.sa_handler = IgnoreSignal;
        sigaction(SIGALRM, &Action, nullptr);
        const itimerval Every = {{0, 200}, {0, 200}};
        setitimer(ITIMER_REAL, &Every, nullptr);
        WriteLine(Text);
        const itimerval Stop = {{0, 0}, {0, 0}};
        setitimer(ITIMER_REAL, &Stop, nullptr);
        return 0;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_TRUE(Run.Out == Text + "\n");
}

}
