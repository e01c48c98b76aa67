#pragma once
// The simulated register block: 64 KiB of 16-bit registers at physical address 0xC0000000.

#include "device/register_map.h"

#include <cstdint>

// The registers' storage, which the display reads as it scans, with no side effect and no trace.
std::uint16_t* RegisterBlockHost();
// One access by the program, at a byte offset into the block: traced and passed to the register's handler where it
// has one.
std::uint16_t LoadRegister16(std::uint32_t Offset);
void StoreRegister16(std::uint32_t Offset, std::uint16_t Value);
// Power-on: every register 0 but the inputs, released; the map's registers defined and their handlers wired.
void ResetRegisterBlock();
