#pragma once
// Images of our own for the program to show: every pixel says where it lies, so that a snapshot tells which part
// of the image the view shows.

#include "e2e/frames.h"

#include <string>

// Writes a Width x Height 24-bit BMP whose pixel at (X, Y) converts without loss to the RGB565 value with the
// column modulo 640 in the low 10 bits and the row modulo 64 in the high 6; never white, so text stands out.
void WritePatternBmp(const std::string& Path, int Width, int Height);

// Bytes per row of such an image once the program has it in the screen's 16-bit format.
inline int PatternPitch(int Width) { return (Width * 2 + 3) / 4 * 4; }

// What the 320 x 240 blit at (ScrollX, ScrollY) shows of the pattern image copied row by row at its pitch into
// otherwise untouched (zero) memory: rows that run past the image's right edge continue in its next row, and past
// its last row there are zeros.
TFrame PatternView(int Width, int Height, int ScrollX, int ScrollY);
