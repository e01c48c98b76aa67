#include "support/test_support.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TTempDir::TTempDir()
{
    const char* Base = std::getenv("TMPDIR");
    std::string Template = std::string(Base && *Base ? Base : "/tmp") + "/brimlet-test-XXXXXX";
    if (mkdtemp(Template.data()) == nullptr)
        throw std::runtime_error("cannot make a temporary folder: " + std::string(std::strerror(errno)));
    FolderPath = Template;
}

TTempDir::~TTempDir()
{
    std::error_code Error;
    fs::remove_all(FolderPath, Error);
}

TWorkingDirectory::TWorkingDirectory(const std::string& Path) : Previous(fs::current_path().string())
{
    fs::current_path(Path);
}

TWorkingDirectory::~TWorkingDirectory()
{
    std::error_code Error;
    fs::current_path(Previous, Error);
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File) {
        ADD_FAILURE() << "cannot read " << Path;
        return "";
    }
    std::ostringstream Content;
    Content << File.rdbuf();
    return Content.str();
}

bool WriteFile(const std::string& Path, const std::string& Content)
{
    std::ofstream File(Path, std::ios::binary | std::ios::trunc);
    File << Content;
    return static_cast<bool>(File.flush());
}

bool PathExists(const std::string& Path)
{
    struct stat Status;
    return lstat(Path.c_str(), &Status) == 0;
}

std::vector<std::string> ListFolder(const std::string& Path)
{
    std::vector<std::string> Names;
    for (const fs::directory_entry& Entry : fs::directory_iterator(Path))
        Names.push_back(Entry.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

std::vector<std::string> SplitLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find('\n', Start);
        if (End == std::string::npos) {
            Lines.push_back(Text.substr(Start));
            break;
        }
        Lines.push_back(Text.substr(Start, End - Start));
        Start = End + 1;
    }
    return Lines;
}

namespace {

// In the child: standard output and error to the pipes (or the file), the working folder and environment set.
// Returns false (after saying why on standard error) when the child cannot be set up.
bool PrepareChild(const TChildOptions& Options, int OutPipe, int ErrPipe)
{
    dup2(ErrPipe, STDERR_FILENO);
    int Out = OutPipe;
    if (!Options.StdoutPath.empty()) {
        Out = open(Options.StdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (Out < 0) {
            std::fprintf(stderr, "cannot open %s: %s\n", Options.StdoutPath.c_str(), std::strerror(errno));
            return false;
        }
    }
    dup2(Out, STDOUT_FILENO);
    if (!Options.WorkingDirectory.empty() && chdir(Options.WorkingDirectory.c_str()) != 0) {
        std::fprintf(stderr, "cannot enter %s: %s\n", Options.WorkingDirectory.c_str(), std::strerror(errno));
        return false;
    }
    for (const std::string& Setting : Options.Environment) {
        const std::size_t Equals = Setting.find('=');
        if (Equals == std::string::npos)
            unsetenv(Setting.c_str());
        else
            setenv(Setting.substr(0, Equals).c_str(), Setting.substr(Equals + 1).c_str(), 1);
    }
    return true;
}

double SecondsSince(const timespec& Start)
{
    timespec Now;
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<double>(Now.tv_sec - Start.tv_sec) + static_cast<double>(Now.tv_nsec - Start.tv_nsec) / 1e9;
}

// Forks; the child runs Child (which must not return normally: it ends with _exit). The parent collects the
// output until both pipes close, then the exit.
TChildResult RunForked(const TChildOptions& Options, const std::function<void()>& Child)
{
    TChildResult Result;
    int OutPipe[2];
    int ErrPipe[2];
    if (pipe2(OutPipe, O_CLOEXEC) != 0 || pipe2(ErrPipe, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return Result;
    }
    // Anything buffered in this process would otherwise be written a second time by the child.
    std::fflush(nullptr);
    const pid_t Pid = fork();
    if (Pid < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
        return Result;
    }
    if (Pid == 0) {
        close(OutPipe[0]);
        close(ErrPipe[0]);
        if (!PrepareChild(Options, OutPipe[1], ErrPipe[1]))
            _exit(254);
        Child();
        _exit(253);
    }
    close(OutPipe[1]);
    close(ErrPipe[1]);

    timespec Start;
    clock_gettime(CLOCK_MONOTONIC, &Start);
    pollfd Pipes[2] = {{OutPipe[0], POLLIN, 0}, {ErrPipe[0], POLLIN, 0}};
    std::string* Targets[2] = {&Result.Out, &Result.Err};
    int Open = 2;
    while (Open > 0) {
        int Wait = -1;
        if (Options.TimeoutSeconds > 0 && !Result.TimedOut) {
            const double Left = Options.TimeoutSeconds - SecondsSince(Start);
            if (Left <= 0) {
                kill(Pid, SIGKILL);
                Result.TimedOut = true;
            } else {
                Wait = static_cast<int>(Left * 1000) + 1;
            }
        }
        if (poll(Pipes, 2, Wait) < 0) {
            if (errno == EINTR)
                continue;
            ADD_FAILURE() << "poll: " << std::strerror(errno);
            break;
        }
        for (int Index = 0; Index < 2; ++Index) {
            if (Pipes[Index].fd < 0 || (Pipes[Index].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                continue;
            char Buffer[65536];
            const ssize_t Count = read(Pipes[Index].fd, Buffer, sizeof Buffer);
            if (Count > 0) {
                Targets[Index]->append(Buffer, static_cast<std::size_t>(Count));
            } else if (Count == 0 || errno != EINTR) {
                close(Pipes[Index].fd);
                Pipes[Index].fd = -1;
                --Open;
            }
        }
    }
    for (const pollfd& Pipe : Pipes)
        if (Pipe.fd >= 0)
            close(Pipe.fd);

    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(Status))
        Result.ExitStatus = WEXITSTATUS(Status);
    else if (WIFSIGNALED(Status))
        Result.Signal = WTERMSIG(Status);
    return Result;
}

}

TChildResult RunInChild(const std::function<int()>& Body, const TChildOptions& Options)
{
    return RunForked(Options, [&Body] {
        int Status = 255;
        try {
            Status = Body();
        } catch (const std::exception& Error) {
            std::fprintf(stderr, "exception escaped the child: %s\n", Error.what());
        } catch (...) {
            std::fprintf(stderr, "exception escaped the child\n");
        }
        std::fflush(nullptr);
        _exit(Status);
    });
}

TChildResult RunProgram(const std::vector<std::string>& Arguments, const TChildOptions& Options)
{
    return RunForked(Options, [&Arguments] {
        std::vector<char*> Values;
        for (const std::string& Argument : Arguments)
            Values.push_back(const_cast<char*>(Argument.c_str()));
        Values.push_back(nullptr);
        execvp(Values[0], Values.data());
        std::fprintf(stderr, "cannot run %s: %s\n", Values[0], std::strerror(errno));
        _exit(127);
    });
}

std::vector<TCodePlace> ResolveCode(const std::vector<std::uintptr_t>& Offsets)
{
    std::vector<std::string> Arguments = {"addr2line", "-f", "-i", "-p", "-C", "-e", ExecutablePath()};
    for (const std::uintptr_t Offset : Offsets) {
        char Text[32];
        std::snprintf(Text, sizeof Text, "0x%jx", static_cast<std::uintmax_t>(Offset));
        Arguments.push_back(Text);
    }
    const TChildResult Run = RunProgram(Arguments);
    if (Run.ExitStatus != 0)
        return {};
    // One line "function at file:line" for each address, followed by a line " (inlined by) function at file:line"
    // for each function that the code was inlined into; the last of them is the function that holds the code.
    std::vector<TCodePlace> Places;
    for (const std::string& Line : SplitLines(Run.Out)) {
        const std::string InlinedBy = " (inlined by) ";
        const bool Outer = Line.compare(0, InlinedBy.size(), InlinedBy) == 0;
        if (!Outer)
            Places.emplace_back();
        if (Places.empty())
            return {};
        const std::string Text = Outer ? Line.substr(InlinedBy.size()) : Line;
        const std::size_t At = Text.rfind(" at ");
        TCodePlace& Place = Places.back();
        Place.Function = Text.substr(0, At);
        const std::string Where = At == std::string::npos ? "??:0" : Text.substr(At + 4);
        const std::size_t Colon = Where.rfind(':');
        const std::string Path = Where.substr(0, Colon);
        Place.File = Path.substr(Path.rfind('/') + 1);
        Place.Line = Colon == std::string::npos ? 0 : std::atoi(Where.c_str() + Colon + 1);
    }
    if (Places.size() != Offsets.size())
        return {};
    return Places;
}

std::string ExecutablePath()
{
    return fs::read_symlink("/proc/self/exe").string();
}
