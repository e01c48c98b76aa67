#include "sim/model/blit_engine.h"

#include "device/register_map.h"
#include "sim/model/physical_memory.h"

#include <algorithm>
#include <cstring>

namespace {

// The pixels [Low, High) of a row that lie wholly in RAM.
struct TSpan {
    std::int64_t Low;
    std::int64_t High;
};

// A row of Width pixels whose first pixel is at physical address First (the arithmetic may leave the 32-bit
// address space on either side, which is why it is done in 64 bits).
TSpan SpanInRam(std::int64_t First, std::int64_t Width)
{
    std::int64_t Low = First >= 0 ? 0 : (1 - First) / 2;
    std::int64_t LastStart = static_cast<std::int64_t>(RamSize) - 2 - First;
    std::int64_t High = LastStart < 0 ? 0 : LastStart / 2 + 1;
    Low = std::min(Low, Width);
    High = std::max(Low, std::min(High, Width));
    return {Low, High};
}

TSpan Intersect(TSpan A, TSpan B)
{
    std::int64_t Low = std::max(A.Low, B.Low);
    return {Low, std::max(Low, std::min(A.High, B.High))};
}

// The blitter addresses 32-bit words: the low two bits of an address are ignored, and the odd-pixel bit of the
// control word starts at the word's second pixel.
std::int64_t FirstPixel(std::uint32_t Address, std::uint32_t Ctrl)
{
    return static_cast<std::int64_t>(Address & ~3u) + ((Ctrl & BlitCtrlOddPixel) != 0 ? 2 : 0);
}

// A ternary raster operation with the pattern taken as 0: bit S * 2 + D of the operation is the result bit for
// source bit S and destination bit D.
std::uint16_t Raster(std::uint32_t Rop, std::uint16_t Source, std::uint16_t Dest)
{
    unsigned Result = 0;
    if (Rop & 0x1)
        Result |= ~Source & ~Dest;
    if (Rop & 0x2)
        Result |= ~Source & Dest;
    if (Rop & 0x4)
        Result |= Source & ~Dest;
    if (Rop & 0x8)
        Result |= Source & Dest;
    return static_cast<std::uint16_t>(Result);
}

// The colour-keyed copy as a select per pixel, which the compiler turns into vector compares. The key is compared
// in the pixels' own byte order, so the host's order does not matter. The rows must not overlap.
void CopyRowKeyed(std::uint8_t* __restrict Dest, const std::uint8_t* __restrict Source, std::int64_t Count,
                  std::uint16_t Key)
{
    const std::uint8_t KeyBytes[2] = {static_cast<std::uint8_t>(Key), static_cast<std::uint8_t>(Key >> 8)};
    std::uint16_t StoredKey;
    std::memcpy(&StoredKey, KeyBytes, 2);
    for (std::int64_t Index = 0; Index < Count; ++Index) {
        std::uint16_t Pixel;
        std::uint16_t Kept;
        std::memcpy(&Pixel, Source + 2 * Index, 2);
        std::memcpy(&Kept, Dest + 2 * Index, 2);
        Pixel = Pixel == StoredKey ? Kept : Pixel;
        std::memcpy(Dest + 2 * Index, &Pixel, 2);
    }
}

bool Disjoint(const std::uint8_t* A, const std::uint8_t* B, std::int64_t Bytes)
{
    return A + Bytes <= B || B + Bytes <= A;
}

bool RopReadsSource(std::uint32_t Rop)
{
    return (Rop >> 2 & 0x3) != (Rop & 0x3);
}

// Whether rows [FirstRow, EndRow) of Width pixels, the first pixel of row 0 at First, lie wholly in RAM. Rows are
// evenly spaced and RAM is one range, so the first and the last row decide for those between.
bool RowsInRam(std::int64_t First, std::int64_t Stride, std::int64_t FirstRow, std::int64_t EndRow, std::int64_t Width)
{
    const auto InRam = [&](std::int64_t Row) {
        const std::int64_t Start = First + Row * Stride;
        return Start >= 0 && Start + 2 * Width <= static_cast<std::int64_t>(RamSize);
    };
    return InRam(FirstRow) && InRam(EndRow - 1);
}

} // namespace

TBlitResult RunBlitOperation(const TBlitOperation& Operation, std::int64_t FirstRow, std::int64_t EndRow)
{
    TBlitResult Result;
    std::int64_t Width = Operation.Size & 0xFFFF;
    std::uint32_t Rop = Operation.Op & BlitOpRopMask;
    bool Keyed = (Operation.Op & BlitOpColorKey) != 0;
    auto Key = static_cast<std::uint16_t>(Operation.Op >> BlitOpKeyShift);
    bool ReadsSource = Keyed || RopReadsSource(Rop);
    std::int64_t DstFirst = FirstPixel(Operation.DstAddr, Operation.DstCtrl);
    std::int64_t SrcFirst = FirstPixel(Operation.SrcAddr, Operation.SrcCtrl);
    std::uint8_t* Ram = RamBase();

    // The frame loop's case, a plain copy of rows that lie in RAM, without working out each row's span.
    if (Rop == RopCopy && !Keyed && FirstRow < EndRow
        && RowsInRam(DstFirst, Operation.DstStride, FirstRow, EndRow, Width)
        && RowsInRam(SrcFirst, Operation.SrcStride, FirstRow, EndRow, Width)) {
        for (std::int64_t Row = FirstRow; Row < EndRow; ++Row)
            std::memmove(Ram + (DstFirst + Row * Operation.DstStride), Ram + (SrcFirst + Row * Operation.SrcStride),
                         static_cast<std::size_t>(Width) * 2);
        Result.Moved = static_cast<std::uint64_t>(Width * (EndRow - FirstRow));
        return Result;
    }

    for (std::int64_t Row = FirstRow; Row < EndRow; ++Row) {
        std::int64_t Dst = DstFirst + Row * Operation.DstStride;
        std::int64_t Src = SrcFirst + Row * Operation.SrcStride;
        TSpan Span = SpanInRam(Dst, Width);
        if (ReadsSource)
            Span = Intersect(Span, SpanInRam(Src, Width));
        std::int64_t Count = Span.High - Span.Low;
        Result.Moved += static_cast<std::uint64_t>(Count);
        Result.Skipped += static_cast<std::uint64_t>(Width - Count);
        if (Count == 0 || Rop == RopKeepDest)
            continue;
        std::uint8_t* DstHost = Ram + (Dst + 2 * Span.Low);
        // Only dereferenced when the operation reads the source, which Span then holds in RAM too.
        const std::uint8_t* SrcHost = ReadsSource ? Ram + (Src + 2 * Span.Low) : nullptr;
        if (Rop == RopCopy && !Keyed) {
            std::memmove(DstHost, SrcHost, static_cast<std::size_t>(Count) * 2);
            continue;
        }
        // Overlapping rows keep the pixel-by-pixel order of the general loop.
        if (Rop == RopCopy && Disjoint(DstHost, SrcHost, Count * 2)) {
            CopyRowKeyed(DstHost, SrcHost, Count, Key);
            continue;
        }
        for (std::int64_t Index = 0; Index < Count; ++Index) {
            std::uint16_t Source = SrcHost != nullptr ? LoadPixel(SrcHost + 2 * Index) : 0;
            if (Keyed && Source == Key)
                continue;
            StorePixel(DstHost + 2 * Index, Raster(Rop, Source, LoadPixel(DstHost + 2 * Index)));
        }
    }
    return Result;
}
