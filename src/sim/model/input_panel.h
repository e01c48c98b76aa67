#pragma once
// The simulated input panel: buttons 1 to 10 and the eight contacts of the direction ring.

#include <cstdint>

// The active-low value of the input register at Offset (RegButtons, RegExtraButtons or RegDirections): a held
// input reads 0, everything else 1.
std::uint16_t InputRegisterValue(std::uint32_t Offset);
// The bits of the input register at Offset that some input drives.
std::uint16_t InputRegisterWiredBits(std::uint32_t Offset);
// Every input released.
void ResetInputPanel();
