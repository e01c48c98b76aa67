// Background music. The halting tests ask SDL_mixer whether any music plays, not whether it is this handle's.

#include "media/music.h"

#include "log/logger.h"
#include "media/sdl_error.h"

bool LoadMusic(const std::string& FileName, Mix_Music*& MusicHandle)
{
    FreeMusic(MusicHandle);
    // The whole name goes to SDL_mixer: a name cut short would load another file than the one named.
    MusicHandle = Mix_LoadMUS(FileName.c_str());
    if (!MusicHandle) {
        AppLogger->LogError(SdlError(), "SDLMusic::LoadFromFile");
        return false;
    }
    AppLogger->LogStatus("Music \"" + FileName + "\" loaded", "LoadMusic");
    return true;
}

bool PlayMusic(Mix_Music* MusicHandle, std::int32_t MusicVolume, bool Loop, std::int32_t FadeInMs)
{
    if (Mix_PlayingMusic())
        return false;
    if (MusicVolume >= 0)
        Mix_VolumeMusic(MusicVolume);
    if (Mix_FadeInMusic(MusicHandle, Loop ? -1 : 1, FadeInMs) == -1) {
        AppLogger->LogError(SdlError(), "PlayMusic");
        return false;
    }
    AppLogger->LogStatus("Playing started", "PlayMusic");
    return true;
}

bool FreeMusic(Mix_Music*& MusicHandle)
{
    if (!MusicHandle)
        return false;
    if (Mix_PlayingMusic())
        Mix_HaltMusic();
    Mix_FreeMusic(MusicHandle);
    MusicHandle = nullptr;
    return true;
}
