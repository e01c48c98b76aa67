#pragma once
// The window's key map over the picture, drawn by brimlet-sim in the program's font onto the window's surface only,
// never into the device's pages or snapshots.

#include <SDL.h>

// Draws the key map over the middle of Picture on Screen, clipped to it.
void DrawKeyMap(SDL_Surface* Screen, SDL_Rect Picture);
// The drawn key map no longer fits the window's surface: a new mode was set.
void ForgetKeyMap();
