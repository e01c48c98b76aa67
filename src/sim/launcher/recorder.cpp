#include "sim/launcher/recorder.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <utility>

#include "runtime/write_all.h"
#include "sim/launcher/messages.h"
#include "sim/launcher/options.h"
#include "sim/control.h"

namespace {

constexpr int InputCount = static_cast<int>(TSimInput::UpRight) + 1;

// Written with write(2), each flip's lines at once, so that a failure is reported when it happens and a write that a
// signal interrupts goes on.
int Recording = -1;
std::string RecordingName;
// The inputs as the recording holds them so far; the panel powers on with every input released.
std::array<bool, InputCount> Recorded{};

void ReportFailure()
{
    ReportOutputFailure("cannot write the recording " + RecordingName + ": " + std::strerror(errno));
}

// After a failed write nothing more is written: a later line that got through would leave a gap inside the script.
void Fail()
{
    ReportFailure();
    close(std::exchange(Recording, -1));
}

void Write(const std::string& Text)
{
    if (!WriteWhole(Recording, Text.data(), Text.size()))
        Fail();
}

// The words as one comment line: a control character would end the comment and start a command.
std::string CommentLine(const std::string& Title, const std::vector<std::string>& Words)
{
    std::string Line = "# " + Title + ":";
    for (const std::string& Word : Words)
        Line += " " + Word;
    for (char& Character : Line)
        if (static_cast<unsigned char>(Character) < 0x20 || Character == 0x7F)
            Character = '?';
    return Line + "\n";
}

} // namespace

void StartRecording(const std::string& File, int Handle, const std::vector<std::string>& Options,
                    const std::vector<std::string>& Flags)
{
    StopRecording();
    Recorded.fill(false);
    RecordingName = File;
    Recording = Handle;
    std::string Header = "# recorded by " + LauncherVersion() + CommentLine("options", Options);
    if (!Flags.empty())
        Header += CommentLine("program flags", Flags);
    Write(Header);
}

void RecordAt(std::uint32_t FlipCount)
{
    if (Recording < 0)
        return;
    std::string Lines;
    for (int Index = 0; Index < InputCount; ++Index) {
        const auto Input = static_cast<TSimInput>(Index);
        if (SimInputHeld(Input) == Recorded[Index])
            continue;
        Recorded[Index] = !Recorded[Index];
        Lines += std::to_string(FlipCount) + (Recorded[Index] ? " hold " : " release ") + SimInputName(Input) + "\n";
    }
    if (!Lines.empty())
        Write(Lines);
}

void StopRecording()
{
    if (Recording < 0)
        return;
    // Linux releases the descriptor even when close is interrupted.
    if (close(std::exchange(Recording, -1)) != 0 && errno != EINTR)
        ReportFailure();
}
