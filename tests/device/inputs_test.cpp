#include "device_fixture.h"

#include <algorithm>

#include "device/inputs.h"
#include "device/register_map.h"
#include "device/register_window.h"

namespace {

constexpr std::int32_t AllCodes[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 19, 20, 21, 22, 23, 24, 255};

TSimInput Button(std::int32_t Code)
{
    return static_cast<TSimInput>(static_cast<int>(TSimInput::B1) + Code - 1);
}

// With the register window held, as the program holds it for its whole run.
class InputsTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(OpenMemory());
    }
};

// Buttons 7 and 8 answer only the extra question, the others only the main one; each only for its own code, alone
// or with every other button held.
TEST_F(InputsTest, EachButtonAnswersOnlyForItsOwnCodeAndQuestion)
{
    for (std::int32_t Held = 0; Held <= 10; ++Held) {
        for (std::int32_t Code = 1; Code <= 10; ++Code)
            SimSetInput(Button(Code), Held == 0 || Code == Held);
        for (std::int32_t Code : AllCodes) {
            const bool Down = Held == 0 ? Code >= 1 && Code <= 10 : Code == Held;
            const bool Extra = Code == 7 || Code == 8;
            EXPECT_EQ(ButtonPressed(Code), Down && !Extra) << "held " << Held << ", asked " << Code;
            EXPECT_EQ(ExtraButtonPressed(Code), Down && Extra) << "held " << Held << ", asked " << Code;
            EXPECT_FALSE(DirectionPressed(Code, false)) << "held " << Held << ", asked " << Code;
        }
    }
}

// A direction is its own contact with at most one neighbour; with diagonals, a neighbour alone counts too. Any other
// combination (three contacts, two that are not neighbours) holds none, and the register's high byte plays no part.
TEST_F(InputsTest, DirectionsFollowTheRingRuleForEveryContactCombination)
{
    struct TCase {
        std::int32_t Code;
        std::vector<int> Held, DiagonalsOnly;
    };
    const TCase Cases[] = {{DirLeft, {0x04, 0x06, 0x0C}, {0x02, 0x08}},
                           {DirUp, {0x01, 0x03, 0x81}, {0x02, 0x80}},
                           {DirRight, {0x40, 0x60, 0xC0}, {0x20, 0x80}},
                           {DirDown, {0x10, 0x30, 0x18}, {0x08, 0x20}}};
    auto Contains = [](const std::vector<int>& Values, int Value) {
        return std::find(Values.begin(), Values.end(), Value) != Values.end();
    };
    for (std::uint16_t HighByte : {0xFF, 0x00, 0xA5}) {
        SimPokeReg16(RegDirections, static_cast<std::uint16_t>(HighByte << 8 | 0xFF));
        for (int Ring = 0; Ring < 256; ++Ring) {
            for (int Bit = 0; Bit < 8; ++Bit)
                SimSetInput(static_cast<TSimInput>(static_cast<int>(TSimInput::Up) + Bit), (Ring >> Bit & 1) != 0);
            for (const TCase& C : Cases) {
                const bool Own = Contains(C.Held, Ring);
                EXPECT_EQ(DirectionPressed(C.Code, true), Own) << C.Code << " ring " << Ring << " high " << HighByte;
                EXPECT_EQ(DirectionPressed(C.Code, false), Own || Contains(C.DiagonalsOnly, Ring))
                    << C.Code << " ring " << Ring << " high " << HighByte;
            }
        }
    }
}

// Each question is one read of its register, whatever the code; the raw readers give the registers inverted.
TEST_F(InputsTest, EachQuestionIsOneReadOfItsRegister)
{
    for (TSimInput Input : {TSimInput::Up, TSimInput::B4, TSimInput::B7})
        SimSetInput(Input, true);
    for (std::int32_t Code : AllCodes) {
        SimStartRecording();
        DirectionPressed(Code, false);
        ButtonPressed(Code);
        ExtraButtonPressed(Code);
        EXPECT_EQ(TakeAccesses(), (TLines{"R16 C0001198 FFFE", "R16 C0001184 BFFF", "R16 C0001186 FFBF"})) << Code;
    }
    EXPECT_EQ(ReadDirectionBits(), 0x0001);
    EXPECT_EQ(ReadButtonBits(), 0x4000);
    EXPECT_EQ(ReadExtraButtonBits(), 0x0040);
    EXPECT_EQ(MemoryRefCount, 1);
}

using InputsWithoutWindowTest = DeviceTest;

// Without a reference held elsewhere, each question takes the window for its one read and gives it back; without
// a window at all, it answers no and says so once.
TEST_F(InputsWithoutWindowTest, QuestionTakesAndGivesBackTheWindow)
{
    SimSetInput(TSimInput::B1, true);
    SimSetInput(TSimInput::Left, true);
    SimStartRecording();
    EXPECT_TRUE(ButtonPressed(1));
    EXPECT_EQ(TakeAccesses(), (TLines{"R16 C0001184 EFFF", RestoreWrites[0], RestoreWrites[1]}));
    EXPECT_EQ(SimOpenDeviceFiles(), 0);

    ASSERT_TRUE(SimInjectFault("mem-open"));
    EXPECT_EQ(Captured([] {
                  EXPECT_FALSE(ButtonPressed(1));
                  EXPECT_FALSE(DirectionPressed(DirLeft, false));
                  EXPECT_FALSE(ExtraButtonPressed(7));
                  EXPECT_EQ(ReadButtonBits(), 0);
              }),
              "dev/mem not open\ndev/mem not open\ndev/mem not open\ndev/mem not open\n");
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

} // namespace
