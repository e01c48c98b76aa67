// The simulated device's side of SDL. The build wraps SDL_Init, Mix_OpenAudio, SDL_GetVideoInfo and
// SDL_SetVideoMode so that the simulator can stand where the device's environment differs from the host's.

#include "sim/sdl_hooks.h"

#include "sim/sim.h"

#include <SDL.h>
#include <SDL_mixer.h>

namespace {

bool VideoInfoOverridden = false;
std::uint32_t VideoInfoFlagWord = 0;
bool VideoInfoFails = false;
TSimVideoRequest LastVideoRequest = {};
bool Windowed = false;

} // namespace

void SimResetSdl()
{
    VideoInfoOverridden = false;
    VideoInfoFlagWord = 0;
    VideoInfoFails = false;
    LastVideoRequest = {};
    Windowed = false;
}
