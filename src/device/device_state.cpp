#include "device/device_state.h"

#include "device/register_window.h"
#include "device/video_pages.h"

void DeviceInitialization()
{
    MemoryRefCount = 0;
    MemHandle = -1;
    Regs16 = nullptr;
    BlitRegs = nullptr;
    ResetVideoPages();
}
