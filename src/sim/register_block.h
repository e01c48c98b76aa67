#pragma once
// The simulated register block: 64 KiB of 16-bit registers at physical address 0xC0000000.

#include "device/register_map.h"

#include <cstdint>

// The host storage that a mapping of the block returns.
std::uint16_t* RegisterBlockHost();
// One access by the program, at a byte offset into the block: traced and passed to the register's handler where it
// has one.
std::uint16_t LoadRegister16(std::uint32_t Offset);
void StoreRegister16(std::uint32_t Offset, std::uint16_t Value);
// Power-on: every register plain storage at 0, the inputs released, the handlers wired.
void ResetRegisterBlock();
