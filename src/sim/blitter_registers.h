#pragma once
// The simulated blitter's register window: 256 bytes of 32-bit registers at physical address 0xE0020000.

#include "device/register_map.h"

#include <cstdint>

// The host storage that a mapping of the window returns.
std::uint32_t* BlitterWindowHost();
// One access by the program, at a byte offset into the window: traced and passed to BlitRun's handlers.
std::uint32_t LoadBlitter32(std::uint32_t Offset);
void StoreBlitter32(std::uint32_t Offset, std::uint32_t Value);
// Power-on: every register 0, BlitRun wired to the engine, idle, no skipped pixel counted.
void ResetBlitter();
