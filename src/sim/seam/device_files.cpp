#include "sim/seam/device_files.h"

#include "device/register_map.h"
#include "sim/seam/faults.h"
#include "sim/model/physical_memory.h"
#include "sim/model/speaker.h"
#include "sim/model/trace.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/mman.h>

namespace {

bool PageAligned(std::int64_t Offset)
{
    return Offset % static_cast<std::int64_t>(PageSize()) == 0;
}

// The kind of mapping that Flags asks for, shared or private, checked against the descriptor as mmap(2) checks it:
// every mapping reads the file, and a shared one that may write writes it too.
int CheckKind(int Access, int Protection, int Flags, bool& Shared)
{
    const int Kind = Flags & MAP_TYPE;
    if (Kind != MAP_SHARED && Kind != MAP_SHARED_VALIDATE && Kind != MAP_PRIVATE)
        return EINVAL;
    Shared = Kind != MAP_PRIVATE;
    const bool Reads = Access == O_RDONLY || Access == O_RDWR;
    const bool Writes = Access == O_WRONLY || Access == O_RDWR;
    if (!Reads || (Shared && (Protection & PROT_WRITE) != 0 && !Writes))
        return EACCES;
    return 0;
}

int MemoryMapping(int Access, std::size_t Length, int Protection, int Flags, std::int64_t Offset, TMapping& Mapping)
{
    if (int Error = CheckKind(Access, Protection, Flags, Mapping.Shared))
        return Error;
    if (Offset < 0 || !PageAligned(Offset))
        return EINVAL;
    TRegion Region = RegionOf(static_cast<std::uint64_t>(Offset), Length);
    if (Region == TRegion::None)
        return EINVAL;
    TFault Fault = Region == TRegion::Registers ? TFault::MemMapRegs
        : Region == TRegion::Blitter            ? TFault::MemMapBlitter
                                                : TFault::MemMapWindow;
    if (FaultActive(Fault)) {
        TraceFault(Fault);
        return ENOMEM;
    }
    Mapping.Phys = static_cast<std::uint32_t>(Offset);
    Mapping.Region = Region;
    return 0;
}

int VideoMemoryMapping(TDeviceFile File, int Access, std::size_t Length, int Protection, int Flags, std::int64_t Offset,
                       TMapping& Mapping)
{
    if (FaultActive(TFault::FbMap)) {
        TraceFault(TFault::FbMap);
        return ENOMEM;
    }
    if (int Error = CheckKind(Access, Protection, Flags, Mapping.Shared))
        return Error;
    if (Length == 0 || Offset < 0 || !PageAligned(Offset) || Length > FbLength
        || static_cast<std::uint64_t>(Offset) > FbLength - Length)
        return EINVAL;
    Mapping.Phys = (File == TDeviceFile::Fb0 ? Fb0Start : Fb1Start) + static_cast<std::uint32_t>(Offset);
    Mapping.Region = TRegion::Ram;
    return 0;
}

int ScreenInfo(TDeviceFile File, void* Argument)
{
    if (FaultActive(TFault::FbInfo)) {
        TraceFault(TFault::FbInfo);
        return EIO;
    }
    if (Argument == nullptr)
        return EFAULT;
    fb_fix_screeninfo Info;
    std::memset(&Info, 0, sizeof Info);
    std::strncpy(Info.id, File == TDeviceFile::Fb0 ? Fb0Id : Fb1Id, sizeof Info.id);
    Info.smem_start = File == TDeviceFile::Fb0 ? Fb0Start : Fb1Start;
    Info.smem_len = FbLength;
    Info.type = FB_TYPE_PACKED_PIXELS;
    Info.visual = FB_VISUAL_TRUECOLOR;
    Info.line_length = 640;
    std::memcpy(Argument, &Info, sizeof Info);
    return 0;
}

int WritePcmLevel(void* Argument)
{
    if (Argument == nullptr)
        return EFAULT;
    std::uint32_t Value = 0;
    std::memcpy(&Value, Argument, sizeof Value);
    SpeakerSetLevel(Value);
    TraceEvent("MIXER %08X", Value);
    return 0;
}

struct TDevicePath {
    const char* Path;
    TDeviceFile File;
    TFault Fault;
    int Error;
};

const TDevicePath DevicePaths[] = {
    {"/dev/mem", TDeviceFile::Mem, TFault::MemOpen, EACCES},
    {"/dev/fb/0", TDeviceFile::Fb0, TFault::Fb0Open, ENOENT},
    {"/dev/fb/1", TDeviceFile::Fb1, TFault::Fb1Open, ENOENT},
    {"/dev/mixer", TDeviceFile::Mixer, TFault::MixerOpen, ENOENT},
};

const TDevicePath* FindDevicePath(const char* Path)
{
    for (const TDevicePath& Entry : DevicePaths)
        if (std::strcmp(Path, Entry.Path) == 0)
            return &Entry;
    return nullptr;
}

} // namespace

bool IsDeviceFilePath(const char* Path)
{
    return FindDevicePath(Path) != nullptr;
}

bool DeviceFileForPath(const char* Path, TDeviceFile& File, int& Error)
{
    const TDevicePath* Entry = FindDevicePath(Path);
    if (Entry == nullptr)
        return false;
    File = Entry->File;
    Error = 0;
    if (FaultActive(Entry->Fault)) {
        TraceFault(Entry->Fault);
        Error = Entry->Error;
    }
    return true;
}

int MappingOfDeviceFile(TDeviceFile File, int Access, std::size_t Length, int Protection, int Flags,
                        std::int64_t Offset, TMapping& Mapping)
{
    Mapping.Length = Length;
    switch (File) {
    case TDeviceFile::Mem: return MemoryMapping(Access, Length, Protection, Flags, Offset, Mapping);
    case TDeviceFile::Fb0:
    case TDeviceFile::Fb1: return VideoMemoryMapping(File, Access, Length, Protection, Flags, Offset, Mapping);
    case TDeviceFile::Mixer: break;
    }
    return ENODEV;
}

int IoctlDeviceFile(TDeviceFile File, unsigned long Request, void* Argument)
{
    switch (File) {
    case TDeviceFile::Fb0:
    case TDeviceFile::Fb1:
        if (Request == FBIOGET_FSCREENINFO)
            return ScreenInfo(File, Argument);
        return EINVAL;
    case TDeviceFile::Mixer:
        if (Request == SoundMixerWritePcm)
            return WritePcmLevel(Argument);
        return EINVAL;
    case TDeviceFile::Mem: break;
    }
    return ENOTTY;
}
