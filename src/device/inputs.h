#pragma once
// Buttons and the direction ring, read as levels from the active-low input registers.

#include <cstdint>

constexpr std::int32_t DirLeft = 20;
constexpr std::int32_t DirUp = 21;
constexpr std::int32_t DirRight = 22;
constexpr std::int32_t DirDown = 23;

std::uint16_t ReadDirectionBits();
std::uint16_t ReadButtonBits();
std::uint16_t ReadExtraButtonBits();
bool DirectionPressed(std::int32_t Code, bool NoDiagonals);
bool ButtonPressed(std::int32_t Code);
bool ExtraButtonPressed(std::int32_t Code);
