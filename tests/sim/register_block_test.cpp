// The register block's side effects: the display latch, the input registers, the vertical-sync level, and the
// blitter's busy bit.

#include "sim_fixture.h"

#include <string>
#include <vector>

namespace {

using TRegisterBlock = TSimFixture;

// A reset brings back power-on: RAM and both register blocks cleared, every input released, nothing shown.
TEST_F(TRegisterBlock, ResetRestoresPowerOn)
{
    SetPixel(0x02000000, 0x1234);
    SetPixel(SimRamSize - 2, 0x5678);
    Write16(RegDisplayFormat, 0x04AB);
    Write16(RegisterBlockSize - 2, 0x8001);
    Write16(RegDisplayStartHigh, 0x0300);
    WriteBlit(BlitOp, 0xF81F0FCC);
    WriteBlit(0xFC, 1);
    SimSetInput(TSimInput::B1, true);
    SimSetInput(TSimInput::Up, true);
    SimReset();
    EXPECT_EQ(Pixel(0x02000000), 0);
    EXPECT_EQ(Pixel(SimRamSize - 2), 0);
    for (std::uint32_t Offset : {RegDisplayFormat, RegisterBlockSize - 2, RegDisplayStartHigh})
        EXPECT_EQ(SimPeekReg16(Offset), 0) << std::hex << Offset;
    EXPECT_EQ(ReadBlit(BlitOp), 0u);
    EXPECT_EQ(ReadBlit(0xFC), 0u);
    for (std::uint32_t Offset : {RegButtons, RegExtraButtons, RegDirections})
        EXPECT_EQ(Read16(Offset), 0xFFFF) << std::hex << Offset;
    EXPECT_EQ(SimDisplayStart(), 0u);
    EXPECT_EQ(SimFlipCount(), 0u);
}

// The display takes the start address when its high half is written, with the low half stored before; the same
// address again is another flip. The observer sees each latch and stays across a reset; one may remove itself
// while it runs.
TEST_F(TRegisterBlock, LatchesTheStartAddressOnTheHighHalfOnly)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> Seen; // flip count and start address at each call
    SimOnFlip([&](std::uint32_t Count) { Seen.emplace_back(Count, SimDisplayStart()); });
    Write16(RegDisplayStartLow, 0x0000);
    Write16(RegDisplayStart2Low, 0x0002);
    Write16(RegDisplayStart2High, 0x0300);
    EXPECT_EQ(SimFlipCount(), 0u);
    Write16(RegDisplayStartHigh, 0x0300);
    Write16(RegDisplayStartLow, 0xFFFE);
    EXPECT_EQ(SimDisplayStart(), 0x03000000u);
    Write16(RegDisplayStartHigh, 0x0302);
    Write16(RegDisplayStartHigh, 0x0302);
    EXPECT_EQ(SimFlipCount(), 3u);
    EXPECT_EQ(Seen, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{
                        {1, 0x03000000u}, {2, 0x0302FFFEu}, {3, 0x0302FFFEu}}));

    SimReset();
    SimPokeReg16(RegDisplayStartLow, 0x0004);
    SimPokeReg16(RegDisplayStartHigh, 0x0304);
    EXPECT_EQ(SimFlipCount(), 0u);
    Write16(RegDisplayStartHigh, 0x0304);
    EXPECT_EQ(Seen.back(), (std::pair<std::uint32_t, std::uint32_t>{1, 0x03040004u}));
    SimOnFlip([&](std::uint32_t Count) {
        Seen.emplace_back(Count, 0);
        SimOnFlip({});
    });
    Write16(RegDisplayStartHigh, 0x0304);
    Write16(RegDisplayStartHigh, 0x0304);
    EXPECT_EQ(Seen.size(), 5u);
    EXPECT_EQ(SimFlipCount(), 3u);
}

// A held input reads 0 in its own bit of its own register; everything else reads 1. Held inputs combine, a write to
// an input register changes nothing read there, and bits that no input drives read what the block stores. Only
// the listed names name an input.
TEST_F(TRegisterBlock, InputsReadActiveLow)
{
    struct TCase {
        TSimInput Input;
        const char* Name;
        std::uint32_t Register;
        std::uint16_t Bit;
    };
    const TCase Cases[] = {
        {TSimInput::B1, "b1", RegButtons, 0x1000},        {TSimInput::B2, "b2", RegButtons, 0x2000},
        {TSimInput::B3, "b3", RegButtons, 0x8000},        {TSimInput::B4, "b4", RegButtons, 0x4000},
        {TSimInput::B5, "b5", RegButtons, 0x0200},        {TSimInput::B6, "b6", RegButtons, 0x0100},
        {TSimInput::B7, "b7", RegExtraButtons, 0x0040},   {TSimInput::B8, "b8", RegExtraButtons, 0x0080},
        {TSimInput::B9, "b9", RegButtons, 0x0400},        {TSimInput::B10, "b10", RegButtons, 0x0800},
        {TSimInput::Up, "up", RegDirections, 0x01},       {TSimInput::UpLeft, "upleft", RegDirections, 0x02},
        {TSimInput::Left, "left", RegDirections, 0x04},   {TSimInput::DownLeft, "downleft", RegDirections, 0x08},
        {TSimInput::Down, "down", RegDirections, 0x10},   {TSimInput::DownRight, "downright", RegDirections, 0x20},
        {TSimInput::Right, "right", RegDirections, 0x40}, {TSimInput::UpRight, "upright", RegDirections, 0x80},
    };
    for (const TCase& Case : Cases) {
        TSimInput Parsed = TSimInput::B1;
        EXPECT_TRUE(SimParseInput(Case.Name, Parsed) && Parsed == Case.Input) << Case.Name;
        SimSetInput(Case.Input, true);
        EXPECT_TRUE(SimInputHeld(Case.Input));
        for (std::uint32_t Register : {RegButtons, RegExtraButtons, RegDirections}) {
            std::uint16_t Expected = Register == Case.Register ? static_cast<std::uint16_t>(~Case.Bit) : 0xFFFF;
            EXPECT_EQ(Read16(Register), Expected) << Case.Name << " " << std::hex << Register;
        }
        SimSetInput(Case.Input, false);
        EXPECT_FALSE(SimInputHeld(Case.Input));
        EXPECT_EQ(Read16(Case.Register), 0xFFFF) << Case.Name;
    }

    for (TSimInput Input : {TSimInput::B4, TSimInput::B10, TSimInput::B8, TSimInput::Left, TSimInput::UpLeft})
        SimSetInput(Input, true);
    Write16(RegButtons, 0x0000);
    EXPECT_EQ(Read16(RegButtons), 0xB7FF);
    EXPECT_EQ(Read16(RegExtraButtons), 0xFF7F);
    EXPECT_EQ(Read16(RegDirections), 0xFFF9);
    SimPokeReg16(RegDirections, 0x0000);
    EXPECT_EQ(Read16(RegDirections), 0x00F9);
    TSimInput Input = TSimInput::Right;
    for (const char* Name : {"b0", "b11", "B1", "Up", "up ", "", "upleftx", "center", "1"})
        EXPECT_FALSE(SimParseInput(Name, Input) || Input != TSimInput::Right) << Name;
}

// The status register's other bits are plain storage. In fast mode the vertical-sync bit always reads 1; in
// modelled time it is a level that comes and goes with each refresh, and a wait for each edge ends after a few reads.
TEST_F(TRegisterBlock, VerticalSyncIsALevel)
{
    SimPokeReg16(RegDisplayStatus, 0x8001);
    for (int Read = 0; Read < 5; ++Read)
        EXPECT_EQ(Read16(RegDisplayStatus), 0x8011);
    SimSetFastMode(false);
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
// moved, and a read then waits for the end. Switching to fast mode ends every modelled delay at once.
TEST_F(TRegisterBlock, BlitterBusyBit)
{
    const TBlitRegisters Large = {0x20, 0x00100000, 0, 0x1A0, 0x00000000, 0, 0x0100FFFF, BlitOpFixed | RopCopy};
    RunBlit(Large);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);
    SimSetFastMode(false);
    RunBlit(Large); // 16.8 million pixels: far longer than a few reads
    EXPECT_EQ(ReadBlit(BlitRun), BlitRunBusy);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);
    RunBlit(Large);
    SimSetFastMode(true);
    EXPECT_EQ(ReadBlit(BlitRun), 0u);
}

} // namespace
