#pragma once
// The simulated device's physical address space: RAM at 0, the register block and the blitter window. Each region
// has host storage of its own, so that a mapping of /dev/mem is the host address of the region's storage.

#include <cstdint>

constexpr std::uint32_t RamSize = 0x04000000u; // 64 MiB of RAM at physical address 0

enum class TRegion { None, Ram, Registers, Blitter };

// The host address of RAM's first byte (RAM is set up on first use).
std::uint8_t* RamBase();
// The region that holds [Address, Address + Length) wholly, or TRegion::None (also for an empty range).
TRegion RegionOf(std::uint64_t Address, std::uint64_t Length);
// The host address of physical Address inside Region (which must hold it).
void* RegionHostAddress(TRegion Region, std::uint64_t Address);
// True when Address lies in the host storage of one of the regions.
bool IsSimulatedHostAddress(const void* Address);
// RAM back to all zeros.
void ClearRam();

// Pixels are little-endian RGB565 and may lie at any byte address (an odd stride puts them there).
inline std::uint16_t LoadPixel(const std::uint8_t* Host)
{
    return static_cast<std::uint16_t>(Host[0] | Host[1] << 8);
}

inline void StorePixel(std::uint8_t* Host, std::uint16_t Value)
{
    Host[0] = static_cast<std::uint8_t>(Value);
    Host[1] = static_cast<std::uint8_t>(Value >> 8);
}
