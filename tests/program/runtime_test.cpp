// The runtime layer: the number syntax and whole-line console output.

#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/time.h>
#include <unistd.h>

#include "program.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/str_to_int.h"

namespace {

// Hexadecimal, binary and octal numbers are 32-bit patterns, with a minus sign at most 0x80000000.
TEST(StrToInt, ConvertsUpToItsBoundariesAndRaisesBeyondThem)
{
    const std::pair<std::string, std::int32_t> Converting[] = {
        {"0", 0}, {"007", 7}, {"+7", 7}, {"-0", 0}, {" \t-42", -42}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
        {"$Ff", 255}, {"x1F", 31}, {"X1f", 31}, {"0x12", 18}, {"0X12", 18}, {"-$12", -18}, {"$000000000012", 18},
        {"$FFFFFFFF", -1}, {"-$80000000", INT_MIN}, {"%10010", 18}, {"&22", 18}, {"&37777777777", -1}};
    for (const auto& [Text, Value] : Converting)
        EXPECT_EQ(StrToInt(Text), Value) << Text;
    const std::string Refused[] = {"2147483648", "-2147483649", "99999999999999999999", "$100000000", "-$80000001",
                                   "%2", "&8", "&40000000000", "", " ", "-", "$", "0x", "12a", "12 ", "--1", "$-1",
                                   "\v12", "$G", "1.0", std::string("12\0", 3)};
    for (const std::string& Text : Refused)
        EXPECT_THROW(StrToInt(Text), EConvertError) << Text;
}

// The console's pipe, full before the line is written and drained only by the signal handler: the first signal
// finds the writer waiting before it has written anything, the later ones after a partial write.
int Reader = -1;
char Received[2 << 20];
volatile std::size_t ReceivedSize = 0;

// It keeps errno, which the interrupted writer may be about to read.
void Drain(int)
{
    const int Error = errno;
    const ssize_t Count = read(Reader, Received + ReceivedSize, sizeof Received - ReceivedSize);
    ReceivedSize += Count > 0 ? static_cast<std::size_t>(Count) : 0;
    errno = Error;
}

// A line longer than the pipe holds leaves in parts, and writes interrupted by a signal are taken up again: the
// line arrives whole and in order.
TEST(Console, ALongLineArrivesWholeThroughInterruptedWrites)
{
    const TChildResult Run = RunInChild([] {
        std::string Text(1 << 20, ' ');
        for (std::size_t Index = 0; Index < Text.size(); ++Index)
            Text[Index] = static_cast<char>('A' + (Index * 7 + Index / 4096) % 26);
        int Pipe[2];
        if (pipe(Pipe) != 0 || dup2(Pipe[1], STDOUT_FILENO) < 0 || fcntl(Pipe[0], F_SETFL, O_NONBLOCK) != 0)
            return 2;
        Reader = Pipe[0];
        std::size_t Full = 0;
        fcntl(Pipe[1], F_SETFL, O_NONBLOCK);
        for (ssize_t Count; (Count = write(Pipe[1], Received, 4096)) > 0;)
            Full += static_cast<std::size_t>(Count);
        fcntl(Pipe[1], F_SETFL, 0);
        struct sigaction Action {};
        Action.sa_handler = Drain; // without SA_RESTART
        sigaction(SIGALRM, &Action, nullptr);
        const itimerval Every = {{0, 200}, {0, 50000}};
        setitimer(ITIMER_REAL, &Every, nullptr);
        WriteLine(Text);
        while (ReceivedSize < Full + Text.size() + 1)
            pause();
        return std::string(Received + Full, ReceivedSize - Full) == Text + "\n" ? 0 : 1;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
}

} // namespace
