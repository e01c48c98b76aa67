#pragma once
// The launcher's command line: "brimlet-sim [OPTIONS] [--] [FLAGS]". Options are the words that begin with "--";
// the first other word, or everything after "--", is the program's own command line.

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
    std::string TraceFile;           // "" when there is none
    std::string AudioOutFile;        // "" when there is none
    std::vector<std::string> Faults; // known fault names, in the order given
    std::vector<std::string> ProgramArguments;
};

enum class TOptionsOutcome {
    Run,       // Options describe a run
    Help,      // --help
    Version,   // --version
    FaultHelp, // --fault help
    Unusable,  // Error says why
};

// Reads the words after the launcher's own name (Values[1] onwards).
TOptionsOutcome ParseLauncherOptions(int Count, char** Values, TLauncherOptions& Options, std::string& Error);

// The text of --help, the lines of --fault help and the text of --version.
std::string LauncherUsage();
std::string FaultHelpText();
std::string LauncherVersion();
