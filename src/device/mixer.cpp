#include "device/mixer.h"

#include <fcntl.h>

#include "device/register_map.h"
#include "platform/platform.h"

void SetVolume(std::uint16_t Level)
{
    const int Handle = PlatformOpen("/dev/mixer", O_RDWR);
    if (Handle < 0)
        return;
    // Left level in bits 0-7, right in bits 8-15; the level the driver writes back is of no interest.
    std::int32_t Argument = (Level | (Level << 8)) & 0xFFFF;
    PlatformIoctl(Handle, SoundMixerWritePcm, &Argument);
    PlatformClose(Handle);
}
