// The launcher's script parser with any text. A script that does not parse names a line that exists and gives no
// commands; one that parses gives commands in the order of their lines, snapshots from frame 1 on, and written out
// again one command a line, the same commands.

#include "sim/launcher/script.h"

#include <algorithm>

namespace {

const char* const Actions[] = {"hold", "release", "tap", "snapshot"};
const char* const Inputs[] = {"b1",  "b2", "b3",     "b4",   "b5",       "b6",   "b7",        "b8",    "b9",
                              "b10", "up", "upleft", "left", "downleft", "down", "downright", "right", "upright"};

std::string Rewrite(const std::vector<TScriptCommand>& Commands)
{
    std::string Text;
    for (const TScriptCommand& C : Commands)
        Text += std::to_string(C.Frame) + " " + Actions[int(C.Action)] + " "
            + (C.Action == TScriptAction::Snapshot ? C.File : Inputs[int(C.Input)]) + "\n";
    return Text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    const int Lines = static_cast<int>(std::count(Text.begin(), Text.end(), '\n')) + 1;
    std::vector<TScriptCommand> Commands, Again;
    TScriptError Error{0, ""};
    if (!ParseScript(Text, Commands, Error)) {
        if (Error.Line < 1 || Error.Line > Lines || Error.Reason.empty() || !Commands.empty())
            __builtin_trap();
        return 0;
    }
    for (std::size_t Index = 0; Index < Commands.size(); ++Index)
        if (Commands[Index].Line > Lines || (Index > 0 && Commands[Index].Line <= Commands[Index - 1].Line)
            || (Commands[Index].Action == TScriptAction::Snapshot && Commands[Index].Frame == 0))
            __builtin_trap();
    if (!ParseScript(Rewrite(Commands), Again, Error) || Rewrite(Again) != Rewrite(Commands))
        __builtin_trap();
    return 0;
}
