// Images in the screen's pixel format, optionally with a colour key.

#include "media/image.h"

#include "log/logger.h"

#include <SDL_image.h>

namespace {

std::string SdlError()
{
    const char* Reason = SDL_GetError();
    return Reason ? Reason : "";
}

} // namespace

bool LoadImage(const std::string& FileName, SDL_Surface*& Surface, std::uint32_t ColorKey)
{
    // A surface held before is the caller's to release; it is not freed here.
    Surface = nullptr;
    // The whole name goes to SDL_image: a name cut short would load another file than the one named.
    SDL_Surface* Loaded = IMG_Load(FileName.c_str());
    if (!Loaded) {
        AppLogger->LogError(SdlError(), "LoadImage");
        return false;
    }
    // SDL 1.2's conversion crashes when video was never started, so a missing screen is caught here and reported
    // in SDL's own words for it.
    SDL_Surface* Converted = nullptr;
    if (SDL_GetVideoSurface())
        Converted = SDL_DisplayFormat(Loaded);
    else
        SDL_SetError("No video mode has been set");
    // The loaded surface was only the conversion's source.
    SDL_FreeSurface(Loaded);
    if (!Converted) {
        AppLogger->LogError(SdlError(), "LoadImage");
        return false;
    }
    if (ColorKey != NoColorKey) {
        const Uint32 Key = SDL_MapRGB(Converted->format, ColorKey & 0xFF, (ColorKey >> 8) & 0xFF,
                                      (ColorKey >> 16) & 0xFF);
        SDL_SetColorKey(Converted, SDL_SRCCOLORKEY, Key);
    }
    Surface = Converted;
    return true;
}

bool FreeImage(SDL_Surface*& Surface)
{
    if (!Surface)
        return false;
    SDL_FreeSurface(Surface);
    Surface = nullptr;
    return true;
}

