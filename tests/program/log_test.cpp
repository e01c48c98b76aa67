// The log file: named after the executable beside it, never made over anything that exists, its entries exact.

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "program.h"
#include "runtime/errors.h"

namespace {

namespace fs = std::filesystem;

// The last extension is replaced; without a known absolute path the log is ".log" in the working folder.
TEST(Log, IsNamedAfterTheExecutable)
{
    const TTempDir Dir;
    const struct { std::string Executable, AppName, AppPath, LogFile; } Cases[] = {
        {Dir.File("prog.tar.gz"), "prog.tar.gz", Dir.Path() + "/", Dir.File("prog.tar.log")},
        {Dir.File("sub.d/prog"), "prog", Dir.File("sub.d/"), Dir.File("sub.d/prog.log")},
        {Dir.File("win\\prog.exe"), "prog.exe", Dir.File("win\\"), Dir.File("win\\prog.log")},
        {Dir.File(".hidden"), ".hidden", Dir.Path() + "/", Dir.File(".log")},
        {"", "", "", ".log"},
        {"relative/prog", "", "", "1.log"},
    };
    fs::create_directory(Dir.File("sub.d"));
    const fs::path Previous = fs::current_path();
    fs::current_path(Dir.File("sub.d"));
    for (const auto& Case : Cases) {
        FixLogger(Case.Executable, 9, 5, 3);
        const TLogger Logger;
        EXPECT_EQ(Logger.AppName + "|" + Logger.AppPath + "|" + Logger.FileName,
                  Case.AppName + "|" + Case.AppPath + "|" + Case.LogFile);
    }
    fs::current_path(Previous);
}

// A name taken in any way is left alone and the counter grows, past one digit too; no link is followed.
TEST(Log, TakesTheFirstFreeCounterAndLeavesTakenNamesAlone)
{
    // The letters stand for prog.log, 1prog.log, ...: f a file, d a folder, l a link to "target", n one to nowhere.
    const std::pair<std::string, const char*> Cases[] = {
        {"", "prog.log"}, {"l", "1prog.log"}, {"n-f", "1prog.log"}, {"fdnlfffffff", "11prog.log"}};
    for (const auto& [Taken, LogFile] : Cases) {
        const TTempDir Folder;
        FixLogger(Folder.File("prog"), 9, 5, 3);
        ASSERT_TRUE(WriteFile(Folder.File("target"), "precious"));
        for (std::size_t Counter = 0; Counter < Taken.size(); ++Counter) {
            const std::string Name = Folder.File((Counter == 0 ? "" : std::to_string(Counter)) + "prog.log");
            if (Taken[Counter] == 'f' || Taken[Counter] == 'd')
                ASSERT_TRUE(Taken[Counter] == 'f' ? WriteFile(Name, "earlier") : fs::create_directory(Name));
            else if (Taken[Counter] != '-')
                fs::create_symlink(Folder.File(Taken[Counter] == 'l' ? "target" : "nowhere"), Name);
        }
        TLogger().LogStatus("mine", "here");
        EXPECT_EQ(ReadFile(Folder.File(LogFile)), "STATUS INFO : @ 09:05:03 MSG : mine IN : here\r\n\n") << Taken;
        EXPECT_EQ(ReadFile(Folder.File("target")), "precious");
    }
}

// Each entry is on disk, byte for byte, when the call returns; the log starts and ends with entries of its own.
TEST(Log, EntriesByteForByte)
{
    const TTempDir Dir;
    FixLogger(Dir.File("prog"), 9, 5, 3);
    LoggerInitialization();
    std::string Expected = "STATUS INFO : @ 09:05:03 MSG : Starting Application IN : Initialization\r\n\n";
    const struct { bool Error; int Hour, Minute, Second; const char *Message, *Location, *Entry; } Cases[] = {
        {false, 0, 0, 5, "", "", "STATUS INFO : @ 00:00:05 MSG :  IN : \r\n\n"},
        {true, 14, 15, 7, "Done", "InitSDL", "*** ERROR *** : @ 14:15:07 MSG : Done IN : InitSDL\r\n\n"},
        {false, 23, 59, 59, "a\nb %s", "c\r\nd", "STATUS INFO : @ 23:59:59 MSG : a\nb %s IN : c\r\nd\r\n\n"},
    };
    for (const auto& Case : Cases) {
        FixLogger(Dir.File("prog"), Case.Hour, Case.Minute, Case.Second);
        (AppLogger->*(Case.Error ? &TLogger::LogError : &TLogger::LogStatus))(Case.Message, Case.Location);
        Expected += Case.Entry;
        EXPECT_EQ(ReadFile(Dir.File("prog.log")), Expected);
    }
    LoggerFinalization();
    EXPECT_EQ(AppLogger, nullptr);
    EXPECT_EQ(ReadFile(Dir.File("prog.log")),
              Expected + "STATUS INFO : @ 23:59:59 MSG : Terminating Application IN : Finalization\r\n\n");
}

// A log whose first entry cannot be written (no room for a byte) raises the error and stays, empty, beside any
// earlier log, which keeps its bytes.
TEST(Log, WhoseFirstEntryFailsStaysEmpty)
{
    for (const bool Earlier : {false, true}) {
        const TTempDir Folder;
        ASSERT_TRUE(!Earlier || WriteFile(Folder.File("prog.log"), "earlier"));
        const TChildResult Result = RunInChild([&Folder] {
            FixLogger(Folder.File("prog"), 9, 5, 3);
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit NoRoom{0, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &NoRoom);
            try {
                LoggerInitialization();
            } catch (const EInOutError&) {
                return AppLogger == nullptr ? 0 : 1;
            }
            return 2;
        });
        EXPECT_EQ(Result.ExitStatus, 0) << Earlier;
        std::size_t Files = 0;
        for ([[maybe_unused]] const auto& Entry : fs::directory_iterator(Folder.Path()))
            ++Files;
        EXPECT_EQ(Files, Earlier ? 2u : 1u);
        EXPECT_EQ(ReadFile(Folder.File(Earlier ? "1prog.log" : "prog.log")), "");
        EXPECT_TRUE(!Earlier || ReadFile(Folder.File("prog.log")) == "earlier");
    }
}

} // namespace
