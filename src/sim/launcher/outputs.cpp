#include "sim/launcher/outputs.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "sim/capture/output_lock.h"
#include "sim/launcher/messages.h"

namespace {

struct TOutputFile {
    std::string What; // "the trace"
    std::string File;
    int Handle = -1;
    bool Made = false; // created by this run's check
    struct stat Status = {};
};

// In the order of TOutput.
std::array<TOutputFile, 5> Outputs;

// The same file, unless a character device such as /dev/null, which keeps nothing to mix.
bool SameFile(const struct stat& A, const struct stat& B)
{
    return A.st_dev == B.st_dev && A.st_ino == B.st_ino && !S_ISCHR(A.st_mode);
}

// The files that must never be written: the program's data files, which it reads from the working folder, and the
// script.
std::vector<std::pair<std::string, std::string>> ReadFiles(const TLauncherOptions& Options)
{
    std::vector<std::pair<std::string, std::string>> Files{{"galaxy.bmp", "galaxy.bmp, which the program reads"},
                                                           {"music.ogg", "music.ogg, which the program reads"}};
    if (!Options.ScriptFile.empty())
        Files.push_back({Options.ScriptFile, "the script " + Options.ScriptFile});
    return Files;
}

// Why the file whose status is Status must not be written, or "": it is one of the first outputs, already open, a
// data file or the script. Since the outputs are open, one that the check made and a link to it are found too.
std::string Collision(const struct stat& Status, std::size_t OpenedBefore,
                      const std::vector<std::pair<std::string, std::string>>& Read)
{
    for (std::size_t Index = 0; Index < OpenedBefore; ++Index)
        if (Outputs[Index].Handle >= 0 && SameFile(Status, Outputs[Index].Status))
            return "it is " + Outputs[Index].What + " " + Outputs[Index].File;
    for (const auto& [File, Named] : Read) {
        struct stat Other;
        if (stat(File.c_str(), &Other) == 0 && SameFile(Status, Other))
            return "it is " + Named;
    }
    return "";
}

// Opens File for writing without emptying it, made when missing; -1 with errno set when it cannot.
int OpenUnemptied(const std::string& File, bool& Made)
{
    Made = false;
    int Handle = open(File.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (Handle < 0 && errno == ENOENT) {
        Handle = open(File.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        Made = Handle >= 0;
        // A link to a file not there yet: the file is made through it.
        if (Handle < 0 && errno == EEXIST)
            Handle = open(File.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    }
    return Handle;
}

// Opens and checks one output; false after saying why.
bool OpenOutput(std::size_t Index, const std::vector<std::pair<std::string, std::string>>& Read)
{
    TOutputFile& Output = Outputs[Index];
    if (Output.File.empty())
        return true;
    const int Handle = OpenUnemptied(Output.File, Output.Made);
    std::string Why;
    if (Handle < 0 || fstat(Handle, &Output.Status) != 0)
        Why = std::strerror(errno);
    else
        Why = Collision(Output.Status, Index, Read);
    if (Why.empty() && !LockOutput(Handle, Output.Status))
        Why = AnotherRunWritesIt;
    if (!Why.empty()) {
        if (Handle >= 0)
            close(Handle);
        if (Output.Made)
            unlink(Output.File.c_str());
        Output.Made = false;
        Say("cannot write " + Output.What + " " + Output.File + ": " + Why);
        return false;
    }
    Output.Handle = Handle;
    return true;
}

} // namespace

bool OpenOutputs(const TLauncherOptions& Options, const std::vector<TScriptCommand>& Commands)
{
    Outputs = {TOutputFile{"the trace", Options.TraceFile}, TOutputFile{"the audio capture", Options.AudioOutFile},
               TOutputFile{"the recording", Options.RecordFile}, TOutputFile{"the video", Options.VideoFile},
               TOutputFile{"the timeline", Options.TimelineFile}};
    const auto Read = ReadFiles(Options);
    for (std::size_t Index = 0; Index < Outputs.size(); ++Index)
        if (!OpenOutput(Index, Read)) {
            AbandonOutputs();
            return false;
        }
    for (const TScriptCommand& Command : Commands) {
        struct stat Status;
        if (Command.Action != TScriptAction::Snapshot || stat(Command.File.c_str(), &Status) != 0)
            continue;
        const std::string Why = Collision(Status, Outputs.size(), Read);
        if (!Why.empty()) {
            Say("cannot write the snapshot " + Command.File + ": " + Why);
            AbandonOutputs();
            return false;
        }
    }
    return true;
}

int TakeOutput(TOutput Output)
{
    TOutputFile& Taken = Outputs[static_cast<std::size_t>(Output)];
    if (Taken.Handle < 0)
        return Taken.Handle;
    // Only a regular file is emptied: a device or a pipe has nothing to empty.
    if (S_ISREG(Taken.Status.st_mode) && ftruncate(Taken.Handle, 0) != 0)
        ReportOutputFailure("cannot write " + Taken.What + " " + Taken.File + ": " + std::strerror(errno));
    Taken.Made = false;
    return std::exchange(Taken.Handle, -1);
}

void AbandonOutputs()
{
    for (TOutputFile& Output : Outputs) {
        if (Output.Handle >= 0)
            close(std::exchange(Output.Handle, -1));
        if (std::exchange(Output.Made, false))
            unlink(Output.File.c_str());
    }
}

void ReleaseOutputs()
{
    for (TOutputFile& Output : Outputs)
        if (Output.Handle >= 0)
            close(std::exchange(Output.Handle, -1));
}
