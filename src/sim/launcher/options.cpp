#include "sim/launcher/options.h"

#include "sim/launcher/script.h"
#include "sim/control.h"

namespace {

bool KnownFault(const std::string& Name)
{
    for (const auto& Fault : SimFaultList())
        if (Fault.first == Name)
            return true;
    return false;
}

// Sets a file option; false with Error set when it was given before or the name is empty.
bool SetFile(const std::string& Option, const std::string& Value, std::string& File, std::string& Error)
{
    if (!File.empty()) {
        Error = Option + " given twice";
        return false;
    }
    if (Value.empty()) {
        Error = Option + " needs a file name";
        return false;
    }
    File = Value;
    return true;
}

} // namespace

TOptionsOutcome ParseLauncherOptions(int Count, char** Values, TLauncherOptions& Options, std::string& Error)
{
    Options = TLauncherOptions();
    int Index = 1;
    for (; Index < Count; ++Index) {
        const std::string Word = Values[Index];
        if (Word == "--") {
            ++Index;
            break;
        }
        // Only words that begin with "--" are options: the program's flag mask may be negative, such as -1.
        if (Word.compare(0, 2, "--") != 0)
            break;
        if (Word == "--help")
            return TOptionsOutcome::Help;
        if (Word == "--version")
            return TOptionsOutcome::Version;
        if (Word == "--headless" || Word == "--window") {
            (Word == "--headless" ? Options.Headless : Options.Window) = true;
            if (Options.Headless && Options.Window) {
                Error = "--headless and --window exclude each other";
                return TOptionsOutcome::Unusable;
            }
            continue;
        }
        if (Word == "--fast" || Word == "--strict") {
            (Word == "--fast" ? Options.Fast : Options.Strict) = true;
            continue;
        }
        if (Word != "--script" && Word != "--trace" && Word != "--audio-out" && Word != "--frames"
            && Word != "--fault") {
            Error = "unknown option " + Word + " (--help lists the options)";
            return TOptionsOutcome::Unusable;
        }
        if (Index + 1 >= Count) {
            Error = Word + " needs a value";
            return TOptionsOutcome::Unusable;
        }
        const std::string Value = Values[++Index];
        if (Word == "--script" || Word == "--trace" || Word == "--audio-out") {
            std::string& File = Word == "--script" ? Options.ScriptFile
                : Word == "--trace"                ? Options.TraceFile
                                                   : Options.AudioOutFile;
            if (!SetFile(Word, Value, File, Error))
                return TOptionsOutcome::Unusable;
        } else if (Word == "--frames") {
            if (Options.HasFrames) {
                Error = "--frames given twice";
                return TOptionsOutcome::Unusable;
            }
            if (!ParseFrameNumber(Value, Options.Frames)) {
                Error = "--frames needs a number of frames from 0 to 4294967295, not \"" + Value + "\"";
                return TOptionsOutcome::Unusable;
            }
            Options.HasFrames = true;
        } else if (Value == "help") {
            return TOptionsOutcome::FaultHelp;
        } else if (!KnownFault(Value)) {
            Error = "unknown fault \"" + Value + "\" (--fault help lists them)";
            return TOptionsOutcome::Unusable;
        } else {
            Options.Faults.push_back(Value);
        }
    }
    for (; Index < Count; ++Index)
        Options.ProgramArguments.push_back(Values[Index]);
    return TOptionsOutcome::Run;
}

std::string LauncherUsage()
{
    return "usage: brimlet-sim [OPTIONS] [--] [FLAGS]\n"
           "Runs the test program on the simulated device. FLAGS, the words after the options, are the program's\n"
           "own command line (its video flag mask).\n"
           "\n"
           "  --script FILE     drive the input panel and snapshots from FILE\n"
           "  --frames N        hold the exit button (button 4) once N frames have been shown\n"
           "  --headless        no window (the default where there is no display)\n"
           "  --window          a window with the keyboard (the default where there is a display)\n"
           "  --fast            device time counted by the program's accesses: no delays, the same every run\n"
           "  --strict          end the run at the first stray access to the registers (exit status 4)\n"
           "  --trace FILE      write every register access to FILE\n"
           "  --audio-out FILE  write what the listener hears (after the mixer level) to FILE as a WAV file\n"
           "  --fault NAME      inject a failure (repeatable); --fault help lists the names\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "\n"
           "Script: one command a line, \"FRAME COMMAND [ARGUMENT]\"; \"#\" starts a comment. FRAME counts the\n"
           "flips the display has latched (0: from the start). Commands: hold INPUT, release INPUT, tap INPUT\n"
           "(held for one frame), snapshot FILE.png (FRAME at least 1). INPUT: b1 to b10, up, down, left, right,\n"
           "upleft, upright, downleft, downright.\n"
           "A headless run with neither --script nor --frames plays the built-in demo.\n";
}

std::string FaultHelpText()
{
    std::string Text;
    for (const auto& [Name, Meaning] : SimFaultList())
        Text += Name + std::string(Name.size() < 16 ? 16 - Name.size() : 1, ' ') + Meaning + "\n";
    return Text;
}

std::string LauncherVersion()
{
    return std::string("brimlet-sim ") + BRIMLET_VERSION + "\n";
}
