#pragma once
// The launcher's run: its options and script, the simulated device prepared as they ask, the program run on it, and
// the launcher's own outputs finished. brimlet-sim runs the test program linked into it; the device library runs the
// device executable's own main.

#include "sim/launcher/options.h"

// Arguments are the launcher's command line ("NAME [OPTIONS] [--] [FLAGS]"); Program is called with NAME and FLAGS
// once the device is ready. Names are those of --help and --version. Returns the run's exit status.
int RunLauncher(int ArgumentCount, char** Arguments, int (*Program)(int ArgumentCount, char** Arguments),
                const TLauncherName& Names);
