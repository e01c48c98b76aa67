#include "app/test_program.h"

#include "app/clean_up_scope.h"
#include "app/main_loop.h"
#include "app/program_state.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "device/register_window.h"
#include "device/video.h"
#include "runtime/console.h"

namespace {

void ShowVideo()
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
        RunGuarded(ShowVideo, [] { CloseVideo(); });
    UnmapMemoryWindow();
    return true;
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
