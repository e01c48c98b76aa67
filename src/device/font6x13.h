#pragma once
// The built-in font: 256 glyphs of 13 rows of 6 RGB565 pixels, little-endian; 0xF81F is transparent, 0xFFFF ink.

#include <cstdint>

constexpr int FontGlyphBytes = 156;
constexpr int FontRowBytes = 12;
constexpr int FontBytes = 256 * FontGlyphBytes; // 39,936
constexpr std::uint16_t FontTransparent = 0xF81F;
constexpr std::uint16_t FontInk = 0xFFFF;

extern const std::uint8_t Font6x13[FontBytes];
