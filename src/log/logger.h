#pragma once
// The per-run log file: one new file per run, beside the executable, named after it. Every entry is flushed as
// soon as it is written, so the file is complete up to the last entry even when the process dies right after.

#include <ctime>
#include <functional>
#include <string>

class TLogger {
public:
    // Chooses a free name, creates the file and keeps it open. Raises EInOutError when it cannot.
    TLogger();
    // Closes the file; a failed close raises EInOutError.
    virtual ~TLogger() noexcept(false);
    TLogger(const TLogger&) = delete;
    TLogger& operator=(const TLogger&) = delete;

    void LogError(const std::string& Message, const std::string& Location);
    void LogStatus(const std::string& Message, const std::string& Location);

    int LogFile = -1;     // descriptor of the open log file
    std::string AppName;  // the executable's file name, "" when its path is unknown
    std::string AppPath;  // the executable's folder with its trailing separator, "" when unknown
    std::string FileName; // the log file's full name as created
};

extern TLogger* AppLogger;

// Creates AppLogger and writes "Starting Application". Raises EInOutError when the file cannot be made.
void LoggerInitialization();
// Writes "Terminating Application", frees AppLogger and sets it to null.
void LoggerFinalization();

// Replaceable sources, for tests: the local time of day of an entry, and the executable's path.
void SetLoggerClock(std::function<std::tm()> Clock);             // an empty function restores the real clock
void SetLoggerExecutablePath(std::function<std::string()> Path); // an empty function restores /proc/self/exe
