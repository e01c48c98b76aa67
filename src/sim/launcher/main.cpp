// brimlet-sim: runs the test program on the simulated device.

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/run_frame.h"
#include "app/test_program.h"
#include "sim/launcher/demo_script.h"
#include "sim/launcher/environment.h"
#include "sim/launcher/interrupt.h"
#include "sim/launcher/keyboard.h"
#include "sim/launcher/messages.h"
#include "sim/launcher/options.h"
#include "sim/launcher/script.h"
#include "sim/launcher/script_player.h"
#include "sim/launcher/window.h"
#include "sim/control.h"

namespace {

constexpr int UnusableStatus = 2;
constexpr int StrictStatus = 4;

bool Window = false;
bool Demo = false;

// The whole of a file, or false with errno set.
bool ReadWholeFile(const std::string& Path, std::string& Text)
{
    const int Handle = open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (Handle < 0)
        return false;
    char Buffer[65536];
    ssize_t Count;
    while ((Count = read(Handle, Buffer, sizeof Buffer)) != 0) {
        if (Count > 0) {
            Text.append(Buffer, static_cast<std::size_t>(Count));
        } else if (errno != EINTR) {
            const int Failure = errno;
            close(Handle);
            errno = Failure;
            return false;
        }
    }
    close(Handle);
    return true;
}

// The commands of the run: the script file's, the exit after --frames, or the demo. False after reporting why.
bool LoadCommands(const TLauncherOptions& Options, std::vector<TScriptCommand>& Commands)
{
    TScriptError Error;
    if (!Options.ScriptFile.empty()) {
        std::string Text;
        if (!ReadWholeFile(Options.ScriptFile, Text)) {
            Say("cannot read the script " + Options.ScriptFile + ": " + std::strerror(errno));
            return false;
        }
        if (!ParseScript(Text, Commands, Error)) {
            Say(Options.ScriptFile + ":" + std::to_string(Error.Line) + ": " + Error.Reason);
            return false;
        }
    } else if (Demo) {
        if (!ParseScript(DemoScript, Commands, Error)) {
            Say("the built-in demo, line " + std::to_string(Error.Line) + ": " + Error.Reason);
            return false;
        }
    }
    if (Options.HasFrames)
        Commands.push_back({Options.Frames, TScriptAction::Hold, TSimInput::B4, "", 0});
    return true;
}

// The simulated device as the options ask for it. False after reporting why.
bool PrepareDevice(const TLauncherOptions& Options)
{
    SimReset();
    for (const std::string& Fault : Options.Faults)
        SimInjectFault(Fault);
    if (!Options.TraceFile.empty() && !SimOpenTrace(Options.TraceFile)) {
        Say("cannot write the trace to " + Options.TraceFile + ": " + std::strerror(errno));
        return false;
    }
    // The simulator names the capture file and the reason when it cannot write it.
    if (!Options.AudioOutFile.empty() && !SimOpenAudioOut(Options.AudioOutFile)) {
        SimCloseTrace();
        return false;
    }
    SimSetFastMode(Options.Fast);
    SimSetWindowed(Window);
    if (Options.Strict)
        SimOnStray([](const std::string& Access) {
            Say("stray access " + Access + ": the run ends here (--strict)");
            SimCloseAudioOut();
            SimCloseTrace();
            _exit(StrictStatus);
        });
    return true;
}

void AtFlip(std::uint32_t FlipCount)
{
    PlayScriptTo(FlipCount);
    if (Interrupted())
        SimSetInput(TSimInput::B4, true);
    if (Window)
        WindowAtFlip();
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    TLauncherOptions Options;
    std::string Error;
    switch (ParseLauncherOptions(ArgumentCount, Arguments, Options, Error)) {
    case TOptionsOutcome::Help: WriteStandardError(LauncherUsage()); return 0;
    case TOptionsOutcome::Version: WriteStandardError(LauncherVersion()); return 0;
    case TOptionsOutcome::FaultHelp: WriteStandardError(FaultHelpText()); return 0;
    case TOptionsOutcome::Unusable: Say(Error); return UnusableStatus;
    case TOptionsOutcome::Run: break;
    }
    if (Options.Window && !DisplayAvailable()) {
        Say("--window needs a display: DISPLAY is not set, or SDL_VIDEODRIVER is dummy");
        return UnusableStatus;
    }
    Window = Options.Window || (!Options.Headless && DisplayAvailable());
    Demo = !Window && Options.ScriptFile.empty() && !Options.HasFrames;

    std::vector<TScriptCommand> Commands;
    if (!LoadCommands(Options, Commands))
        return UnusableStatus;
    ChooseSdlDrivers(Window);
    if (!PrepareDevice(Options))
        return UnusableStatus;
    if (Demo)
        Say("playing the built-in demo");
    CatchInterrupts();
    StartScript(Commands);
    PlayScriptTo(0);
    if (Window) {
        StartWindow();
        WriteStandardError(KeyMapText());
    }
    SimOnFlip(AtFlip);

    // The program sees the launcher's own path as its name, so that its log is named after the executable, and the
    // words after the options as its arguments.
    std::vector<char*> ProgramArguments{Arguments[0]};
    for (std::string& Argument : Options.ProgramArguments)
        ProgramArguments.push_back(Argument.data());
    ProgramArguments.push_back(nullptr);
    const int Status =
        RunApplication(static_cast<int>(ProgramArguments.size() - 1), ProgramArguments.data(), TestProgram);

    SimFinishSnapshots();
    SimOnFlip(nullptr);
    SimCloseAudioOut();
    SimCloseTrace();
    if (SimStrayCount() > 0)
        Say(std::to_string(SimStrayCount()) + " stray accesses to the device's registers (--trace shows them)");
    return Status;
}
