#include "device/inputs.h"

#include "device/register_map.h"
#include "device/register_window.h"

namespace {

// The input registers are active low; inverted, a set bit means held. Each read takes and gives back the register
// window, which is only a count update while another reference is held.
std::uint16_t ReadInverted(std::uint32_t Offset)
{
    if (!OpenMemory())
        return 0;
    const std::uint16_t Bits = static_cast<std::uint16_t>(~ReadReg16(Offset));
    CloseMemory();
    return Bits;
}

std::uint16_t ButtonBit(std::int32_t Code)
{
    switch (Code) {
    case 1: return Button1Bit;
    case 2: return Button2Bit;
    case 3: return Button3Bit;
    case 4: return Button4Bit;
    case 5: return Button5Bit;
    case 6: return Button6Bit;
    case 9: return Button9Bit;
    case 10: return Button10Bit;
    default: return 0;
    }
}

std::uint16_t ExtraButtonBit(std::int32_t Code)
{
    switch (Code) {
    case 7: return Button7Bit;
    case 8: return Button8Bit;
    default: return 0;
    }
}

// A direction's own contact and the diagonal contacts on either side of it in the ring.
struct TRingDirection {
    std::int32_t Code;
    std::uint16_t Own;
    std::uint16_t DiagonalA;
    std::uint16_t DiagonalB;
};

constexpr TRingDirection RingDirections[] = {
    {DirLeft, RingLeftBit, RingUpLeftBit, RingDownLeftBit},
    {DirUp, RingUpBit, RingUpRightBit, RingUpLeftBit},
    {DirRight, RingRightBit, RingDownRightBit, RingUpRightBit},
    {DirDown, RingDownBit, RingDownLeftBit, RingDownRightBit},
};

} // namespace

std::uint16_t ReadDirectionBits()
{
    return ReadInverted(RegDirections);
}

std::uint16_t ReadButtonBits()
{
    return ReadInverted(RegButtons);
}

std::uint16_t ReadExtraButtonBits()
{
    return ReadInverted(RegExtraButtons);
}

bool DirectionPressed(std::int32_t Code, bool NoDiagonals)
{
    const std::uint16_t Ring = ReadDirectionBits() & 0xFFu;
    for (const TRingDirection& Dir : RingDirections) {
        if (Dir.Code != Code)
            continue;
        // The whole ring byte is compared: three contacts, or two that are not neighbours, hold no direction.
        if (Ring == Dir.Own || Ring == (Dir.Own | Dir.DiagonalA) || Ring == (Dir.Own | Dir.DiagonalB))
            return true;
        return !NoDiagonals && (Ring == Dir.DiagonalA || Ring == Dir.DiagonalB);
    }
    return false;
}

bool ButtonPressed(std::int32_t Code)
{
    return (ReadButtonBits() & ButtonBit(Code)) != 0;
}

bool ExtraButtonPressed(std::int32_t Code)
{
    return (ReadExtraButtonBits() & ExtraButtonBit(Code)) != 0;
}
