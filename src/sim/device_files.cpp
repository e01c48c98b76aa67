#include "sim/device_files.h"

#include "device/register_map.h"
#include "sim/faults.h"
#include "sim/physical_memory.h"
#include "sim/trace.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <linux/fb.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Read on the audio thread by the speaker, written on the program's thread.
std::atomic<std::uint32_t> PcmArgument{0};

bool PageAligned(std::int64_t Offset)
{
    return Offset % sysconf(_SC_PAGESIZE) == 0;
}

TFileResult Failed(int Error)
{
    return {Error, MAP_FAILED};
}

TFileResult MapMemory(bool Writable, std::size_t Length, int Protection, std::int64_t Offset)
{
    if ((Protection & PROT_WRITE) != 0 && !Writable)
        return Failed(EACCES);
    if (Offset < 0 || !PageAligned(Offset))
        return Failed(EINVAL);
    TRegion Region = RegionOf(static_cast<std::uint64_t>(Offset), Length);
    if (Region == TRegion::None)
        return Failed(EINVAL);
    TFault Fault = Region == TRegion::Registers ? TFault::MemMapRegs
        : Region == TRegion::Blitter            ? TFault::MemMapBlitter
                                                : TFault::MemMapWindow;
    if (FaultActive(Fault)) {
        TraceFault(Fault);
        return Failed(ENOMEM);
    }
    return {0, RegionHostAddress(Region, static_cast<std::uint64_t>(Offset))};
}

TFileResult MapVideoMemory(TDeviceFile File, bool Writable, std::size_t Length, int Protection, std::int64_t Offset)
{
    if (FaultActive(TFault::FbMap)) {
        TraceFault(TFault::FbMap);
        return Failed(ENOMEM);
    }
    if ((Protection & PROT_WRITE) != 0 && !Writable)
        return Failed(EACCES);
    if (Length == 0 || Offset < 0 || !PageAligned(Offset) || Length > FbLength
        || static_cast<std::uint64_t>(Offset) > FbLength - Length)
        return Failed(EINVAL);
    std::uint32_t Start = File == TDeviceFile::Fb0 ? Fb0Start : Fb1Start;
    return {0, RamBase() + Start + Offset};
}

TFileResult ScreenInfo(TDeviceFile File, void* Argument)
{
    if (FaultActive(TFault::FbInfo)) {
        TraceFault(TFault::FbInfo);
        return Failed(EIO);
    }
    if (Argument == nullptr)
        return Failed(EFAULT);
    fb_fix_screeninfo Info;
    std::memset(&Info, 0, sizeof Info);
    std::strncpy(Info.id, File == TDeviceFile::Fb0 ? Fb0Id : Fb1Id, sizeof Info.id);
    Info.smem_start = File == TDeviceFile::Fb0 ? Fb0Start : Fb1Start;
    Info.smem_len = FbLength;
    Info.type = FB_TYPE_PACKED_PIXELS;
    Info.visual = FB_VISUAL_TRUECOLOR;
    Info.line_length = 640;
    std::memcpy(Argument, &Info, sizeof Info);
    return {0, nullptr};
}

TFileResult WritePcmLevel(void* Argument)
{
    if (Argument == nullptr)
        return Failed(EFAULT);
    std::uint32_t Value = 0;
    std::memcpy(&Value, Argument, sizeof Value);
    PcmArgument.store(Value);
    TraceEvent("MIXER %08X", Value);
    return {0, nullptr};
}

} // namespace

bool DeviceFileForPath(const char* Path, TDeviceFile& File, int& Error)
{
    struct TPath {
        const char* Path;
        TDeviceFile File;
        TFault Fault;
        int Error;
    };
    static const TPath Paths[] = {
        {"/dev/mem", TDeviceFile::Mem, TFault::MemOpen, EACCES},
        {"/dev/fb/0", TDeviceFile::Fb0, TFault::Fb0Open, ENOENT},
        {"/dev/fb/1", TDeviceFile::Fb1, TFault::Fb1Open, ENOENT},
        {"/dev/mixer", TDeviceFile::Mixer, TFault::MixerOpen, ENOENT},
    };
    for (const TPath& Entry : Paths)
        if (std::strcmp(Path, Entry.Path) == 0) {
            File = Entry.File;
            Error = 0;
            if (FaultActive(Entry.Fault)) {
                TraceFault(Entry.Fault);
                Error = Entry.Error;
            }
            return true;
        }
    return false;
}

TFileResult MapDeviceFile(TDeviceFile File, bool Writable, std::size_t Length, int Protection, std::int64_t Offset)
{
    switch (File) {
    case TDeviceFile::Mem: return MapMemory(Writable, Length, Protection, Offset);
    case TDeviceFile::Fb0:
    case TDeviceFile::Fb1: return MapVideoMemory(File, Writable, Length, Protection, Offset);
    case TDeviceFile::Mixer: break;
    }
    return Failed(ENODEV);
}

TFileResult IoctlDeviceFile(TDeviceFile File, unsigned long Request, void* Argument)
{
    switch (File) {
    case TDeviceFile::Fb0:
    case TDeviceFile::Fb1:
        if (Request == FBIOGET_FSCREENINFO)
            return ScreenInfo(File, Argument);
        return Failed(EINVAL);
    case TDeviceFile::Mixer:
        if (Request == SoundMixerWritePcm)
            return WritePcmLevel(Argument);
        return Failed(EINVAL);
    case TDeviceFile::Mem: break;
    }
    return Failed(ENOTTY);
}

std::uint32_t MixerArgument()
{
    return PcmArgument.load();
}

void ResetMixer()
{
    PcmArgument.store(0);
}
