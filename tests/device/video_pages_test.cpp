#include "device_fixture.h"

#include <tuple>

#include "device/register_window.h"
#include "device/video_pages.h"

namespace {

using VideoPagesTest = DeviceTest;

TEST_F(VideoPagesTest, StartUpStepLeavesNothingOpen)
{
    FB0 = {true, 7, &FB1, 16, 2, 0x1000, 0x2000};
    FB1 = FB0;
    VideoReady = true;
    MemoryRefCount = 3;
    DeviceInitialization();
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_FALSE(VideoReady);
    for (const TFrameBuffer* Page : {&FB0, &FB1}) {
        EXPECT_LT(Page->Handle, 0);
        EXPECT_EQ(std::make_tuple(Page->Shown, Page->Screen, Page->BitsPerPixel, Page->BytesPerPixel, Page->SMemStart,
                                  Page->SMemLen),
                  std::make_tuple(false, static_cast<void*>(nullptr), 0, 0, 0u, 0u));
    }
    EXPECT_EQ(Captured([] {
                  EXPECT_EQ(GetVideoBuffer(), nullptr);
                  EXPECT_EQ(GetVideoBufferPhys(), 0u);
              }),
              "Video buffer not initialized\n");
}

// Drawing goes to the page that is not shown, decided by page 0's flag alone.
TEST_F(VideoPagesTest, DrawingPageIsThePageNotShown)
{
    int Pixels0 = 0;
    int Pixels1 = 0;
    FB0 = {false, 3, &Pixels0, 16, 2, 0x03000000, 0x40000};
    FB1 = {false, 4, &Pixels1, 16, 2, 0x03040000, 0x40000};
    VideoReady = true;
    struct TCase {
        bool Shown0, Shown1;
        void* Buffer;
        std::uint32_t Phys;
    };
    const TCase Cases[] = {{false, false, &Pixels0, 0x03000000},
                           {true, false, &Pixels1, 0x03040000},
                           {false, true, &Pixels0, 0x03000000},
                           {true, true, &Pixels1, 0x03040000}};
    EXPECT_EQ(Captured([&] {
                  for (const TCase& Case : Cases) {
                      FB0.Shown = Case.Shown0;
                      FB1.Shown = Case.Shown1;
                      EXPECT_EQ(GetVideoBuffer(), Case.Buffer) << Case.Shown0 << Case.Shown1;
                      EXPECT_EQ(GetVideoBufferPhys(), Case.Phys) << Case.Shown0 << Case.Shown1;
                  }
              }),
              "");
}

} // namespace
