#include "device/blitter.h"

#include "device/register_map.h"
#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

constexpr std::uint32_t WordAlignMask = ~std::uint32_t{3};

// The engine addresses memory in 32-bit words; the odd-pixel bit says the rectangle starts at a word's second pixel.
std::uint32_t SrcOddPixelBit(std::int32_t SrcX)
{
    // Kept as the device program has always done it: the test is on the remainder with the sign of SrcX, so a
    // negative odd SrcX leaves the bit clear, unlike the destination's.
    if (SrcX % 4 <= 0)
        return 0;
    return (SrcX & 1) != 0 ? BlitCtrlOddPixel : 0;
}

} // namespace

void WaitBlitter()
{
    while ((ReadBlitReg(BlitRun) & BlitRunBusy) != 0) {
    }
}

std::uint16_t PackRGB565(std::int32_t Red, std::int32_t Green, std::int32_t Blue)
{
    return static_cast<std::uint16_t>(((Red & 0xF8) << 8) | ((Green & 0xFC) << 3) | ((Blue & 0xF8) >> 3));
}

void NopBlit()
{
    const std::uint32_t Target = GetVideoBufferPhys();
    WaitBlitter();
    WriteBlitReg(BlitDstCtrl, BlitDstCtrlNop);
    WriteBlitReg(BlitDstAddr, Target);
    WriteBlitReg(BlitSrcCtrl, BlitSrcCtrlNop);
    WriteBlitReg(BlitReg20, 0);
    WriteBlitReg(BlitSize, BlitNopSize);
    WriteBlitReg(BlitOp, BlitOpFixed | RopKeepDest);
    WriteBlitReg(BlitRun, 1);
    WaitBlitter();
}

void Blit(std::uint32_t SrcAddr, std::int32_t SrcX, std::int32_t SrcY, std::int32_t Width, std::int32_t Height,
          std::int32_t SrcPitch, std::uint32_t DstAddr, std::int32_t DstX, std::int32_t DstY, bool UseColorKey,
          std::uint8_t KeyRed, std::uint8_t KeyGreen, std::uint8_t KeyBlue, bool NopAfter)
{
    const std::uint32_t DstBase = DstAddr != 0 ? DstAddr : GetVideoBufferPhys();
    // Address arithmetic wraps at 32 bits, as the device's bus does; negative coordinates are not rejected.
    const std::uint32_t DstStart = DstBase + static_cast<std::uint32_t>(DstY) * static_cast<std::uint32_t>(PageStride)
        + static_cast<std::uint32_t>(DstX) * 2u;
    const std::uint32_t SrcStart = SrcAddr + static_cast<std::uint32_t>(SrcY) * static_cast<std::uint32_t>(SrcPitch)
        + static_cast<std::uint32_t>(SrcX) * 2u;
    WaitBlitter();
    WriteBlitReg(BlitDstAddr, DstStart & WordAlignMask);
    WriteBlitReg(BlitDstCtrl, BlitDstCtrlBlit | ((DstX & 1) != 0 ? BlitCtrlOddPixel : 0));
    WriteBlitReg(BlitDstStride, static_cast<std::uint32_t>(PageStride));
    WriteBlitReg(BlitSrcAddr, SrcStart & WordAlignMask);
    WriteBlitReg(BlitSrcStride, static_cast<std::uint32_t>(SrcPitch));
    WriteBlitReg(BlitReg20, 0);
    WriteBlitReg(BlitSrcCtrl, BlitSrcCtrlBlit | SrcOddPixelBit(SrcX));
    // Width is not masked: a width from 65536 up spills into the height field.
    WriteBlitReg(BlitSize, static_cast<std::uint32_t>(Width) | (static_cast<std::uint32_t>(Height) << 16));
    std::uint32_t Op = BlitOpFixed | RopCopy;
    if (UseColorKey)
        Op |= BlitOpColorKey | (static_cast<std::uint32_t>(PackRGB565(KeyRed, KeyGreen, KeyBlue)) << BlitOpKeyShift);
    WriteBlitReg(BlitOp, Op);
    WriteBlitReg(BlitRun, 1);
    WaitBlitter();
    if (NopAfter)
        NopBlit();
}
