// A fresh simulated device.

#include "sim/model/blitter_registers.h"
#include "sim/model/device_events.h"
#include "sim/model/device_time.h"
#include "sim/model/display.h"
#include "sim/seam/faults.h"
#include "sim/model/input_panel.h"
#include "sim/model/physical_memory.h"
#include "sim/model/register_block.h"
#include "sim/seam/sdl_hooks.h"
#include "sim/control.h"
#include "sim/seam/sim_platform.h"
#include "sim/capture/snapshot.h"
#include "sim/model/speaker.h"
#include "sim/model/stray.h"
#include "sim/model/trace.h"

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
    ResetDeviceEvents();
    ResetSdlHooks();
    ResetSnapshots();
    SimCloseAudioOut();
    SimCloseTimeline();
}
