// SDL's millisecond clock as the program reads it. In fast time it is device time, so that what the program derives
// from it (its frames-per-second line) is the same in every run, as the pictures are; in modelled time, and on
// SDL's own threads (SDL_mixer reads the clock on the audio thread), it is SDL's. Defined under SDL's name, as the
// other SDL entry points the simulator stands in front of.

#include "sim/device_time.h"

#include <SDL.h>
#include <dlfcn.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The program runs on the process's first thread, whose thread id is the process id.
bool OnProgramThread()
{
    return syscall(SYS_gettid) == getpid();
}

} // namespace

extern "C" Uint32 SDL_GetTicks(void)
{
    static auto* const Real = reinterpret_cast<Uint32 (*)(void)>(dlsym(RTLD_NEXT, "SDL_GetTicks"));
    if (FastTime() && OnProgramThread())
        return static_cast<Uint32>(DeviceNow() / (NanosecondsPerSecond / 1000));
    return Real();
}
