// brimlet-sim: runs the test program on the simulated device.

#include "app/run_frame.h"
#include "app/test_program.h"
#include "sim/launcher/installed_folders.h"
#include "sim/launcher/launcher.h"

int main(int ArgumentCount, char** Arguments)
{
    UseInstalledFolders();
    return RunLauncher(
        ArgumentCount, Arguments, [](int Count, char** Values) { return RunApplication(Count, Values, TestProgram); },
        BrimletSimName);
}
