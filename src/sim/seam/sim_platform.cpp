// The simulated device's implementation of the platform seam. The device files get descriptors of their own; every
// other path, descriptor and address goes to the host as the device's implementation would send it.

#include "platform/platform.h"

#include "device/register_map.h"
#include "sim/model/blitter_registers.h"
#include "sim/seam/device_files.h"
#include "sim/seam/faults.h"
#include "sim/model/physical_memory.h"
#include "sim/model/register_block.h"
#include "sim/probes.h"
#include "sim/seam/sim_platform.h"
#include "sim/model/trace.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <vector>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct TOpenFile {
    TDeviceFile File;
    int Access; // O_RDONLY, O_WRONLY or O_RDWR
};

// Each simulated descriptor is a real descriptor of /dev/null, held while it is open, so that its number never
// collides with the descriptors of SDL, the log file or the host.
std::map<int, TOpenFile> OpenFiles;
// The live mappings of the device files. A mapping outlives its descriptor, as on the device.
std::vector<TMapping> Mappings;
int LastError = 0;

int Fail(int Error)
{
    LastError = Error;
    return -1;
}

void* FailMap(int Error)
{
    LastError = Error;
    return MAP_FAILED;
}

TOpenFile* FindFile(int Handle)
{
    auto Found = OpenFiles.find(Handle);
    return Found == OpenFiles.end() ? nullptr : &Found->second;
}

// Host addresses [Start, End).
struct THostRange {
    std::uintptr_t Start;
    std::uintptr_t End;
};

// The whole pages that Length bytes at Host cover, which is what mmap(2) and munmap(2) take.
THostRange PagesOf(const void* Host, std::size_t Length)
{
    const std::size_t Page = PageSize();
    const auto Start = reinterpret_cast<std::uintptr_t>(Host);
    return {Start, Start + (Length + Page - 1) / Page * Page};
}

// The host has just mapped or unmapped Range: the mappings it overlapped are no longer live. One that lay wholly in
// an unmapped range is traced; what is left of one it overlapped in part no longer reaches the device.
void ForgetMappings(THostRange Range, bool Unmapped)
{
    for (auto Mapping = Mappings.begin(); Mapping != Mappings.end();) {
        const THostRange View = PagesOf(Mapping->Host, Mapping->Length);
        if (View.Start >= Range.End || View.End <= Range.Start) {
            ++Mapping;
            continue;
        }
        if (Unmapped && View.Start >= Range.Start && View.End <= Range.End)
            TraceEvent("UNMAP %08X %08zX", Mapping->Phys, Mapping->Length);
        Mapping = Mappings.erase(Mapping);
    }
}

// The shared mapping of the register block or the blitter window that holds Address, and the physical address
// there: those are reached through the seam alone.
const TMapping* DeviceMappingAt(const volatile void* Address, std::uint32_t& Phys)
{
    const auto Host = reinterpret_cast<std::uintptr_t>(Address);
    for (const TMapping& Mapping : Mappings) {
        const auto Start = reinterpret_cast<std::uintptr_t>(Mapping.Host);
        if (Mapping.Shared && Mapping.Region != TRegion::Ram && Host >= Start && Host - Start < Mapping.Length) {
            Phys = Mapping.Phys + static_cast<std::uint32_t>(Host - Start);
            return &Mapping;
        }
    }
    return nullptr;
}

} // namespace

int PlatformOpen(const char* Path, int Flags)
{
    TDeviceFile File;
    int Error = 0;
    if (!DeviceFileForPath(Path, File, Error)) {
        int Handle = ::open(Path, Flags);
        return Handle < 0 ? Fail(errno) : Handle;
    }
    if (Error != 0)
        return Fail(Error);
    int Handle = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (Handle < 0)
        return Fail(errno);
    OpenFiles[Handle] = TOpenFile{File, Flags & O_ACCMODE};
    TraceEvent("OPEN %s %d", Path, Handle);
    return Handle;
}

int PlatformClose(int Handle)
{
    TOpenFile* Open = FindFile(Handle);
    if (Open == nullptr)
        return ::close(Handle) < 0 ? Fail(errno) : 0;
    bool FailClose = Open->File == TDeviceFile::Mem && FaultActive(TFault::MemClose);
    // As on Linux, a close that reports an error has released the descriptor all the same.
    OpenFiles.erase(Handle);
    ::close(Handle);
    TraceEvent("CLOSE %d", Handle);
    if (FailClose) {
        TraceFault(TFault::MemClose);
        return Fail(EIO);
    }
    return 0;
}

void* PlatformMap(void* Address, std::size_t Length, int Protection, int Flags, int Handle, std::int64_t Offset)
{
    TOpenFile* Open = FindFile(Handle);
    // An anonymous mapping ignores the descriptor.
    if (Open == nullptr || (Flags & MAP_ANONYMOUS) != 0) {
        void* Mapped = ::mmap(Address, Length, Protection, Flags, Handle, static_cast<off_t>(Offset));
        if (Mapped == MAP_FAILED)
            return FailMap(errno);
        ForgetMappings(PagesOf(Mapped, Length), false);
        return Mapped;
    }
    TMapping Mapping{};
    int Error = MappingOfDeviceFile(Open->File, Open->Access, Length, Protection, Flags, Offset, Mapping);
    if (Error == 0)
        Error = MapPhysical(Mapping, Address, Protection, Flags);
    if (Error != 0)
        return FailMap(Error);
    ForgetMappings(PagesOf(Mapping.Host, Length), false);
    Mappings.push_back(Mapping);
    TraceEvent("MAP %d %08llX %08zX", Handle, static_cast<unsigned long long>(Offset), Length);
    return Mapping.Host;
}

int PlatformUnmap(void* Address, std::size_t Length)
{
    if (::munmap(Address, Length) < 0)
        return Fail(errno);
    ForgetMappings(PagesOf(Address, Length), true);
    return 0;
}

int PlatformIoctl(int Handle, unsigned long Request, void* Argument)
{
    TOpenFile* Open = FindFile(Handle);
    if (Open == nullptr) {
        int Result = ::ioctl(Handle, Request, Argument);
        return Result < 0 ? Fail(errno) : Result;
    }
    TraceEvent("IOCTL %d %08lX", Handle, Request);
    const int Error = IoctlDeviceFile(Open->File, Request, Argument);
    return Error != 0 ? Fail(Error) : 0;
}

int PlatformLastError()
{
    return LastError;
}

namespace {

// The seam only routes an access to the bank its mapping shows, which takes it or finds it stray; every other
// address is memory.
template <typename TWord>
TWord Load(const volatile TWord* Address)
{
    std::uint32_t Phys = 0;
    const TMapping* Mapping = DeviceMappingAt(Address, Phys);
    if (Mapping == nullptr)
        return *Address;
    return Mapping->Region == TRegion::Registers ? LoadRegisterBlock<TWord>(Phys - RegisterBlockPhys)
                                                 : LoadBlitter<TWord>(Phys - BlitterWindowPhys);
}

template <typename TWord>
void Store(volatile TWord* Address, TWord Value)
{
    std::uint32_t Phys = 0;
    const TMapping* Mapping = DeviceMappingAt(Address, Phys);
    if (Mapping == nullptr)
        *Address = Value;
    else if (Mapping->Region == TRegion::Registers)
        StoreRegisterBlock(Phys - RegisterBlockPhys, Value);
    else
        StoreBlitter(Phys - BlitterWindowPhys, Value);
}

} // namespace

std::uint16_t PlatformLoad16(const volatile std::uint16_t* Address)
{
    return Load(Address);
}

void PlatformStore16(volatile std::uint16_t* Address, std::uint16_t Value)
{
    Store(Address, Value);
}

std::uint32_t PlatformLoad32(const volatile std::uint32_t* Address)
{
    return Load(Address);
}

void PlatformStore32(volatile std::uint32_t* Address, std::uint32_t Value)
{
    Store(Address, Value);
}

bool IsDeviceRegisterAddress(const volatile void* Address)
{
    std::uint32_t Phys = 0;
    return DeviceMappingAt(Address, Phys) != nullptr;
}

bool IsDeviceDescriptor(int Handle)
{
    return FindFile(Handle) != nullptr;
}

void ResetDescriptors()
{
    for (const auto& Entry : OpenFiles)
        ::close(Entry.first);
    OpenFiles.clear();
    for (const TMapping& Mapping : Mappings)
        ::munmap(Mapping.Host, Mapping.Length);
    Mappings.clear();
    LastError = 0;
}

int SimOpenDeviceFiles()
{
    return static_cast<int>(OpenFiles.size());
}
