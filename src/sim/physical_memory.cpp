#include "sim/physical_memory.h"

#include "device/register_map.h"
#include "sim/blitter_registers.h"
#include "sim/register_block.h"
#include "sim/probes.h"

#include <cstdio>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {

std::uint8_t* Ram = nullptr;
std::size_t GuardSize = 0;

// RAM is reserved, not committed: the host gives it pages as they are touched. An inaccessible page on either side
// makes any access that strays out of RAM fault at once instead of corrupting the host's memory.
std::uint8_t* ReserveRam()
{
    GuardSize = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::size_t Total = RamSize + 2 * GuardSize;
    void* Block = mmap(nullptr, Total, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (Block == MAP_FAILED) {
        std::perror("brimlet-sim: cannot reserve the simulated RAM");
        std::abort();
    }
    std::uint8_t* Start = static_cast<std::uint8_t*>(Block) + GuardSize;
    if (mprotect(Start, RamSize, PROT_READ | PROT_WRITE) != 0) {
        std::perror("brimlet-sim: cannot reserve the simulated RAM");
        std::abort();
    }
    return Start;
}

bool Within(std::uint64_t Address, std::uint64_t Length, std::uint64_t Start, std::uint64_t Size)
{
    return Address >= Start && Length <= Size && Address - Start <= Size - Length;
}

bool HostWithin(const void* Address, const void* Start, std::size_t Size)
{
    auto Host = reinterpret_cast<std::uintptr_t>(Address);
    auto Base = reinterpret_cast<std::uintptr_t>(Start);
    return Host >= Base && Host - Base < Size;
}

} // namespace

std::uint8_t* RamBase()
{
    if (Ram == nullptr)
        Ram = ReserveRam();
    return Ram;
}

TRegion RegionOf(std::uint64_t Address, std::uint64_t Length)
{
    if (Length == 0)
        return TRegion::None;
    if (Within(Address, Length, 0, RamSize))
        return TRegion::Ram;
    if (Within(Address, Length, RegisterBlockPhys, RegisterBlockSize))
        return TRegion::Registers;
    if (Within(Address, Length, BlitterWindowPhys, BlitterWindowSize))
        return TRegion::Blitter;
    return TRegion::None;
}

void* RegionHostAddress(TRegion Region, std::uint64_t Address)
{
    switch (Region) {
    case TRegion::Ram: return RamBase() + Address;
    case TRegion::Registers:
        return reinterpret_cast<std::uint8_t*>(RegisterBlockHost()) + (Address - RegisterBlockPhys);
    case TRegion::Blitter: return reinterpret_cast<std::uint8_t*>(BlitterWindowHost()) + (Address - BlitterWindowPhys);
    case TRegion::None: break;
    }
    return nullptr;
}

bool IsSimulatedHostAddress(const void* Address)
{
    return (Ram != nullptr && HostWithin(Address, Ram, RamSize))
        || HostWithin(Address, RegisterBlockHost(), RegisterBlockSize)
        || HostWithin(Address, BlitterWindowHost(), BlitterWindowSize);
}

void ClearRam()
{
    // Dropping the pages of a private anonymous mapping gives zero pages on the next touch: a cheap clear.
    if (Ram != nullptr && madvise(Ram, RamSize, MADV_DONTNEED) != 0) {
        std::perror("brimlet-sim: cannot clear the simulated RAM");
        std::abort();
    }
}

std::uint8_t* SimPhysToHost(std::uint32_t Address, std::uint32_t Length)
{
    // An empty range is asked about as its first byte.
    if (RegionOf(Address, Length == 0 ? 1 : Length) != TRegion::Ram)
        return nullptr;
    return RamBase() + Address;
}
