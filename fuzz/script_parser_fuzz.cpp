// The launcher's script parser with any text. A script that parses gives commands that stand in the order of
// their lines, each in a line that exists, snapshots only from frame 1 on and with a file name ending in ".png";
// written out again one command a line, the commands parse to the same commands. A script that does not parse
// names a line that exists.

#include "sim/launcher/script.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

const char* const ActionNames[] = {"hold", "release", "tap", "snapshot"};
const char* const InputNames[] = {"b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9", "b10", "up", "upleft", "left",
                                  "downleft", "down", "downright", "right", "upright"};

std::string Rewrite(const std::vector<TScriptCommand>& Commands)
{
    std::string Text;
    for (const TScriptCommand& Command : Commands) {
        Text += std::to_string(Command.Frame) + " " + ActionNames[static_cast<int>(Command.Action)] + " ";
        Text += Command.Action == TScriptAction::Snapshot ? Command.File
                                                          : InputNames[static_cast<int>(Command.Input)];
        Text += "\n";
    }
    return Text;
}

bool Same(const TScriptCommand& A, const TScriptCommand& B)
{
    return A.Frame == B.Frame && A.Action == B.Action && A.File == B.File &&
           (A.Action == TScriptAction::Snapshot || A.Input == B.Input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    const int Lines = static_cast<int>(std::count(Text.begin(), Text.end(), '\n')) + 1;
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    if (!ParseScript(Text, Commands, Error)) {
        if (Error.Line < 1 || Error.Line > Lines || Error.Reason.empty() || !Commands.empty())
            __builtin_trap();
        return 0;
    }
    int Previous = 0;
    for (const TScriptCommand& Command : Commands) {
        if (Command.Line <= Previous || Command.Line > Lines)
            __builtin_trap();
        Previous = Command.Line;
        const bool Snapshot = Command.Action == TScriptAction::Snapshot;
        if (Snapshot && (Command.Frame == 0 || Command.File.size() <= 4 ||
                         Command.File.find_first_of(" \t\n\v\f\r#") != std::string::npos))
            __builtin_trap();
    }

    std::vector<TScriptCommand> Again;
    if (!ParseScript(Rewrite(Commands), Again, Error) || Again.size() != Commands.size() ||
        !std::equal(Commands.begin(), Commands.end(), Again.begin(), Same))
        __builtin_trap();
    return 0;
}
