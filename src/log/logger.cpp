#include "log/logger.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "runtime/errors.h"
#include "runtime/write_all.h"

TLogger* AppLogger = nullptr;

namespace {

// The replaceable sources; empty means the real ones.
std::function<std::tm()> Clock;
std::function<std::string()> ExecutablePath;

std::tm LocalTimeOfDay()
{
    if (Clock)
        return Clock();
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Now, &Local);
    return Local;
}

// The running executable's absolute path, or "" when the system does not tell it.
std::string OwnPath()
{
    std::string Path;
    if (ExecutablePath) {
        Path = ExecutablePath();
    } else {
        std::error_code Error;
        Path = std::filesystem::read_symlink("/proc/self/exe", Error).string();
    }
    return Path.empty() || Path[0] != '/' ? std::string() : Path;
}

// The executable's name with ".log" in place of the text from its last "." on, or appended when there is none.
std::string LogBaseName(const std::string& AppName)
{
    return AppName.substr(0, AppName.rfind('.')) + ".log";
}

void WriteEntry(int File, const char* Prefix, const std::string& Message, const std::string& Location)
{
    const std::tm Time = LocalTimeOfDay();
    char Stamp[40];
    std::snprintf(Stamp, sizeof Stamp, "%02d:%02d:%02d", Time.tm_hour, Time.tm_min, Time.tm_sec);
    // The entry's own line ends in CR LF; the file's line end LF follows. All of it goes out in one write, so the
    // entry is in the file when the call returns.
    WriteAll(File, Prefix + std::string(Stamp) + " MSG : " + Message + " IN : " + Location + "\r\n" + "\n");
}

} // namespace

TLogger::TLogger()
{
    const std::string Path = OwnPath();
    const std::size_t Separator = Path.find_last_of("/\\");
    if (Separator != std::string::npos) {
        AppName = Path.substr(Separator + 1);
        AppPath = Path.substr(0, Separator + 1);
    }
    const std::string BaseName = LogBaseName(AppName);

    // The file is created exclusively and without following a link: a name that is taken in any way (a file, a
    // folder, a link, even one that appears just now) fails with EEXIST and the next counter is tried, so nothing
    // that exists is ever truncated or written through.
    for (unsigned long long Counter = 0;; ++Counter) {
        const std::string Candidate = AppPath + (Counter == 0 ? "" : std::to_string(Counter)) + BaseName;
        LogFile = open(Candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (LogFile >= 0) {
            FileName = Candidate;
            return;
        }
        if (errno != EEXIST)
            RaiseInOutError(errno);
    }
}

TLogger::~TLogger() noexcept(false)
{
    if (LogFile >= 0 && close(LogFile) != 0)
        RaiseInOutError(errno);
}

void TLogger::LogError(const std::string& Message, const std::string& Location)
{
    WriteEntry(LogFile, "*** ERROR *** : @ ", Message, Location);
}

void TLogger::LogStatus(const std::string& Message, const std::string& Location)
{
    WriteEntry(LogFile, "STATUS INFO : @ ", Message, Location);
}

namespace {

// Frees a logger whose entry failed, without raising again over the error that is on its way out.
void DiscardLogger(TLogger* Logger)
{
    close(Logger->LogFile);
    Logger->LogFile = -1;
    delete Logger;
}

} // namespace

void LoggerInitialization()
{
    TLogger* Logger = new TLogger();
    try {
        Logger->LogStatus("Starting Application", "Initialization");
    } catch (...) {
        // The file stays: an empty log is the true record of a run that could not log, and nothing in a log
        // folder is ever removed.
        DiscardLogger(Logger);
        throw;
    }
    AppLogger = Logger;
}

void LoggerFinalization()
{
    TLogger* Logger = AppLogger;
    AppLogger = nullptr;
    try {
        Logger->LogStatus("Terminating Application", "Finalization");
    } catch (...) {
        DiscardLogger(Logger);
        throw;
    }
    delete Logger;
}

void SetLoggerClock(std::function<std::tm()> Source)
{
    Clock = std::move(Source);
}

void SetLoggerExecutablePath(std::function<std::string()> Source)
{
    ExecutablePath = std::move(Source);
}
