// The launcher's run of a program on the simulated device, shared by brimlet-sim and the device library.

#include <csignal>
#include <string>
#include <unistd.h>
#include <vector>

#include "runtime/standard_files.h"
#include "sim/launcher/demo_script.h"
#include "sim/launcher/environment.h"
#include "sim/launcher/interrupt.h"
#include "sim/launcher/key_map.h"
#include "sim/launcher/launcher.h"
#include "sim/launcher/messages.h"
#include "sim/launcher/options.h"
#include "sim/launcher/output_list.h"
#include "sim/launcher/outputs.h"
#include "sim/launcher/recorder.h"
#include "sim/launcher/script.h"
#include "sim/launcher/script_file.h"
#include "sim/launcher/script_player.h"
#include "sim/launcher/video_recording.h"
#include "sim/launcher/window.h"
#include "sim/control.h"

namespace {

constexpr int UnusableStatus = 2;
constexpr int OutputFailedStatus = 3;
constexpr int StrictStatus = 4;

bool Window = false;
bool Demo = false;
bool KeysShown = false;
std::string TraceFile, AudioOutFile, TimelineFile;
bool TraceFailureSaid = false, AudioOutFailureSaid = false, TimelineFailureSaid = false;

// The commands of the run: the script file's, the exit after --frames, or the demo. False after reporting why.
bool LoadCommands(const TLauncherOptions& Options, std::vector<TScriptCommand>& Commands)
{
    TScriptError Error;
    if (!Options.ScriptFile.empty()) {
        std::string Text, Problem;
        if (!ReadScriptFile(Options.ScriptFile, Text, Problem)) {
            Say(Problem);
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

// The simulated device as the options ask for it, and the outputs, checked and opened by OpenOutputs. False after
// reporting why, every file left as it was.
bool PrepareDevice(const TLauncherOptions& Options, const std::vector<std::string>& OptionWords)
{
    SimReset();
    for (const std::string& Fault : Options.Faults)
        SimInjectFault(Fault);
    SimSetFastMode(Options.Fast);
    // The video follows device time, which the line above starts again.
    if (!StartOutputs(Options, OptionWords))
        return false;
    TraceFile = Options.TraceFile;
    AudioOutFile = Options.AudioOutFile;
    TimelineFile = Options.TimelineFile;
    if (Options.Strict)
        SimOnStray([](const std::string& Access) {
            Say("stray access " + Access + ": the run ends here (--strict)");
            EndRunNow(StrictStatus);
        });
    return true;
}

// Whether the commands ever hold the exit button, which ends a run without a window.
bool HoldsExit(const std::vector<TScriptCommand>& Commands)
{
    for (const TScriptCommand& Command : Commands)
        if (Command.Input == TSimInput::B4 && Command.Action != TScriptAction::Release
            && Command.Action != TScriptAction::Snapshot)
            return true;
    return false;
}

// Says, once each and as soon as it is known, that the trace, the timeline or the audio capture could not be written
// completely.
void CheckOutputs()
{
    const std::string TraceFailure = SimTraceFailure(), AudioOutFailure = SimAudioOutFailure(),
                      TimelineFailure = SimTimelineFailure();
    if (!TraceFailureSaid && !TraceFailure.empty()) {
        TraceFailureSaid = true;
        ReportOutputFailure("the trace " + TraceFile + " could not be written completely: " + TraceFailure);
    }
    if (!TimelineFailureSaid && !TimelineFailure.empty()) {
        TimelineFailureSaid = true;
        ReportOutputFailure("the timeline " + TimelineFile + " could not be written completely: " + TimelineFailure);
    }
    if (!AudioOutFailureSaid && !AudioOutFailure.empty()) {
        AudioOutFailureSaid = true;
        ReportOutputFailure("the audio capture " + AudioOutFile
                            + " could not be written completely: " + AudioOutFailure);
    }
    CheckVideoRecording();
}

void AtFlip(std::uint32_t FlipCount)
{
    PlayScriptTo(FlipCount);
    if (Interrupted()) {
        SimSetInput(TSimInput::B4, true);
        StopInterruptingCalls();
    }
    if (Window)
        WindowAtFlip();
    // After every input of the flip, from the script, an interrupt or the keyboard, is applied.
    RecordAt(FlipCount);
    CheckOutputs();
    // A flip comes only once the program has set its video mode, which opens the window: SDL holds its own
    // connection to the display by then.
    if (Window && !KeysShown) {
        KeysShown = true;
        CloseDisplayCheck();
        WriteStandardError(KeyMapText());
    }
}

} // namespace

int RunLauncher(int ArgumentCount, char** Arguments, int (*Program)(int ArgumentCount, char** Arguments),
                const TLauncherName& Names)
{
    OpenClosedStandardFiles();
    NameLauncher(Names);
    // A file size limit (ulimit -f) then fails the write that passes it, which is said, instead of ending the run.
    signal(SIGXFSZ, SIG_IGN);
    TLauncherOptions Options;
    std::string Error;
    const TOptionsOutcome Outcome = ParseLauncherOptions(ArgumentCount, Arguments, Options, Error);
    // --help shows the key map in force.
    if (Outcome == TOptionsOutcome::Help && !LoadKeyMap(Options.KeysFile, Error)) {
        Say(Error);
        return UnusableStatus;
    }
    switch (Outcome) {
    case TOptionsOutcome::Help: return WriteStandardOutput(LauncherUsage()) ? 0 : OutputFailedStatus;
    case TOptionsOutcome::Version: return WriteStandardOutput(LauncherVersion()) ? 0 : OutputFailedStatus;
    case TOptionsOutcome::FaultHelp: return WriteStandardOutput(FaultHelpText()) ? 0 : OutputFailedStatus;
    case TOptionsOutcome::Unusable: Say(Error); return UnusableStatus;
    case TOptionsOutcome::Run: break;
    }
    if (Options.Window && !DisplayAvailable()) {
        Say("--window needs a display: DISPLAY is not set, or SDL_VIDEODRIVER is dummy");
        return UnusableStatus;
    }
    Window = Options.Window || (!Options.Headless && DisplayAvailable());
    std::string DisplayProblem;
    if (Window && !DisplayOpens(DisplayProblem)) {
        // A window the user asked for, by option or by SDL's driver, is not quietly dropped.
        if (Options.Window || X11Chosen()) {
            Say(std::string(Options.Window ? "--window" : "SDL_VIDEODRIVER=x11")
                + " needs a display: " + DisplayProblem);
            return UnusableStatus;
        }
        Say(DisplayProblem + ": running headless");
        Window = false;
    }
    Demo = !Window && Options.ScriptFile.empty() && !Options.HasFrames;
    // The per-user key map matters to a window only; a file named is read in any case.
    if ((Window || !Options.KeysFile.empty()) && !LoadKeyMap(Options.KeysFile, Error)) {
        Say(Error);
        return UnusableStatus;
    }

    std::vector<TScriptCommand> Commands;
    if (!LoadCommands(Options, Commands))
        return UnusableStatus;
    if (!OpenOutputs(Options, Commands))
        return UnusableStatus;
    if (!Window && !HoldsExit(Commands))
        Say("nothing holds button 4, neither the script nor --frames: once the program runs its frame loop, only a "
            "signal (Ctrl-C) ends the run");
    ChooseSdlDrivers(Window);
    const std::vector<std::string> OptionWords(Arguments + 1,
                                               Arguments + ArgumentCount - Options.ProgramArguments.size());
    std::string RamProblem;
    if (!SimReserveRam(RamProblem)) {
        Say("cannot reserve the simulated RAM: " + RamProblem);
        AbandonOutputs();
        return OutputFailedStatus;
    }
    if (!PrepareDevice(Options, OptionWords))
        return UnusableStatus;
    if (Demo)
        Say("playing the built-in demo");
    CatchInterrupts();
    StartScript(Commands);
    PlayScriptTo(0);
    if (Window)
        StartWindow(Options.Scale, !Options.NoGamepad);
    RecordAt(0);
    SimOnFlip(AtFlip);

    // The program sees the launcher's own path as its name, so that its log is named after the executable, and the
    // words after the options as its arguments.
    std::vector<char*> ProgramArguments{Arguments[0]};
    for (std::string& Argument : Options.ProgramArguments)
        ProgramArguments.push_back(Argument.data());
    ProgramArguments.push_back(nullptr);
    const int Status = Program(static_cast<int>(ProgramArguments.size() - 1), ProgramArguments.data());
    StopInterruptingCalls();
    CloseDisplayCheck();

    SimFinishSnapshots();
    SimOnFlip(nullptr);
    ReportSnapshotsNotTaken();
    StopOutputs();
    CheckOutputs();
    if (SimStrayCount() > 0)
        Say(std::to_string(SimStrayCount()) + (SimStrayCount() == 1 ? " stray access" : " stray accesses")
            + " to the device's registers (--trace shows them)");
    // The program's own failures (1, 217) say more about the run than a file of the launcher's that failed.
    return Status == 0 && OutputFailed() ? OutputFailedStatus : Status;
}
