// The script parser: text in, commands or the first error with its line number out.

#include <gtest/gtest.h>

#include "sim/launcher/demo_script.h"
#include "sim/launcher/script.h"

namespace {

std::vector<TScriptCommand> ParseOk(const std::string& Text) {
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    EXPECT_TRUE(ParseScript(Text, Commands, Error)) << Text << " -> line " << Error.Line << ": " << Error.Reason;
    return Commands;
}

TEST(ScriptParser, ReadsEachKindOfCommandWithItsFrameAndLine) {
    const auto Commands = ParseOk("0 hold b4\n"
                                  "12 release up\n"
                                  "7 tap downleft\n"
                                  "4294967295 snapshot shot.png\n");
    ASSERT_EQ(Commands.size(), 4u);
    EXPECT_EQ(Commands[0].Frame, 0u);
    EXPECT_EQ(Commands[0].Action, TScriptAction::Hold);
    EXPECT_EQ(Commands[0].Input, TSimInput::B4);
    EXPECT_EQ(Commands[0].Line, 1);
    EXPECT_EQ(Commands[1].Frame, 12u);
    EXPECT_EQ(Commands[1].Action, TScriptAction::Release);
    EXPECT_EQ(Commands[1].Input, TSimInput::Up);
    EXPECT_EQ(Commands[1].Line, 2);
    EXPECT_EQ(Commands[2].Frame, 7u);
    EXPECT_EQ(Commands[2].Action, TScriptAction::Tap);
    EXPECT_EQ(Commands[2].Input, TSimInput::DownLeft);
    EXPECT_EQ(Commands[3].Frame, 4294967295u);
    EXPECT_EQ(Commands[3].Action, TScriptAction::Snapshot);
    EXPECT_EQ(Commands[3].File, "shot.png");
    EXPECT_EQ(Commands[3].Line, 4);
}

TEST(ScriptParser, SkipsCommentsAndBlankLinesAndKeepsTheOrderOfTheFile) {
    const auto Commands = ParseOk("# a whole-line comment\n"
                                  "\n"
                                  "   \t  \n"
                                  "  20\thold   right   # held from frame 20\n"
                                  "5 tap b1#no blank before the comment\r\n"
                                  "6 snapshot UPPER.PNG");
    ASSERT_EQ(Commands.size(), 3u);
    EXPECT_EQ(Commands[0].Frame, 20u);
    EXPECT_EQ(Commands[0].Input, TSimInput::Right);
    EXPECT_EQ(Commands[0].Line, 4);
    EXPECT_EQ(Commands[1].Frame, 5u);
    EXPECT_EQ(Commands[1].Action, TScriptAction::Tap);
    EXPECT_EQ(Commands[1].Input, TSimInput::B1);
    EXPECT_EQ(Commands[1].Line, 5);
    EXPECT_EQ(Commands[2].File, "UPPER.PNG");
    EXPECT_EQ(Commands[2].Line, 6);
}

TEST(ScriptParser, EmptyTextAndCommentsOnlyGiveNoCommands) {
    EXPECT_TRUE(ParseOk("").empty());
    EXPECT_TRUE(ParseOk("# nothing\n\n#\n").empty());
}

TEST(ScriptParser, KnowsEveryInputByName) {
    const std::pair<const char*, TSimInput> Inputs[] = {
        {"b1", TSimInput::B1},           {"b2", TSimInput::B2},         {"b3", TSimInput::B3},
        {"b4", TSimInput::B4},           {"b5", TSimInput::B5},         {"b6", TSimInput::B6},
        {"b7", TSimInput::B7},           {"b8", TSimInput::B8},         {"b9", TSimInput::B9},
        {"b10", TSimInput::B10},         {"up", TSimInput::Up},         {"down", TSimInput::Down},
        {"left", TSimInput::Left},       {"right", TSimInput::Right},   {"upleft", TSimInput::UpLeft},
        {"upright", TSimInput::UpRight}, {"downleft", TSimInput::DownLeft}, {"downright", TSimInput::DownRight},
    };
    for (const auto& [Name, Input] : Inputs) {
        const auto Commands = ParseOk(std::string("1 hold ") + Name);
        ASSERT_EQ(Commands.size(), 1u) << Name;
        EXPECT_EQ(Commands[0].Input, Input) << Name;
    }
}

TEST(ScriptParser, ReportsTheFirstErrorWithItsLineNumber) {
    struct TCase {
        const char* Text;
        int Line;
        const char* Reason;
    };
    const TCase Cases[] = {
        {"1 hold b1\n2 jump b1\n", 2, "unknown command \"jump\" (hold, release, tap or snapshot)"},
        {"1 Hold b1\n", 1, "unknown command \"Hold\" (hold, release, tap or snapshot)"},
        {"\n\n3 hold b11\n", 3,
         "unknown input \"b11\" (b1 to b10, up, down, left, right, upleft, upright, downleft, downright)"},
        {"1 tap b0\n", 1,
         "unknown input \"b0\" (b1 to b10, up, down, left, right, upleft, upright, downleft, downright)"},
        {"1 release up-left\n", 1,
         "unknown input \"up-left\" (b1 to b10, up, down, left, right, upleft, upright, downleft, downright)"},
        {"x hold b1\n", 1, "bad frame \"x\" (a number of flips from 0 to 4294967295)"},
        {"-1 hold b1\n", 1, "bad frame \"-1\" (a number of flips from 0 to 4294967295)"},
        {"+1 hold b1\n", 1, "bad frame \"+1\" (a number of flips from 0 to 4294967295)"},
        {"1.5 hold b1\n", 1, "bad frame \"1.5\" (a number of flips from 0 to 4294967295)"},
        {"0x10 hold b1\n", 1, "bad frame \"0x10\" (a number of flips from 0 to 4294967295)"},
        {"4294967296 hold b1\n", 1, "bad frame \"4294967296\" (a number of flips from 0 to 4294967295)"},
        {"hold b1\n", 1, "bad frame \"hold\" (a number of flips from 0 to 4294967295)"},
        {"# ok\n5\n", 2, "missing command after the frame"},
        {"5 # hold b1\n", 1, "missing command after the frame"},
        {"5 hold\n", 1, "missing argument: hold needs an input"},
        {"5 release\n", 1, "missing argument: release needs an input"},
        {"5 tap\n", 1, "missing argument: tap needs an input"},
        {"5 snapshot\n", 1, "missing argument: snapshot needs a file name"},
        {"5 hold b1 b2\n", 1, "extra argument \"b2\""},
        {"5 snapshot a.png b.png\n", 1, "extra argument \"b.png\""},
        {"5 snapshot dir/a b.png\n", 1, "extra argument \"b.png\""},
        {"0 snapshot first.png\n", 1, "snapshot at frame 0: nothing is shown before the first flip"},
        {"1 snapshot shot.bmp\n", 1, "snapshot file \"shot.bmp\" does not end in .png"},
        {"1 snapshot shot\n", 1, "snapshot file \"shot\" does not end in .png"},
        {"1 snapshot .png\n", 1, "snapshot file \".png\" does not end in .png"},
        {"1 snapshot shot.png.txt\n", 1, "snapshot file \"shot.png.txt\" does not end in .png"},
    };
    for (const TCase& Case : Cases) {
        std::vector<TScriptCommand> Commands;
        TScriptError Error{0, ""};
        EXPECT_FALSE(ParseScript(Case.Text, Commands, Error)) << Case.Text;
        EXPECT_EQ(Error.Line, Case.Line) << Case.Text;
        EXPECT_EQ(Error.Reason, Case.Reason) << Case.Text;
        EXPECT_TRUE(Commands.empty()) << Case.Text;
    }
}

TEST(ScriptParser, BytesThatAreNoTextAreAnErrorNotACrash) {
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    EXPECT_FALSE(ParseScript(std::string("1 hold b1\n2 h\0ld b1\n", 21), Commands, Error));
    EXPECT_EQ(Error.Line, 2);
    EXPECT_FALSE(ParseScript("\xff\xfe 1 hold\n", Commands, Error));
    EXPECT_EQ(Error.Line, 1);
}

TEST(ScriptParser, FrameNumbersAreDecimalDigitsOnly) {
    std::uint32_t Frame = 99;
    EXPECT_TRUE(ParseFrameNumber("0", Frame));
    EXPECT_EQ(Frame, 0u);
    EXPECT_TRUE(ParseFrameNumber("007", Frame));
    EXPECT_EQ(Frame, 7u);
    EXPECT_TRUE(ParseFrameNumber("4294967295", Frame));
    EXPECT_EQ(Frame, 4294967295u);
    for (const char* Bad : {"", " 1", "1 ", "4294967296", "-0", "+3", "1e3", "$10", "ten"}) {
        EXPECT_FALSE(ParseFrameNumber(Bad, Frame)) << Bad;
    }
}

TEST(ScriptParser, TheBuiltInDemoParses) {
    const auto Commands = ParseOk(DemoScript);
    ASSERT_FALSE(Commands.empty());
    EXPECT_EQ(Commands.back().Action, TScriptAction::Hold);
    EXPECT_EQ(Commands.back().Input, TSimInput::B4);
}

} // namespace
