// The device's own implementation of the seam: each operation is one system call, each register access one
// volatile load or store. Built only into the device executable.

// A 64-bit file offset even on the 32-bit device: the physical offsets of the register block and the blitter
// window lie above 0x7FFFFFFF and would not fit a 32-bit off_t.
#define _FILE_OFFSET_BITS 64

#include "platform/platform.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/types.h>
#include <unistd.h>

static_assert(sizeof(off_t) == 8, "physical offsets need a 64-bit off_t");

int PlatformOpen(const char* Path, int Flags)
{
    return ::open(Path, Flags);
}

int PlatformClose(int Handle)
{
    return ::close(Handle);
}

void* PlatformMap(void* Address, std::size_t Length, int Protection, int Flags, int Handle, std::int64_t Offset)
{
    return ::mmap(Address, Length, Protection, Flags, Handle, static_cast<off_t>(Offset));
}

int PlatformUnmap(void* Address, std::size_t Length)
{
    return ::munmap(Address, Length);
}

int PlatformIoctl(int Handle, unsigned long Request, void* Argument)
{
    return ::ioctl(Handle, Request, Argument);
}

int PlatformLastError()
{
    return errno;
}

std::uint16_t PlatformLoad16(const volatile std::uint16_t* Address)
{
    return *Address;
}

void PlatformStore16(volatile std::uint16_t* Address, std::uint16_t Value)
{
    *Address = Value;
}

std::uint32_t PlatformLoad32(const volatile std::uint32_t* Address)
{
    return *Address;
}

void PlatformStore32(volatile std::uint32_t* Address, std::uint32_t Value)
{
    *Address = Value;
}
