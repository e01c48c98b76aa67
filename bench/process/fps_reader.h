#pragma once
// The program's own frame rate, read off a snapshot: the figure after "FPS:" in the first status line, matched
// glyph by glyph against the built-in font.

#include <string>

// The figure, or -1 when the snapshot cannot be read or shows no figure there.
int ReadFramesPerSecond(const std::string& SnapshotFile);
