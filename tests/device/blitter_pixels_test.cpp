#include "device_fixture.h"

#include <cstring>

#include "device/blitter.h"
#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

constexpr std::uint32_t Image = 0x02000000;
constexpr std::int32_t ImageWidth = 400;
constexpr std::int32_t ImageHeight = 300;
constexpr std::int32_t ImagePitch = 808; // a few bytes of padding behind each row

std::uint16_t ImagePixel(std::int32_t X, std::int32_t Y)
{
    return static_cast<std::uint16_t>(X * 31 + Y * 1009 + 1);
}

std::uint16_t* PhysPixels(std::uint32_t Address, std::uint32_t Count)
{
    std::uint8_t* Host = SimPhysToHost(Address, Count * 2);
    EXPECT_NE(Host, nullptr);
    return reinterpret_cast<std::uint16_t*>(Host);
}

class BlitterPixelsTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(OpenMemory());
        FB0.SMemStart = SimFb0Start;
        FB1.SMemStart = SimFb1Start;
        for (std::int32_t Y = 0; Y < ImageHeight; ++Y) {
            std::uint16_t* Row = PhysPixels(Image + static_cast<std::uint32_t>(Y * ImagePitch), ImageWidth);
            for (std::int32_t X = 0; X < ImageWidth; ++X)
                Row[X] = ImagePixel(X, Y);
        }
        Fill(SimFb0Start, 0x1111);
        Fill(SimFb1Start, 0x2222);
    }
    void TearDown() override
    {
        CloseMemory();
        DeviceTest::TearDown();
    }

    static void Fill(std::uint32_t Page, std::uint16_t Value)
    {
        std::uint16_t* Pixels = PhysPixels(Page, PageWidth * PageHeight);
        for (std::int32_t I = 0; I < PageWidth * PageHeight; ++I)
            Pixels[I] = Value;
    }
    static std::uint16_t PagePixel(std::uint32_t Page, std::int32_t X, std::int32_t Y)
    {
        return PhysPixels(Page, PageWidth * PageHeight)[Y * PageWidth + X];
    }
    static void ExpectPageFilled(std::uint32_t Page, std::uint16_t Value)
    {
        std::int32_t Wrong = 0;
        const std::uint16_t* Pixels = PhysPixels(Page, PageWidth * PageHeight);
        for (std::int32_t I = 0; I < PageWidth * PageHeight; ++I)
            Wrong += Pixels[I] != Value;
        EXPECT_EQ(Wrong, 0);
    }
};

TEST_F(BlitterPixelsTest, ViewIsCopiedIntoTheDrawingPageAtTheSourcePitch)
{
    FB0.Shown = true;
    Blit(Image, 37, 21, 320, 240, ImagePitch, 0, 0, 0, false, 255, 0, 255, true);
    std::int32_t Wrong = 0;
    for (std::int32_t Y = 0; Y < PageHeight; ++Y)
        for (std::int32_t X = 0; X < PageWidth; ++X)
            Wrong += PagePixel(SimFb1Start, X, Y) != ImagePixel(37 + X, 21 + Y);
    EXPECT_EQ(Wrong, 0);
    EXPECT_EQ(PagePixel(SimFb1Start, 0, 0), ImagePixel(37, 21));
    EXPECT_EQ(PagePixel(SimFb1Start, 319, 239), ImagePixel(356, 260));
    ExpectPageFilled(SimFb0Start, 0x1111);
    EXPECT_EQ(SimBlitterSkippedPixels(), 0u);
}

struct TRectCase {
    std::int32_t SrcX, SrcY, DstX, DstY, Width, Height;
};

class BlitRectTest : public BlitterPixelsTest, public testing::WithParamInterface<TRectCase> {};

// Odd and even first pixels on either side: the rectangle lands exactly, and nothing around it is touched.
TEST_P(BlitRectTest, CopiesExactlyTheRectangle)
{
    const TRectCase& C = GetParam();
    Blit(Image, C.SrcX, C.SrcY, C.Width, C.Height, ImagePitch, 0, C.DstX, C.DstY, false, 0, 0, 0, false);
    std::int32_t Wrong = 0;
    for (std::int32_t Y = 0; Y < PageHeight; ++Y)
        for (std::int32_t X = 0; X < PageWidth; ++X) {
            const bool Inside = X >= C.DstX && X < C.DstX + C.Width && Y >= C.DstY && Y < C.DstY + C.Height;
            const std::uint16_t Expected = Inside ? ImagePixel(C.SrcX + X - C.DstX, C.SrcY + Y - C.DstY) : 0x1111;
            Wrong += PagePixel(SimFb0Start, X, Y) != Expected;
        }
    EXPECT_EQ(Wrong, 0);
    EXPECT_EQ(PagePixel(SimFb0Start, C.DstX, C.DstY), ImagePixel(C.SrcX, C.SrcY));
    ExpectPageFilled(SimFb1Start, 0x2222);
}

INSTANTIATE_TEST_SUITE_P(FirstPixels, BlitRectTest,
                         testing::Values(TRectCase{0, 0, 0, 0, 10, 4}, TRectCase{1, 2, 0, 0, 10, 4},
                                         TRectCase{0, 2, 1, 3, 10, 4}, TRectCase{3, 1, 5, 7, 9, 5},
                                         TRectCase{2, 0, 3, 1, 1, 1}, TRectCase{5, 9, 310, 230, 10, 10}),
                         [](const testing::TestParamInfo<TRectCase>& Info) {
                             const TRectCase& C = Info.param;
                             return TestName("src " + std::to_string(C.SrcX) + " " + std::to_string(C.SrcY) + " dst " +
                                             std::to_string(C.DstX) + " " + std::to_string(C.DstY));
                         });

TEST_F(BlitterPixelsTest, ColourKeyLeavesTheDestinationWhereTheSourceIsTheKey)
{
    std::uint16_t* Row0 = PhysPixels(Image, ImageWidth);
    std::uint16_t* Row1 = PhysPixels(Image + ImagePitch, ImageWidth);
    Row0[1] = 0xF81F;
    Row0[4] = 0xF81F;
    Row1[0] = 0xF81F;
    Row1[2] = 0xF81E; // one bit away from the key: copied
    Blit(Image, 0, 0, 6, 2, ImagePitch, 0, 0, 0, true, 255, 0, 255, false);
    const std::uint16_t Expected[2][6] = {
        {ImagePixel(0, 0), 0x1111, ImagePixel(2, 0), ImagePixel(3, 0), 0x1111, ImagePixel(5, 0)},
        {0x1111, ImagePixel(1, 1), 0xF81E, ImagePixel(3, 1), ImagePixel(4, 1), ImagePixel(5, 1)},
    };
    for (std::int32_t Y = 0; Y < 2; ++Y)
        for (std::int32_t X = 0; X < 6; ++X)
            EXPECT_EQ(PagePixel(SimFb0Start, X, Y), Expected[Y][X]) << X << "," << Y;
    EXPECT_EQ(PagePixel(SimFb0Start, 6, 0), 0x1111);

    Blit(Image, 0, 0, 6, 2, ImagePitch, 0, 0, 0, false, 255, 0, 255, false);
    EXPECT_EQ(PagePixel(SimFb0Start, 1, 0), 0xF81F);
    EXPECT_EQ(PagePixel(SimFb0Start, 0, 1), 0xF81F);
}

TEST_F(BlitterPixelsTest, NopBlitChangesNoPixel)
{
    std::uint16_t* Pixels = PhysPixels(SimFb0Start, PageWidth * PageHeight);
    for (std::int32_t I = 0; I < PageWidth * PageHeight; ++I)
        Pixels[I] = static_cast<std::uint16_t>(I * 7);
    const std::vector<std::uint16_t> Before(Pixels, Pixels + PageWidth * PageHeight);
    NopBlit();
    EXPECT_EQ(std::vector<std::uint16_t>(Pixels, Pixels + PageWidth * PageHeight), Before);
    ExpectPageFilled(SimFb1Start, 0x2222);
}

} // namespace
