// The simulated device's side of SDL. The simulator defines SDL_Init, Mix_OpenAudio, SDL_GetVideoInfo and
// SDL_SetVideoMode under their own names, so that it stands where the device's environment differs from the host's:
// a missing video or audio device, the video information, the mode request and the speaker. The executable's
// definitions come first in the dynamic linker's search, so they take the program's calls and the libraries' alike
// (the same holds for a library preloaded into another executable); the real entry points are the next definitions
// of the same names.

#include "sim/sdl_hooks.h"

#include "sim/faults.h"
#include "sim/control.h"
#include "sim/probes.h"
#include "sim/speaker.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <cstring>
#include <functional>
#include <utility>

namespace {

// The definition of Name that the dynamic linker finds after ours. Without one, the library is missing from the
// process and nothing could run; that is a broken installation, not a failure the program could report.
template <typename TFunction>
TFunction* RealFunction(TFunction*, const char* Name)
{
    void* Found = dlsym(RTLD_NEXT, Name);
    if (Found == nullptr) {
        std::fprintf(stderr, "brimlet-sim: %s not found after the simulator's own: %s\n", Name, dlerror());
        std::abort();
    }
    return reinterpret_cast<TFunction*>(Found);
}

bool VideoInfoOverridden = false;
std::uint32_t VideoInfoFlagWord = 0;
bool VideoInfoFails = false;
SDL_VideoInfo VideoInfoCopy;
TSimVideoRequest LastVideoRequest = {};
// A presentation choice of the launcher, like the observers: a reset leaves it alone.
std::function<SDL_Surface*(int)> OpenWindow;

} // namespace

extern "C" {

int SDL_Init(Uint32 Flags)
{
    static auto* const Real = RealFunction(&SDL_Init, "SDL_Init");
    if ((Flags & SDL_INIT_VIDEO) && FaultActive(TFault::SdlVideo)) {
        TraceFault(TFault::SdlVideo);
        SDL_SetError("No available video device");
        return -1;
    }
    return Real(Flags);
}

int Mix_OpenAudio(int Frequency, Uint16 Format, int Channels, int ChunkSize)
{
    static auto* const Real = RealFunction(&Mix_OpenAudio, "Mix_OpenAudio");
    if (FaultActive(TFault::SdlAudio)) {
        TraceFault(TFault::SdlAudio);
        SDL_SetError("No available audio device");
        return -1;
    }
    const int Result = Real(Frequency, Format, Channels, ChunkSize);
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

const SDL_VideoInfo* SDL_GetVideoInfo(void)
{
    static auto* const Real = RealFunction(&SDL_GetVideoInfo, "SDL_GetVideoInfo");
    if (VideoInfoFails) {
        SDL_SetError("Video information not available");
        return nullptr;
    }
    const SDL_VideoInfo* Info = Real();
    if (!Info || !VideoInfoOverridden)
        return Info;
    // SDL's own record stays as it is; the program sees a copy with the simulated flags.
    VideoInfoCopy = *Info;
    std::memcpy(&VideoInfoCopy, &VideoInfoFlagWord, sizeof VideoInfoFlagWord);
    return &VideoInfoCopy;
}

SDL_Surface* SDL_SetVideoMode(int Width, int Height, int BitsPerPixel, Uint32 Flags)
{
    static auto* const Real = RealFunction(&SDL_SetVideoMode, "SDL_SetVideoMode");
    LastVideoRequest = {true, Width, Height, BitsPerPixel, Flags};
    if (OpenWindow)
        return OpenWindow(BitsPerPixel);
    return Real(Width, Height, BitsPerPixel, Flags);
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
    static auto* const Real = RealFunction(&SDL_SetVideoMode, "SDL_SetVideoMode");
    return Real(Width, Height, BitsPerPixel, Flags);
}
