// The script player against the simulated device: inputs held and released at the right flips, taps lasting
// exactly one frame, snapshots written right after their flip.

#include <gtest/gtest.h>

#include "launcher/sim_folder.h"
#include "sim/launcher/script_player.h"

namespace {

void Start(const std::string& Text) {
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    EXPECT_TRUE(ParseScript(Text, Commands, Error)) << Error.Reason;
    SimReset();
    StartScript(Commands);
}

const char* const Timeline = "0 hold b1\n3 release b1\n2 tap up\n2 hold b7\n4 release b7\n5 tap b8\n6 hold b8\n"
                             "6 tap b2\n6 release b2\n";

TEST(ScriptPlayer, HoldsReleasesAndTapsAtTheirFlips) {
    // What the program reads after each flip, flip 0 being the start.
    const char* const Expected[] = {"b1", "b1", "b1 b7 up", "b7", "", "b8", "b8", "b8"};
    Start(Timeline);
    for (std::uint32_t Flip = 0; Flip < std::size(Expected); ++Flip) {
        PlayScriptTo(Flip);
        EXPECT_EQ(HeldInputs(), Expected[Flip]) << "after flip " << Flip;
    }
}

TEST(ScriptPlayer, CatchesUpInTheScriptsOrderWhenFlipsWereMissed) {
    Start(Timeline);
    const std::pair<std::uint32_t, const char*> Steps[] = {{2, "b1 b7 up"}, {7, "b8"}, {7, "b8"}};
    for (const auto& [Flip, Held] : Steps) {
        PlayScriptTo(Flip);
        EXPECT_EQ(HeldInputs(), Held) << "after flip " << Flip;
    }
    Start("4294967295 tap left\n"); // a tap at the last frame is held
    PlayScriptTo(4294967294u);
    EXPECT_EQ(HeldInputs(), "");
    PlayScriptTo(4294967295u);
    EXPECT_EQ(HeldInputs(), "left");
}

TEST(ScriptPlayer, WritesSnapshotsRightAfterTheirFlipAndNamesThem) {
    TTempDir Folder;
    TWorkingDirectory Inside(Folder.Path());
    Start("2 snapshot two.png\n3 snapshot missing-folder/three.png\n");
    testing::internal::CaptureStderr();
    PlayScriptTo(1);
    EXPECT_FALSE(PathExists("two.png"));
    PlayScriptTo(2);
    EXPECT_EQ(PngSize("two.png"), "320x240");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "brimlet-sim: wrote snapshot two.png\n");
    // A snapshot that cannot be written is reported and the run goes on.
    testing::internal::CaptureStderr();
    PlayScriptTo(3);
    const std::string AtFlip3 = testing::internal::GetCapturedStderr();
    EXPECT_EQ(AtFlip3.rfind("brimlet-sim: snapshot missing-folder/three.png not written: ", 0), 0u) << AtFlip3;
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"two.png"});
}

} // namespace
