#include "sim/launcher/recorder.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "sim/launcher/messages.h"
#include "sim/launcher/options.h"
#include "sim/control.h"

namespace {

constexpr int InputCount = static_cast<int>(TSimInput::UpRight) + 1;

std::FILE* Recording = nullptr;
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
    std::fclose(std::exchange(Recording, nullptr));
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

bool StartRecording(const std::string& File, const std::vector<std::string>& Options,
                    const std::vector<std::string>& Flags)
{
    StopRecording();
    Recorded.fill(false);
    RecordingName = File;
    Recording = std::fopen(File.c_str(), "w");
    if (Recording == nullptr)
        return false;
    std::string Header = "# recorded by " + LauncherVersion() + CommentLine("options", Options);
    if (!Flags.empty())
        Header += CommentLine("program flags", Flags);
    if (std::fputs(Header.c_str(), Recording) < 0 || std::fflush(Recording) != 0)
        Fail();
    return true;
}

void RecordAt(std::uint32_t FlipCount)
{
    if (Recording == nullptr)
        return;
    std::string Lines;
    for (int Index = 0; Index < InputCount; ++Index) {
        const auto Input = static_cast<TSimInput>(Index);
        if (SimInputHeld(Input) == Recorded[Index])
            continue;
        Recorded[Index] = !Recorded[Index];
        Lines += std::to_string(FlipCount) + (Recorded[Index] ? " hold " : " release ") + SimInputName(Input) + "\n";
    }
    // Each flip's changes reach the file at once, so that a failure is reported when it happens.
    if (!Lines.empty() && (std::fputs(Lines.c_str(), Recording) < 0 || std::fflush(Recording) != 0))
        Fail();
}

void StopRecording()
{
    if (Recording == nullptr)
        return;
    if (std::fclose(std::exchange(Recording, nullptr)) != 0)
        ReportFailure();
}
