// SDL start-up: every step is logged, every failure is logged and raised, and nothing started is undone.

#include "media/sdl_init.h"

#include "device/mixer.h"
#include "log/logger.h"
#include "media/sdl_error.h"
#include "runtime/console.h"
#include "runtime/errors.h"
#include "runtime/hex.h"
#include "runtime/program_args.h"
#include "runtime/str_to_int.h"

#include <SDL_mixer.h>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr const char* Location = "InitSDL";

[[noreturn]] void Fail(const char* EntryLocation, const char* ExceptionMessage)
{
    AppLogger->LogError(SdlError(), EntryLocation);
    throw Exception(ExceptionMessage);
}

// The mask of the only command-line argument replaces the flags chosen from the video information.
void ApplyFlagMask(const std::string& Argument, std::uint32_t& Flags, int& Depth)
{
    Flags = SDL_SWSURFACE;
    const std::uint32_t Mask = static_cast<std::uint32_t>(StrToInt(Argument));
    WriteLine("Requestet video flags: " + Hex(Mask, 8));
    if (Mask & 0x01)
        WriteLine("SDL_SWSURFACE = 1");
    if (Mask & 0x02) {
        Flags |= SDL_HWSURFACE;
        WriteLine("SDL_HWSURFACE = 1");
    }
    if (Mask & 0x04) {
        Flags |= SDL_FULLSCREEN;
        WriteLine("SDL_FULLSCREEN = 1");
    }
    if (Mask & 0x08) {
        Flags |= SDL_HWACCEL;
        WriteLine("SDL_HWACCEL = 1");
    }
    if (Mask & 0x10) {
        Flags |= SDL_DOUBLEBUF;
        WriteLine("SDL_DOUBLEBUF = 1");
    }
    if (Mask & 0x20) {
        Depth = 8;
        WriteLine("Color depth = 8");
    }
    WriteLine("used video flags: " + Hex(Flags, 8));
}

} // namespace

SDL_Surface* InitSDL()
{
    if (SDL_Init(SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) < 0)
        Fail(Location, "InitSDL failed");
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 512) == -1)
        Fail(Location, "InitSDL:Audio failed");
    SetVolume(255);

    std::uint32_t Flags = SDL_FULLSCREEN;
    int Depth = 16;
    const SDL_VideoInfo* Info = SDL_GetVideoInfo();
    if (!Info)
        Fail("InitSDL - SDL_GetVideoInfo", "InitSDL:Video failed");
    // The info starts with a 32-bit word of one-bit fields: its first byte holds hw_available and wm_available, its
    // second the blit flags. Each byte is tested as a whole, reserved bits included.
    unsigned char FlagBytes[4];
    std::memcpy(FlagBytes, Info, sizeof FlagBytes);
    if (FlagBytes[1] != 0) {
        AppLogger->LogStatus("Hardware blit available...", Location);
        Flags |= SDL_HWACCEL;
    }
    if (FlagBytes[0] != 0) {
        AppLogger->LogStatus("Hardware Surface available...", Location);
        Flags |= SDL_HWSURFACE;
    } else {
        AppLogger->LogStatus("Software Surface available...", Location);
    }

    if (ParamCount() == 1)
        ApplyFlagMask(ParamStr(1), Flags, Depth);

    SDL_Surface* Screen = SDL_SetVideoMode(320, 240, Depth, Flags);
    if (!Screen)
        Fail(Location, "InitSDL failed");
    // The entry names the usual depth even when the mask asked for 8 bits.
    AppLogger->LogStatus("Set video mode 320x240x16", Location);
    SDL_SetClipRect(Screen, nullptr);
    SDL_ShowCursor(SDL_DISABLE);
    AppLogger->LogStatus("Done", Location);
    return Screen;
}
