// The simulated device's side of SDL. The build wraps SDL_Init, Mix_OpenAudio, SDL_GetVideoInfo and
// SDL_SetVideoMode (-Wl,--wrap), so that the simulator stands where the device's environment differs from the
// host's: a missing video or audio device, the video information, the mode request and the speaker.

#include "sim/sdl_hooks.h"

#include "sim/faults.h"
#include "sim/control.h"
#include "sim/probes.h"
#include "sim/speaker.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <utility>

extern "C" {
int __real_SDL_Init(Uint32 Flags);
int __real_Mix_OpenAudio(int Frequency, Uint16 Format, int Channels, int ChunkSize);
const SDL_VideoInfo* __real_SDL_GetVideoInfo(void);
SDL_Surface* __real_SDL_SetVideoMode(int Width, int Height, int BitsPerPixel, Uint32 Flags);
}

namespace {

bool VideoInfoOverridden = false;
std::uint32_t VideoInfoFlagWord = 0;
bool VideoInfoFails = false;
SDL_VideoInfo VideoInfoCopy;
TSimVideoRequest LastVideoRequest = {};
// A presentation choice of the launcher, like the observers: a reset leaves it alone.
std::function<SDL_Surface*(int)> OpenWindow;

} // namespace

extern "C" {

int __wrap_SDL_Init(Uint32 Flags)
{
    if ((Flags & SDL_INIT_VIDEO) && FaultActive(TFault::SdlVideo)) {
        TraceFault(TFault::SdlVideo);
        SDL_SetError("No available video device");
        return -1;
    }
    return __real_SDL_Init(Flags);
}

int __wrap_Mix_OpenAudio(int Frequency, Uint16 Format, int Channels, int ChunkSize)
{
    if (FaultActive(TFault::SdlAudio)) {
        TraceFault(TFault::SdlAudio);
        SDL_SetError("No available audio device");
        return -1;
    }
    const int Result = __real_Mix_OpenAudio(Frequency, Format, Channels, ChunkSize);
    if (Result != 0)
        return Result;
    int Rate = 0, OpenChannels = 0;
    Uint16 OpenFormat = 0;
    Mix_QuerySpec(&Rate, &OpenFormat, &OpenChannels);
    SpeakerOpened(Rate);
    // The speaker scales 16-bit stereo samples in the host's order, which is what the WAV file holds too.
    if (OpenFormat == AUDIO_S16LSB && AUDIO_S16LSB == AUDIO_S16SYS && OpenChannels == 2)
        Mix_SetPostMix(SpeakerPostMix, nullptr);
    else
        std::fprintf(stderr,
                     "brimlet-sim: the speaker plays only 16-bit stereo; audio opened as format 0x%04X with "
                     "%d channels is not scaled to the mixer level\n",
                     static_cast<unsigned>(OpenFormat), OpenChannels);
    return Result;
}

const SDL_VideoInfo* __wrap_SDL_GetVideoInfo(void)
{
    if (VideoInfoFails) {
        SDL_SetError("Video information not available");
        return nullptr;
    }
    const SDL_VideoInfo* Info = __real_SDL_GetVideoInfo();
    if (!Info || !VideoInfoOverridden)
        return Info;
    // SDL's own record stays as it is; the program sees a copy with the simulated flags.
    VideoInfoCopy = *Info;
    std::memcpy(&VideoInfoCopy, &VideoInfoFlagWord, sizeof VideoInfoFlagWord);
    return &VideoInfoCopy;
}

SDL_Surface* __wrap_SDL_SetVideoMode(int Width, int Height, int BitsPerPixel, Uint32 Flags)
{
    LastVideoRequest = {true, Width, Height, BitsPerPixel, Flags};
    if (OpenWindow)
        return OpenWindow(BitsPerPixel);
    return __real_SDL_SetVideoMode(Width, Height, BitsPerPixel, Flags);
}

} // extern "C"

void ResetSdlHooks()
{
    VideoInfoOverridden = false;
    VideoInfoFlagWord = 0;
    VideoInfoFails = false;
    LastVideoRequest = {};
    SimCloseAudioOut();
}

TSimVideoRequest SimLastVideoRequest()
{
    return LastVideoRequest;
}

void SimOverrideVideoInfo(std::uint32_t FlagWord)
{
    VideoInfoOverridden = true;
    VideoInfoFlagWord = FlagWord;
}

void SimFailVideoInfo()
{
    VideoInfoFails = true;
}

void SimSetWindowed(std::function<SDL_Surface*(int BitsPerPixel)> Open)
{
    OpenWindow = std::move(Open);
}

SDL_Surface* SimSetVideoMode(int Width, int Height, int BitsPerPixel, std::uint32_t Flags)
{
    return __real_SDL_SetVideoMode(Width, Height, BitsPerPixel, Flags);
}
