#pragma once
// The display's RGB565 pixels as 8-bit components: each component widened by repeating its high bits below it, so
// that 0 stays 0 and the largest value becomes 255.

#include <cstdint>

inline std::uint8_t Red8(std::uint16_t Pixel)
{
    const unsigned Value = Pixel >> 11 & 0x1F;
    return static_cast<std::uint8_t>(Value << 3 | Value >> 2);
}

inline std::uint8_t Green8(std::uint16_t Pixel)
{
    const unsigned Value = Pixel >> 5 & 0x3F;
    return static_cast<std::uint8_t>(Value << 2 | Value >> 4);
}

inline std::uint8_t Blue8(std::uint16_t Pixel)
{
    const unsigned Value = Pixel & 0x1F;
    return static_cast<std::uint8_t>(Value << 3 | Value >> 2);
}
