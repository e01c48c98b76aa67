// The blitter's pixels: rectangles, odd first pixels, strides, the colour key and the raster operations.

#include "sim_fixture.h"

namespace {

constexpr std::uint32_t Page = SimFb0Start;
constexpr std::uint32_t Source = 0x02000000;
constexpr std::uint16_t Untouched = 0x5A5A;

// A recognisable pixel of the source image, never the untouched value.
std::uint16_t SourcePixel(int X, int Y)
{
    return static_cast<std::uint16_t>(0x8000 | (Y & 0x7F) << 8 | (X & 0xFF));
}

struct TRectCase {
    std::int32_t Pitch;
    int SrcX, SrcY, DstX, DstY, Width, Height;
};

class TBlitRect : public TSimFixture, public ::testing::WithParamInterface<TRectCase> {};

// The rectangle lands where it should, pixel for pixel, and nothing else in or around the page changes. Each side
// names the word that holds its first pixel, with the odd-pixel bit when that pixel is the word's second.
TEST_P(TBlitRect, CopiesTheRectangleAndNothingElse)
{
    const TRectCase& Case = GetParam();
    const std::uint32_t Image = 0x02400000; // row 0 of the image; a negative pitch stores the rows downwards
    const std::uint32_t Margin = 64;        // bytes checked on either side of the page
    for (int Y = 0; Y < Case.SrcY + Case.Height; ++Y)
        for (int X = 0; X < Case.SrcX + Case.Width; ++X)
            SetPixel(static_cast<std::uint32_t>(Image + std::int64_t{Y} * Case.Pitch + 2 * X), SourcePixel(X, Y));
    FillPixels(Page - Margin, (153600 + 2 * Margin) / 2, Untouched);

    auto Src = static_cast<std::uint32_t>(Image + std::int64_t{Case.SrcY} * Case.Pitch + 2 * Case.SrcX);
    auto Dst = static_cast<std::uint32_t>(Page + Case.DstY * 640 + 2 * Case.DstX);
    RunBlit({BlitDstCtrlBlit | ((Dst & 2) != 0 ? BlitCtrlOddPixel : 0), Dst & ~3u, 640,
             BlitSrcCtrlBlit | ((Src & 2) != 0 ? BlitCtrlOddPixel : 0), Src & ~3u, Case.Pitch,
             static_cast<std::uint32_t>(Case.Width | Case.Height << 16), BlitOpFixed | RopCopy});

    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
    int Wrong = 0;
    for (std::uint32_t Offset = 0; Offset < 153600 + 2 * Margin; Offset += 2) {
        std::int64_t InPage = std::int64_t{Offset} - Margin;
        int X = static_cast<int>(InPage / 2 % 320), Y = static_cast<int>(InPage / 640);
        bool Inside = InPage >= 0 && InPage < 153600 && X >= Case.DstX && X < Case.DstX + Case.Width
                   && Y >= Case.DstY && Y < Case.DstY + Case.Height;
        std::uint16_t Expected =
            Inside ? SourcePixel(X - Case.DstX + Case.SrcX, Y - Case.DstY + Case.SrcY) : Untouched;
        if (Pixel(Page - Margin + Offset) != Expected && ++Wrong <= 5)
            ADD_FAILURE() << "page byte offset " << InPage << " (" << X << ", " << Y << ")";
    }
    EXPECT_EQ(Wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Pitches, TBlitRect,
                         ::testing::Values(TRectCase{640, 0, 0, 0, 0, 320, 240},   // the whole page
                                           TRectCase{1000, 17, 5, 0, 0, 320, 240}, // the frame's view, odd SrcX
                                           TRectCase{642, 2, 3, 10, 7, 33, 21},    // rows start in either half
                                           TRectCase{640, 3, 1, 7, 2, 9, 3},       // both sides odd
                                           TRectCase{4096, 0, 0, 319, 239, 1, 1},  // the last pixel alone
                                           TRectCase{-640, 4, 6, 5, 9, 50, 40},    // rows stored bottom up
                                           TRectCase{2, 0, 0, 0, 0, 1, 100}));     // a column from one row

using TBlitEngine = TSimFixture;

// With bit 11 the destination stays wherever the source is exactly the key; without it the key colour in the high
// half is no key at all.
TEST_F(TBlitEngine, ColourKeyLeavesTheDestinationWhereTheSourceIsTheKey)
{
    const std::uint16_t Key = 0xF81F;
    const std::uint16_t Row[] = {0x1234, Key, Key, 0x0000, 0xF81E, Key, 0xFFFF, 0x781F};
    for (std::uint32_t X = 0; X < 8; ++X)
        SetPixel(Source + 2 * X, Row[X]);
    for (bool Keyed : {true, false}) {
        FillPixels(Page, 9, Untouched);
        RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, Source, 640, 0x10008,
                 std::uint32_t{Key} << BlitOpKeyShift | (Keyed ? BlitOpColorKey : 0) | BlitOpFixed | RopCopy});
        for (std::uint32_t X = 0; X < 8; ++X)
            EXPECT_EQ(Pixel(Page + 2 * X), Keyed && Row[X] == Key ? Untouched : Row[X]) << Keyed << " " << X;
        EXPECT_EQ(Pixel(Page + 16), Untouched);
    }
}

// Each raster operation combines source and destination bit by bit, with the pattern taken as 0: with the source
// 0xCCCC and the destination 0xAAAA, every nibble of the result is the operation's truth table for pattern 0.
TEST_F(TBlitEngine, RasterOperationsCombineSourceAndDestination)
{
    for (std::uint32_t Rop = 0; Rop < 256; ++Rop) {
        SetPixel(Source, 0xCCCC);
        SetPixel(Page, 0xAAAA);
        SetPixel(Page + 2, Untouched);
        RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, Source, 640, 0x10001, BlitOpFixed | Rop});
        ASSERT_EQ(Pixel(Page), static_cast<std::uint16_t>((Rop & 0xF) * 0x1111)) << std::hex << Rop;
        ASSERT_EQ(Pixel(Page + 2), Untouched) << std::hex << Rop;
    }
}

// An operation that does not read the source runs wherever the source address points.
TEST_F(TBlitEngine, OperationWithoutSourceIgnoresTheSourceAddress)
{
    SetPixel(Page, 0x00FF);
    RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, 0xFFFFFFF0u, 640, 0x10001, BlitOpFixed | 0x55});
    EXPECT_EQ(Pixel(Page), 0xFF00);
    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
}

// The device layer's no-op (its register values exactly), with source registers left from whatever ran before.
TEST_F(TBlitEngine, NopBlitChangesNoPixel)
{
    for (std::uint32_t X = 0; X < 320; ++X)
        SetPixel(Page + 2 * X, static_cast<std::uint16_t>(X * 0x0101));
    for (std::uint32_t SourceLeft : {Source, Page + 4u, 0xC0000000u}) {
        WriteBlit(BlitSrcAddr, SourceLeft);
        const std::pair<std::uint32_t, std::uint32_t> Nop[] = {{0x00, 0x60},   {0x04, Page},   {0x0C, 0x100}, {0x20, 0},
                                                               {0x2C, 0x10008}, {0x30, 0x7AA}, {0x34, 1}};
        for (const auto& Write : Nop)
            WriteBlit(Write.first, Write.second);
        for (std::uint32_t X = 0; X < 320; ++X)
            ASSERT_EQ(Pixel(Page + 2 * X), static_cast<std::uint16_t>(X * 0x0101)) << X;
    }
    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
}

// Overlapping rectangles behave as a copy through a buffer.
TEST_F(TBlitEngine, OverlappingRowCopiesAsIfThroughABuffer)
{
    for (int X = 0; X < 8; ++X)
        SetPixel(Page + 2 * X, static_cast<std::uint16_t>(X + 1));
    RunBlit({BlitDstCtrlBlit, Page + 4, 640, BlitSrcCtrlBlit, Page, 640, 0x10006, BlitOpFixed | RopCopy});
    const std::uint16_t Expected[] = {1, 2, 1, 2, 3, 4, 5, 6};
    for (int X = 0; X < 8; ++X)
        EXPECT_EQ(Pixel(Page + 2 * X), Expected[X]) << X;
}

} // namespace
