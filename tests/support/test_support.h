#pragma once
// Helpers shared by the tests: temporary folders, files, the working folder, child processes with their output
// captured, and the code addresses of this test executable.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A new empty folder under $TMPDIR (or /tmp), removed with everything in it when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const { return FolderPath; }
    // The full name of Name inside the folder.
    std::string File(const std::string& Name) const { return FolderPath + "/" + Name; }

private:
    std::string FolderPath;
};

// Makes Path the working folder until the object goes, then returns to the one before.
class TWorkingDirectory {
public:
    explicit TWorkingDirectory(const std::string& Path);
    ~TWorkingDirectory();
    TWorkingDirectory(const TWorkingDirectory&) = delete;
    TWorkingDirectory& operator=(const TWorkingDirectory&) = delete;

private:
    std::string Previous;
};

// The whole content of a file, byte for byte; "" (and a test failure) when it cannot be read.
std::string ReadFile(const std::string& Path);
// Writes Content as the whole file; false when it cannot.
bool WriteFile(const std::string& Path, const std::string& Content);
// Whether anything exists under Path (a dangling link counts).
bool PathExists(const std::string& Path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string& Path);
// Text cut at each LF; a final LF ends the last line and starts no new one.
std::vector<std::string> SplitLines(const std::string& Text);

// How a child process runs.
struct TChildOptions {
    std::string WorkingDirectory;         // "" keeps the test's own
    std::string StdoutPath;               // when set, standard output goes to this file (e.g. "/dev/full")
    std::vector<std::string> Environment; // "NAME=VALUE" entries set in the child
    int TimeoutSeconds = 120;             // the child is killed after this long; 0 for no limit
};

// How a child process ended and what it wrote.
struct TChildResult {
    int ExitStatus = -1;   // the exit status, -1 when it did not exit by itself
    int Signal = 0;        // the signal that ended it, 0 when it exited
    bool TimedOut = false; // killed after TimeoutSeconds
    std::string Out;       // its standard output (empty when sent to StdoutPath)
    std::string Err;       // its standard error
};

// Runs Body in a forked copy of the test process; Body's result is the child's exit status. Assertions inside
// Body do not reach the test: let Body return a status, or print to standard error, and check the result. The
// child ends with _exit, so no exit handlers run in it; an exception that escapes Body gives status 255.
TChildResult RunInChild(const std::function<int()>& Body, const TChildOptions& Options = {});
// Runs a program (searched for in PATH when Arguments[0] has no "/") with the arguments that follow.
TChildResult RunProgram(const std::vector<std::string>& Arguments, const TChildOptions& Options = {});

// Where a code address of this executable lies, as addr2line tells it from the debug information.
struct TCodePlace {
    std::string Function; // demangled, "??" when unknown
    std::string File;     // the source file's name without its folder, "??" when unknown
    int Line = 0;         // 0 when unknown
};
// Resolves Offsets (from the executable's load bias, the form the error classes record) with addr2line; an empty
// result when addr2line cannot be run.
std::vector<TCodePlace> ResolveCode(const std::vector<std::uintptr_t>& Offsets);
// The path of this executable.
std::string ExecutablePath();
