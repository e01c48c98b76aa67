// The script parser: text in, commands or the first error with its line number out.

#include <gtest/gtest.h>

#include "launcher/sim_folder.h"
#include "sim/launcher/demo_script.h"
#include "sim/launcher/script.h"

namespace {

// The commands of Text as "LINE: FRAME ACTION ARGUMENT", or its error as "error at LINE: REASON".
std::vector<std::string> Parse(const std::string& Text) {
    static const char* const Actions[] = {"hold", "release", "tap", "snapshot"};
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    if (!ParseScript(Text, Commands, Error)) {
        return {"error at " + std::to_string(Error.Line) + ": " + Error.Reason +
                (Commands.empty() ? "" : " (and commands)")};
    }
    std::vector<std::string> Shown;
    for (const TScriptCommand& Command : Commands) {
        Shown.push_back(std::to_string(Command.Line) + ": " + std::to_string(Command.Frame) + " " +
                        Actions[static_cast<int>(Command.Action)] + " " +
                        (Command.Action == TScriptAction::Snapshot ? Command.File
                                                                    : InputNames[static_cast<int>(Command.Input)]));
    }
    return Shown;
}

const std::string BadInput = " (b1 to b10, up, down, left, right, upleft, upright, downleft, downright)";
const std::string BadFrame = " (a number of flips from 0 to 4294967295)";
const std::string BadCommand = " (hold, release, tap or snapshot)";

TEST(ScriptParser, ReadsCommandsOrReportsTheFirstErrorWithItsLine) {
    const std::pair<std::string, std::vector<std::string>> Cases[] = {
        {"0 hold b4\n12 release up\n7 tap downleft\n4294967295 snapshot shot.png\n",
         {"1: 0 hold b4", "2: 12 release up", "3: 7 tap downleft", "4: 4294967295 snapshot shot.png"}},
        {"# a whole-line comment\n\n   \t  \n  20\thold   right   # held from frame 20\n"
         "5 tap b1#no blank before the comment\r\n6 snapshot UPPER.PNG",
         {"4: 20 hold right", "5: 5 tap b1", "6: 6 snapshot UPPER.PNG"}},
        {"", {}},
        {"# nothing\n\n#\n", {}},
        {"1 hold b1\n2 jump b1\n", {"error at 2: unknown command \"jump\"" + BadCommand}},
        {"1 Hold b1\n", {"error at 1: unknown command \"Hold\"" + BadCommand}},
        {"\n\n3 hold b11\n", {"error at 3: unknown input \"b11\"" + BadInput}},
        {"1 tap b0\n", {"error at 1: unknown input \"b0\"" + BadInput}},
        {"1 release up-left\n", {"error at 1: unknown input \"up-left\"" + BadInput}},
        {"x hold b1\n", {"error at 1: bad frame \"x\"" + BadFrame}},
        {"4294967296 hold b1\n", {"error at 1: bad frame \"4294967296\"" + BadFrame}},
        {"hold b1\n", {"error at 1: bad frame \"hold\"" + BadFrame}},
        {"# ok\n5\n", {"error at 2: missing command after the frame"}},
        {"5 # hold b1\n", {"error at 1: missing command after the frame"}},
        {"5 hold\n", {"error at 1: missing argument: hold needs an input"}},
        {"5 release\n", {"error at 1: missing argument: release needs an input"}},
        {"5 tap\n", {"error at 1: missing argument: tap needs an input"}},
        {"5 snapshot\n", {"error at 1: missing argument: snapshot needs a file name"}},
        {"5 hold b1 b2\n", {"error at 1: extra argument \"b2\""}},
        {"5 snapshot dir/a b.png\n", {"error at 1: extra argument \"b.png\""}},
        {"0 snapshot first.png\n", {"error at 1: snapshot at frame 0: nothing is shown before the first flip"}},
        {"1 snapshot shot.bmp\n", {"error at 1: snapshot file \"shot.bmp\" does not end in .png"}},
        {"1 snapshot .png\n", {"error at 1: snapshot file \".png\" does not end in .png"}},
        {"1 snapshot shot.png.txt\n", {"error at 1: snapshot file \"shot.png.txt\" does not end in .png"}},
        {std::string("1 hold b1\n2 h\0ld b1\n", 21),
         {std::string("error at 2: unknown command \"h\0ld\"", 34) + BadCommand}},
        {"\xff\xfe 1 hold\n", {"error at 1: bad frame \"\xff\xfe\"" + BadFrame}},
    };
    for (const auto& [Text, Expected] : Cases) {
        EXPECT_EQ(Parse(Text), Expected) << Text;
    }
    for (const char* Name : InputNames) {
        EXPECT_EQ(Parse(std::string("1 hold ") + Name), std::vector<std::string>{std::string("1: 1 hold ") + Name});
    }
}

TEST(ScriptParser, FrameNumbersAreDecimalDigitsOnly) {
    const std::pair<const char*, std::uint32_t> Good[] = {{"0", 0}, {"007", 7}, {"4294967295", 4294967295u}};
    for (const auto& [Text, Expected] : Good) {
        std::uint32_t Frame = 99;
        EXPECT_TRUE(ParseFrameNumber(Text, Frame)) << Text;
        EXPECT_EQ(Frame, Expected);
    }
    for (const char* Bad : {"", " 1", "1 ", "4294967296", "-0", "+3", "1e3", "$10", "ten"}) {
        std::uint32_t Frame = 99;
        EXPECT_FALSE(ParseFrameNumber(Bad, Frame)) << Bad;
    }
}

TEST(ScriptParser, TheBuiltInDemoParsesAndEndsWithTheExitButton) {
    const std::vector<std::string> Demo = Parse(DemoScript);
    ASSERT_FALSE(Demo.empty());
    EXPECT_NE(Demo.back().find(" hold b4"), std::string::npos) << Demo.back();
}

} // namespace
