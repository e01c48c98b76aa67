// A fresh simulated device.

#include "sim/blitter_registers.h"
#include "sim/device_files.h"
#include "sim/device_time.h"
#include "sim/display.h"
#include "sim/faults.h"
#include "sim/input_panel.h"
#include "sim/physical_memory.h"
#include "sim/register_block.h"
#include "sim/sdl_hooks.h"
#include "sim/control.h"
#include "sim/sim_platform.h"
#include "sim/stray.h"
#include "sim/trace.h"

void SimReset()
{
    ResetTrace();
    ResetDescriptors();
    ClearRam();
    ResetRegisterBlock();
    ResetBlitter();
    ResetDisplay();
    ResetInputPanel();
    ResetMixer();
    ResetFaults();
    ResetStrays();
    ResetDeviceTime();
    ResetSdlHooks();
}
