#include "sim/model/physical_memory.h"

#include "device/register_map.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

int RamFile = -1;
std::uint8_t* Ram = nullptr;

[[noreturn]] void Abort(const char* What)
{
    std::perror(What);
    std::abort();
}

// Gives back what MapRam made before the host refused the rest; errno stays.
std::uint8_t* RamRefused(void* Block, std::size_t BlockBytes)
{
    const int Refusal = errno;
    if (Block != MAP_FAILED)
        munmap(Block, BlockBytes);
    close(RamFile);
    RamFile = -1;
    errno = Refusal;
    return nullptr;
}

// RAM is a file whose pages the host gives as they are touched. The simulator's own view has an inaccessible page
// on either side, so that any access that strays out of RAM faults at once instead of corrupting the host's memory.
// Null with errno set when the host refuses the file or the address space.
std::uint8_t* MapRam()
{
    RamFile = memfd_create("brimlet-ram", MFD_CLOEXEC);
    if (RamFile < 0)
        return nullptr;
    // A file size limit (ulimit -f) refuses the file its size; the launcher ignores SIGXFSZ, so that it is said.
    if (ftruncate(RamFile, RamSize) != 0)
        return RamRefused(MAP_FAILED, 0);
    const std::size_t BlockBytes = RamSize + 2 * PageSize();
    void* Block = mmap(nullptr, BlockBytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (Block == MAP_FAILED)
        return RamRefused(Block, 0);
    void* View = mmap(static_cast<std::uint8_t*>(Block) + PageSize(), RamSize, PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_FIXED, RamFile, 0);
    if (View == MAP_FAILED)
        return RamRefused(Block, BlockBytes);
    return static_cast<std::uint8_t*>(View);
}

bool Within(std::uint64_t Address, std::uint64_t Length, std::uint64_t Start, std::uint64_t Size)
{
    return Address >= Start && Length <= Size && Address - Start <= Size - Length;
}

} // namespace

std::size_t PageSize()
{
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::uint8_t* RamBase()
{
    // The launcher reserves RAM before the program starts; tests that do not have it made here.
    if (Ram == nullptr && (Ram = MapRam()) == nullptr)
        Abort("brimlet-sim: cannot make the simulated RAM");
    return Ram;
}

bool SimReserveRam(std::string& Error)
{
    if (Ram == nullptr && (Ram = MapRam()) == nullptr) {
        Error = std::strerror(errno);
        return false;
    }
    return true;
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

int MapPhysical(TMapping& Mapping, void* Address, int Protection, int Flags)
{
    void* View = MAP_FAILED;
    if (Mapping.Region == TRegion::Ram) {
        RamBase(); // RAM's file comes with the simulator's own view
        View = mmap(Address, Mapping.Length, Protection, Flags, RamFile, static_cast<off_t>(Mapping.Phys));
    } else {
        // Registers are not memory the host could give: a program that bypasses the seam faults on their view.
        View = mmap(Address, Mapping.Length, Mapping.Shared ? PROT_NONE : Protection, Flags | MAP_ANONYMOUS, -1, 0);
    }
    if (View == MAP_FAILED)
        return errno;
    Mapping.Host = static_cast<std::uint8_t*>(View);
    return 0;
}

void ClearRam()
{
    // Punching out the file's pages gives zero pages on the next touch: a cheap clear.
    if (RamFile >= 0 && fallocate(RamFile, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, RamSize) != 0)
        Abort("brimlet-sim: cannot clear the simulated RAM");
}

std::uint8_t* SimPhysToHost(std::uint32_t Address, std::uint32_t Length)
{
    // An empty range is asked about as its first byte.
    if (RegionOf(Address, Length == 0 ? 1 : Length) != TRegion::Ram)
        return nullptr;
    return RamBase() + Address;
}
