#pragma once
// The simulated device files behind the seam's descriptors: /dev/mem, /dev/fb/0, /dev/fb/1 and /dev/mixer.

#include "sim/model/physical_memory.h"

#include <cstddef>
#include <cstdint>

// What the framebuffer devices report through FBIOGET_FSCREENINFO.
constexpr std::uint32_t Fb0Start = 0x03000000u;
constexpr std::uint32_t Fb1Start = 0x03040000u;
constexpr std::uint32_t FbLength = 0x00040000u;
constexpr const char* Fb0Id = "sim-fb0";
constexpr const char* Fb1Id = "sim-fb1";

enum class TDeviceFile { Mem, Fb0, Fb1, Mixer };

// Whether Path names a simulated device file.
bool IsDeviceFilePath(const char* Path);
// Opening the file at Path: false when Path names no simulated device file; else Error is 0 or the open's error.
bool DeviceFileForPath(const char* Path, TDeviceFile& File, int& Error);
// The physical range that mapping Length bytes of File at Offset, through a descriptor opened with Access (O_RDONLY,
// O_WRONLY or O_RDWR), would view, checked as mmap(2) checks it: 0 with Mapping's range, region and kind set, or the
// error number. The view itself is made by MapPhysical.
int MappingOfDeviceFile(TDeviceFile File, int Access, std::size_t Length, int Protection, int Flags,
                        std::int64_t Offset, TMapping& Mapping);
// ioctl(2) of File: 0, or the error number.
int IoctlDeviceFile(TDeviceFile File, unsigned long Request, void* Argument);
