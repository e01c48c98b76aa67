#include "app/test_program.h"

#include "app/clean_up_scope.h"
#include "app/main_loop.h"
#include "app/program_state.h"
#include "app/startup.h"
#include "device/register_window.h"
#include "device/video.h"
#include "media/music.h"
#include "platform/platform.h"
#include "runtime/console.h"

#include <SDL.h>

namespace {

// Reports the video set up, then runs the frame loop until the exit button.
void ReportVideoAndRunLoop()
{
    WriteLine("");
    WriteLine("Video done");
    WriteLine("");
    MainLoop();
}

// Everything between acquiring the register window and the final line. False when a start-up step failed and its
// line is the last the program prints.
bool RunWithRegisterWindow()
{
    if (!StartUp())
        return false;
    // Without video there is no loop, but the end is still the ordinary one.
    if (InitVideo(320, 240, 16))
        RunGuarded(ReportVideoAndRunLoop, [] { CloseVideo(); });
    // Only the ordinary end gives the memory window back; the process ends right after the others.
    PlatformUnmap(MemoryBase, MemorySize);
    return true;
}

// The outer clean-up, however the start-up or the frame loop was left: the music (halted if it plays) before SDL
// stops its audio thread, so that the mixer never plays released music; SDL when it was started; the start-up's
// reference on the register window.
void ReleaseStartUp()
{
    if (Music != nullptr)
        FreeMusic(Music);
    if (ScreenSurface != nullptr)
        SDL_Quit();
    CloseMemory();
}

} // namespace

void TestProgram()
{
    WriteLine("test program brimlet started ....");
    // From here on these three tell the shutdown what was started and must be released.
    ImageSurface = nullptr;
    Music = nullptr;
    ScreenSurface = nullptr;

    if (!OpenMemory()) {
        WriteLine("program terminated");
        return;
    }
    bool OrdinaryEnd = false;
    RunGuarded([&OrdinaryEnd] { OrdinaryEnd = RunWithRegisterWindow(); }, ReleaseStartUp);
    if (OrdinaryEnd)
        WriteLine("program terminated");
}
