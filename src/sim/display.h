#pragma once
// The simulated display: the start address it latched and the flips that latched it.

#include <cstdint>

constexpr int DisplayWidth = 320;
constexpr int DisplayHeight = 240;
constexpr std::uint32_t DisplayRowBytes = DisplayWidth * 2;

// The display takes Start as the page to show: one flip.
void LatchDisplayStart(std::uint32_t Start);
// Showing physical address 0, no flip yet (the observer stays).
void ResetDisplay();
