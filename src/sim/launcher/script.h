#pragma once
// The launcher's script: one command a line, "FRAME COMMAND [ARGUMENT]", where FRAME counts the flips the display
// has latched. "#" starts a comment; blank lines are ignored. Parsing is a pure function of the text, so that it
// can be tested and fuzzed on its own.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/control.h"

enum class TScriptAction { Hold, Release, Tap, Snapshot };

struct TScriptCommand {
    std::uint32_t Frame; // the command takes effect once this many flips have been latched
    TScriptAction Action;
    TSimInput Input;  // for hold, release and tap
    std::string File; // for snapshot
    int Line;         // where it stands in the script, from 1
};

struct TScriptError {
    int Line; // from 1
    std::string Reason;
};

// The commands of Text in the order they stand, or false with the first error.
bool ParseScript(const std::string& Text, std::vector<TScriptCommand>& Commands, TScriptError& Error);

// A frame number: decimal digits only, at most 4294967295. Shared with the --frames option.
bool ParseFrameNumber(const std::string& Text, std::uint32_t& Frame);
