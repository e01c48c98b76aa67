// The device executable's start, taken from the C library: its main runs inside the launcher's run, which reads
// brimlet-sim's options from the executable's command line ("brimlet [OPTIONS] [--] [FLAGS]") and gives the main the
// executable's name and FLAGS, as brimlet-sim gives them to its program.

#include "sim/launcher/launcher.h"
#include "sim/preload/trap.h"

#include <dlfcn.h>
#include <unistd.h>

namespace {

using TMain = int(int, char**, char**);
using TStart = int(TMain*, int, char**, void (*)(), void (*)(), void (*)(), void*);

TMain* ExecutableMain = nullptr;

int RunExecutable(int ArgumentCount, char** Arguments)
{
    TrapRegisterAccesses();
    return ExecutableMain(ArgumentCount, Arguments, environ);
}

int RunOnDevice(int ArgumentCount, char** Arguments, char**)
{
    // The library, libbrimlet-device.so, names itself and the command that preloads it.
    return RunLauncher(ArgumentCount, Arguments, RunExecutable,
                       {"scripts/device-run", "brimlet-device", "the device executable"});
}

} // namespace

extern "C" int __libc_start_main(TMain* Main, int ArgumentCount, char** Arguments, void (*Init)(), void (*Fini)(),
                                 void (*LoaderFini)(), void* StackEnd)
{
    ExecutableMain = Main;
    auto* Start = reinterpret_cast<TStart*>(dlsym(RTLD_NEXT, "__libc_start_main"));
    return Start(RunOnDevice, ArgumentCount, Arguments, Init, Fini, LoaderFini, StackEnd);
}
