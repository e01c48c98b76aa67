// The simulated device's implementation of the platform seam. The device files get descriptors of their own; every
// other path, descriptor and address goes to the host as the device's implementation would send it.

#include "platform/platform.h"

#include "device/register_map.h"
#include "sim/blitter_registers.h"
#include "sim/device_files.h"
#include "sim/faults.h"
#include "sim/physical_memory.h"
#include "sim/register_block.h"
#include "sim/probes.h"
#include "sim/sim_platform.h"
#include "sim/trace.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct TOpenFile {
    TDeviceFile File;
    bool Writable;
};

// Each simulated descriptor is a real descriptor of /dev/null, held while it is open, so that its number never
// collides with the descriptors of SDL, the log file or the host.
std::map<int, TOpenFile> OpenFiles;
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

// The byte offset of Address in Block's host storage of Size bytes, when it lies there.
bool OffsetIn(const volatile void* Address, const void* Block, std::uint32_t Size, std::uint32_t& Offset)
{
    auto Host = reinterpret_cast<std::uintptr_t>(Address);
    auto Base = reinterpret_cast<std::uintptr_t>(Block);
    if (Host < Base || Host - Base >= Size)
        return false;
    Offset = static_cast<std::uint32_t>(Host - Base);
    return true;
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
    OpenFiles[Handle] = TOpenFile{File, (Flags & O_ACCMODE) != O_RDONLY};
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
    if (Open == nullptr) {
        void* Mapped = ::mmap(Address, Length, Protection, Flags, Handle, static_cast<off_t>(Offset));
        return Mapped == MAP_FAILED ? FailMap(errno) : Mapped;
    }
    TFileResult Result = MapDeviceFile(Open->File, Open->Writable, Length, Protection, Offset);
    if (Result.Error != 0)
        return FailMap(Result.Error);
    TraceEvent("MAP %d %08llX %08zX", Handle, static_cast<unsigned long long>(Offset), Length);
    return Result.Address;
}

int PlatformUnmap(void* Address, std::size_t Length)
{
    // The simulated device's memory stays where it is: its mappings are views of it.
    if (IsSimulatedHostAddress(Address))
        return 0;
    return ::munmap(Address, Length) < 0 ? Fail(errno) : 0;
}

int PlatformIoctl(int Handle, unsigned long Request, void* Argument)
{
    TOpenFile* Open = FindFile(Handle);
    if (Open == nullptr) {
        int Result = ::ioctl(Handle, Request, Argument);
        return Result < 0 ? Fail(errno) : Result;
    }
    TraceEvent("IOCTL %d %08lX", Handle, Request);
    TFileResult Result = IoctlDeviceFile(Open->File, Request, Argument);
    return Result.Error != 0 ? Fail(Result.Error) : 0;
}

int PlatformLastError()
{
    return LastError;
}

// The register block is a 16-bit bus and the blitter window a 32-bit one: an access of the other width there
// reaches the plain storage, with no side effect and no trace, as it does anywhere else.
std::uint16_t PlatformLoad16(const volatile std::uint16_t* Address)
{
    std::uint32_t Offset = 0;
    if (OffsetIn(Address, RegisterBlockHost(), RegisterBlockSize, Offset))
        return LoadRegister16(Offset);
    return *Address;
}

void PlatformStore16(volatile std::uint16_t* Address, std::uint16_t Value)
{
    std::uint32_t Offset = 0;
    if (OffsetIn(Address, RegisterBlockHost(), RegisterBlockSize, Offset))
        StoreRegister16(Offset, Value);
    else
        *Address = Value;
}

std::uint32_t PlatformLoad32(const volatile std::uint32_t* Address)
{
    std::uint32_t Offset = 0;
    if (OffsetIn(Address, BlitterWindowHost(), BlitterWindowSize, Offset))
        return LoadBlitter32(Offset);
    return *Address;
}

void PlatformStore32(volatile std::uint32_t* Address, std::uint32_t Value)
{
    std::uint32_t Offset = 0;
    if (OffsetIn(Address, BlitterWindowHost(), BlitterWindowSize, Offset))
        StoreBlitter32(Offset, Value);
    else
        *Address = Value;
}

void ResetDescriptors()
{
    for (const auto& Entry : OpenFiles)
        ::close(Entry.first);
    OpenFiles.clear();
    LastError = 0;
}

int SimOpenDeviceFiles()
{
    return static_cast<int>(OpenFiles.size());
}
