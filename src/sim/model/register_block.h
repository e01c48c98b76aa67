#pragma once
// The simulated register block: 64 KiB of 16-bit registers at physical address 0xC0000000.

#include "device/register_map.h"

#include <cstdint>

// The registers' storage, which the display reads as it scans, with no side effect and no trace.
std::uint16_t* RegisterBlockHost();
// One access by the program of 16 or 32 bits, at a byte offset into the block: traced and passed to the register's
// handler where it has one.
template <typename TAccess>
TAccess LoadRegisterBlock(std::uint32_t Offset);
template <typename TAccess>
void StoreRegisterBlock(std::uint32_t Offset, TAccess Value);
// Power-on: every register 0 but the inputs, released; the map's registers defined and their handlers wired.
void ResetRegisterBlock();
