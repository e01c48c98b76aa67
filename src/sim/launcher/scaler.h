#pragma once
// The window's picture: the display's RGB565 page enlarged pixel by pixel into the window's surface, each pixel
// converted once into the surface's own format (the X server's, so that SDL converts nothing), its components widened
// as the snapshots widen them. Module state: the conversion table of the last format.

#include <SDL.h>
#include <cstdint>

// Draws the 320 x 240 Page into To with its top left at (Left, Top), Scale x Scale window pixels a device pixel. To is
// locked where it must be, and big enough.
void ScalePicture(const std::uint16_t* Page, SDL_Surface* To, int Left, int Top, int Scale);
