// The run frame: the exit status, the report of an error that nothing handled, and a log whole to its end.

#include <dlfcn.h>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include "app/run_frame.h"
#include "device/register_window.h"
#include "program.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/program_args.h"
#include "runtime/write_all.h"

// Out of line with external linkage, so that the report's first address can be named.
namespace FramePrograms {

__attribute__((noinline)) void Raise()
{
    throw Exception("InitSDL failed");
}

} // namespace FramePrograms

namespace {

const std::string Start = "STATUS INFO : @ 07:08:09 MSG : Starting Application IN : Initialization\r\n\n";
const std::string End = "STATUS INFO : @ 07:08:09 MSG : Terminating Application IN : Finalization\r\n\n";

// The device layer is started afresh before the main program runs.
void Greeting()
{
    WriteLine("hello " + ParamStr(1) + " " + std::to_string(MemoryRefCount));
    AppLogger->LogStatus("Working", "Greeting");
}

TLines Report(const std::string& Description)
{
    return {"An unhandled exception occurred at $<hex> :", Description, "  $<hex>", "<lines>", ""};
}

// The report's first address, repeated as the first frame, is the raising site, whichever helper raised.
TEST(RunFrame, EndsWithItsStatusAReportAndAWholeLog)
{
    // Stdout "": a pipe; Log "": none can be made; Site: the function that raised, where checked.
    const struct { void (*MainProgram)(); std::string Stdout; int Status; TLines Out; std::string Log;
                   const void* Site = nullptr; } Cases[] = {
        {Greeting, "", 0, {"hello flag 0"}, Start + "STATUS INFO : @ 07:08:09 MSG : Working IN : Greeting\r\n\n" + End},
        {FramePrograms::Raise, "", 217, Report("Exception : InitSDL failed"), Start + End,
         reinterpret_cast<const void*>(FramePrograms::Raise)},
        {[] { throw std::runtime_error("not ours"); }, "", 217,
         Report("Exception object std::runtime_error is not of class Exception."), Start + End},
        // The greeting fails before its entry, and the report cannot be written either.
        {Greeting, "/dev/full", 217, {}, Start + End},
        // The log's file taken away, the end entry fails where the log writes.
        {[] { close(AppLogger->LogFile); }, "", 217, Report("EInOutError : Bad file descriptor"), Start,
         reinterpret_cast<const void*>(WriteAll)},
        {Greeting, "", 1, Report("EInOutError : No such file or directory"), ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << "case " << &Case - Cases);
        const TTempDir Dir;
        TChildOptions Options;
        Options.StdoutPath = Case.Stdout;
        const TChildResult Run = RunInChild(
            [&] {
                MemoryRefCount = 3;
                FixLogger(Dir.File(Case.Log.empty() ? "missing/prog" : "prog"), 7, 8, 9);
                char* Arguments[] = {const_cast<char*>("prog"), const_cast<char*>("flag"), nullptr};
                return RunApplication(2, Arguments, Case.MainProgram);
            },
            Options);
        EXPECT_EQ(Run.ExitStatus, Case.Status) << Run.Err;
        ExpectLines(Case.Out, Run.Out);
        if (Case.Log.empty())
            EXPECT_TRUE(std::filesystem::is_empty(Dir.Path()));
        else
            EXPECT_EQ(ReadFile(Dir.File("prog.log")), Case.Log);
        const TLines Lines = SplitLines(Run.Out);
        if (Case.Site != nullptr && Lines.size() > 2) {
            // Offsets from the executable's load address, which is where a position-independent one begins.
            const std::uintptr_t Site = std::stoull(Lines[0].substr(36), nullptr, 16);
            Dl_info Program;
            Dl_info AtSite;
            dladdr(Case.Site, &Program);
            dladdr(static_cast<char*>(Program.dli_fbase) + Site, &AtSite);
            EXPECT_EQ(AtSite.dli_saddr, Case.Site);
            EXPECT_EQ(std::stoull(Lines[2].substr(3), nullptr, 16), Site);
        }
    }
}

} // namespace
