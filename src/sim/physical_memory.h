#pragma once
// The simulated device's physical address space: RAM at 0, the register block and the blitter window. Each region
// has host storage of its own, so that a mapping of /dev/mem is the host address of the region's storage.

#include <cstdint>

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
