#include "device_fixture.h"

#include "device/blitter.h"
#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

constexpr std::uint32_t Image = 0x02000000;

class BlitterRegistersTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(OpenMemory());
        FB0.SMemStart = SimFb0Start;
        FB1.SMemStart = SimFb1Start;
        SimStartRecording();
    }
    void TearDown() override
    {
        CloseMemory();
        DeviceTest::TearDown();
    }
};

std::string W32(std::uint32_t Address, std::uint32_t Value)
{
    return AccessText({true, 32, Address, Value});
}

std::vector<std::string> NopWrites(std::uint32_t Target)
{
    return {W32(0xE0020000, 0x60), W32(0xE0020004, Target), W32(0xE002000C, 0x100), W32(0xE0020020, 0),
            W32(0xE002002C, 0x10008), W32(0xE0020030, 0x7AA), W32(0xE0020034, 1)};
}

struct TBlitCase {
    const char* Name;
    std::int32_t SrcX, SrcY, Width, Height, SrcPitch;
    std::uint32_t DstAddr;
    std::int32_t DstX, DstY;
    bool UseColorKey;
    std::uint8_t KeyRed, KeyGreen, KeyBlue;
    // What the blitter is given.
    std::uint32_t DstAddrReg, DstCtrl, SrcAddrReg, SrcCtrl, Size, Op;
};

const TBlitCase BlitCases[] = {
    {"main loop view", 0, 0, 320, 240, 1280, 0, 0, 0, false, 255, 0, 255,
     0x03000000, 0x20, 0x02000000, 0x1A0, 0x00F00140, 0x7CC},
    {"odd SrcX 3", 3, 2, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x020007D4, 0x1B0, 0x00080010, 0x7CC},
    {"odd SrcX 5", 5, 0, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x02000008, 0x1B0, 0x00080010, 0x7CC},
    {"even SrcX 2", 2, 0, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x02000004, 0x1A0, 0x00080010, 0x7CC},
    {"negative SrcX -1", -1, 0, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x01FFFFFC, 0x1A0, 0x00080010, 0x7CC},
    {"negative SrcX -3", -3, 1, 16, 8, 1000, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x020003E0, 0x1A0, 0x00080010, 0x7CC},
    {"odd DstX 1", 0, 0, 16, 8, 1000, 0, 1, 0, false, 0, 0, 0,
     0x03000000, 0x30, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
    {"odd DstX 3, DstY 2", 0, 0, 16, 8, 1000, 0, 3, 2, false, 0, 0, 0,
     0x03000504, 0x30, 0x02000000, 0x1A0, 0x00080010, 0x7CC},
    {"even DstX 4", 0, 0, 16, 8, 1000, 0, 4, 0, false, 0, 0, 0,
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
    // The width is not masked and spills into the height.
    {"width over 16 bits", 0, 0, 0x10002, 2, 640, 0, 0, 0, false, 0, 0, 0,
     0x03000000, 0x20, 0x02000000, 0x1A0, 0x00030002, 0x7CC},
};

class BlitRegisterCaseTest : public BlitterRegistersTest, public testing::WithParamInterface<TBlitCase> {};

TEST_P(BlitRegisterCaseTest, WritesTheRegistersInOrderBetweenTwoWaits)
{
    const TBlitCase& C = GetParam();
    Blit(Image, C.SrcX, C.SrcY, C.Width, C.Height, C.SrcPitch, C.DstAddr, C.DstX, C.DstY, C.UseColorKey, C.KeyRed,
         C.KeyGreen, C.KeyBlue, false);
    const std::vector<std::string> Accesses = TakeAccesses();
    ASSERT_GE(Accesses.size(), 12u);
    EXPECT_EQ(Accesses.front(), "R32 E0020034 00000000");
    EXPECT_EQ(Accesses.back(), "R32 E0020034 00000000");
    std::vector<std::string> Writes;
    for (const std::string& Access : Accesses)
        if (Access[0] == 'W')
            Writes.push_back(Access);
        else
            EXPECT_EQ(Access.substr(0, 13), "R32 E0020034 ");
    const std::vector<std::string> Expected = {
        W32(0xE0020004, C.DstAddrReg), W32(0xE0020000, C.DstCtrl),   W32(0xE0020008, 640),
        W32(0xE0020010, C.SrcAddrReg), W32(0xE0020014, static_cast<std::uint32_t>(C.SrcPitch)),
        W32(0xE0020020, 0),            W32(0xE002000C, C.SrcCtrl),   W32(0xE002002C, C.Size),
        W32(0xE0020030, C.Op),         W32(0xE0020034, 1)};
    EXPECT_EQ(Writes, Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, BlitRegisterCaseTest, testing::ValuesIn(BlitCases),
                         [](const testing::TestParamInfo<TBlitCase>& Info) { return TestName(Info.param.Name); });

TEST_F(BlitterRegistersTest, DrawingPageFollowsTheShownFlag)
{
    FB0.Shown = true;
    Blit(Image, 0, 0, 8, 1, 640, 0, 0, 0, false, 0, 0, 0, false);
    const std::vector<std::string> Writes = TakeWrites();
    ASSERT_FALSE(Writes.empty());
    EXPECT_EQ(Writes.front(), W32(0xE0020004, SimFb1Start));
}

TEST_F(BlitterRegistersTest, NopAfterRunsTheNopOnTheDrawingPageOnceTheCopyIsDone)
{
    FB0.Shown = true;
    Blit(Image, 0, 0, 320, 240, 640, 0x02200000, 0, 0, false, 0, 0, 0, true);
    const std::vector<std::string> Accesses = TakeAccesses();
    std::vector<std::string> AfterCopy;
    bool CopyStarted = false;
    bool CopyWaitedFor = false;
    for (const std::string& Access : Accesses) {
        if (CopyWaitedFor && Access[0] == 'W')
            AfterCopy.push_back(Access);
        else if (CopyStarted && AfterCopy.empty() && Access == "R32 E0020034 00000000")
            CopyWaitedFor = true;
        else if (Access == W32(0xE0020034, 1))
            CopyStarted = true;
    }
    EXPECT_TRUE(CopyWaitedFor);
    EXPECT_EQ(AfterCopy, NopWrites(SimFb1Start));
    EXPECT_EQ(Accesses.back(), "R32 E0020034 00000000");
}

TEST_F(BlitterRegistersTest, NopBlitWritesItsFixedOperation)
{
    NopBlit();
    const std::vector<std::string> Accesses = TakeAccesses();
    ASSERT_GE(Accesses.size(), 9u);
    EXPECT_EQ(Accesses.front(), "R32 E0020034 00000000");
    EXPECT_EQ(Accesses.back(), "R32 E0020034 00000000");
    std::vector<std::string> Writes;
    for (const std::string& Access : Accesses)
        if (Access[0] == 'W')
            Writes.push_back(Access);
    EXPECT_EQ(Writes, NopWrites(SimFb0Start));
}

TEST(PackRGB565Test, DropsTheLowBitsOfEachComponent)
{
    struct TCase {
        std::int32_t Red, Green, Blue;
        std::uint16_t Packed;
    };
    const TCase Cases[] = {
        {255, 255, 255, 0xFFFF}, {255, 0, 255, 0xF81F}, {7, 3, 7, 0x0000},    {8, 4, 8, 0x0821},
        {255, 0, 0, 0xF800},     {0, 255, 0, 0x07E0},   {0, 0, 255, 0x001F},  {0x1FF, 0x1FF, 0x1FF, 0xFFFF},
        {0x80, 0x40, 0x20, 0x8204},
    };
    for (const TCase& Case : Cases)
        EXPECT_EQ(PackRGB565(Case.Red, Case.Green, Case.Blue), Case.Packed)
            << Case.Red << "," << Case.Green << "," << Case.Blue;
}

} // namespace
