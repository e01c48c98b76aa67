#include <cerrno>
#include <fcntl.h>
#include <filesystem>
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
        delete AppLogger;
        AppLogger = nullptr;
    }
    static void UseExecutable(const std::string& Path)
    {
        SetLoggerExecutablePath([Path] { return Path; });
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
        {"prog.tar.gz", "prog.tar.gz", "/", "prog.tar.log"},
        {"sub.d/prog", "prog", "/sub.d/", "sub.d/prog.log"},
        {"win\\prog.exe", "prog.exe", "/win\\", "win\\prog.log"},
        {".hidden", ".hidden", "/", ".log"},
    };
    std::filesystem::create_directory(Dir.File("sub.d"));
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Executable);
        UseExecutable(Dir.File(Case.Executable));
        {
            const TLogger Logger;
            EXPECT_EQ(Logger.AppName, Case.AppName);
            EXPECT_EQ(Logger.AppPath, Dir.Path() + Case.Folder);
            EXPECT_EQ(Logger.FileName, Dir.File(Case.LogFile));
        }
        EXPECT_EQ(ReadFile(Dir.File(Case.LogFile)), "");
        std::filesystem::remove(Dir.File(Case.LogFile));
    }
}

// The creation is stopped at the first candidate, so that no file lands beside the test executable.
TEST_F(Logger, TheRealExecutablePathIsUsedByDefault)
{
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

// A file, a folder and a link that leads nowhere all count as taken and are left alone; the counter stands in
// front of the name and grows past one digit.
TEST_F(Logger, TakenNamesAreSkippedAndLeftAlone)
{
    ASSERT_TRUE(WriteFile(Dir.File("prog.log"), "first run\r\n\n"));
    std::filesystem::create_directory(Dir.File("1prog.log"));
    std::filesystem::create_symlink(Dir.File("nowhere"), Dir.File("2prog.log"));
    for (int Counter = 3; Counter <= 10; ++Counter)
        ASSERT_TRUE(WriteFile(Dir.File(std::to_string(Counter) + "prog.log"), ""));
    EXPECT_EQ(TLogger().FileName, Dir.File("11prog.log"));
    EXPECT_EQ(ReadFile(Dir.File("prog.log")), "first run\r\n\n");
    EXPECT_TRUE(std::filesystem::is_directory(Dir.File("1prog.log")));
    EXPECT_TRUE(std::filesystem::is_symlink(Dir.File("2prog.log")));
    EXPECT_FALSE(PathExists(Dir.File("nowhere")));
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
            EXPECT_EQ(TLogger().FileName, "1.log");
        }
        EXPECT_EQ(ListFolder(Dir.Path()), (std::vector<std::string>{".log", "1.log"}));
        std::filesystem::remove(Dir.File(".log"));
        std::filesystem::remove(Dir.File("1.log"));
    }
}

// The name is free when chosen; a link or a file appears under it right before the file is created.
TEST_F(Logger, ANameTakenJustBeforeCreationIsNeitherFollowedNorTruncated)
{
    ASSERT_TRUE(WriteFile(Dir.File("target"), "precious"));
    const std::function<void(const std::string&)> Makers[] = {
        [this](const std::string& Name) { std::filesystem::create_symlink(Dir.File("target"), Name); },
        [this](const std::string& Name) { std::filesystem::create_symlink(Dir.File("absent"), Name); },
        [](const std::string& Name) { WriteFile(Name, "someone else's"); },
    };
    for (const auto& Make : Makers) {
        bool First = true;
        SetLoggerCreateHook([&](const std::string& Name) {
            if (First)
                Make(Name);
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

// Each entry is in the file, byte for byte, when the call returns.
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
        {true, TimeOfDay(23, 59, 59), "two\nlines %s \"q\"", "a\r\nb",
         "*** ERROR *** : @ 23:59:59 MSG : two\nlines %s \"q\" IN : a\r\nb\r\n\n"},
    };
    std::tm Time{};
    SetLoggerClock([&Time] { return Time; });
    TLogger Logger;
    std::string Expected;
    for (const auto& Case : Cases) {
        Time = Case.Time;
        if (Case.Error)
            Logger.LogError(Case.Message, Case.Location);
        else
            Logger.LogStatus(Case.Message, Case.Location);
        Expected += Case.Entry;
        EXPECT_EQ(ReadFile(Logger.FileName), Expected);
    }
}

TEST_F(Logger, StartAndEndEntries)
{
    LoggerInitialization();
    ASSERT_NE(AppLogger, nullptr);
    EXPECT_EQ(AppLogger->FileName, Dir.File("prog.log"));
    AppLogger->LogError("InitSDL failed", "InitSDL");
    LoggerFinalization();
    EXPECT_EQ(AppLogger, nullptr);
    EXPECT_EQ(ReadFile(Dir.File("prog.log")),
              "STATUS INFO : @ 09:05:03 MSG : Starting Application IN : Initialization\r\n\n"
              "*** ERROR *** : @ 09:05:03 MSG : InitSDL failed IN : InitSDL\r\n\n"
              "STATUS INFO : @ 09:05:03 MSG : Terminating Application IN : Finalization\r\n\n");
}

// On a file that takes nothing every entry raises, the end entry too, and the logger is freed all the same.
TEST_F(Logger, AFailedWriteRaises)
{
    LoggerInitialization();
    close(AppLogger->LogFile);
    AppLogger->LogFile = open("/dev/full", O_WRONLY | O_CLOEXEC);
    for (const auto& Write : {&TLogger::LogStatus, &TLogger::LogError}) {
        try {
            (AppLogger->*Write)("lost", "here");
            ADD_FAILURE() << "nothing raised";
        } catch (const EInOutError& Raised) {
            EXPECT_EQ(Raised.ErrorCode, ENOSPC);
        }
    }
    EXPECT_THROW(LoggerFinalization(), EInOutError);
    EXPECT_EQ(AppLogger, nullptr);
}

// A descriptor that is no longer open makes close fail.
TEST_F(Logger, AFailedCloseRaises)
{
    const int Closed = open("/dev/null", O_RDONLY | O_CLOEXEC);
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

}
