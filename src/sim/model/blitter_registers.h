#pragma once
// The simulated blitter's register window: 256 bytes of 32-bit registers at physical address 0xE0020000. An
// operation is busy for its size at the blitter's pixel rate, and its destination fills row by row meanwhile.

#include "device/register_map.h"

#include <cstdint>

constexpr std::int64_t BlitterPixelsPerSecond = 40000000;

// How long the blitter is busy moving Pixels pixels.
std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels);
// One access by the program of 16 or 32 bits, at a byte offset into the window.
template <typename TAccess>
TAccess LoadBlitter(std::uint32_t Offset);
template <typename TAccess>
void StoreBlitter(std::uint32_t Offset, TAccess Value);
// The operation under way does the rows due by device time Now.
void AdvanceBlitter(std::int64_t Now);
// Power-on: every register 0, the map's registers defined, idle, no skipped pixel counted; subscribed to the clock.
void ResetBlitter();
