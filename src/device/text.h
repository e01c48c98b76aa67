#pragma once
// Text drawn with the built-in 6 x 13 font into the drawing page, clipped to the screen.

#include <cstdint>
#include <string>

void DrawText(std::int32_t X, std::int32_t Y, const std::string& Text, std::uint16_t Color);
