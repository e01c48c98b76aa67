#include "sim/launcher/script.h"

#include <charconv>
#include <sstream>

#include "runtime/hex.h"

namespace {

constexpr std::size_t QuotedBytes = 80;

// A word of the script as an error message shows it: in double quotes, each byte that is not printable ASCII as
// \xNN, cut after its first bytes, so that a message stays one short line whatever the script holds.
std::string Quoted(const std::string& Word)
{
    std::string Shown = "\"";
    for (std::size_t Index = 0; Index < Word.size() && Index < QuotedBytes; ++Index) {
        const auto Byte = static_cast<unsigned char>(Word[Index]);
        if (Byte >= 0x20 && Byte < 0x7F)
            Shown += Word[Index];
        else
            Shown += "\\x" + Hex(Byte, 2);
    }
    return Shown + (Word.size() > QuotedBytes ? "...\"" : "\"");
}

// The words of one line, comment removed.
std::vector<std::string> SplitWords(const std::string& Line)
{
    std::istringstream Stream(Line.substr(0, Line.find('#')));
    std::vector<std::string> Words;
    std::string Word;
    while (Stream >> Word)
        Words.push_back(Word);
    return Words;
}

bool EndsWithPng(const std::string& File)
{
    static const std::string Suffix = ".png";
    if (File.size() <= Suffix.size())
        return false;
    for (std::size_t i = 0; i < Suffix.size(); ++i) {
        char c = File[File.size() - Suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != Suffix[i])
            return false;
    }
    return true;
}

bool ParseAction(const std::string& Word, TScriptAction& Action)
{
    static const std::pair<const char*, TScriptAction> Names[] = {
        {"hold", TScriptAction::Hold},
        {"release", TScriptAction::Release},
        {"tap", TScriptAction::Tap},
        {"snapshot", TScriptAction::Snapshot},
    };
    for (const auto& [Name, Value] : Names) {
        if (Word == Name) {
            Action = Value;
            return true;
        }
    }
    return false;
}

// One non-blank line; false with Reason set when it is not a command.
bool ParseCommand(const std::vector<std::string>& Words, TScriptCommand& Command, std::string& Reason)
{
    if (!ParseFrameNumber(Words[0], Command.Frame)) {
        Reason = "bad frame " + Quoted(Words[0]) + " (a number of flips from 0 to 4294967295)";
        return false;
    }
    if (Words.size() < 2) {
        Reason = "missing command after the frame";
        return false;
    }
    if (!ParseAction(Words[1], Command.Action)) {
        Reason = "unknown command " + Quoted(Words[1]) + " (hold, release, tap or snapshot)";
        return false;
    }
    const bool Snapshot = Command.Action == TScriptAction::Snapshot;
    if (Words.size() < 3) {
        Reason = "missing argument: " + Words[1] + (Snapshot ? " needs a file name" : " needs an input");
        return false;
    }
    if (Words.size() > 3) {
        Reason = "extra argument " + Quoted(Words[3]);
        return false;
    }
    const std::string& Argument = Words[2];
    if (!Snapshot) {
        if (!SimParseInput(Argument, Command.Input)) {
            Reason = "unknown input " + Quoted(Argument)
                + " (b1 to b10, up, down, left, right, upleft, upright, downleft, downright)";
            return false;
        }
        return true;
    }
    if (Command.Frame == 0) {
        Reason = "snapshot at frame 0: nothing is shown before the first flip";
        return false;
    }
    if (!EndsWithPng(Argument)) {
        Reason = "snapshot file " + Quoted(Argument) + " does not end in .png";
        return false;
    }
    Command.File = Argument;
    return true;
}

} // namespace

bool ParseFrameNumber(const std::string& Text, std::uint32_t& Frame)
{
    // from_chars takes no sign and no blanks, so only plain decimal digits get through.
    const char* End = Text.data() + Text.size();
    auto [Stop, Failure] = std::from_chars(Text.data(), End, Frame, 10);
    return !Text.empty() && Failure == std::errc() && Stop == End;
}

bool ParseScript(const std::string& Text, std::vector<TScriptCommand>& Commands, TScriptError& Error)
{
    Commands.clear();
    std::istringstream Stream(Text);
    std::string Line;
    for (int Number = 1; std::getline(Stream, Line); ++Number) {
        const std::vector<std::string> Words = SplitWords(Line);
        if (Words.empty())
            continue;
        TScriptCommand Command{0, TScriptAction::Hold, TSimInput::B1, "", Number};
        if (!ParseCommand(Words, Command, Error.Reason)) {
            Error.Line = Number;
            Commands.clear();
            return false;
        }
        Commands.push_back(Command);
    }
    return true;
}
