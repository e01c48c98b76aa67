#include "device_fixture.h"

#include <algorithm>

#include "device/inputs.h"
#include "device/register_map.h"
#include "device/register_window.h"

namespace {

constexpr std::int32_t AllCodes[] = {-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 19, 20, 21, 22, 23, 24, 255};

class InputsTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(OpenMemory()); // as the test program holds it for its whole run
    }
    void TearDown() override
    {
        CloseMemory();
        DeviceTest::TearDown();
    }
};

TSimInput ButtonInput(std::int32_t Code)
{
    return static_cast<TSimInput>(static_cast<int>(TSimInput::B1) + Code - 1);
}

void SetRing(std::uint8_t Contacts)
{
    for (int Bit = 0; Bit < 8; ++Bit)
        SimSetInput(static_cast<TSimInput>(static_cast<int>(TSimInput::Up) + Bit), (Contacts >> Bit & 1) != 0);
}

TEST_F(InputsTest, EachButtonAnswersOnlyForItsOwnCodeAndQuestion)
{
    const std::int32_t Main[] = {1, 2, 3, 4, 5, 6, 9, 10};
    const std::int32_t Extra[] = {7, 8};
    for (std::int32_t Held = 1; Held <= 10; ++Held) {
        SimSetInput(ButtonInput(Held), true);
        const bool HeldIsMain = std::find(std::begin(Main), std::end(Main), Held) != std::end(Main);
        const bool HeldIsExtra = std::find(std::begin(Extra), std::end(Extra), Held) != std::end(Extra);
        for (std::int32_t Code : AllCodes) {
            EXPECT_EQ(ButtonPressed(Code), HeldIsMain && Code == Held) << "held " << Held << ", asked " << Code;
            EXPECT_EQ(ExtraButtonPressed(Code), HeldIsExtra && Code == Held) << "held " << Held << ", asked " << Code;
            EXPECT_FALSE(DirectionPressed(Code, false)) << "held " << Held << ", asked " << Code;
        }
        SimSetInput(ButtonInput(Held), false);
    }
}

TEST_F(InputsTest, RawReadersInvertTheRegisterBits)
{
    struct TCase {
        std::int32_t Held;
        std::uint16_t Buttons, Extra;
    };
    const TCase Cases[] = {{1, 0x1000, 0}, {2, 0x2000, 0}, {3, 0x8000, 0}, {4, 0x4000, 0}, {5, 0x0200, 0},
                           {6, 0x0100, 0}, {7, 0, 0x0040}, {8, 0, 0x0080}, {9, 0x0400, 0}, {10, 0x0800, 0}};
    for (const TCase& Case : Cases) {
        SimSetInput(ButtonInput(Case.Held), true);
        EXPECT_EQ(ReadButtonBits() & 0xFF00, Case.Buttons) << Case.Held;
        EXPECT_EQ(ReadExtraButtonBits() & 0x00C0, Case.Extra) << Case.Held;
        SimSetInput(ButtonInput(Case.Held), false);
    }
    SimSetInput(TSimInput::Left, true);
    SimSetInput(TSimInput::DownLeft, true);
    EXPECT_EQ(ReadDirectionBits() & 0xFF, 0x0C);
}

TEST_F(InputsTest, HeldButtonAnswersWhateverTheOthersDo)
{
    for (std::int32_t Code = 1; Code <= 10; ++Code)
        SimSetInput(ButtonInput(Code), true);
    for (int Frame = 0; Frame < 3; ++Frame) {
        for (std::int32_t Code : {1, 2, 3, 4, 5, 6, 9, 10})
            EXPECT_TRUE(ButtonPressed(Code)) << Code;
        EXPECT_TRUE(ExtraButtonPressed(7));
        EXPECT_TRUE(ExtraButtonPressed(8));
        EXPECT_FALSE(ButtonPressed(7));
        EXPECT_FALSE(ExtraButtonPressed(4));
    }
    SimSetInput(ButtonInput(4), false);
    EXPECT_FALSE(ButtonPressed(4));
    EXPECT_TRUE(ButtonPressed(3));
}

// For each direction, the ring bytes that hold it; every other byte of the 256 holds it not.
struct TDirectionCase {
    std::int32_t Code;
    std::vector<std::uint8_t> Held;          // with or without diagonals
    std::vector<std::uint8_t> DiagonalsOnly; // only when diagonals count
};

const TDirectionCase DirectionCases[] = {
    {DirLeft, {0x04, 0x06, 0x0C}, {0x02, 0x08}},
    {DirUp, {0x01, 0x03, 0x81}, {0x02, 0x80}},
    {DirRight, {0x40, 0x60, 0xC0}, {0x20, 0x80}},
    {DirDown, {0x10, 0x30, 0x18}, {0x08, 0x20}},
};

bool Contains(const std::vector<std::uint8_t>& Values, int Value)
{
    return std::find(Values.begin(), Values.end(), Value) != Values.end();
}

// The high byte of the direction register is not part of the ring: whatever it reads changes no answer.
TEST_F(InputsTest, DirectionsFollowTheRingRuleForEveryContactCombination)
{
    for (std::uint16_t HighByte : {0xFF, 0x00, 0xA5}) {
        SimPokeReg16(RegDirections, static_cast<std::uint16_t>(HighByte << 8 | 0xFF));
        for (int Ring = 0; Ring < 256; ++Ring) {
            SetRing(static_cast<std::uint8_t>(Ring));
            for (const TDirectionCase& Case : DirectionCases) {
                const bool Own = Contains(Case.Held, Ring);
                EXPECT_EQ(DirectionPressed(Case.Code, true), Own) << Case.Code << " ring " << Ring << " high " << HighByte;
                EXPECT_EQ(DirectionPressed(Case.Code, false), Own || Contains(Case.DiagonalsOnly, Ring))
                    << Case.Code << " ring " << Ring << " high " << HighByte;
            }
        }
    }
}

// Every question is one read of its register, whatever the code, with no other access while a reference is held.
TEST_F(InputsTest, EachQuestionReadsItsRegisterOnce)
{
    SimSetInput(TSimInput::Up, true);
    SimSetInput(TSimInput::B4, true);
    for (std::int32_t Code : AllCodes) {
        SimStartRecording();
        DirectionPressed(Code, false);
        std::vector<std::string> Accesses = TakeAccesses();
        ASSERT_EQ(Accesses.size(), 1u) << Code;
        EXPECT_EQ(Accesses[0].substr(0, 13), "R16 C0001198 ");
        ButtonPressed(Code);
        Accesses = TakeAccesses();
        ASSERT_EQ(Accesses.size(), 1u) << Code;
        EXPECT_EQ(Accesses[0].substr(0, 13), "R16 C0001184 ");
        ExtraButtonPressed(Code);
        Accesses = TakeAccesses();
        ASSERT_EQ(Accesses.size(), 1u) << Code;
        EXPECT_EQ(Accesses[0].substr(0, 13), "R16 C0001186 ");
    }
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
}

class InputsWithoutWindowTest : public DeviceTest {};

// Without a reference held elsewhere, each question opens the window for its one read and gives it back.
TEST_F(InputsWithoutWindowTest, QuestionAcquiresAndReleasesTheWindow)
{
    SimSetInput(TSimInput::B1, true);
    SimStartRecording();
    EXPECT_TRUE(ButtonPressed(1));
    const std::vector<std::string> Accesses = TakeAccesses();
    ASSERT_EQ(Accesses.size(), 3u);
    EXPECT_EQ(Accesses[0].substr(0, 13), "R16 C0001184 ");
    EXPECT_EQ(Accesses[1], "W16 C00028DA 04AB");
    EXPECT_EQ(Accesses[2], "W16 C000290C 0280");
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

TEST_F(InputsWithoutWindowTest, NoWindowMeansNothingHeldAndOneLinePerQuestion)
{
    SimSetInput(TSimInput::B4, true);
    SimSetInput(TSimInput::Left, true);
    ASSERT_TRUE(SimInjectFault("mem-open"));
    testing::internal::CaptureStdout();
    EXPECT_FALSE(ButtonPressed(4));
    EXPECT_FALSE(DirectionPressed(DirLeft, false));
    EXPECT_FALSE(ExtraButtonPressed(7));
    EXPECT_EQ(ReadButtonBits(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "dev/mem not open\ndev/mem not open\ndev/mem not open\ndev/mem not open\n");
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

} // namespace
