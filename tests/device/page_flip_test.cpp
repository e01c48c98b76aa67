#include "device_fixture.h"

#include "device/page_flip.h"
#include "device/register_map.h"
#include "device/register_window.h"
#include "device/video.h"
#include "device/video_pages.h"

namespace {

std::vector<std::string> StartWrites(std::uint32_t Start, std::uint32_t Second)
{
    return {AccessText({true, 16, 0xC000290E, Start & 0xFFFF}), AccessText({true, 16, 0xC0002910, Start >> 16}),
            AccessText({true, 16, 0xC0002912, Second & 0xFFFF}), AccessText({true, 16, 0xC0002914, Second >> 16})};
}

class PageFlipTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        testing::internal::CaptureStdout();
        const bool Ready = InitVideo(320, 240, 16);
        testing::internal::GetCapturedStdout();
        ASSERT_TRUE(Ready);
        SimStartRecording();
    }
    void TearDown() override
    {
        CloseVideo();
        DeviceTest::TearDown();
    }
};

// Each flip shows the page just drawn and moves drawing to the other one: page 0 first, then 1, 0, 1.
TEST_F(PageFlipTest, FlipsAlternateStartingWithThePageDrawnFirst)
{
    const std::uint32_t Flips = SimFlipCount();
    for (int Round = 0; Round < 2; ++Round) {
        FlipVideoPage(false);
        EXPECT_EQ(TakeAccesses(), StartWrites(SimFb0Start, SimFb0Start + 2));
        EXPECT_TRUE(FB0.Shown);
        EXPECT_FALSE(FB1.Shown);
        EXPECT_EQ(GetVideoBufferPhys(), SimFb1Start);
        EXPECT_EQ(SimDisplayStart(), SimFb0Start);

        FlipVideoPage(false);
        EXPECT_EQ(TakeAccesses(), StartWrites(SimFb1Start, SimFb1Start + 2));
        EXPECT_FALSE(FB0.Shown);
        EXPECT_TRUE(FB1.Shown);
        EXPECT_EQ(GetVideoBufferPhys(), SimFb0Start);
        EXPECT_EQ(SimDisplayStart(), SimFb1Start);
    }
    EXPECT_EQ(SimFlipCount(), Flips + 4);
}

TEST_F(PageFlipTest, SecondAddressCarriesIntoTheHighHalf)
{
    FB0.SMemStart = 0x0300FFFE;
    ShowVideoPage(0);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C000290E FFFE", "W16 C0002910 0300",
                                                        "W16 C0002912 0000", "W16 C0002914 0301"}));
}

// Page 0's pixel size serves for both pages.
TEST_F(PageFlipTest, SecondAddressUsesPageZerosPixelSize)
{
    FB0.BytesPerPixel = 4;
    FB1.BytesPerPixel = 1;
    ShowVideoPage(1);
    EXPECT_EQ(TakeAccesses(), StartWrites(SimFb1Start, SimFb1Start + 4));
}

TEST_F(PageFlipTest, PageSelectorsOtherThanOneAndMinusOneShowPageZero)
{
    struct TCase {
        std::int32_t Page;
        bool Shown0Before;
        std::uint32_t Start;
    };
    const TCase Cases[] = {{0, false, SimFb0Start},  {7, true, SimFb0Start},  {-2, true, SimFb0Start},
                           {1, false, SimFb1Start},  {1, true, SimFb1Start},  {-1, false, SimFb0Start},
                           {-1, true, SimFb1Start},  {0, true, SimFb0Start}};
    for (const TCase& Case : Cases) {
        FB0.Shown = Case.Shown0Before;
        FB1.Shown = !Case.Shown0Before;
        ShowVideoPage(Case.Page);
        EXPECT_EQ(TakeAccesses(), StartWrites(Case.Start, Case.Start + 2)) << Case.Page;
        EXPECT_EQ(FB0.Shown, Case.Start == SimFb0Start) << Case.Page;
        EXPECT_EQ(FB1.Shown, Case.Start == SimFb1Start) << Case.Page;
    }
}

TEST_F(PageFlipTest, ShowingPageOneTwiceIsNotAToggle)
{
    ShowVideoPage(1);
    ShowVideoPage(1);
    const std::vector<std::string> Once = StartWrites(SimFb1Start, SimFb1Start + 2);
    std::vector<std::string> Twice = Once;
    Twice.insert(Twice.end(), Once.begin(), Once.end());
    EXPECT_EQ(TakeAccesses(), Twice);
    EXPECT_TRUE(FB1.Shown);
    EXPECT_FALSE(FB0.Shown);
}

// In fast mode the vertical-sync bit always reads 1: the level is tested, so one read ends the wait.
TEST_F(PageFlipTest, WaitForVerticalSyncEndsOnTheFirstReadThatShowsIt)
{
    FlipVideoPage(true);
    std::vector<std::string> Expected = StartWrites(SimFb0Start, SimFb0Start + 2);
    Expected.push_back("R16 C0001182 0010");
    EXPECT_EQ(TakeAccesses(), Expected);
}

TEST_F(PageFlipTest, WaitForVerticalSyncReadsUntilTheBitIsSet)
{
    SimSetFastMode(false);
    for (int Frame = 0; Frame < 3; ++Frame) {
        FlipVideoPage(true);
        const std::vector<TSimAccess> Accesses = SimTakeRecording();
        ASSERT_GE(Accesses.size(), 5u);
        for (std::size_t I = 4; I < Accesses.size(); ++I) {
            EXPECT_FALSE(Accesses[I].Write);
            EXPECT_EQ(Accesses[I].Address, 0xC0001182u);
            // Only the last read sees vertical sync.
            EXPECT_EQ((Accesses[I].Value & DisplayStatusVSync) != 0, I + 1 == Accesses.size());
        }
    }
}

class PageFlipNotReadyTest : public DeviceTest {};

TEST_F(PageFlipNotReadyTest, ShowingBeforeVideoIsUpDoesNothing)
{
    ASSERT_TRUE(OpenMemory());
    FB0.SMemStart = SimFb0Start;
    FB1.SMemStart = SimFb1Start;
    SimStartRecording();
    for (std::int32_t Page : {-1, 0, 1}) {
        ShowVideoPage(Page);
        EXPECT_FALSE(FB0.Shown);
        EXPECT_FALSE(FB1.Shown);
    }
    FlipVideoPage(false);
    EXPECT_FALSE(FB0.Shown);
    EXPECT_TRUE(TakeAccesses().empty());
    CloseMemory();
}

} // namespace
