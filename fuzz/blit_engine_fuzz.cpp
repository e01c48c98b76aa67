// The simulated blitter driven through its register window with any register values: sizes up to 65535,
// addresses and strides anywhere in 32 bits (so that rows start below 0, past RAM's end or wrap), any control bits
// and raster operation, with and without the colour key. The engine must touch nothing on the host but the
// simulated RAM: RAM has an inaccessible page on either side and the rest of the host is watched by
// AddressSanitizer, so a stray pixel ends the run.
//
// Input: eight little-endian 32-bit words, DstCtrl, DstAddr, DstStride, SrcCtrl, SrcAddr, SrcStride, Size and Op;
// any bytes after them are put into RAM at SrcAddr (as far as RAM reaches) as the source's pixels.

#include "device/register_map.h"
#include "platform/platform.h"
#include "sim/sim.h"

#include <fcntl.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// A run moves at most this many pixel positions, so that each input takes milliseconds: the height is lowered
// for the widest rectangles. Every width and every height up to 65535 still occurs.
constexpr std::uint64_t MostPixels = std::uint64_t{1} << 20;

volatile std::uint32_t* Window = nullptr;

std::uint32_t Word(const std::uint8_t* Data, std::size_t Index)
{
    const std::uint8_t* At = Data + 4 * Index;
    return static_cast<std::uint32_t>(At[0] | At[1] << 8 | At[2] << 16) | static_cast<std::uint32_t>(At[3]) << 24;
}

void Store(std::uint32_t Offset, std::uint32_t Value)
{
    PlatformStore32(Window + Offset / 4, Value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SimReset();
    SimSetFastMode(true);
    const int Handle = PlatformOpen("/dev/mem", O_RDWR | O_SYNC);
    void* Mapped = PlatformMap(nullptr, BlitterWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, Handle,
                               BlitterWindowPhys);
    if (Handle < 0 || Mapped == MAP_FAILED)
        std::abort();
    Window = static_cast<volatile std::uint32_t*>(Mapped);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    constexpr std::size_t Words = 8;
    if (Size < 4 * Words)
        return 0;
    const std::uint32_t SrcAddr = Word(Data, 4);
    std::uint32_t BlitSizeValue = Word(Data, 6);
    const std::uint64_t Width = BlitSizeValue & 0xFFFF;
    std::uint64_t Height = BlitSizeValue >> 16;
    if (Width * Height > MostPixels) {
        Height = MostPixels / Width;
        BlitSizeValue = static_cast<std::uint32_t>(Width | Height << 16);
    }

    // The source's pixels: whatever of them lies in RAM.
    const std::size_t PixelBytes = Size - 4 * Words;
    if (PixelBytes > 0 && SrcAddr < SimRamSize) {
        const std::uint32_t Fits = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(PixelBytes, SimRamSize - static_cast<std::uint64_t>(SrcAddr)));
        std::memcpy(SimPhysToHost(SrcAddr, Fits), Data + 4 * Words, Fits);
    }

    const std::uint64_t SkippedBefore = SimBlitterSkippedPixels();
    Store(BlitDstCtrl, Word(Data, 0));
    Store(BlitDstAddr, Word(Data, 1));
    Store(BlitDstStride, Word(Data, 2));
    Store(BlitSrcCtrl, Word(Data, 3));
    Store(BlitSrcAddr, SrcAddr);
    Store(BlitSrcStride, Word(Data, 5));
    Store(BlitSize, BlitSizeValue);
    Store(BlitOp, Word(Data, 7));
    Store(BlitRun, BlitRunBusy);

    // The engine accounts for every pixel position at most once.
    if (SimBlitterSkippedPixels() - SkippedBefore > Width * Height)
        __builtin_trap();
    return 0;
}
