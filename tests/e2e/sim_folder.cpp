#include "e2e/sim_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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

std::vector<TLogEntry> ParseLog(const std::string& Text)
{
    static const std::regex EntryForm(
        R"(^(\*\*\* ERROR \*\*\*|STATUS INFO) : @ ([0-2][0-9]:[0-5][0-9]:[0-5][0-9]) MSG : (.*) IN : (.*)\r\n\n)");
    std::vector<TLogEntry> Entries;
    std::string Rest = Text;
    std::smatch Match;
    while (!Rest.empty()) {
        if (!std::regex_search(Rest, Match, EntryForm)) {
            ADD_FAILURE() << "not a log entry: " << Rest;
            break;
        }
        Entries.push_back({Match[1] == "*** ERROR ***", Match[2], Match[3], Match[4]});
        Rest = Match.suffix();
    }
    return Entries;
}

namespace {

std::regex LinePattern(const std::string& Expected)
{
    static const std::regex Special(R"([.^$|()\[\]{}*+?\\])");
    std::string Pattern = std::regex_replace(Expected, Special, R"(\$&)");
    Pattern = std::regex_replace(Pattern, std::regex("<hex>"), "[0-9A-F]{8,}");
    Pattern = std::regex_replace(Pattern, std::regex("<n>"), "[0-9]+");
    Pattern = std::regex_replace(Pattern, std::regex("<any>"), ".+");
    return std::regex(Pattern);
}

} // namespace

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
        } else if (Line < Lines.size() && std::regex_match(Lines[Line], LinePattern(Expected[Index]))) {
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
