#include "device_fixture.h"

#include "device/blitter.h"
#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

constexpr std::uint32_t Image = 0x02000000;

// A blit between two waits, with the register values it must write, in the order it must write them.
TLines BlitAccesses(std::uint32_t DstAddr, std::uint32_t DstCtrl, std::uint32_t SrcAddr, std::int32_t SrcPitch,
                    std::uint32_t SrcCtrl, std::uint32_t Size, std::uint32_t Op)
{
    return {BlitterIdle,           W32(0xE0020004, DstAddr), W32(0xE0020000, DstCtrl), W32(0xE0020008, 640),
            W32(0xE0020010, SrcAddr), W32(0xE0020014, static_cast<std::uint32_t>(SrcPitch)), W32(0xE0020020, 0),
            W32(0xE002000C, SrcCtrl), W32(0xE002002C, Size), W32(0xE0020030, Op), W32(0xE0020034, 1), BlitterIdle};
}

// With the register window held, as the program holds it for its whole run, and the two pages' addresses known.
class BlitterTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(OpenMemory());
        FB0.SMemStart = SimFb0Start;
        FB1.SMemStart = SimFb1Start;
        SimStartRecording();
    }
};

TEST_F(BlitterTest, WritesTheRegistersInOrderBetweenTwoWaits)
{
    struct TCase {
        const char* Name;
        std::int32_t SrcX, SrcY, Width, Height, SrcPitch;
        std::uint32_t DstAddr;
        std::int32_t DstX, DstY;
        bool UseColorKey;
        std::uint8_t KeyRed, KeyGreen, KeyBlue;
        std::uint32_t DstAddrReg, DstCtrl, SrcAddrReg, SrcCtrl, Size, Op; // what the blitter is given
    };
    const TCase Cases[] = {
        {"main loop view", 0, 0, 320, 240, 1280, 0, 0, 0, false, 255, 0, 255,
         0x03000000, 0x20, 0x02000000, 0x1A0, 0x00F00140, 0x7CC},
        {"odd SrcX", 3, 2, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
         0x03000000, 0x20, 0x020007D4, 0x1B0, 0x00080010, 0x7CC},
        {"even SrcX", 2, 0, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
         0x03000000, 0x20, 0x02000004, 0x1A0, 0x00080010, 0x7CC},
        // Kept quirk: a negative odd SrcX leaves the odd-pixel bit clear.
        {"negative odd SrcX", -3, 1, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
         0x03000000, 0x20, 0x020003E0, 0x1A0, 0x00080010, 0x7CC},
        {"odd DstX", 0, 0, 16, 8, 1000, 0, 3, 2, false, 0, 0, 0,
         0x03000504, 0x30, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
        {"even DstX", 0, 0, 16, 8, 1000, 0, 4, 0, false, 0, 0, 0,
         0x03000008, 0x20, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
        {"negative odd DstX", 0, 0, 16, 8, 1000, 0, -1, 0, false, 0, 0, 0,
         0x02FFFFFC, 0x30, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
        {"own destination", 0, 0, 16, 8, 1000, 0x02100000, 2, 1, false, 0, 0, 0,
         0x02100284, 0x20, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
        {"colour key magenta", 0, 0, 320, 240, 640, 0, 0, 0, true, 255, 0, 255,
         0x03000000, 0x20, 0x02000000, 0x1A0, 0x00F00140, 0xF81F0FCC},
        {"colour key low bits dropped", 0, 0, 320, 240, 640, 0, 0, 0, true, 15, 7, 15,
         0x03000000, 0x20, 0x02000000, 0x1A0, 0x00F00140, 0x08210FCC},
        {"key colour ignored without key", 0, 0, 320, 240, 640, 0, 0, 0, false, 1, 2, 3,
         0x03000000, 0x20, 0x02000000, 0x1A0, 0x00F00140, 0x7CC},
        // Kept quirk: the width is not masked and spills into the height.
        {"width over 16 bits", 0, 0, 0x10002, 2, 640, 0, 0, 0, false, 0, 0, 0,
         0x03000000, 0x20, 0x02000000, 0x1A0, 0x00030002, 0x7CC},
    };
    for (const TCase& C : Cases) {
        Blit(Image, C.SrcX, C.SrcY, C.Width, C.Height, C.SrcPitch, C.DstAddr, C.DstX, C.DstY, C.UseColorKey, C.KeyRed,
             C.KeyGreen, C.KeyBlue, false);
        EXPECT_EQ(TakeAccesses(),
                  BlitAccesses(C.DstAddrReg, C.DstCtrl, C.SrcAddrReg, C.SrcPitch, C.SrcCtrl, C.Size, C.Op))
            << C.Name;
    }
}

// With page 0 shown, the copy and the no-op after it go to page 1, the no-op once the copy is done.
TEST_F(BlitterTest, DrawingPageFollowsTheShownFlagAndTheNopComesLast)
{
    FB0.Shown = true;
    Blit(Image, 0, 0, 8, 1, 640, 0, 0, 0, false, 0, 0, 0, true);
    TLines Expected = BlitAccesses(SimFb1Start, 0x20, Image, 640, 0x1A0, 0x00010008, 0x7CC);
    const TLines Nop = NopAccesses(SimFb1Start);
    Expected.insert(Expected.end(), Nop.begin(), Nop.end());
    EXPECT_EQ(TakeAccesses(), Expected);

    NopBlit();
    EXPECT_EQ(TakeAccesses(), Nop);
}

TEST(PackRGB565Test, DropsTheLowBitsOfEachComponent)
{
    struct TCase {
        std::int32_t Red, Green, Blue;
        std::uint16_t Packed;
    };
    const TCase Cases[] = {{255, 0, 255, 0xF81F}, {7, 3, 7, 0x0000},     {8, 4, 8, 0x0821},
                           {255, 0, 0, 0xF800},   {0, 255, 0, 0x07E0},   {0, 0, 255, 0x001F},
                           {0x80, 0x40, 0x20, 0x8204}, {0x1FF, 0x1FF, 0x1FF, 0xFFFF}};
    for (const TCase& C : Cases)
        EXPECT_EQ(PackRGB565(C.Red, C.Green, C.Blue), C.Packed) << C.Red << "," << C.Green << "," << C.Blue;
}

} // namespace
