#include "e2e/sim_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

TSimFolder::TSimFolder()
{
    for (const char* Name : {"galaxy.bmp", "music.ogg"})
        std::filesystem::copy_file(std::string(BRIMLET_DATA_DIR "/") + Name, Dir.File(Name));
    std::filesystem::copy_file(BRIMLET_SIM_PATH, Dir.File("brimlet-sim"));
}

TChildResult TSimFolder::Run(const std::vector<std::string>& Arguments) const
{
    std::vector<std::string> Command{Dir.File("brimlet-sim"), "--fast", "--headless"};
    Command.insert(Command.end(), Arguments.begin(), Arguments.end());
    return RunProgram(Command, {Dir.Path(), "", {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 120});
}

std::string TSimFolder::Log() const
{
    const std::string Text = ReadFile(Dir.File("brimlet-sim.log"));
    std::string Entries;
    for (std::size_t Start = 0, End = 0; Start < Text.size(); Start = End + 3) {
        End = Text.find("\r\n\n", Start);
        const std::string Entry = Text.substr(Start, End - Start);
        if (End == std::string::npos)
            return Entries + "not ended: " + Entry + "\n";
        const bool Error = Entry.rfind("*** ERROR *** : @ ", 0) == 0;
        const std::size_t Time = Error ? 18 : 16;
        if ((Error || Entry.rfind("STATUS INFO : @ ", 0) == 0) &&
            LineMatches(Entry.substr(Time, 15), "<n>:<n>:<n> MSG : "))
            Entries += (Error ? "ERROR " : "") + Entry.substr(Time + 15) + "\n";
        else
            Entries += "not an entry: " + Entry + "\n";
    }
    return Entries;
}

TLines TSimFolder::Trace(const std::string& Word) const
{
    TLines Events;
    for (const std::string& Line : SplitLines(ReadFile(Dir.File("trace.txt"))))
        if (Line.compare(0, Word.size() + 1, Word + " ") == 0)
            Events.push_back(Line.substr(Word.size() + 1));
    return Events;
}

bool LineMatches(const std::string& Text, const std::string& Pattern)
{
    std::size_t T = 0;
    std::size_t P = 0;
    while (P < Pattern.size()) {
        const std::size_t Start = T;
        if (Pattern.compare(P, 5, "<any>") == 0) {
            P += 5;
            T = std::max(T + 1, Text.size() - std::min(Text.size(), Pattern.size() - P));
        } else if (Pattern.compare(P, 5, "<hex>") == 0 || Pattern.compare(P, 3, "<n>") == 0) {
            const bool Hex = Pattern[P + 1] == 'h';
            P += Hex ? 5 : 3;
            while (T < Text.size() && (std::isdigit(static_cast<unsigned char>(Text[T])) ||
                                       (Hex && Text[T] >= 'A' && Text[T] <= 'F')))
                ++T;
            if (T - Start < (Hex ? 8u : 1u))
                return false;
        } else if (T < Text.size() && Text[T] == Pattern[P]) {
            ++T;
            ++P;
        } else {
            return false;
        }
    }
    return T == Text.size();
}

void ExpectLines(const TLines& Expected, const std::string& Text)
{
    const TLines Lines = SplitLines(Text);
    bool Same = Text.empty() || Text.back() == '\n';
    std::size_t Line = 0;
    std::string Shown;
    for (const std::string& Pattern : Expected) {
        Shown += Pattern + "\n";
        const std::size_t First = Line;
        if (Pattern == "<lines>") {
            while (Line < Lines.size() && !Lines[Line].empty())
                ++Line;
            Same = Same && Line > First;
        } else {
            Same = Same && Line < Lines.size() && LineMatches(Lines[Line++], Pattern);
        }
    }
    EXPECT_TRUE(Same && Line == Lines.size()) << "expected:\n" << Shown << "actual:\n" << Text;
}
