#include "app/shutdown.h"

#include "app/program_state.h"
#include "device/register_window.h"
#include "media/music.h"
#include "platform/platform.h"

#include <SDL.h>

// The music is released before SDL stops its audio thread, so that the mixer never plays released music.
void ReleaseStartUp()
{
    if (Music != nullptr)
        FreeMusic(Music);
    if (ScreenSurface != nullptr)
        SDL_Quit();
    CloseMemory();
}

void UnmapMemoryWindow()
{
    PlatformUnmap(MemoryBase, MemorySize);
}
