#include "sim/register_block.h"

#include "device/register_map.h"
#include "sim/device_time.h"
#include "sim/display.h"
#include "sim/input_panel.h"
#include "sim/sim.h"
#include "sim/trace.h"

namespace {

alignas(4096) std::uint16_t Storage[RegisterBlockSize / 2];

std::uint16_t Stored(std::uint32_t Offset)
{
    return Storage[Offset / 2];
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

struct TRegister {
    std::uint32_t Offset;
    std::uint16_t PowerOn;
    bool Status;                              // polled: repeated identical reads fold into one trace line
    bool ReadOnly;                            // the program's writes do not reach it
    std::uint16_t (*Read)(std::uint32_t);     // the value a read sees, instead of the stored one
    void (*Written)(std::uint32_t);           // the side effect of a write, after the value is stored
};

// The registers the program uses, top to bottom. Every other offset of the block is plain storage at 0.
const TRegister RegisterMap[] = {
    {RegVideoControl, 0x0000, false, false, nullptr, nullptr},
    {RegVideoMask, 0x0000, false, false, nullptr, nullptr},
    {RegDisplayStatus, 0x0000, true, false, ReadDisplayStatus, nullptr},
    {RegButtons, 0xFFFF, false, true, ReadInputs, nullptr},
    {RegExtraButtons, 0xFFFF, false, true, ReadInputs, nullptr},
    {RegDirections, 0xFFFF, false, true, ReadInputs, nullptr},
    {RegDisplayFormat, 0x0000, false, false, nullptr, nullptr},
    {RegDisplayLineLength, 0x0000, false, false, nullptr, nullptr},
    {RegDisplayStartLow, 0x0000, false, false, nullptr, nullptr},
    {RegDisplayStartHigh, 0x0000, false, false, nullptr, WriteDisplayStartHigh},
    {RegDisplayStart2Low, 0x0000, false, false, nullptr, nullptr},
    {RegDisplayStart2High, 0x0000, false, false, nullptr, nullptr},
};

const TRegister* FindRegister(std::uint32_t Offset)
{
    for (const TRegister& Register : RegisterMap)
        if (Register.Offset == Offset)
            return &Register;
    return nullptr;
}

// The block powers on with the process, before any reset.
[[maybe_unused]] const bool PoweredOn = (ResetRegisterBlock(), true);

} // namespace

std::uint16_t* RegisterBlockHost()
{
    return Storage;
}

std::uint16_t LoadRegister16(std::uint32_t Offset)
{
    const TRegister* Register = FindRegister(Offset);
    std::uint16_t Value = Register != nullptr && Register->Read != nullptr ? Register->Read(Offset) : Stored(Offset);
    ObserveAccess(false, 16, RegisterBlockPhys + Offset, Value, Register != nullptr && Register->Status);
    return Value;
}

void StoreRegister16(std::uint32_t Offset, std::uint16_t Value)
{
    ObserveAccess(true, 16, RegisterBlockPhys + Offset, Value, false);
    const TRegister* Register = FindRegister(Offset);
    if (Register != nullptr && Register->ReadOnly)
        return;
    Storage[Offset / 2] = Value;
    if (Register != nullptr && Register->Written != nullptr)
        Register->Written(Offset);
}

void ResetRegisterBlock()
{
    for (std::uint16_t& Register : Storage)
        Register = 0;
    for (const TRegister& Register : RegisterMap)
        Storage[Register.Offset / 2] = Register.PowerOn;
}

void SimPokeReg16(std::uint32_t Offset, std::uint16_t Value)
{
    if (Offset < RegisterBlockSize)
        Storage[Offset / 2] = Value;
}
