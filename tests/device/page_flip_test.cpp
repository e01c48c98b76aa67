#include "device_fixture.h"

#include "device/page_flip.h"
#include "device/register_map.h"
#include "device/register_window.h"
#include "device/video.h"
#include "device/video_pages.h"

namespace {

// The writes that show a page: the start address low half, then the high half that latches it, then the second
// address likewise.
TLines StartWrites(std::uint16_t Low, std::uint16_t High, std::uint16_t Low2, std::uint16_t High2)
{
    return {AccessText({true, 16, 0xC000290E, Low}), AccessText({true, 16, 0xC0002910, High}),
            AccessText({true, 16, 0xC0002912, Low2}), AccessText({true, 16, 0xC0002914, High2})};
}

class PageFlipTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        Captured([] { EXPECT_TRUE(InitVideo(320, 240, 16)); });
        SimStartRecording();
    }
};

// Each flip shows the page just drawn, page 0 first, with no register read when not waiting.
TEST_F(PageFlipTest, FlipsAlternateStartingWithThePageDrawnFirst)
{
    const std::uint32_t Flips = SimFlipCount();
    for (int Round = 0; Round < 2; ++Round)
        for (std::uint16_t High : {0x0300, 0x0304}) {
            FlipVideoPage(false);
            EXPECT_EQ(TakeAccesses(), StartWrites(0x0000, High, 0x0002, High));
            EXPECT_EQ(FB0.Shown, High == 0x0300);
            EXPECT_EQ(FB1.Shown, High == 0x0304);
            EXPECT_EQ(SimDisplayStart(), static_cast<std::uint32_t>(High) << 16);
        }
    EXPECT_EQ(SimFlipCount(), Flips + 4);
}

// 1 shows page 1 (even when it is shown already), -1 the page not shown, anything else page 0. The second address
// adds page 0's pixel size and carries into its high half.
TEST_F(PageFlipTest, ShowVideoPageWritesBothAddressesInOrder)
{
    struct TCase {
        std::int32_t Page;
        bool Shown0;
        std::uint32_t Start0;
        std::int32_t Bytes0, Bytes1;
        std::uint16_t Low, High, Low2, High2;
    };
    const TCase Cases[] = {
        {0, false, SimFb0Start, 2, 2, 0x0000, 0x0300, 0x0002, 0x0300},
        {0, true, SimFb0Start, 2, 2, 0x0000, 0x0300, 0x0002, 0x0300},
        {7, true, SimFb0Start, 2, 2, 0x0000, 0x0300, 0x0002, 0x0300},
        {-2, true, SimFb0Start, 2, 2, 0x0000, 0x0300, 0x0002, 0x0300},
        {1, false, SimFb0Start, 2, 2, 0x0000, 0x0304, 0x0002, 0x0304},
        {1, true, SimFb0Start, 2, 2, 0x0000, 0x0304, 0x0002, 0x0304},
        {-1, false, SimFb0Start, 2, 2, 0x0000, 0x0300, 0x0002, 0x0300},
        {-1, true, SimFb0Start, 2, 2, 0x0000, 0x0304, 0x0002, 0x0304},
        {0, false, 0x0300FFFE, 2, 2, 0xFFFE, 0x0300, 0x0000, 0x0301},
        {1, false, SimFb0Start, 4, 1, 0x0000, 0x0304, 0x0004, 0x0304},
    };
    for (const TCase& C : Cases) {
        FB0.Shown = C.Shown0;
        FB1.Shown = !C.Shown0;
        FB0.SMemStart = C.Start0;
        FB0.BytesPerPixel = C.Bytes0;
        FB1.BytesPerPixel = C.Bytes1;
        ShowVideoPage(C.Page);
        EXPECT_EQ(TakeAccesses(), StartWrites(C.Low, C.High, C.Low2, C.High2)) << C.Page << " " << C.Shown0;
        EXPECT_EQ(FB0.Shown, C.High == 0x0300) << C.Page << " " << C.Shown0;
        EXPECT_EQ(FB1.Shown, C.High == 0x0304) << C.Page << " " << C.Shown0;
    }
}

// In fast mode the vertical-sync bit always reads 1: the level is tested, so one read ends the wait.
TEST_F(PageFlipTest, WaitForVerticalSyncEndsOnTheFirstReadThatShowsIt)
{
    FlipVideoPage(true);
    TLines Expected = StartWrites(0x0000, 0x0300, 0x0002, 0x0300);
    Expected.push_back("R16 C0001182 0010");
    EXPECT_EQ(TakeAccesses(), Expected);

    // In modelled time it reads until the bit is set: only the last read sees it.
    SimSetFastMode(false);
    for (int Frame = 0; Frame < 3; ++Frame) {
        FlipVideoPage(true);
        const std::vector<TSimAccess> Accesses = SimTakeRecording();
        ASSERT_GE(Accesses.size(), 5u);
        for (std::size_t I = 4; I < Accesses.size(); ++I) {
            EXPECT_EQ(AccessText(Accesses[I]).substr(0, 13), "R16 C0001182 ");
            EXPECT_EQ((Accesses[I].Value & DisplayStatusVSync) != 0, I + 1 == Accesses.size()) << "read " << I;
        }
    }
}

TEST(PageFlipNotReadyTest, ShowingBeforeVideoIsUpDoesNothing)
{
    SimReset();
    DeviceInitialization();
    ASSERT_TRUE(OpenMemory());
    FB0.SMemStart = SimFb0Start;
    FB1.SMemStart = SimFb1Start;
    SimStartRecording();
    for (std::int32_t Page : {-1, 0, 1})
        ShowVideoPage(Page);
    FlipVideoPage(false);
    EXPECT_FALSE(FB0.Shown);
    EXPECT_FALSE(FB1.Shown);
    EXPECT_TRUE(TakeAccesses().empty());
}

} // namespace
