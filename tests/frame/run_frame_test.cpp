#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/run_frame.h"
#include "device/register_window.h"
#include "log/logger.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/program_args.h"
#include "support/test_support.h"

// Small main programs for the frame. The raising ones have external linkage and stay out of line, so that the
// report's addresses can be checked against their names.
namespace FramePrograms {

volatile int Work = 0;

struct TOddThing {
};

void Greeting()
{
    WriteLine("hello " + ParamStr(1));
    AppLogger->LogStatus("Working", "Greeting");
}

void ShowDeviceState()
{
    WriteLine(std::to_string(MemoryRefCount) + " " + std::to_string(MemHandle));
}

__attribute__((noinline)) void RaiseException()
{
    ++Work;
    throw Exception("InitSDL failed");
}

void RaiseInOut()
{
    RaiseInOutError(ENOSPC);
}

void RaiseConvert()
{
    throw EConvertError("\"12a\" is an invalid integer");
}

void RaiseStandard()
{
    throw std::runtime_error("not ours");
}

void RaiseNumber()
{
    throw 42;
}

void RaiseOddThing()
{
    throw TOddThing();
}

// Leaves the log able to take nothing, so that the end entry fails.
void BreakLog()
{
    close(AppLogger->LogFile);
    AppLogger->LogFile = open("/dev/full", O_WRONLY | O_CLOEXEC);
}

void BreakLogAndRaise()
{
    BreakLog();
    throw Exception("first");
}

}

namespace {

const std::string StartEntry = "STATUS INFO : @ 07:08:09 MSG : Starting Application IN : Initialization\r\n\n";
const std::string EndEntry = "STATUS INFO : @ 07:08:09 MSG : Terminating Application IN : Finalization\r\n\n";

void UseFixedClock()
{
    SetLoggerClock([] {
        std::tm Time{};
        Time.tm_hour = 7;
        Time.tm_min = 8;
        Time.tm_sec = 9;
        return Time;
    });
}

// The frame in a child process, with the executable "prog" in Dir (or Executable), a fixed clock and the
// arguments "prog" and "flag".
TChildResult RunFramed(const TTempDir& Dir, void (*MainProgram)(), const TChildOptions& Options = {},
                       const std::string& Executable = "prog")
{
    const std::string Path = Dir.File(Executable);
    return RunInChild(
        [&] {
            SetLoggerExecutablePath([Path] { return Path; });
            UseFixedClock();
            char Name[] = "prog";
            char Flag[] = "flag";
            char* Arguments[] = {Name, Flag, nullptr};
            return RunApplication(2, Arguments, MainProgram);
        },
        Options);
}

// Whether Line is Prefix, Digits upper-case hexadecimal digits and Suffix; the digits' value in Value.
bool MatchHex(const std::string& Line, const std::string& Prefix, std::size_t Digits, const std::string& Suffix,
              std::uintptr_t& Value)
{
    if (Line.size() != Prefix.size() + Digits + Suffix.size() || Line.compare(0, Prefix.size(), Prefix) != 0 ||
        Line.compare(Prefix.size() + Digits, Suffix.size(), Suffix) != 0)
        return false;
    const std::string Hex = Line.substr(Prefix.size(), Digits);
    if (Hex.find_first_not_of("0123456789ABCDEF") != std::string::npos)
        return false;
    Value = std::stoull(Hex, nullptr, 16);
    return true;
}

// Checks that Lines, from Start on, are one error report with Description as its second line; returns the
// report's addresses (the raising site, then the location lines).
std::vector<std::uintptr_t> CheckReport(const std::vector<std::string>& Lines, std::size_t Start,
                                        const std::string& Description)
{
    std::vector<std::uintptr_t> Addresses;
    if (Lines.size() < Start + 4) {
        ADD_FAILURE() << "too few lines for a report";
        return Addresses;
    }
    std::uintptr_t Address = 0;
    EXPECT_TRUE(MatchHex(Lines[Start], "An unhandled exception occurred at $", 8, " :", Address)) << Lines[Start];
    Addresses.push_back(Address);
    EXPECT_EQ(Lines[Start + 1], Description);
    std::size_t Index = Start + 2;
    for (; Index < Lines.size() && MatchHex(Lines[Index], "  $", 16, "", Address); ++Index)
        Addresses.push_back(Address);
    EXPECT_GE(Addresses.size(), 2u) << "no location line";
    if (Index < Lines.size()) {
        EXPECT_EQ(Lines[Index], "") << "the report ends in an empty line";
    } else {
        ADD_FAILURE() << "the report has no empty line at its end";
    }
    return Addresses;
}

TEST(RunFrame, AnOrdinaryEnd)
{
    const TTempDir Dir;
    const TChildResult Run = RunFramed(Dir, FramePrograms::Greeting);
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "hello flag\n");
    EXPECT_EQ(ReadFile(Dir.File("prog.log")),
              StartEntry + "STATUS INFO : @ 07:08:09 MSG : Working IN : Greeting\r\n\n" + EndEntry);
}

TEST(RunFrame, TheDeviceLayerStartsAfresh)
{
    const TTempDir Dir;
    const TChildResult Run = RunInChild([&Dir] {
        MemoryRefCount = 3;
        MemHandle = 9;
        const TChildResult Inner = RunFramed(Dir, FramePrograms::ShowDeviceState);
        WriteLine(Inner.Out);
        return Inner.ExitStatus;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "0 -1\n\n");
}

TEST(RunFrame, AnUnhandledErrorIsReportedAndEndsWith217)
{
    const struct {
        void (*MainProgram)();
        const char* Description;
    } Cases[] = {
        {FramePrograms::RaiseException, "Exception : InitSDL failed"},
        {FramePrograms::RaiseInOut, "EInOutError : No space left on device"},
        {FramePrograms::RaiseConvert, "EConvertError : \"12a\" is an invalid integer"},
        {FramePrograms::RaiseStandard, "Exception object std::runtime_error is not of class Exception."},
        {FramePrograms::RaiseNumber, "Exception object int is not of class Exception."},
        {FramePrograms::RaiseOddThing, "Exception object FramePrograms::TOddThing is not of class Exception."},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Description);
        const TTempDir Dir;
        const TChildResult Run = RunFramed(Dir, Case.MainProgram);
        EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
        const std::vector<std::string> Lines = SplitLines(Run.Out);
        CheckReport(Lines, 0, Case.Description);
        EXPECT_EQ(Run.Out.substr(Run.Out.size() - 2), "\n\n");
        // The log still ends with the frame's own last entry.
        EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry + EndEntry);
    }
}

TEST(RunFrame, TheReportNamesTheRaisingSite)
{
    const TTempDir Dir;
    const TChildResult Run = RunFramed(Dir, FramePrograms::RaiseException);
    const std::vector<std::uintptr_t> Addresses =
        CheckReport(SplitLines(Run.Out), 0, "Exception : InitSDL failed");
    ASSERT_GE(Addresses.size(), 3u);
    // The first location line is the raising site; the next one is where the frame called the main program.
    EXPECT_EQ(Addresses[0], Addresses[1]);
    const std::vector<TCodePlace> Places = ResolveCode({Addresses[1], Addresses[2]});
    ASSERT_EQ(Places.size(), 2u) << "addr2line failed";
    if (Places[0].File == "??")
        GTEST_SKIP() << "built without debug information";
    EXPECT_EQ(Places[0].Function, "FramePrograms::RaiseException()");
    EXPECT_EQ(Places[0].File, "run_frame_test.cpp");
    EXPECT_EQ(Places[1].Function, "RunApplication(int, char**, void (*)())");
}

TEST(RunFrame, AClosedPipeOnStandardOutputTakesTheErrorPath)
{
    const TTempDir Dir;
    const TChildResult Run = RunInChild([&Dir] {
        const std::string Path = Dir.File("prog");
        int Pipe[2];
        if (pipe(Pipe) != 0)
            return 100;
        close(Pipe[0]);
        dup2(Pipe[1], STDOUT_FILENO);
        close(Pipe[1]);
        // SIGPIPE as the shell would leave it: its default action kills the process.
        std::signal(SIGPIPE, SIG_DFL);
        SetLoggerExecutablePath([Path] { return Path; });
        UseFixedClock();
        char Name[] = "prog";
        char* Arguments[] = {Name, nullptr};
        return RunApplication(1, Arguments, FramePrograms::Greeting);
    });
    EXPECT_EQ(Run.Signal, 0);
    EXPECT_EQ(Run.ExitStatus, ExitUnhandledError);
    EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry + EndEntry);
}

TEST(RunFrame, StandardOutputOnAFullDeviceEndsWith217)
{
    const TTempDir Dir;
    TChildOptions Options;
    Options.StdoutPath = "/dev/full";
    const TChildResult Run = RunFramed(Dir, FramePrograms::Greeting, Options);
    EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
    // The line failed before the status entry; the report could not be written either; the end entry still was.
    EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry + EndEntry);
}

TEST(RunFrame, ALogThatCannotBeCreatedStopsBeforeTheMainProgram)
{
    const struct {
        const char* Executable;
        const char* Description;
    } Cases[] = {
        {"file/prog", "EInOutError : Not a directory"},
        {"missing/prog", "EInOutError : No such file or directory"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Executable);
        const TTempDir Dir;
        ASSERT_TRUE(WriteFile(Dir.File("file"), ""));
        const TChildResult Run = RunFramed(Dir, FramePrograms::Greeting, {}, Case.Executable);
        EXPECT_EQ(Run.ExitStatus, ExitStartupFailed) << Run.Err;
        EXPECT_NE(Run.ExitStatus, 0);
        EXPECT_NE(Run.ExitStatus, ExitUnhandledError);
        const std::vector<std::string> Lines = SplitLines(Run.Out);
        CheckReport(Lines, 0, Case.Description);
        EXPECT_EQ(Run.Out.find("hello"), std::string::npos) << "the main program ran";
        EXPECT_EQ(ListFolder(Dir.Path()), std::vector<std::string>{"file"});
    }
}

TEST(RunFrame, AFailedEndEntryIsReportedAndEndsWith217)
{
    const TTempDir Dir;
    const TChildResult Run = RunFramed(Dir, FramePrograms::BreakLog);
    EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
    CheckReport(SplitLines(Run.Out), 0, "EInOutError : No space left on device");
    EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry);
}

TEST(RunFrame, AnErrorAndThenAFailedEndEntryAreBothReported)
{
    const TTempDir Dir;
    const TChildResult Run = RunFramed(Dir, FramePrograms::BreakLogAndRaise);
    EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
    const std::vector<std::string> Lines = SplitLines(Run.Out);
    const std::vector<std::uintptr_t> First = CheckReport(Lines, 0, "Exception : first");
    CheckReport(Lines, First.size() + 2, "EInOutError : No space left on device");
}

}
