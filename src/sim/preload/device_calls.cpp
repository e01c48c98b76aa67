// The device executable's calls on the device files, taken from the C library: /dev/mem, /dev/fb/0, /dev/fb/1 and
// /dev/mixer are opened, mapped, queried and closed on the simulated device through its seam, as brimlet-sim's
// program reaches them; every other path, descriptor and mapping goes to the host's own call. The model runs one
// call at a time, whichever thread makes it, and its own calls on the host go straight there.

#include "platform/platform.h"
#include "sim/seam/device_files.h"
#include "sim/seam/sim_platform.h"

#include <cerrno>
#include <cstdarg>
#include <mutex>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

std::mutex ModelLock;
// Set while this thread is inside the model, whose own calls on the host pass through the calls below.
thread_local bool InModel = false;

// Holds the model for one call.
class TModelCall {
public:
    TModelCall() : Hold(ModelLock) { InModel = true; }
    ~TModelCall() { InModel = false; }

private:
    std::lock_guard<std::mutex> Hold;
};

template <typename TFunction>
TFunction* Host(const char* Name)
{
    return reinterpret_cast<TFunction*>(dlsym(RTLD_NEXT, Name));
}

// The seam's failure as the C library reports one: the result, with errno set.
template <typename TResult>
TResult Reported(TResult Result, bool Failed)
{
    if (Failed)
        errno = PlatformLastError();
    return Result;
}

int OpenOnDevice(const char* Path, int Flags)
{
    TModelCall Call;
    const int Handle = PlatformOpen(Path, Flags);
    return Reported(Handle, Handle < 0);
}

bool ForDevice(const char* Path)
{
    return !InModel && IsDeviceFilePath(Path);
}

// The mode that follows the flags of a call that may create a file.
mode_t ModeOf(int Flags, va_list Arguments)
{
    return (Flags & O_CREAT) != 0 || (Flags & O_TMPFILE) == O_TMPFILE ? va_arg(Arguments, mode_t) : 0;
}

void* MapOnDevice(void* Address, std::size_t Length, int Protection, int Flags, int Handle, std::int64_t Offset,
                  bool& Taken)
{
    Taken = false;
    if (InModel)
        return MAP_FAILED;
    TModelCall Call;
    if (!IsDeviceDescriptor(Handle) || (Flags & MAP_ANONYMOUS) != 0)
        return MAP_FAILED;
    Taken = true;
    void* Mapped = PlatformMap(Address, Length, Protection, Flags, Handle, Offset);
    return Reported(Mapped, Mapped == MAP_FAILED);
}

} // namespace

int open(const char* Path, int Flags, ...)
{
    static auto* HostOpen = Host<int(const char*, int, ...)>("open");
    va_list Arguments;
    va_start(Arguments, Flags);
    const mode_t Mode = ModeOf(Flags, Arguments);
    va_end(Arguments);
    return ForDevice(Path) ? OpenOnDevice(Path, Flags) : HostOpen(Path, Flags, Mode);
}

int open64(const char* Path, int Flags, ...)
{
    static auto* HostOpen = Host<int(const char*, int, ...)>("open64");
    va_list Arguments;
    va_start(Arguments, Flags);
    const mode_t Mode = ModeOf(Flags, Arguments);
    va_end(Arguments);
    return ForDevice(Path) ? OpenOnDevice(Path, Flags) : HostOpen(Path, Flags, Mode);
}

int openat(int Folder, const char* Path, int Flags, ...)
{
    static auto* HostOpen = Host<int(int, const char*, int, ...)>("openat");
    va_list Arguments;
    va_start(Arguments, Flags);
    const mode_t Mode = ModeOf(Flags, Arguments);
    va_end(Arguments);
    return ForDevice(Path) ? OpenOnDevice(Path, Flags) : HostOpen(Folder, Path, Flags, Mode);
}

int openat64(int Folder, const char* Path, int Flags, ...)
{
    static auto* HostOpen = Host<int(int, const char*, int, ...)>("openat64");
    va_list Arguments;
    va_start(Arguments, Flags);
    const mode_t Mode = ModeOf(Flags, Arguments);
    va_end(Arguments);
    return ForDevice(Path) ? OpenOnDevice(Path, Flags) : HostOpen(Folder, Path, Flags, Mode);
}

int close(int Handle)
{
    static auto* HostClose = Host<int(int)>("close");
    if (!InModel) {
        TModelCall Call;
        if (IsDeviceDescriptor(Handle)) {
            const int Result = PlatformClose(Handle);
            return Reported(Result, Result < 0);
        }
    }
    return HostClose(Handle);
}

int ioctl(int Handle, unsigned long Request, ...) noexcept
{
    static auto* HostIoctl = Host<int(int, unsigned long, ...)>("ioctl");
    va_list Arguments;
    va_start(Arguments, Request);
    void* Argument = va_arg(Arguments, void*);
    va_end(Arguments);
    if (!InModel) {
        TModelCall Call;
        if (IsDeviceDescriptor(Handle)) {
            const int Result = PlatformIoctl(Handle, Request, Argument);
            return Reported(Result, Result < 0);
        }
    }
    return HostIoctl(Handle, Request, Argument);
}

void* mmap(void* Address, std::size_t Length, int Protection, int Flags, int Handle, off_t Offset) noexcept
{
    static auto* HostMap = Host<void*(void*, std::size_t, int, int, int, off_t)>("mmap");
    bool Taken;
    void* Mapped = MapOnDevice(Address, Length, Protection, Flags, Handle, Offset, Taken);
    return Taken ? Mapped : HostMap(Address, Length, Protection, Flags, Handle, Offset);
}

void* mmap64(void* Address, std::size_t Length, int Protection, int Flags, int Handle, off64_t Offset) noexcept
{
    static auto* HostMap = Host<void*(void*, std::size_t, int, int, int, off64_t)>("mmap64");
    bool Taken;
    void* Mapped = MapOnDevice(Address, Length, Protection, Flags, Handle, Offset, Taken);
    return Taken ? Mapped : HostMap(Address, Length, Protection, Flags, Handle, Offset);
}

// Every unmapping passes the model, which forgets the mappings of the device files it ends.
int munmap(void* Address, std::size_t Length) noexcept
{
    static auto* HostUnmap = Host<int(void*, std::size_t)>("munmap");
    if (InModel)
        return HostUnmap(Address, Length);
    TModelCall Call;
    const int Result = PlatformUnmap(Address, Length);
    return Reported(Result, Result < 0);
}
