// The script player against the simulated device: inputs held and released at the right flips, taps lasting
// exactly one frame, snapshots written right after their flip.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>

#include "device/register_map.h"
#include "launcher/sim_folder.h"
#include "platform/platform.h"
#include "sim/launcher/script_player.h"

namespace {

std::vector<TScriptCommand> Parse(const std::string& Text) {
    std::vector<TScriptCommand> Commands;
    TScriptError Error{0, ""};
    EXPECT_TRUE(ParseScript(Text, Commands, Error)) << Error.Reason;
    return Commands;
}

// The held inputs among those the timeline below uses, as a word such as "b1 up".
std::string Held() {
    const std::pair<const char*, TSimInput> Inputs[] = {{"b1", TSimInput::B1}, {"b2", TSimInput::B2},
                                                        {"b7", TSimInput::B7}, {"b8", TSimInput::B8},
                                                        {"up", TSimInput::Up}, {"left", TSimInput::Left}};
    std::string Word;
    for (const auto& [Name, Input] : Inputs) {
        if (SimInputHeld(Input)) {
            Word += (Word.empty() ? "" : " ") + std::string(Name);
        }
    }
    return Word;
}

const char* const Timeline = "0 hold b1\n"
                             "3 release b1\n"
                             "2 tap up\n"
                             "2 hold b7\n"
                             "4 release b7\n"
                             "5 tap b8\n"
                             "6 hold b8\n"
                             "6 tap b2\n"
                             "6 release b2\n";

// What the program reads after each flip, flip 0 being the start.
const char* const Expected[] = {"b1", "b1", "b1 b7 up", "b7", "", "b8", "b8", "b8"};

TEST(ScriptPlayer, HoldsReleasesAndTapsAtTheirFlips) {
    SimReset();
    StartScript(Parse(Timeline));
    for (std::uint32_t Flip = 0; Flip < std::size(Expected); ++Flip) {
        PlayScriptTo(Flip);
        EXPECT_EQ(Held(), Expected[Flip]) << "after flip " << Flip;
    }
}

TEST(ScriptPlayer, CatchesUpInTheScriptsOrderWhenFlipsWereMissed) {
    SimReset();
    StartScript(Parse(Timeline));
    PlayScriptTo(2);
    EXPECT_EQ(Held(), "b1 b7 up");
    PlayScriptTo(7);
    EXPECT_EQ(Held(), "b8");
    PlayScriptTo(7);
    EXPECT_EQ(Held(), "b8");
}

TEST(ScriptPlayer, ATapAtTheLastFrameIsHeld) {
    SimReset();
    StartScript(Parse("4294967295 tap left\n"));
    PlayScriptTo(4294967294u);
    EXPECT_EQ(Held(), "");
    PlayScriptTo(4294967295u);
    EXPECT_EQ(Held(), "left");
}

// The display latches a flip when the high half of its start address is written through the seam.
class TFlipper {
public:
    TFlipper() {
        Handle = PlatformOpen("/dev/mem", O_RDWR | O_SYNC);
        void* Address = PlatformMap(nullptr, RegisterBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, Handle,
                                    RegisterBlockPhys);
        EXPECT_NE(Address, MAP_FAILED);
        Registers = static_cast<std::uint8_t*>(Address);
    }
    ~TFlipper() {
        PlatformUnmap(Registers, RegisterBlockSize);
        PlatformClose(Handle);
    }
    void Flip() {
        PlatformStore16(reinterpret_cast<volatile std::uint16_t*>(Registers + RegDisplayStartLow), 0);
        PlatformStore16(reinterpret_cast<volatile std::uint16_t*>(Registers + RegDisplayStartHigh), 0x0300);
    }

private:
    int Handle = -1;
    std::uint8_t* Registers = nullptr;
};

TEST(ScriptPlayer, PlaysFromTheFlipObserverOnTheDisplaysCount) {
    SimReset();
    StartScript(Parse(Timeline));
    PlayScriptTo(0);
    std::vector<std::string> Seen;
    SimOnFlip([&Seen](std::uint32_t FlipCount) {
        PlayScriptTo(FlipCount);
        Seen.push_back(Held());
    });
    {
        TFlipper Display;
        for (std::size_t i = 1; i < std::size(Expected); ++i) {
            Display.Flip();
        }
    }
    SimOnFlip(nullptr);
    EXPECT_EQ(Seen, std::vector<std::string>(std::begin(Expected) + 1, std::end(Expected)));
}

TEST(ScriptPlayer, WritesSnapshotsRightAfterTheirFlipAndNamesThem) {
    TTempDir Folder;
    TWorkingDirectory Inside(Folder.Path());
    SimReset();
    StartScript(Parse("2 snapshot two.png\n3 snapshot missing-folder/three.png\n"));
    testing::internal::CaptureStderr();
    PlayScriptTo(1);
    const bool EarlyFile = PathExists("two.png");
    PlayScriptTo(2);
    const bool OnTimeFile = PathExists("two.png");
    const std::string ToFlip2 = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    PlayScriptTo(3);
    const std::string AtFlip3 = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(EarlyFile);
    EXPECT_TRUE(OnTimeFile);
    EXPECT_EQ(ToFlip2, "brimlet-sim: wrote snapshot two.png\n");
    int Width = 0, Height = 0;
    EXPECT_TRUE(PngSize("two.png", Width, Height));
    EXPECT_EQ(Width, 320);
    EXPECT_EQ(Height, 240);
    // A snapshot that cannot be written is reported and the run goes on.
    EXPECT_EQ(AtFlip3.rfind("brimlet-sim: snapshot missing-folder/three.png not written: ", 0), 0u) << AtFlip3;
    EXPECT_EQ(ListFolder("."), std::vector<std::string>{"two.png"});
}

} // namespace
