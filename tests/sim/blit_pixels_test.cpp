// The blitter's pixels: rectangles, odd first pixels, strides, the colour key and the raster operations.

#include "sim_fixture.h"

#include <vector>

namespace {

constexpr std::uint32_t Page = SimFb0Start;
constexpr std::uint16_t Untouched = 0x5A5A;
constexpr std::uint32_t Margin = 64; // bytes checked on either side of the page

// A recognisable pixel of the source image, never the untouched value.
std::uint16_t SourcePixel(int X, int Y)
{
    return static_cast<std::uint16_t>(0x8000 | (Y & 0x7F) << 8 | (X & 0xFF));
}

// Register values that start a rectangle at the first pixel's byte address: the word holding it and its half.
std::uint32_t WordOf(std::uint64_t Address)
{
    return static_cast<std::uint32_t>(Address & ~std::uint64_t{3});
}
std::uint32_t OddBit(std::uint64_t Address)
{
    return (Address & 2) != 0 ? BlitCtrlOddPixel : 0;
}

struct TRectCase {
    std::int32_t Pitch;
    int SrcX, SrcY, DstX, DstY, Width, Height;
};

class TBlitRect : public TSimFixture, public ::testing::WithParamInterface<TRectCase> {};

// The rectangle lands where it should, pixel for pixel, and nothing else in or around the page changes.
TEST_P(TBlitRect, CopiesTheRectangleAndNothingElse)
{
    const TRectCase& Case = GetParam();
    const std::uint32_t Image = 0x02400000; // row 0 of the image; a negative pitch stores the rows downwards
    for (int Y = 0; Y < Case.SrcY + Case.Height; ++Y)
        for (int X = 0; X < Case.SrcX + Case.Width; ++X)
            SetPixel(static_cast<std::uint32_t>(Image + std::int64_t{Y} * Case.Pitch + 2 * X), SourcePixel(X, Y));
    FillPixels(Page - Margin, (153600 + 2 * Margin) / 2, Untouched);

    std::uint64_t Src = Image + std::int64_t{Case.SrcY} * Case.Pitch + 2 * Case.SrcX;
    std::uint64_t Dst = Page + Case.DstY * 640 + 2 * Case.DstX;
    RunBlit({BlitDstCtrlBlit | OddBit(Dst), WordOf(Dst), 640, BlitSrcCtrlBlit | OddBit(Src), WordOf(Src), Case.Pitch,
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
                                           TRectCase{4096, 0, 0, 319, 239, 1, 1},  // the last pixel alone
                                           TRectCase{-640, 4, 6, 5, 9, 50, 40},    // rows stored bottom up
                                           TRectCase{2, 0, 0, 0, 0, 1, 100}));     // a column from one row

struct TOddCase {
    int SrcX, DstX;
};

class TBlitOddPixels : public TSimFixture, public ::testing::WithParamInterface<TOddCase> {};

// The odd-pixel bits start each side at the second pixel of the word its address names.
TEST_P(TBlitOddPixels, StartAtTheSecondPixelOfTheWord)
{
    const TOddCase& Case = GetParam();
    const std::uint32_t Source = 0x02000000;
    for (int X = 0; X < 16; ++X)
        SetPixel(Source + 2 * X, SourcePixel(X, 0));
    FillPixels(Page, 16, Untouched);
    RunBlit({BlitDstCtrlBlit | (Case.DstX % 2 != 0 ? BlitCtrlOddPixel : 0u), Page + (Case.DstX & ~1) * 2, 640,
             BlitSrcCtrlBlit | (Case.SrcX % 2 != 0 ? BlitCtrlOddPixel : 0u), Source + (Case.SrcX & ~1) * 2, 640,
             0x10004, BlitOpFixed | RopCopy});
    for (int X = 0; X < 16; ++X) {
        bool Inside = X >= Case.DstX && X < Case.DstX + 4;
        EXPECT_EQ(Pixel(Page + 2 * X), Inside ? SourcePixel(X - Case.DstX + Case.SrcX, 0) : Untouched) << X;
    }
}

INSTANTIATE_TEST_SUITE_P(Halves, TBlitOddPixels,
                         ::testing::Values(TOddCase{0, 0}, TOddCase{1, 0}, TOddCase{0, 1}, TOddCase{1, 1},
                                           TOddCase{3, 6}, TOddCase{6, 3}));

using TBlitEngine = TSimFixture;

// The low two bits of an address are not the blitter's: it addresses whole words.
TEST_F(TBlitEngine, IgnoresTheLowBitsOfAddresses)
{
    SetPixel(0x02000000, 0x1111);
    SetPixel(0x02000002, 0x2222);
    FillPixels(Page, 4, Untouched);
    RunBlit({BlitDstCtrlBlit, Page + 3, 640, BlitSrcCtrlBlit, 0x02000002, 640, 0x10002, BlitOpFixed | RopCopy});
    EXPECT_EQ(Pixel(Page), 0x1111);
    EXPECT_EQ(Pixel(Page + 2), 0x2222);
    EXPECT_EQ(Pixel(Page + 4), Untouched);
}

TEST_F(TBlitEngine, ColourKeyLeavesTheDestinationWhereTheSourceIsTheKey)
{
    const std::uint16_t Key = 0xF81F;
    const std::vector<std::uint16_t> Source = {0x1234, Key, Key, 0x0000, 0xF81E, Key, 0xFFFF, 0x781F};
    const std::uint32_t SourceAddr = 0x02000000;
    for (std::size_t X = 0; X < Source.size(); ++X) {
        SetPixel(SourceAddr + 2 * X, Source[X]);
        SetPixel(SourceAddr + 640 + 2 * X, Source[Source.size() - 1 - X]);
    }
    FillPixels(Page, 320 * 2, Untouched);
    RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, SourceAddr, 640, 0x20008,
             static_cast<std::uint32_t>(Key) << BlitOpKeyShift | BlitOpColorKey | BlitOpFixed | RopCopy});
    for (std::size_t X = 0; X < Source.size(); ++X) {
        std::uint16_t Top = Source[X], Bottom = Source[Source.size() - 1 - X];
        EXPECT_EQ(Pixel(Page + 2 * X), Top == Key ? Untouched : Top) << X;
        EXPECT_EQ(Pixel(Page + 640 + 2 * X), Bottom == Key ? Untouched : Bottom) << X;
    }
}

// Without bit 11 the key colour in the high half is no key at all.
TEST_F(TBlitEngine, KeyColourWithoutTheKeyBitCopiesEverything)
{
    SetPixel(0x02000000, 0xF81F);
    SetPixel(0x02000002, 0x0001);
    FillPixels(Page, 2, Untouched);
    RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, 0x02000000, 640, 0x10002,
             0xF81Fu << BlitOpKeyShift | BlitOpFixed | RopCopy});
    EXPECT_EQ(Pixel(Page), 0xF81F);
    EXPECT_EQ(Pixel(Page + 2), 0x0001);
}

struct TRopCase {
    std::uint32_t Rop;
    std::uint16_t (*Expected)(std::uint16_t Source, std::uint16_t Dest);
};

class TBlitRop : public TSimFixture, public ::testing::WithParamInterface<TRopCase> {};

// Each raster operation combines source and destination bit by bit, with the pattern taken as 0.
TEST_P(TBlitRop, CombinesSourceAndDestination)
{
    const std::vector<std::uint16_t> Source = {0x0000, 0xFFFF, 0x0000, 0xFFFF, 0x1234, 0xF0F0, 0xA5A5, 0x8001};
    const std::vector<std::uint16_t> Dest = {0x0000, 0x0000, 0xFFFF, 0xFFFF, 0xFF00, 0x3C3C, 0x0FF0, 0x7FFE};
    for (std::size_t X = 0; X < Source.size(); ++X) {
        SetPixel(0x02000000 + 2 * X, Source[X]);
        SetPixel(Page + 2 * X, Dest[X]);
    }
    SetPixel(Page + 16, Untouched);
    RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, 0x02000000, 640, 0x10008, BlitOpFixed | GetParam().Rop});
    for (std::size_t X = 0; X < Source.size(); ++X)
        EXPECT_EQ(Pixel(Page + 2 * X), GetParam().Expected(Source[X], Dest[X])) << X;
    EXPECT_EQ(Pixel(Page + 16), Untouched);
}

std::uint16_t Bits(unsigned Value)
{
    return static_cast<std::uint16_t>(Value);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, TBlitRop,
    ::testing::Values(TRopCase{0xCC, [](std::uint16_t S, std::uint16_t) { return S; }},
                      TRopCase{0xAA, [](std::uint16_t, std::uint16_t D) { return D; }},
                      TRopCase{0x66, [](std::uint16_t S, std::uint16_t D) { return Bits(S ^ D); }},
                      TRopCase{0x00, [](std::uint16_t, std::uint16_t) { return Bits(0x0000); }},
                      TRopCase{0xFF, [](std::uint16_t, std::uint16_t) { return Bits(0xFFFF); }},
                      TRopCase{0x88, [](std::uint16_t S, std::uint16_t D) { return Bits(S & D); }},
                      TRopCase{0xEE, [](std::uint16_t S, std::uint16_t D) { return Bits(S | D); }},
                      TRopCase{0x33, [](std::uint16_t S, std::uint16_t) { return Bits(~S); }},
                      TRopCase{0x55, [](std::uint16_t, std::uint16_t D) { return Bits(~D); }},
                      TRopCase{0x44, [](std::uint16_t S, std::uint16_t D) { return Bits(S & ~D); }},
                      TRopCase{0xF0, [](std::uint16_t, std::uint16_t) { return Bits(0x0000); }},
                      TRopCase{0x0F, [](std::uint16_t, std::uint16_t) { return Bits(0xFFFF); }}));

// An operation that does not read the source runs wherever the source address points.
TEST_F(TBlitEngine, OperationWithoutSourceIgnoresTheSourceAddress)
{
    SetPixel(Page, 0x00FF);
    RunBlit({BlitDstCtrlBlit, Page, 640, BlitSrcCtrlBlit, 0xFFFFFFF0u, 640, 0x10001, BlitOpFixed | 0x55});
    EXPECT_EQ(Pixel(Page), 0xFF00);
    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
}

// The device layer's no-op: destination kept, source registers left from the previous operation.
TEST_F(TBlitEngine, NopBlitChangesNoPixel)
{
    for (std::uint32_t X = 0; X < 320; ++X)
        SetPixel(Page + 2 * X, static_cast<std::uint16_t>(X * 0x0101));
    for (std::uint32_t Source : {0x02000000u, Page + 4u, 0xC0000000u}) {
        WriteBlit(BlitSrcAddr, Source);
        WriteBlit(BlitSrcStride, 640);
        WriteBlit(BlitDstCtrl, BlitDstCtrlNop);
        WriteBlit(BlitDstAddr, Page);
        WriteBlit(BlitSrcCtrl, BlitSrcCtrlNop);
        WriteBlit(BlitReg20, 0);
        WriteBlit(BlitSize, BlitNopSize);
        WriteBlit(BlitOp, BlitOpFixed | RopKeepDest);
        WriteBlit(BlitRun, 1);
        for (std::uint32_t X = 0; X < 320; ++X)
            ASSERT_EQ(Pixel(Page + 2 * X), static_cast<std::uint16_t>(X * 0x0101)) << X;
    }
    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
}

TEST_F(TBlitEngine, RunsOnlyWhenBitZeroIsWritten)
{
    SetPixel(0x02000000, 0x4321);
    SetPixel(Page, Untouched);
    WriteBlit(BlitDstCtrl, BlitDstCtrlBlit);
    WriteBlit(BlitDstAddr, Page);
    WriteBlit(BlitSrcCtrl, BlitSrcCtrlBlit);
    WriteBlit(BlitSrcAddr, 0x02000000);
    WriteBlit(BlitSize, 0x10001);
    WriteBlit(BlitOp, BlitOpFixed | RopCopy);
    WriteBlit(BlitRun, 0);
    WriteBlit(BlitRun, 2);
    EXPECT_EQ(Pixel(Page), Untouched);
    WriteBlit(BlitRun, 1);
    EXPECT_EQ(Pixel(Page), 0x4321);
}

// Overlapping rectangles behave as a copy row by row from the top.
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
