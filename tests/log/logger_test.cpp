#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "log/logger.h"
#include "runtime/errors.h"
#include "support/test_support.h"

namespace {

std::tm TimeOfDay(int Hour, int Minute, int Second)
{
    std::tm Time{};
    Time.tm_hour = Hour;
    Time.tm_min = Minute;
    Time.tm_sec = Second;
    return Time;
}

// Each test runs with a fixed clock and, unless it says otherwise, an executable "prog" in its own folder.
class Logger : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetLoggerClock([] { return TimeOfDay(9, 5, 3); });
        UseExecutable(Dir.File("prog"));
    }
    void TearDown() override
    {
        SetLoggerClock({});
        SetLoggerExecutablePath({});
        SetLoggerCreateHook({});
        if (AppLogger != nullptr) {
            delete AppLogger;
            AppLogger = nullptr;
        }
    }
    static void UseExecutable(const std::string& Path)
    {
        SetLoggerExecutablePath([Path] { return Path; });
    }
    // Replaces the logger's file with one that takes nothing, for the failure paths of writing.
    static void BreakLogFile(TLogger& Logger)
    {
        close(Logger.LogFile);
        Logger.LogFile = open("/dev/full", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(Logger.LogFile, 0);
    }

    TTempDir Dir;
};

TEST_F(Logger, NamesTheFileAfterTheExecutable)
{
    const struct {
        const char* Executable; // inside the test's folder
        const char* AppName;
        const char* Folder; // AppPath, after the test's folder
        const char* LogFile;
    } Cases[] = {
        {"prog.bin", "prog.bin", "/", "prog.log"},
        {"prog", "prog", "/", "prog.log"},
        {"prog.tar.gz", "prog.tar.gz", "/", "prog.tar.log"},
        {"sub.d/prog", "prog", "/sub.d/", "sub.d/prog.log"},
        {"win\\prog.exe", "prog.exe", "/win\\", "win\\prog.log"},
        {".hidden", ".hidden", "/", ".log"},
    };
    std::filesystem::create_directory(Dir.File("sub.d"));
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Executable);
        UseExecutable(Dir.File(Case.Executable));
        std::string FileName;
        {
            const TLogger Logger;
            EXPECT_EQ(Logger.AppName, Case.AppName);
            EXPECT_EQ(Logger.AppPath, Dir.Path() + Case.Folder);
            EXPECT_EQ(Logger.FileName, Dir.File(Case.LogFile));
            FileName = Logger.FileName;
        }
        EXPECT_EQ(ReadFile(Dir.File(Case.LogFile)), "");
        std::filesystem::remove(FileName);
    }
}

TEST_F(Logger, TheRealExecutablePathIsUsedByDefault)
{
    // The creation is stopped at the first candidate, so that no file lands beside the test executable.
    SetLoggerExecutablePath({});
    const std::filesystem::path Own = ExecutablePath();
    std::string Candidate;
    SetLoggerCreateHook([&Candidate](const std::string& Name) {
        Candidate = Name;
        throw std::runtime_error("stop before creating");
    });
    EXPECT_THROW(TLogger(), std::runtime_error);
    EXPECT_EQ(Candidate, (Own.parent_path() / Own.stem()).string() + ".log");
}

TEST_F(Logger, TakenNamesAreSkippedAndLeftAlone)
{
    // A file, a folder and a link that leads nowhere all count as taken.
    ASSERT_TRUE(WriteFile(Dir.File("prog.log"), "first run\r\n\n"));
    std::filesystem::create_directory(Dir.File("1prog.log"));
    std::filesystem::create_symlink(Dir.File("nowhere"), Dir.File("2prog.log"));
    {
        const TLogger Logger;
        EXPECT_EQ(Logger.FileName, Dir.File("3prog.log"));
    }
    EXPECT_EQ(ReadFile(Dir.File("prog.log")), "first run\r\n\n");
    EXPECT_TRUE(std::filesystem::is_directory(Dir.File("1prog.log")));
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("2prog.log")));
    EXPECT_FALSE(PathExists(Dir.File("nowhere")));
    EXPECT_EQ(ListFolder(Dir.Path()), (std::vector<std::string>{"1prog.log", "2prog.log", "3prog.log", "prog.log"}));
}

TEST_F(Logger, TheCounterStandsInFrontAndGrowsWithoutLimit)
{
    ASSERT_TRUE(WriteFile(Dir.File("prog.log"), ""));
    for (int Counter = 1; Counter <= 10; ++Counter)
        ASSERT_TRUE(WriteFile(Dir.File(std::to_string(Counter) + "prog.log"), ""));
    const TLogger Logger;
    EXPECT_EQ(Logger.FileName, Dir.File("11prog.log"));
}

TEST_F(Logger, AnUndeterminedPathGivesDotLogInTheWorkingFolder)
{
    const TWorkingDirectory Inside(Dir.Path());
    for (const char* Path : {"", "prog", "relative/prog"}) {
        SCOPED_TRACE(Path);
        UseExecutable(Path);
        {
            const TLogger Logger;
            EXPECT_EQ(Logger.AppName, "");
            EXPECT_EQ(Logger.AppPath, "");
            EXPECT_EQ(Logger.FileName, ".log");
        }
        EXPECT_TRUE(PathExists(Dir.File(".log")));
        {
            const TLogger Logger;
            EXPECT_EQ(Logger.FileName, "1.log");
        }
        std::filesystem::remove(Dir.File(".log"));
        std::filesystem::remove(Dir.File("1.log"));
    }
}

TEST_F(Logger, ANameTakenJustBeforeCreationIsNeitherFollowedNorTruncated)
{
    // The name is free when chosen; a link or a file appears under it right before the file is created.
    ASSERT_TRUE(WriteFile(Dir.File("target"), "precious"));
    const struct {
        const char* What;
        std::function<void(const std::string&)> Make;
    } Cases[] = {
        {"link to a file", [this](const std::string& Name) { std::filesystem::create_symlink(Dir.File("target"), Name); }},
        {"link to nothing", [this](const std::string& Name) { std::filesystem::create_symlink(Dir.File("absent"), Name); }},
        {"file", [](const std::string& Name) { WriteFile(Name, "someone else's"); }},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        bool First = true;
        SetLoggerCreateHook([&](const std::string& Name) {
            if (First)
                Case.Make(Name);
            First = false;
        });
        {
            TLogger Logger;
            EXPECT_EQ(Logger.FileName, Dir.File("1prog.log"));
            Logger.LogStatus("mine", "here");
        }
        EXPECT_EQ(ReadFile(Dir.File("target")), "precious");
        EXPECT_FALSE(PathExists(Dir.File("absent")));
        EXPECT_EQ(ReadFile(Dir.File("1prog.log")), "STATUS INFO : @ 09:05:03 MSG : mine IN : here\r\n\n");
        std::filesystem::remove(Dir.File("prog.log"));
        std::filesystem::remove(Dir.File("1prog.log"));
    }
}

TEST_F(Logger, EntriesByteForByte)
{
    const struct {
        bool Error;
        std::tm Time;
        const char* Message;
        const char* Location;
        const char* Entry;
    } Cases[] = {
        {false, TimeOfDay(0, 0, 5), "", "", "STATUS INFO : @ 00:00:05 MSG :  IN : \r\n\n"},
        {true, TimeOfDay(14, 15, 7), "Playing started", "PlayMusic",
         "*** ERROR *** : @ 14:15:07 MSG : Playing started IN : PlayMusic\r\n\n"},
        {false, TimeOfDay(9, 5, 3), "Starting Application", "Initialization",
         "STATUS INFO : @ 09:05:03 MSG : Starting Application IN : Initialization\r\n\n"},
        {true, TimeOfDay(23, 59, 59), "two\nlines %s \"q\"", "a\r\nb",
         "*** ERROR *** : @ 23:59:59 MSG : two\nlines %s \"q\" IN : a\r\nb\r\n\n"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Entry);
        const std::tm Time = Case.Time;
        SetLoggerClock([Time] { return Time; });
        std::string FileName;
        {
            TLogger Logger;
            FileName = Logger.FileName;
            if (Case.Error)
                Logger.LogError(Case.Message, Case.Location);
            else
                Logger.LogStatus(Case.Message, Case.Location);
        }
        EXPECT_EQ(ReadFile(FileName), Case.Entry);
        std::filesystem::remove(FileName);
    }
}

TEST_F(Logger, EachEntryIsInTheFileWhenTheCallReturns)
{
    int Second = 0;
    SetLoggerClock([&Second] { return TimeOfDay(12, 0, Second++); });
    TLogger Logger;
    Logger.LogStatus("one", "A");
    const std::string First = "STATUS INFO : @ 12:00:00 MSG : one IN : A\r\n\n";
    EXPECT_EQ(ReadFile(Logger.FileName), First);
    Logger.LogError("two", "B");
    EXPECT_EQ(ReadFile(Logger.FileName), First + "*** ERROR *** : @ 12:00:01 MSG : two IN : B\r\n\n");
}

TEST_F(Logger, StartAndEndEntries)
{
    ASSERT_EQ(AppLogger, nullptr);
    LoggerInitialization();
    ASSERT_NE(AppLogger, nullptr);
    const std::string FileName = AppLogger->FileName;
    EXPECT_EQ(FileName, Dir.File("prog.log"));
    const std::string Start = "STATUS INFO : @ 09:05:03 MSG : Starting Application IN : Initialization\r\n\n";
    EXPECT_EQ(ReadFile(FileName), Start);
    AppLogger->LogError("InitSDL failed", "InitSDL");
    LoggerFinalization();
    EXPECT_EQ(AppLogger, nullptr);
    EXPECT_EQ(ReadFile(FileName), Start + "*** ERROR *** : @ 09:05:03 MSG : InitSDL failed IN : InitSDL\r\n\n" +
                                      "STATUS INFO : @ 09:05:03 MSG : Terminating Application IN : Finalization\r\n\n");
}

TEST_F(Logger, AFileThatCannotBeCreatedRaisesAndLeavesNothing)
{
    ASSERT_TRUE(WriteFile(Dir.File("file"), ""));
    const struct {
        const char* Executable;
        int ErrorCode;
    } Cases[] = {{"missing/prog", ENOENT}, {"file/prog", ENOTDIR}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Executable);
        UseExecutable(Dir.File(Case.Executable));
        try {
            LoggerInitialization();
            ADD_FAILURE() << "nothing raised";
        } catch (const EInOutError& Error) {
            EXPECT_EQ(Error.ErrorCode, Case.ErrorCode);
        }
        EXPECT_EQ(AppLogger, nullptr);
        EXPECT_EQ(ListFolder(Dir.Path()), std::vector<std::string>{"file"});
    }
}

TEST_F(Logger, AFailedWriteRaises)
{
    TLogger Logger;
    BreakLogFile(Logger);
    for (const bool Error : {false, true}) {
        try {
            if (Error)
                Logger.LogError("lost", "here");
            else
                Logger.LogStatus("lost", "here");
            ADD_FAILURE() << "nothing raised";
        } catch (const EInOutError& Raised) {
            EXPECT_EQ(Raised.ErrorCode, ENOSPC);
        }
    }
}

TEST_F(Logger, AFailedCloseRaises)
{
    // A descriptor that is no longer open makes close fail.
    const int Closed = open("/dev/null", O_RDONLY | O_CLOEXEC);
    ASSERT_GE(Closed, 0);
    close(Closed);
    try {
        TLogger Logger;
        close(Logger.LogFile);
        Logger.LogFile = Closed;
    } catch (const EInOutError& Raised) {
        EXPECT_EQ(Raised.ErrorCode, EBADF);
        return;
    }
    ADD_FAILURE() << "nothing raised";
}

TEST_F(Logger, AFailedEndEntryRaisesAndStillFreesTheLogger)
{
    LoggerInitialization();
    BreakLogFile(*AppLogger);
    EXPECT_THROW(LoggerFinalization(), EInOutError);
    EXPECT_EQ(AppLogger, nullptr);
}

}
