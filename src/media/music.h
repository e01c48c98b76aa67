#pragma once
// Background music through SDL_mixer. Handles belong to the caller; null means nothing loaded.

#include <SDL_mixer.h>
#include <cstdint>
#include <string>

bool LoadMusic(const std::string& FileName, Mix_Music*& MusicHandle);
bool PlayMusic(Mix_Music* MusicHandle, std::int32_t MusicVolume, bool Loop, std::int32_t FadeInMs);
bool FreeMusic(Mix_Music*& MusicHandle);
