#include "sim/model/register_block.h"

#include "sim/model/display.h"
#include "sim/model/input_panel.h"
#include "sim/probes.h"
#include "sim/model/register_bank.h"

namespace {

TRegisterBank<std::uint16_t, RegisterBlockSize> Block;

std::uint16_t Stored(std::uint32_t Offset)
{
    return Block.Storage[Offset / 2];
}

// Bit 4 is the vertical-sync level; the other bits are plain storage.
std::uint16_t ReadDisplayStatus(std::uint32_t Offset)
{
    std::uint16_t Other = Stored(Offset) & static_cast<std::uint16_t>(~DisplayStatusVSync);
    return ReadVerticalSync() ? static_cast<std::uint16_t>(Other | DisplayStatusVSync) : Other;
}

// Only the bits wired to an input follow the panel; the others are plain storage (released, 1, at power-on).
std::uint16_t ReadInputs(std::uint32_t Offset)
{
    const std::uint16_t Wired = InputRegisterWiredBits(Offset);
    return static_cast<std::uint16_t>((Stored(Offset) & ~Wired) | (InputRegisterValue(Offset) & Wired));
}

// The display takes the new start address when its high half is written, so the program writes the low half first.
void WriteDisplayStartHigh(std::uint32_t Offset)
{
    LatchDisplayStart(static_cast<std::uint32_t>(Stored(Offset)) << 16 | Stored(RegDisplayStartLow));
}

} // namespace

std::uint16_t* RegisterBlockHost()
{
    return Block.Storage;
}

template <typename TAccess>
TAccess LoadRegisterBlock(std::uint32_t Offset)
{
    return LoadRegister<TAccess>(Block, Offset);
}

template <typename TAccess>
void StoreRegisterBlock(std::uint32_t Offset, TAccess Value)
{
    StoreRegister(Block, Offset, Value);
}

template std::uint16_t LoadRegisterBlock(std::uint32_t);
template std::uint32_t LoadRegisterBlock(std::uint32_t);
template void StoreRegisterBlock(std::uint32_t, std::uint16_t);
template void StoreRegisterBlock(std::uint32_t, std::uint32_t);

void ResetRegisterBlock()
{
    ClearBank(Block, RegisterBlockPhys);
    Define(Block,
           {RegVideoControl, RegVideoMask, RegDisplayFormat, RegDisplayLineLength, RegDisplayStartLow,
            RegDisplayStart2Low, RegDisplayStart2High});
    Handle(Block, {RegDisplayStatus, ReadDisplayStatus, nullptr, false, DisplayStatusVSync, 0});
    for (std::uint32_t Input : {RegButtons, RegExtraButtons, RegDirections}) {
        Handle(Block, {Input, ReadInputs, nullptr, true, 0, 0});
        Block.Storage[Input / 2] = 0xFFFF;
    }
    Handle(Block, {RegDisplayStartHigh, nullptr, WriteDisplayStartHigh, false, 0, 0});
}

void SimPokeReg16(std::uint32_t Offset, std::uint16_t Value)
{
    if (Offset < RegisterBlockSize)
        Block.Storage[Offset / 2] = Value;
}
