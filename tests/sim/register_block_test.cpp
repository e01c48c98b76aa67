// The register block's side effects: the display latch, the input registers, the vertical-sync level, and the
// blitter's busy bit.

#include "sim_fixture.h"

#include <string>
#include <vector>

namespace {

using TRegisterBlock = TSimFixture;

TEST_F(TRegisterBlock, PowersOnWithEveryInputReleased)
{
    EXPECT_EQ(Read16(RegButtons), 0xFFFF);
    EXPECT_EQ(Read16(RegExtraButtons), 0xFFFF);
    EXPECT_EQ(Read16(RegDirections), 0xFFFF);
    for (std::uint32_t Offset : {RegVideoControl, RegVideoMask, RegDisplayFormat, RegDisplayLineLength,
                                 RegDisplayStartLow, RegDisplayStartHigh, RegDisplayStart2Low, RegDisplayStart2High})
        EXPECT_EQ(Read16(Offset), 0) << std::hex << Offset;
    EXPECT_EQ(SimDisplayStart(), 0u);
    EXPECT_EQ(SimFlipCount(), 0u);
}

// The display takes the start address when its high half is written, with the low half stored before.
TEST_F(TRegisterBlock, LatchesTheStartAddressOnTheHighHalfOnly)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Seen; // flip count and start address at each call
    SimOnFlip([&](std::uint32_t Count) { Seen.emplace_back(Count, SimDisplayStart()); });

    Write16(RegDisplayStartLow, 0x0000);
    Write16(RegDisplayStart2Low, 0x0002);
    Write16(RegDisplayStart2High, 0x0300);
    EXPECT_EQ(SimFlipCount(), 0u);
    EXPECT_TRUE(Seen.empty());

    Write16(RegDisplayStartHigh, 0x0300);
    EXPECT_EQ(SimFlipCount(), 1u);
    EXPECT_EQ(SimDisplayStart(), 0x03000000u);

    Write16(RegDisplayStartLow, 0xFFFE);
    EXPECT_EQ(SimDisplayStart(), 0x03000000u);
    Write16(RegDisplayStartHigh, 0x0302);
    EXPECT_EQ(SimDisplayStart(), 0x0302FFFEu);

    // The same address again is another flip.
    Write16(RegDisplayStartHigh, 0x0302);
    EXPECT_EQ(SimFlipCount(), 3u);
    EXPECT_EQ(Seen, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                        {1, 0x03000000u}, {2, 0x0302FFFEu}, {3, 0x0302FFFEu}}));

    // The observer stays across a reset; an empty one removes it.
    SimReset();
    EXPECT_EQ(SimFlipCount(), 0u);
    EXPECT_EQ(SimDisplayStart(), 0u);
    SimPokeReg16(RegDisplayStartLow, 0x0004);
    SimPokeReg16(RegDisplayStartHigh, 0x0304);
    EXPECT_EQ(SimDisplayStart(), 0u);
    EXPECT_EQ(SimFlipCount(), 0u);
    ASSERT_TRUE(Regs != nullptr);
    PlatformStore16(Regs + RegDisplayStartHigh / 2, 0x0304);
    EXPECT_EQ(Seen.back(), (std::pair<std::uint32_t, std::uint32_t>{1, 0x03040004u}));
    SimOnFlip({});
    PlatformStore16(Regs + RegDisplayStartHigh / 2, 0x0304);
    EXPECT_EQ(Seen.size(), 4u);
    EXPECT_EQ(SimFlipCount(), 2u);
}

TEST_F(TRegisterBlock, ObserverMayRemoveItselfWhileItRuns)
{
    int Calls = 0;
    SimOnFlip([&](std::uint32_t) {
        ++Calls;
        SimOnFlip({});
    });
    Write16(RegDisplayStartHigh, 0x0300);
    Write16(RegDisplayStartHigh, 0x0300);
    EXPECT_EQ(Calls, 1);
}

struct TInputCase {
    TSimInput Input;
    const char* Name;
    std::uint32_t Register;
    std::uint16_t Bit;
};

class TInputs : public TSimFixture, public ::testing::WithParamInterface<TInputCase> {};

// A held input reads 0 in its own bit of its own register; everything else reads 1.
TEST_P(TInputs, ReadActiveLow)
{
    const TInputCase& Case = GetParam();
    TSimInput Parsed = TSimInput::B1;
    ASSERT_TRUE(SimParseInput(Case.Name, Parsed));
    EXPECT_EQ(Parsed, Case.Input);

    SimSetInput(Case.Input, true);
    EXPECT_TRUE(SimInputHeld(Case.Input));
    for (std::uint32_t Register : {RegButtons, RegExtraButtons, RegDirections}) {
        std::uint16_t Expected = Register == Case.Register ? static_cast<std::uint16_t>(~Case.Bit) : 0xFFFF;
        EXPECT_EQ(Read16(Register), Expected) << std::hex << Register;
    }
    SimSetInput(Case.Input, false);
    EXPECT_FALSE(SimInputHeld(Case.Input));
    EXPECT_EQ(Read16(Case.Register), 0xFFFF);
}

INSTANTIATE_TEST_SUITE_P(
    Panel, TInputs,
    ::testing::Values(
        TInputCase{TSimInput::B1, "b1", RegButtons, 0x1000}, TInputCase{TSimInput::B2, "b2", RegButtons, 0x2000},
        TInputCase{TSimInput::B3, "b3", RegButtons, 0x8000}, TInputCase{TSimInput::B4, "b4", RegButtons, 0x4000},
        TInputCase{TSimInput::B5, "b5", RegButtons, 0x0200}, TInputCase{TSimInput::B6, "b6", RegButtons, 0x0100},
        TInputCase{TSimInput::B7, "b7", RegExtraButtons, 0x0040},
        TInputCase{TSimInput::B8, "b8", RegExtraButtons, 0x0080},
        TInputCase{TSimInput::B9, "b9", RegButtons, 0x0400}, TInputCase{TSimInput::B10, "b10", RegButtons, 0x0800},
        TInputCase{TSimInput::Up, "up", RegDirections, 0x01},
        TInputCase{TSimInput::UpLeft, "upleft", RegDirections, 0x02},
        TInputCase{TSimInput::Left, "left", RegDirections, 0x04},
        TInputCase{TSimInput::DownLeft, "downleft", RegDirections, 0x08},
        TInputCase{TSimInput::Down, "down", RegDirections, 0x10},
        TInputCase{TSimInput::DownRight, "downright", RegDirections, 0x20},
        TInputCase{TSimInput::Right, "right", RegDirections, 0x40},
        TInputCase{TSimInput::UpRight, "upright", RegDirections, 0x80}),
    [](const ::testing::TestParamInfo<TInputCase>& Info) { return std::string(Info.param.Name); });

TEST_F(TRegisterBlock, HeldInputsCombineAndResetReleasesThem)
{
    SimSetInput(TSimInput::B4, true);
    SimSetInput(TSimInput::B10, true);
    SimSetInput(TSimInput::B8, true);
    SimSetInput(TSimInput::Left, true);
    SimSetInput(TSimInput::UpLeft, true);
    EXPECT_EQ(Read16(RegButtons), 0xB7FF);
    EXPECT_EQ(Read16(RegExtraButtons), 0xFF7F);
    EXPECT_EQ(Read16(RegDirections), 0xFFF9);
    // A write to an input register changes nothing that is read there.
    Write16(RegButtons, 0x0000);
    EXPECT_EQ(Read16(RegButtons), 0xB7FF);
    // Bits that no input drives read what the block stores there.
    SimPokeReg16(RegDirections, 0x0000);
    EXPECT_EQ(Read16(RegDirections), 0x00F9);
    SimPokeReg16(RegButtons, 0x0000);
    EXPECT_EQ(Read16(RegButtons), 0xB700);
    SimReset();
    EXPECT_FALSE(SimInputHeld(TSimInput::B4));
    EXPECT_EQ(PlatformLoad16(Regs + RegButtons / 2), 0xFFFF);
    EXPECT_EQ(PlatformLoad16(Regs + RegDirections / 2), 0xFFFF);
}

TEST(TInputNames, AcceptOnlyTheListedNames)
{
    for (const char* Name : {"b0", "b11", "B1", "Up", "up ", "", "upleftx", "center", "1"}) {
        TSimInput Input = TSimInput::Right;
        EXPECT_FALSE(SimParseInput(Name, Input)) << Name;
        EXPECT_EQ(Input, TSimInput::Right) << Name;
    }
}

// In fast mode the vertical-sync bit always reads 1; the status register's other bits are plain storage.
TEST_F(TRegisterBlock, VerticalSyncReadsOneInFastMode)
{
    for (int Read = 0; Read < 5; ++Read)
        EXPECT_EQ(Read16(RegDisplayStatus), DisplayStatusVSync);
    SimPokeReg16(RegDisplayStatus, 0x8001);
    EXPECT_EQ(Read16(RegDisplayStatus), 0x8011);
}

// Modelled time: the bit is a level that comes and goes with each refresh. Reads that would only poll sleep, so a
// wait for each edge ends after a few reads.
TEST_F(TRegisterBlock, VerticalSyncIsALevelInModelledTime)
{
    SimSetFastMode(false);
    SimPokeReg16(RegDisplayStatus, 0x8001);
    auto ReadUntil = [&](bool Level) {
        for (int Read = 0; Read < 100000; ++Read) {
            std::uint16_t Value = Read16(RegDisplayStatus);
            EXPECT_EQ(Value & ~DisplayStatusVSync, 0x8001);
            if (((Value & DisplayStatusVSync) != 0) == Level)
                return true;
        }
        return false;
    };
    for (int Refresh = 0; Refresh < 3; ++Refresh) {
        EXPECT_TRUE(ReadUntil(true));
        EXPECT_TRUE(ReadUntil(false));
    }
}

// In fast mode the blitter is never busy; in modelled time it is busy after a run until the pixels would have
// moved, and a read then waits for the end.
TEST_F(TRegisterBlock, BlitterBusyBit)
{
    const TBlitRegisters Large = {0x20, 0x00100000, 0, 0x1A0, 0x00000000, 0, 0x0100FFFF, BlitOpFixed | RopCopy};
    RunBlit(Large);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);

    SimSetFastMode(false);
    RunBlit(Large); // 16.8 million pixels: far longer than a few reads
    EXPECT_EQ(ReadBlit(BlitRun), BlitRunBusy);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);

    // Switching to fast mode ends every modelled delay at once.
    RunBlit(Large);
    SimSetFastMode(true);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);
}

// Register accesses anywhere else are plain host accesses.
TEST_F(TRegisterBlock, AccessesOutsideTheRegistersArePlainMemory)
{
    auto* Ram16 = reinterpret_cast<volatile std::uint16_t*>(SimPhysToHost(0x02000000, 8));
    PlatformStore16(Ram16 + 1, 0x1234);
    EXPECT_EQ(Pixel(0x02000002), 0x1234);
    EXPECT_EQ(PlatformLoad16(Ram16 + 1), 0x1234);
    auto* Ram32 = reinterpret_cast<volatile std::uint32_t*>(SimPhysToHost(0x02000000, 8));
    PlatformStore32(Ram32 + 1, 0xCAFEF00D);
    EXPECT_EQ(PlatformLoad32(Ram32 + 1), 0xCAFEF00Du);
    EXPECT_EQ(Pixel(0x02000004), 0xF00D);
}

// A reset brings back the power-on values of RAM and of both register blocks.
TEST_F(TRegisterBlock, ResetRestoresPowerOn)
{
    SetPixel(0x02000000, 0x1234);
    SetPixel(SimRamSize - 2, 0x5678);
    Write16(RegVideoControl, 0x0400);
    Write16(RegisterBlockSize - 2, 0x8001);
    WriteBlit(BlitOp, 0xF81F0FCC);
    WriteBlit(0xFC, 1);
    SimReset();
    EXPECT_EQ(Pixel(0x02000000), 0);
    EXPECT_EQ(Pixel(SimRamSize - 2), 0);
    EXPECT_EQ(SimPeekReg16(RegVideoControl), 0);
    EXPECT_EQ(SimPeekReg16(RegisterBlockSize - 2), 0);
    EXPECT_EQ(SimPeekReg16(RegButtons), 0xFFFF);
    EXPECT_EQ(PlatformLoad32(Blit + BlitOp / 4), 0u);
    EXPECT_EQ(PlatformLoad32(Blit + 0xFC / 4), 0u);
}

} // namespace
