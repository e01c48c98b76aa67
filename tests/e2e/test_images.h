#pragma once
// Images of our own for the program to show: every pixel says where it lies, so that a snapshot tells which part
// of the image the view shows.

#include "e2e/frames.h"

#include <cstdint>
#include <string>

// The RGB565 value at (X, Y): the column modulo 640 in the low 10 bits, the row modulo 64 in the high 6. Never
// white, so the status text stands out from it.
std::uint16_t PatternPixel(int X, int Y);

// Writes a Width x Height 24-bit BMP of the pattern whose colours convert to RGB565 without loss.
void WritePatternBmp(const std::string& Path, int Width, int Height);

// Bytes per row of such an image once the program has it in the screen's 16-bit format.
int PatternPitch(int Width);

// What the 320 x 240 blit at (ScrollX, ScrollY) shows of the pattern image copied row by row at its pitch into
// otherwise untouched (zero) memory: rows that run past the image's right edge continue in its next row, and past
// its last row there are zeros.
TFrame PatternView(int Width, int Height, int ScrollX, int ScrollY);
