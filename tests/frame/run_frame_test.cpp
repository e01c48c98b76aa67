#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
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

// A main program with external linkage that stays out of line, so that the report's addresses can be checked
// against its name, and a thrown type of our own that is no Exception.
namespace FramePrograms {

volatile int Work = 0;

struct TOddThing {
};

__attribute__((noinline)) void RaiseException()
{
    ++Work;
    throw Exception("InitSDL failed");
}

}

namespace {

const std::string StartEntry = "STATUS INFO : @ 07:08:09 MSG : Starting Application IN : Initialization\r\n\n";
const std::string EndEntry = "STATUS INFO : @ 07:08:09 MSG : Terminating Application IN : Finalization\r\n\n";

void Greeting()
{
    WriteLine("hello " + ParamStr(1) + " " + std::to_string(MemoryRefCount) + " " + std::to_string(MemHandle));
    AppLogger->LogStatus("Working", "Greeting");
}

// Leaves the log able to take nothing, so that the end entry fails.
void BreakLog()
{
    close(AppLogger->LogFile);
    AppLogger->LogFile = open("/dev/full", O_WRONLY | O_CLOEXEC);
}

// The frame in a child process after Before, with the executable "prog" in Dir (or Executable), a fixed clock and
// the arguments "prog" and "flag".
TChildResult RunFramed(const TTempDir& Dir, void (*MainProgram)(), const std::function<void()>& Before = {},
                       const std::string& Executable = "prog")
{
    return RunInChild([&] {
        if (Before)
            Before();
        const std::string Path = Dir.File(Executable);
        SetLoggerExecutablePath([Path] { return Path; });
        SetLoggerClock([] {
            std::tm Time{};
            Time.tm_hour = 7;
            Time.tm_min = 8;
            Time.tm_sec = 9;
            return Time;
        });
        char Name[] = "prog";
        char Flag[] = "flag";
        char* Arguments[] = {Name, Flag, nullptr};
        return RunApplication(2, Arguments, MainProgram);
    });
}

// Whether Line is Prefix, Digits upper-case hexadecimal digits and Suffix; the digits' value in Value.
bool MatchHex(const std::string& Line, const std::string& Prefix, std::size_t Digits, const std::string& Suffix,
              std::uintptr_t& Value)
{
    const std::string Hex = Line.substr(std::min(Line.size(), Prefix.size()), Digits);
    if (Line != Prefix + Hex + Suffix || Hex.size() != Digits || Hex.find_first_not_of("0123456789ABCDEF") != Hex.npos)
        return false;
    Value = std::stoull(Hex, nullptr, 16);
    return true;
}

// Checks that Lines from Start on are one error report with Description as its second line and moves Start past
// it; returns the report's addresses (the raising site, then the location lines).
std::vector<std::uintptr_t> CheckReport(const std::vector<std::string>& Lines, std::size_t& Start,
                                        const std::string& Description)
{
    std::uintptr_t Address = 0;
    if (Start + 1 >= Lines.size() ||
        !MatchHex(Lines[Start], "An unhandled exception occurred at $", 8, " :", Address)) {
        ADD_FAILURE() << "no report at line " << Start;
        return {};
    }
    std::vector<std::uintptr_t> Addresses = {Address};
    EXPECT_EQ(Lines[Start + 1], Description);
    for (Start += 2; Start < Lines.size() && MatchHex(Lines[Start], "  $", 16, "", Address); ++Start)
        Addresses.push_back(Address);
    EXPECT_GE(Addresses.size(), 2u) << "no location line";
    EXPECT_TRUE(Start < Lines.size() && Lines[Start++].empty()) << "the report ends in an empty line";
    return Addresses;
}

// The device layer's start-up step resets its state before the main program runs.
TEST(RunFrame, AnOrdinaryEnd)
{
    const TTempDir Dir;
    const TChildResult Run = RunFramed(Dir, Greeting, [] {
        MemoryRefCount = 3;
        MemHandle = 9;
    });
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "hello flag 0 -1\n");
    EXPECT_EQ(ReadFile(Dir.File("prog.log")),
              StartEntry + "STATUS INFO : @ 07:08:09 MSG : Working IN : Greeting\r\n\n" + EndEntry);
}

TEST(RunFrame, AnUnhandledErrorIsReportedAndEndsWith217)
{
    const struct {
        void (*MainProgram)();
        const char* Description;
    } Cases[] = {
        {FramePrograms::RaiseException, "Exception : InitSDL failed"},
        {[] { RaiseInOutError(ENOSPC); }, "EInOutError : No space left on device"},
        {[] { throw EConvertError("\"12a\" is an invalid integer"); }, "EConvertError : \"12a\" is an invalid integer"},
        {[] { throw std::runtime_error("not ours"); },
         "Exception object std::runtime_error is not of class Exception."},
        {[] { throw 42; }, "Exception object int is not of class Exception."},
        {[] { throw FramePrograms::TOddThing(); },
         "Exception object FramePrograms::TOddThing is not of class Exception."},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Description);
        const TTempDir Dir;
        const TChildResult Run = RunFramed(Dir, Case.MainProgram);
        EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
        const std::vector<std::string> Lines = SplitLines(Run.Out);
        std::size_t End = 0;
        CheckReport(Lines, End, Case.Description);
        EXPECT_EQ(End, Lines.size());
        // The log still ends with the frame's own last entry.
        EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry + EndEntry);
    }
}

// The first location line is the raising site; the next one is where the frame called the main program.
TEST(RunFrame, TheReportNamesTheRaisingSite)
{
    const TTempDir Dir;
    std::size_t End = 0;
    const std::vector<std::uintptr_t> Addresses =
        CheckReport(SplitLines(RunFramed(Dir, FramePrograms::RaiseException).Out), End, "Exception : InitSDL failed");
    ASSERT_GE(Addresses.size(), 3u);
    EXPECT_EQ(Addresses[0], Addresses[1]);
    const std::vector<TCodePlace> Places = ResolveCode({Addresses[1], Addresses[2]});
    ASSERT_EQ(Places.size(), 2u) << "addr2line failed";
    if (Places[0].File == "??")
        GTEST_SKIP() << "built without debug information";
    EXPECT_EQ(Places[0].Function, "FramePrograms::RaiseException()");
    EXPECT_EQ(Places[0].File, "run_frame_test.cpp");
    EXPECT_EQ(Places[1].Function, "RunApplication(int, char**, void (*)())");
}

// Standard output on a full device, or on a pipe nobody reads while SIGPIPE has its default action that would kill
// the process: the line fails before the status entry, the report cannot be written either, the end entry still is.
TEST(RunFrame, StandardOutputThatCannotBeWrittenEndsWith217)
{
    const std::function<void()> Outputs[] = {
        [] { dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO); },
        [] {
            int Pipe[2];
            if (pipe(Pipe) == 0) {
                close(Pipe[0]);
                dup2(Pipe[1], STDOUT_FILENO);
            }
            std::signal(SIGPIPE, SIG_DFL);
        },
    };
    for (const auto& Output : Outputs) {
        const TTempDir Dir;
        const TChildResult Run = RunFramed(Dir, Greeting, Output);
        EXPECT_EQ(Run.Signal, 0);
        EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
        EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry + EndEntry);
    }
}

TEST(RunFrame, ALogThatCannotBeCreatedStopsBeforeTheMainProgram)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"file/prog", "EInOutError : Not a directory"},
        {"missing/prog", "EInOutError : No such file or directory"},
    };
    for (const auto& [Executable, Description] : Cases) {
        SCOPED_TRACE(Executable);
        const TTempDir Dir;
        ASSERT_TRUE(WriteFile(Dir.File("file"), ""));
        const TChildResult Run = RunFramed(Dir, Greeting, {}, Executable);
        EXPECT_EQ(Run.ExitStatus, ExitStartupFailed) << Run.Err;
        EXPECT_NE(Run.ExitStatus, 0);
        const std::vector<std::string> Lines = SplitLines(Run.Out);
        std::size_t End = 0;
        CheckReport(Lines, End, Description);
        EXPECT_EQ(End, Lines.size()) << "the main program ran";
        EXPECT_EQ(ListFolder(Dir.Path()), std::vector<std::string>{"file"});
    }
}

// A failed end entry is an unhandled error of its own, reported after the one that ended the main program.
TEST(RunFrame, AFailedEndEntryIsReportedAndEndsWith217)
{
    const struct {
        void (*MainProgram)();
        std::vector<std::string> Descriptions;
    } Cases[] = {
        {BreakLog, {"EInOutError : No space left on device"}},
        {[] {
             BreakLog();
             throw Exception("first");
         },
         {"Exception : first", "EInOutError : No space left on device"}},
    };
    for (const auto& Case : Cases) {
        const TTempDir Dir;
        const TChildResult Run = RunFramed(Dir, Case.MainProgram);
        EXPECT_EQ(Run.ExitStatus, ExitUnhandledError) << Run.Err;
        const std::vector<std::string> Lines = SplitLines(Run.Out);
        std::size_t End = 0;
        for (const std::string& Description : Case.Descriptions)
            CheckReport(Lines, End, Description);
        EXPECT_EQ(End, Lines.size());
        EXPECT_EQ(ReadFile(Dir.File("prog.log")), StartEntry);
    }
}

}
