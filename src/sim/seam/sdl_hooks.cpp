// The simulated device's side of SDL. The simulator defines SDL_Init, Mix_OpenAudio, SDL_GetVideoInfo,
// SDL_SetVideoMode, SDL_DisplayFormat, the audio device's opening and closing and SDL_GetTicks under their own names,
// so that it stands where the device's environment differs from the host's: a missing video or audio device, the video
// information, the mode request, the speaker and the clock. The executable's definitions come first in the dynamic
// linker's search, so they take the program's calls and the libraries' alike (the same holds for a library preloaded
// into another executable); the real entry points are the next definitions of the same names.

#include "sim/seam/sdl_hooks.h"

#include "sim/model/device_time.h"
#include "sim/seam/faults.h"
#include "sim/control.h"
#include "sim/probes.h"
#include "sim/model/speaker.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <cstring>
#include <functional>
#include <thread>
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
// The thread that reset the device, which runs the program.
std::thread::id DeviceThread;
// A presentation choice of the launcher, like the observers: a reset leaves it alone.
std::function<SDL_Surface*(int)> OpenWindow;
// The program's screen surface that the windowed answer gave, whose format its images take.
SDL_Surface* ProgramScreen = nullptr;

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
    return Real(Frequency, Format, Channels, ChunkSize);
}

// SDL_mixer opens the audio device with its mixing callback; the speaker takes the callback and calls it in device
// time, and SDL's audio thread plays what that made.
int SDL_OpenAudio(SDL_AudioSpec* Desired, SDL_AudioSpec* Obtained)
{
    static auto* const Real = RealFunction(&SDL_OpenAudio, "SDL_OpenAudio");
    SDL_AudioSpec Ours = *Desired;
    Ours.callback = SpeakerPlayback;
    Ours.userdata = nullptr;
    const int Result = Real(&Ours, Obtained);
    if (Result < 0)
        return Result;
    // Without Obtained, SDL converts to the format asked for and fills in the desired record's sizes.
    if (Obtained == nullptr) {
        Desired->size = Ours.size;
        Desired->silence = Ours.silence;
    }
    SpeakerOpened(Obtained != nullptr ? *Obtained : Ours, Desired->callback, Desired->userdata);
    return Result;
}

// The audio device closes by any of three ways: SDL_mixer closes it itself, and SDL's quit functions close it
// inside SDL, where no call of ours sees it. The speaker mixes what is due first and never mixes after.
void SDL_CloseAudio(void)
{
    static auto* const Real = RealFunction(&SDL_CloseAudio, "SDL_CloseAudio");
    SpeakerClosed();
    Real();
}

void SDL_QuitSubSystem(Uint32 Flags)
{
    static auto* const Real = RealFunction(&SDL_QuitSubSystem, "SDL_QuitSubSystem");
    if (Flags & SDL_INIT_AUDIO)
        SpeakerClosed();
    Real(Flags);
}

void SDL_Quit(void)
{
    static auto* const Real = RealFunction(&SDL_Quit, "SDL_Quit");
    SpeakerClosed();
    Real();
}

// The program's ticks, and SDL_mixer's, are device time, so that a fast run counts its frame rate as the device
// would and does the same in every run. Other threads (SDL's own) keep the host's clock.
Uint32 SDL_GetTicks(void)
{
    static auto* const Real = RealFunction(&SDL_GetTicks, "SDL_GetTicks");
    if (std::this_thread::get_id() != DeviceThread)
        return Real();
    return static_cast<Uint32>(DeviceNow() / (NanosecondsPerSecond / 1000));
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
        return ProgramScreen = OpenWindow(BitsPerPixel);
    return Real(Width, Height, BitsPerPixel, Flags);
}

// In a window, the program's images take the format of its own screen surface, not the window's, as SDL's own would
// take the screen's.
SDL_Surface* SDL_DisplayFormat(SDL_Surface* Surface)
{
    static auto* const Real = RealFunction(&SDL_DisplayFormat, "SDL_DisplayFormat");
    if (ProgramScreen == nullptr || SDL_GetVideoSurface() == nullptr)
        return Real(Surface);
    return SDL_ConvertSurface(Surface, ProgramScreen->format,
                              SDL_SWSURFACE | (Surface->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA | SDL_RLEACCELOK)));
}

} // extern "C"

void ResetSdlHooks()
{
    VideoInfoOverridden = false;
    VideoInfoFlagWord = 0;
    VideoInfoFails = false;
    LastVideoRequest = {};
    ProgramScreen = nullptr;
    DeviceThread = std::this_thread::get_id();
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
