// A fresh simulated device.

#include "sim/blitter_registers.h"
#include "sim/device_time.h"
#include "sim/display.h"
#include "sim/faults.h"
#include "sim/input_panel.h"
#include "sim/physical_memory.h"
#include "sim/register_block.h"
#include "sim/sdl_hooks.h"
#include "sim/control.h"
#include "sim/sim_platform.h"
#include "sim/snapshot.h"
#include "sim/speaker.h"
#include "sim/stray.h"
#include "sim/trace.h"

// The clock first, since the devices that change with time subscribe to it at their reset, in the order they
// catch up: the blitter, the display, the speaker.
void SimReset()
{
    ResetDeviceTime();
    ResetTrace();
    ResetDescriptors();
    ClearRam();
    ResetRegisterBlock();
    ResetBlitter();
    ResetDisplay();
    ResetInputPanel();
    ResetSpeaker();
    ResetFaults();
    ResetStrays();
    ResetSdlHooks();
    ResetSnapshots();
    SimCloseAudioOut();
}
