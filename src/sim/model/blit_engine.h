#pragma once
// The simulated blitter's engine: one operation on RAM, as the blitter's registers describe it.

#include <cstdint>

struct TBlitOperation {
    std::uint32_t DstAddr;
    std::uint32_t DstCtrl;
    std::int32_t DstStride;
    std::uint32_t SrcAddr;
    std::uint32_t SrcCtrl;
    std::int32_t SrcStride;
    std::uint32_t Size; // width in bits 0-15, height in bits 16-31
    std::uint32_t Op;   // raster operation in bits 0-7, colour key on in bit 11, key colour in bits 16-31
};

struct TBlitResult {
    std::uint64_t Moved = 0;   // pixel positions processed in RAM
    std::uint64_t Skipped = 0; // pixel positions left out because a pixel they needed lies outside RAM
};

inline std::int64_t BlitRows(const TBlitOperation& Operation)
{
    return Operation.Size >> 16;
}

// Runs rows [FirstRow, EndRow) of Operation on the simulated RAM, as the engine works through it top to bottom. A
// pixel position is processed only when every pixel it needs (the destination pixel, and the source pixel where the
// raster operation or the colour key reads it) lies wholly in RAM; nothing outside RAM is ever read or written.
TBlitResult RunBlitOperation(const TBlitOperation& Operation, std::int64_t FirstRow, std::int64_t EndRow);
