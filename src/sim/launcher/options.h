#pragma once
// The launcher's command line: "brimlet-sim [OPTIONS] [--] [FLAGS]". Options are the words that begin with "--" or
// with "-" and a letter; the first other word, or everything after "--", is the program's own command line. An
// option's value is the next word or follows "=" ("--frames=10").

#include <cstdint>
#include <string>
#include <vector>

struct TLauncherOptions {
    std::string ScriptFile; // "" when there is none
    bool HasFrames = false;
    std::uint32_t Frames = 0; // with HasFrames: hold the exit button once this many frames were shown
    bool Headless = false;
    bool Window = false;
    bool Fast = false;
    bool Strict = false;
    bool NoGamepad = false;
    std::string KeysFile;            // "" when there is none
    std::string TraceFile;           // "" when there is none
    std::string AudioOutFile;        // "" when there is none
    std::string TimelineFile;        // "" when there is none
    std::string RecordFile;          // "" when there is none
    std::string VideoFile;           // "" when there is none; its extension is a known one
    int Scale = 0;                   // the window's pixels per device pixel, 1 to 8; 0 when not given
    int VideoScale = 0;              // the video's pixels per device pixel, 1 to 8; 0 when not given
    std::vector<std::string> Faults; // known fault names, in the order given
    std::vector<std::string> ProgramArguments;
};

enum class TOptionsOutcome {
    Run,       // Options describe a run
    Help,      // --help or -h
    Version,   // --version or -V
    FaultHelp, // --fault help
    Unusable,  // Error says why
};

// Reads the words after the launcher's own name (Values[1] onwards).
TOptionsOutcome ParseLauncherOptions(int Count, char** Values, TLauncherOptions& Options, std::string& Error);

// How --help, --version and a recording's header name the launcher, and what it runs.
struct TLauncherName {
    const char* Command; // the command that --help shows
    const char* Name;    // the name of --version and of a recording's header
    const char* Program; // what runs on the simulated device
};
// brimlet-sim's names, the launcher's until NameLauncher gives others.
extern const TLauncherName BrimletSimName;
void NameLauncher(const TLauncherName& Name);

// The text of --help (the options that this build offers), the lines of --fault help and the text of --version.
std::string LauncherUsage();
std::string FaultHelpText();
std::string LauncherVersion();
