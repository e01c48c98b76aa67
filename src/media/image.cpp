// Images in the screen's pixel format, optionally with a colour key.

#include "media/image.h"

#include "log/logger.h"
#include "media/sdl_error.h"

#include <SDL_image.h>

#include <cstdint>
#include <string>

namespace {

// SDL_image reads a bitmap's headers without checking that the file holds them, and goes on with whatever its reads
// left behind: a bitmap cut inside its headers would load as garbage of any size. Such a file is refused here, with
// SDL's error set, before SDL_image sees it.
bool BitmapHeaderCut(const std::string& FileName)
{
    constexpr long FileHeaderBytes = 14;
    constexpr Uint32 CoreHeaderBytes = 12; // the oldest info header; every later one has at least 40 bytes
    constexpr Uint32 InfoHeaderBytes = 40;
    SDL_RWops* File = SDL_RWFromFile(FileName.c_str(), "rb");
    if (!File)
        return false;
    Uint8 Magic[2] = {0, 0};
    bool Cut = false;
    if (SDL_RWread(File, Magic, 1, 2) == 2 && Magic[0] == 'B' && Magic[1] == 'M') {
        const long Size = SDL_RWseek(File, 0, RW_SEEK_END);
        Uint32 InfoSize = 0;
        if (Size < FileHeaderBytes + 4 || SDL_RWseek(File, FileHeaderBytes, RW_SEEK_SET) < 0)
            Cut = true;
        else {
            InfoSize = SDL_ReadLE32(File);
            const Uint32 Needed = InfoSize == CoreHeaderBytes ? CoreHeaderBytes : InfoHeaderBytes;
            Cut = Size < FileHeaderBytes + static_cast<long>(Needed);
        }
    }
    SDL_RWclose(File);
    if (Cut)
        SDL_SetError("Bitmap cut inside its headers");
    return Cut;
}

// The program computes with an image's width, height and pitch in 32 bits, and a bitmap's header may give any
// width and height, which SDL takes as they stand (a height of -2^31 stays negative when made positive).
bool SizeUsable(const SDL_Surface* Image)
{
    constexpr std::int64_t Largest = INT32_MAX;
    return Image->w > 0 && Image->h > 0 && static_cast<std::int64_t>(Image->pitch) * Image->h <= Largest;
}

// Logs why an image of that size is refused and frees it.
void RefuseSize(SDL_Surface* Image)
{
    AppLogger->LogError("Image size " + std::to_string(Image->w) + " x " + std::to_string(Image->h) + ", pitch "
                            + std::to_string(Image->pitch) + ", not usable",
                        "LoadImage");
    SDL_FreeSurface(Image);
}

} // namespace

bool LoadImage(const std::string& FileName, SDL_Surface*& Surface, std::uint32_t ColorKey)
{
    // A surface held before is the caller's to release; it is not freed here.
    Surface = nullptr;
    // The whole name goes to SDL_image: a name cut short would load another file than the one named.
    SDL_Surface* Loaded = BitmapHeaderCut(FileName) ? nullptr : IMG_Load(FileName.c_str());
    if (!Loaded) {
        AppLogger->LogError(SdlError(), "LoadImage");
        return false;
    }
    if (!SizeUsable(Loaded)) {
        RefuseSize(Loaded);
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
    // The screen's format may take more bytes a pixel than the file's.
    if (!SizeUsable(Converted)) {
        RefuseSize(Converted);
        return false;
    }
    if (ColorKey != NoColorKey) {
        const Uint32 Key =
            SDL_MapRGB(Converted->format, ColorKey & 0xFF, (ColorKey >> 8) & 0xFF, (ColorKey >> 16) & 0xFF);
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
