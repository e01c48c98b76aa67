#pragma once
// Whole 320 x 240 RGB565 frames as the display shows them: read from the simulator's snapshots, composed from what
// the program should have drawn, compared exactly (writing the actual image and a difference image into the build
// folder on a mismatch), and the status text read back with the program's own font.

#include <cstdint>
#include <string>
#include <vector>

constexpr int ScreenWidth = 320;
constexpr int ScreenHeight = 240;
constexpr std::uint16_t White = 0xFFFF;

using TFrame = std::vector<std::uint16_t>; // ScreenWidth x ScreenHeight pixels, row by row

// A snapshot PNG as RGB565 (the high bits of each 8-bit component); an empty frame and a test failure when it
// cannot be read or has the wrong size.
TFrame ReadSnapshot(const std::string& Path);

// Text drawn as the program's DrawText draws it: ink of the built-in font in Color, the last row left alone.
void DrawExpectedText(TFrame& Frame, int X, int Y, const std::string& Text, std::uint16_t Color = White);
// The characters (codes 32 to 126) whose white ink fills the cells at (X, Y), X + 6, ...; "?" for a cell that is no
// glyph; trailing blanks dropped. Only for backgrounds without white pixels.
std::string ReadText(const TFrame& Frame, int X, int Y, int Cells);

// Compares exactly; on a mismatch writes Name-actual.png and Name-diff.png into the build folder and names them.
void ExpectFrame(const TFrame& Actual, const TFrame& Expected, const std::string& Name);
// Compares with tests/e2e/golden/Name.png.
void ExpectGolden(const TFrame& Actual, const std::string& Name);
