#pragma once
// The seam between the program and the machine. Every device file operation and every hardware register access
// of the program goes through these free functions. The device executable links the Linux implementation (one
// system call per operation, one volatile load or store per register access); the simulator, the tests and the
// benchmarks link the simulated device's implementation instead. Flags, protections and request numbers are
// Linux's own (O_RDWR, PROT_READ, MAP_SHARED, FBIOGET_FSCREENINFO, ...).

#include <cstddef>
#include <cstdint>

// open(2): a descriptor, or a negative value with the error in PlatformLastError().
int PlatformOpen(const char* Path, int Flags);
// close(2): 0, or a negative value on failure.
int PlatformClose(int Handle);
// mmap(2) of Length bytes of Handle at the file offset Offset: the address, or MAP_FAILED.
void* PlatformMap(void* Address, std::size_t Length, int Protection, int Flags, int Handle, std::int64_t Offset);
// munmap(2): 0, or a negative value on failure.
int PlatformUnmap(void* Address, std::size_t Length);
// ioctl(2) with a pointer argument: the call's result, negative on failure.
int PlatformIoctl(int Handle, unsigned long Request, void* Argument);
// The error number of the last failed operation above (errno).
int PlatformLastError();

// Register access at an address inside a mapping made through PlatformMap.
std::uint16_t PlatformLoad16(const volatile std::uint16_t* Address);
void PlatformStore16(volatile std::uint16_t* Address, std::uint16_t Value);
std::uint32_t PlatformLoad32(const volatile std::uint32_t* Address);
void PlatformStore32(volatile std::uint32_t* Address, std::uint32_t Value);
