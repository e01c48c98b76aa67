#include "e2e/sim_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cctype>

TSimFolder::TSimFolder()
{
    namespace fs = std::filesystem;
    fs::copy_file(BRIMLET_SIM_PATH, Dir.File("brimlet-sim"));
    fs::copy_file(BRIMLET_DATA_DIR "/galaxy.bmp", Dir.File("galaxy.bmp"));
    fs::copy_file(BRIMLET_DATA_DIR "/music.ogg", Dir.File("music.ogg"));
}

void TSimFolder::RemoveFile(const std::string& Name) const
{
    std::filesystem::remove(Dir.File(Name));
}

void TSimFolder::PutFile(const std::string& Name, const std::string& Content) const
{
    ASSERT_TRUE(WriteFile(Dir.File(Name), Content)) << Name;
}

TChildResult TSimFolder::Run(const std::vector<std::string>& Arguments) const
{
    std::vector<std::string> Command{Dir.File("brimlet-sim")};
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    TChildOptions Options;
    Options.WorkingDirectory = Dir.Path();
    Options.Environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    return RunProgram(Command, Options);
}

std::string TSimFolder::LogText() const
{
    return ReadFile(Dir.File("brimlet-sim.log"));
}

namespace {

bool IsTime(const std::string& Text)
{
    if (Text.size() != 8 || Text[2] != ':' || Text[5] != ':')
        return false;
    for (std::size_t Index : {0, 1, 3, 4, 6, 7})
        if (!std::isdigit(static_cast<unsigned char>(Text[Index])))
            return false;
    return Text.compare(0, 2, "24") < 0 && Text[3] < '6' && Text[6] < '6';
}

// One entry without its ending, or false.
bool ParseEntry(const std::string& Text, TLogEntry& Entry)
{
    static const std::string ErrorPrefix = "*** ERROR *** : @ ";
    static const std::string StatusPrefix = "STATUS INFO : @ ";
    std::size_t Position;
    if (Text.compare(0, ErrorPrefix.size(), ErrorPrefix) == 0) {
        Entry.Error = true;
        Position = ErrorPrefix.size();
    } else if (Text.compare(0, StatusPrefix.size(), StatusPrefix) == 0) {
        Entry.Error = false;
        Position = StatusPrefix.size();
    } else {
        return false;
    }
    Entry.Time = Text.substr(Position, 8);
    if (!IsTime(Entry.Time) || Text.compare(Position + 8, 7, " MSG : ") != 0)
        return false;
    Position += 8 + 7;
    const std::size_t In = Text.find(" IN : ", Position);
    if (In == std::string::npos)
        return false;
    Entry.Message = Text.substr(Position, In - Position);
    Entry.Location = Text.substr(In + 6);
    return true;
}

// A placeholder of an expected line: the characters it takes, at least Least of them.
struct TPlaceholder {
    const char* Name;
    std::size_t Least;
    bool (*Takes)(char);
};

const TPlaceholder Placeholders[] = {
    {"<hex>", 8, [](char C) { return (C >= '0' && C <= '9') || (C >= 'A' && C <= 'F'); }},
    {"<n>", 1, [](char C) { return C >= '0' && C <= '9'; }},
    {"<any>", 1, [](char) { return true; }},
};

// Whether Text from T on matches Pattern from P on.
bool Matches(const std::string& Text, std::size_t T, const std::string& Pattern, std::size_t P)
{
    if (P == Pattern.size())
        return T == Text.size();
    for (const TPlaceholder& Placeholder : Placeholders) {
        const std::string Name = Placeholder.Name;
        if (Pattern.compare(P, Name.size(), Name) != 0)
            continue;
        std::size_t End = T;
        while (End < Text.size() && Placeholder.Takes(Text[End]))
            ++End;
        for (; End >= T + Placeholder.Least; --End)
            if (Matches(Text, End, Pattern, P + Name.size()))
                return true;
        return false;
    }
    return T < Text.size() && Text[T] == Pattern[P] && Matches(Text, T + 1, Pattern, P + 1);
}

} // namespace

std::vector<TLogEntry> ParseLog(const std::string& Text)
{
    static const std::string Ending = "\r\n\n";
    std::vector<TLogEntry> Entries;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find(Ending, Start);
        TLogEntry Entry;
        if (End == std::string::npos || !ParseEntry(Text.substr(Start, End - Start), Entry)) {
            ADD_FAILURE() << "not a log entry: " << Text.substr(Start);
            break;
        }
        Entries.push_back(Entry);
        Start = End + Ending.size();
    }
    return Entries;
}

bool LineMatches(const std::string& Text, const std::string& Pattern)
{
    return Matches(Text, 0, Pattern, 0);
}

void ExpectLines(const std::vector<std::string>& Expected, const std::string& Actual)
{
    const std::vector<std::string> Lines = SplitLines(Actual);
    if (!Actual.empty() && Actual.back() != '\n')
        ADD_FAILURE() << "the output does not end with a whole line";
    std::size_t Line = 0;
    for (std::size_t Index = 0; Index < Expected.size(); ++Index) {
        if (Expected[Index] == "<lines>") {
            const std::size_t First = Line;
            while (Line < Lines.size() && !Lines[Line].empty())
                ++Line;
            if (Line > First)
                continue;
        } else if (Line < Lines.size() && LineMatches(Lines[Line], Expected[Index])) {
            ++Line;
            continue;
        }
        ADD_FAILURE() << "line " << Line + 1 << " is \"" << (Line < Lines.size() ? Lines[Line] : "(none)")
                      << "\", expected \"" << Expected[Index] << "\"\nwhole output:\n" << Actual;
        return;
    }
    EXPECT_EQ(Line, Lines.size()) << "more lines than expected; whole output:\n" << Actual;
}

void ExpectLog(const std::vector<TLogEntry>& Expected, const std::string& Text)
{
    const std::vector<TLogEntry> Entries = ParseLog(Text);
    bool Same = Entries.size() == Expected.size();
    for (std::size_t Index = 0; Same && Index < Entries.size(); ++Index)
        Same = Entries[Index].Error == Expected[Index].Error && Entries[Index].Location == Expected[Index].Location &&
               (Expected[Index].Message == "<any>" ? !Entries[Index].Message.empty()
                                                   : Entries[Index].Message == Expected[Index].Message);
    EXPECT_TRUE(Same) << "the log is:\n" << Text;
}

std::vector<std::string> TraceEvents(const std::string& TraceText, const std::string& Word)
{
    std::vector<std::string> Events;
    for (const std::string& Line : SplitLines(TraceText))
        if (Line.compare(0, Word.size() + 1, Word + " ") == 0)
            Events.push_back(Line.substr(Word.size() + 1));
    return Events;
}
