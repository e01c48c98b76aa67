#pragma once
// The simulated device's physical address space: RAM at 0, the register block and the blitter window, and the host
// views made for mappings of them. RAM is a file of its own, so that each mapping of it is a view of that file beside
// the simulator's own, shared or private as the mapping asks.

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t RamSize = 0x04000000u; // 64 MiB of RAM at physical address 0

enum class TRegion { None, Ram, Registers, Blitter };

// A host view of physical memory made by a mapping of a device file.
struct TMapping {
    std::uint8_t* Host; // the view's first byte
    std::size_t Length; // as the mapping asked for it; the view covers whole pages
    std::uint32_t Phys; // the physical address at Host
    TRegion Region;     // the region that holds the mapping wholly
    bool Shared;        // writes reach the device; a private view's writes stay in the process
};

// The host's page size; views cover whole pages.
std::size_t PageSize();
// The host address of RAM's first byte in the simulator's own view (RAM is set up on first use).
std::uint8_t* RamBase();
// The region that holds [Address, Address + Length) wholly, or TRegion::None (also for an empty range).
TRegion RegionOf(std::uint64_t Address, std::uint64_t Length);
// Makes the view of Mapping's physical range as mmap(2) would with Address, Protection and Flags (whose kind,
// MAP_SHARED or MAP_PRIVATE, Mapping.Shared already tells) and sets Mapping.Host: 0, or the host's error number. A
// view of RAM is a view of its file with exactly that protection. A shared view of the register block or the blitter
// window has no access at all, so that only the seam reaches them; a private one is private memory.
int MapPhysical(TMapping& Mapping, void* Address, int Protection, int Flags);
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
