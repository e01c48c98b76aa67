#pragma once
// Images loaded through SDL_image and converted to the screen's pixel format.

#include <SDL.h>
#include <cstdint>
#include <string>

// 0x00FFFFFF: no colour key. Otherwise red in bits 0-7, green 8-15, blue 16-23.
constexpr std::uint32_t NoColorKey = 0x00FFFFFF;

bool LoadImage(const std::string& FileName, SDL_Surface*& Surface, std::uint32_t ColorKey);
bool FreeImage(SDL_Surface*& Surface);
