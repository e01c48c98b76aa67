#pragma once
// Whole 320 x 240 RGB565 frames as the display shows them: read from snapshots, composed from what the program
// should have drawn and compared exactly.

#include <cstdint>
#include <string>
#include <vector>

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 240;
constexpr std::uint16_t White = 0xFFFF;

using TFrame = std::vector<std::uint16_t>; // ScreenWidth x ScreenHeight pixels, row by row

// A 320 x 240 PNG as RGB565 (the high bits of each 8-bit component); an empty frame and a test failure when it
// cannot be read or has another size.
TFrame ReadPng(const std::string& Path);

// Text drawn in white as the program's DrawText draws it: the ink of the built-in font, the last row left alone.
void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text);

// Compares exactly; on a mismatch copies the snapshot Actual was read from into the build folder and names it.
void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Snapshot);
