#pragma once
// The simulated blitter's register window: 256 bytes of 32-bit registers at physical address 0xE0020000.

#include <cstdint>

// The host storage that a mapping of the window returns.
std::uint32_t* BlitterWindowHost();
// One access by the program, at a byte offset into the window: traced, recorded and passed to BlitRun's handler.
std::uint32_t LoadBlitter32(std::uint32_t Offset);
void StoreBlitter32(std::uint32_t Offset, std::uint32_t Value);
// Every register 0, idle, no skipped pixel counted.
void ResetBlitter();
