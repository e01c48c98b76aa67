#include "sim/launcher/options.h"

#include <cctype>

#include "sim/capture/video_formats.h"
#include "sim/launcher/installed_folders.h"
#include "sim/launcher/key_map.h"
#include "sim/launcher/script.h"
#include "sim/control.h"

const TLauncherName BrimletSimName{"brimlet-sim", "brimlet-sim", "the test program"};

namespace {

TLauncherName Names = BrimletSimName;

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

// The options that take no value.
bool IsSwitch(const std::string& Name)
{
    for (const char* Switch :
         {"--help", "-h", "--version", "-V", "--headless", "--window", "--fast", "--strict", "--no-gamepad"})
        if (Name == Switch)
            return true;
    return false;
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
        // Only "--" or "-" and a letter begin an option: the program's flag mask may be negative, such as -1 or -$12.
        const bool Long = Word.compare(0, 2, "--") == 0;
        if (!Long && !(Word.size() > 1 && Word[0] == '-' && std::isalpha(static_cast<unsigned char>(Word[1])) != 0))
            break;
        const std::size_t Equals = Long ? Word.find('=') : std::string::npos;
        const std::string Name = Word.substr(0, Equals);
        if (IsSwitch(Name)) {
            if (Equals != std::string::npos) {
                Error = Name + " takes no value";
                return TOptionsOutcome::Unusable;
            }
            if (Name == "--help" || Name == "-h")
                return TOptionsOutcome::Help;
            if (Name == "--version" || Name == "-V")
                return TOptionsOutcome::Version;
            (Name == "--headless"         ? Options.Headless
                 : Name == "--window"     ? Options.Window
                 : Name == "--fast"       ? Options.Fast
                 : Name == "--no-gamepad" ? Options.NoGamepad
                                          : Options.Strict) = true;
            if (Options.Headless && Options.Window) {
                Error = "--headless and --window exclude each other";
                return TOptionsOutcome::Unusable;
            }
            continue;
        }
        if (Name != "--script" && Name != "--trace" && Name != "--audio-out" && Name != "--record" && Name != "--frames"
            && Name != "--scale" && Name != "--fault" && Name != "--video" && Name != "--video-scale"
            && Name != "--keys" && Name != "--timeline") {
            Error = "unknown option " + Name + " (--help lists the options)";
            return TOptionsOutcome::Unusable;
        }
        if (Equals == std::string::npos && Index + 1 >= Count) {
            Error = Name + " needs a value";
            return TOptionsOutcome::Unusable;
        }
        const std::string Value = Equals != std::string::npos ? Word.substr(Equals + 1) : Values[++Index];
        if (Name == "--script" || Name == "--trace" || Name == "--audio-out" || Name == "--record" || Name == "--video"
            || Name == "--keys" || Name == "--timeline") {
            std::string& File = Name == "--script" ? Options.ScriptFile
                : Name == "--keys"                 ? Options.KeysFile
                : Name == "--trace"                ? Options.TraceFile
                : Name == "--timeline"             ? Options.TimelineFile
                : Name == "--audio-out"            ? Options.AudioOutFile
                : Name == "--video"                ? Options.VideoFile
                                                   : Options.RecordFile;
            if (!SetFile(Name, Value, File, Error))
                return TOptionsOutcome::Unusable;
            if (Name == "--video" && VideoFormatOf(Value) == nullptr) {
                Error =
                    "--video records by the file's extension, one of " + VideoExtensions() + ", not \"" + Value + "\"";
                return TOptionsOutcome::Unusable;
            }
        } else if (Name == "--frames") {
            if (Options.HasFrames) {
                Error = "--frames given twice";
                return TOptionsOutcome::Unusable;
            }
            if (!ParseFrameNumber(Value, Options.Frames)) {
                Error = "--frames needs a number of frames from 0 to 4294967295, not \"" + Value + "\"";
                return TOptionsOutcome::Unusable;
            }
            Options.HasFrames = true;
        } else if (Name == "--scale" || Name == "--video-scale") {
            int& Scale = Name == "--scale" ? Options.Scale : Options.VideoScale;
            if (Scale != 0) {
                Error = Name + " given twice";
                return TOptionsOutcome::Unusable;
            }
            if (Value.size() != 1 || Value[0] < '1' || Value[0] > '8') {
                Error = Name + " needs a whole number from 1 to 8, not \"" + Value + "\"";
                return TOptionsOutcome::Unusable;
            }
            Scale = Value[0] - '0';
        } else if (Value == "help") {
            return TOptionsOutcome::FaultHelp;
        } else if (!KnownFault(Value)) {
            Error = "unknown fault \"" + Value + "\" (--fault help lists them)";
            return TOptionsOutcome::Unusable;
        } else {
            Options.Faults.push_back(Value);
        }
    }
    if (Options.VideoScale != 0 && Options.VideoFile.empty()) {
        Error = "--video-scale needs --video";
        return TOptionsOutcome::Unusable;
    }
    for (; Index < Count; ++Index)
        Options.ProgramArguments.push_back(Values[Index]);
    return TOptionsOutcome::Run;
}

void NameLauncher(const TLauncherName& Name)
{
    Names = Name;
}

namespace {

// Where the program's files are taken from and go; an installed brimlet-sim has its own folders to fall back on.
std::string FilesText()
{
    if (!InstalledFoldersUsed())
        return "Files: the program reads galaxy.bmp and music.ogg from the working folder and writes its log\n"
               "beside the executable. Outputs and snapshots are written where their names say, relative to the\n"
               "working folder.\n";
    return "Files: the program reads galaxy.bmp and music.ogg from the working folder; an installed brimlet-sim\n"
           "takes those missing there from PREFIX/share/brimlet-sim. The log goes beside the executable, or,\n"
           "where that folder is not writable or is an installed one under /usr, into\n"
           "$XDG_STATE_HOME/brimlet-sim (~/.local/state/brimlet-sim). Outputs and snapshots are written where\n"
           "their names say, relative to the working folder.\n";
}

} // namespace

std::string LauncherUsage()
{
    // A build without video recording offers neither --video nor --video-scale.
    const std::string Video = BRIMLET_HAS_VIDEO
        ? "  --video FILE      record every refresh of the display and the sound to FILE, by its extension:\n"
          "                    .mkv lossless, .mp4, .webm, .gif (every third refresh, no sound)\n"
          "  --video-scale N   the video's size: N times the device's 320 x 240 pixels (1 to 8, default 1)\n"
        : "";
    const std::string Written = BRIMLET_HAS_VIDEO
        ? "  3    a snapshot, the trace, the timeline, the recording, the audio capture or the video could not be\n"
          "       written completely\n"
        : "  3    a snapshot, the trace, the timeline, the recording or the audio capture could not be written\n"
          "       completely\n";
    return std::string("usage: ") + Names.Command + " [OPTIONS] [--] [FLAGS]\n" + "Runs " + Names.Program
        + " on the simulated device.\n"
          "FLAGS, the words after the options, are the program's own command line (its video flag mask). An\n"
          "option's value may also follow \"=\" (--frames=600).\n"
          "\n"
          "  --script FILE     drive the input panel and snapshots from FILE\n"
          "  --frames N        hold the exit button (button 4) once N frames have been shown\n"
          "  --headless        no window (the default where no display opens)\n"
          "  --window          a window with the keyboard (the default where a display opens)\n"
          "  --scale N         the window's size: N times the device's 320 x 240 pixels (1 to 8)\n"
          "  --keys FILE       the window's key map, changed by FILE's \"KEY INPUT\" lines (default:\n"
          "                    $XDG_CONFIG_HOME/brimlet-sim/keys or ~/.config/brimlet-sim/keys, where it exists)\n"
          "  --no-gamepad      no gamepad in a window\n"
          "  --fast            device time counted by the program's accesses: no delays, the same every run\n"
          "  --strict          end the run at the first stray access to the registers (exit status 4)\n"
          "  --record FILE     write the inputs held, from the keyboard or a script, to FILE as a script\n"
          "  --trace FILE      write every register access to FILE\n"
          "  --timeline FILE   write the device's events in device time to FILE (Trace Event format, JSON)\n"
          "  --audio-out FILE  write what the listener hears (after the mixer level) to FILE as a WAV file\n"
        + Video
        + "  --fault NAME      inject a failure (repeatable); --fault help lists the names\n"
          "  -h, --help        show this text\n"
          "  -V, --version     show the version\n"
          "\n"
          "FLAGS: the video flag mask (decimal, $12, 0x12, %10010, &22, ...), read when it is the only word. Its\n"
          "bits replace the flags chosen from the video information (full screen, hardware surface and\n"
          "acceleration where available) with a software surface and:\n"
          "  0x01  SDL_SWSURFACE, only named      0x08  SDL_HWACCEL, hardware blits\n"
          "  0x02  SDL_HWSURFACE, video memory    0x10  SDL_DOUBLEBUF, double buffering\n"
          "  0x04  SDL_FULLSCREEN, full screen     0x20  8 bits per pixel instead of 16\n"
          "\n"
          "Script: one command a line, \"FRAME COMMAND [ARGUMENT]\"; \"#\" starts a comment. FRAME counts the\n"
          "flips the display has latched (0: from the start). Commands: hold INPUT, release INPUT, tap INPUT\n"
          "(held for one frame), snapshot FILE.png (FRAME at least 1). INPUT: b1 to b10, up, down, left, right,\n"
          "upleft, upright, downleft, downright.\n"
          "A headless run with neither --script nor --frames plays the built-in demo.\n"
          "\n"
        + KeyMapText() + "\n" + FilesText()
        + "\n"
          "Exit status:\n"
          "  0    an ordinary end\n"
          "  1    the program could not create its log or write its first entry\n"
          "  2    unusable options, script or output files, or a window (--window, SDL_VIDEODRIVER=x11) without\n"
          "       a display\n"
        + Written
        + "  4    --strict stopped the run at a stray access\n"
          "  217  an error that nothing handled\n";
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
    return std::string(Names.Name) + " " + BRIMLET_VERSION + "\n";
}
