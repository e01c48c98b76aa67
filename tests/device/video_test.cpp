#include "device_fixture.h"

#include <cinttypes>
#include <tuple>

#include "device/register_window.h"
#include "device/video.h"
#include "device/video_pages.h"

namespace {

// A page's program address prints whole, with at least 8 digits, even where it needs more than 32 bits.
std::string ScreenLine(std::uint32_t Start)
{
    char Text[64];
    std::snprintf(Text, sizeof Text, "Screen:     %08" PRIXPTR,
                  reinterpret_cast<std::uintptr_t>(SimPhysToHost(Start, PageBytes)));
    return Text;
}

TLines SetUpLines()
{
    return {"Initialize Video",     "Open FB0 device",      "ID:         sim-fb0", "SMem_Start: 03000000",
            "SMem_Len:   00040000", ScreenLine(SimFb0Start), "Open FB2 device",     "ID:         sim-fb1",
            "SMem_Start: 03040000", "SMem_Len:   00040000", ScreenLine(SimFb1Start)};
}

using VideoTest = DeviceTest;

// Each pixel size programs its own format and line length (the size asked for plays no part), then the display is
// enabled and the closing no-op runs on page 0, the drawing page right after set-up.
TEST_F(VideoTest, SetUpReportsBothPagesAndProgramsTheDisplay)
{
    struct TCase {
        std::int32_t Width, Height, BitsPerPixel;
        const char* Format;
        const char* LineLength;
        std::int32_t BytesPerPixel;
    };
    const TCase Cases[] = {{320, 240, 16, "04AB", "0280", 2}, {0, 0, 16, "04AB", "0280", 2},
                           {320, 240, 15, "02AB", "0280", 2}, {320, 240, 8, "02AB", "0140", 1},
                           {320, 240, 32, "08AB", "0500", 4}};
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.BitsPerPixel);
        Fresh();
        SimPokeReg16(0x0904, 0x1234);
        SimStartRecording();
        const std::string Output = Captured([&] { EXPECT_TRUE(InitVideo(C.Width, C.Height, C.BitsPerPixel)); });
        EXPECT_EQ(SplitLines(Output), SetUpLines());
        TLines Expected = {std::string("W16 C00028DA ") + C.Format, std::string("W16 C000290C ") + C.LineLength,
                           "W16 C000090A FFFF", "R16 C0000904 1234", "W16 C0000904 1634"};
        const TLines Nop = NopAccesses(SimFb0Start);
        Expected.insert(Expected.end(), Nop.begin(), Nop.end());
        EXPECT_EQ(TakeAccesses(), Expected);

        EXPECT_TRUE(VideoReady);
        EXPECT_EQ(MemoryRefCount, 1);
        EXPECT_EQ(SimOpenDeviceFiles(), 3);
        for (const TFrameBuffer* Page : {&FB0, &FB1}) {
            const std::uint32_t Start = Page == &FB0 ? SimFb0Start : SimFb1Start;
            EXPECT_EQ(std::make_tuple(Page->Shown, Page->Screen, Page->BitsPerPixel, Page->BytesPerPixel,
                                      Page->SMemStart, Page->SMemLen),
                      std::make_tuple(false, static_cast<void*>(SimPhysToHost(Start, PageBytes)), C.BitsPerPixel,
                                      C.BytesPerPixel, Start, SimFbLength));
        }
    }
}

// A second set-up is refused and changes nothing. Closing gives back what set-up took (the last window reference
// with its restoring writes, or only its own reference while another is held), and set-up then runs again in full.
TEST_F(VideoTest, CloseGivesBackWhatSetUpTookAndSetUpRunsAgain)
{
    EXPECT_FALSE(CloseVideo());
    Captured([] { EXPECT_TRUE(InitVideo(320, 240, 16)); });
    SimStartRecording();
    EXPECT_EQ(Captured([] { EXPECT_FALSE(InitVideo(320, 240, 16)); }), "");
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    EXPECT_TRUE(CloseVideo());
    EXPECT_FALSE(CloseVideo());
    EXPECT_EQ(TakeAccesses(), RestoreWrites);
    EXPECT_FALSE(VideoReady);
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);

    FB0.Shown = true;
    ASSERT_TRUE(OpenMemory());
    EXPECT_EQ(SplitLines(Captured([] { EXPECT_TRUE(InitVideo(320, 240, 16)); })), SetUpLines());
    EXPECT_FALSE(FB0.Shown);
    EXPECT_EQ(MemoryRefCount, 2);
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    SimStartRecording();
    EXPECT_TRUE(CloseVideo());
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
}

// A failed set-up says which step failed, with the simulated device's error number (ENOENT 2, EIO 5, ENOMEM 12),
// gives back every descriptor it opened and the window reference it took, and leaves video not ready.
TEST_F(VideoTest, FailedSetUpReportsAndGivesBackWhatItTook)
{
    const TLines All = SetUpLines();
    TLines Fb1Open(All.begin(), All.begin() + 7);
    Fb1Open.push_back("No access to FB1:2");
    struct TCase {
        const char* Fault;
        TLines Lines;
    };
    const TCase Cases[] = {
        {"mem-open", {"Initialize Video", "dev/mem not open"}},
        {"mem-map-regs", {"Initialize Video", "memory not maped"}},
        {"fb0-open", {"Initialize Video", "Open FB0 device", "No access to FB0:2"}},
        {"fb-info", {"Initialize Video", "Open FB0 device", "No screen info for FB0:5"}},
        {"fb-map", {"Initialize Video", "Open FB0 device", "FB0 not mapped:12"}},
        {"fb1-open", Fb1Open},
    };
    for (const TCase& C : Cases) {
        const bool MemFault = std::string(C.Fault).compare(0, 4, "mem-") == 0;
        // With the window held elsewhere /dev/mem is open already: the mem faults cannot strike.
        for (bool WindowHeld : {false, true}) {
            if (MemFault && WindowHeld)
                continue;
            SCOPED_TRACE(std::string(C.Fault) + (WindowHeld ? " with the window held" : ""));
            Fresh();
            if (WindowHeld) {
                ASSERT_TRUE(OpenMemory());
            }
            ASSERT_TRUE(SimInjectFault(C.Fault));
            SimStartRecording();
            EXPECT_EQ(SplitLines(Captured([] { EXPECT_FALSE(InitVideo(320, 240, 16)); })), C.Lines);
            EXPECT_FALSE(VideoReady);
            EXPECT_EQ(MemoryRefCount, WindowHeld ? 1 : 0);
            EXPECT_EQ(SimOpenDeviceFiles(), WindowHeld ? 1 : 0);
            // Only a window opened and mapped here is given back with the restoring writes.
            EXPECT_EQ(TakeAccesses(true), WindowHeld || MemFault ? TLines{} : RestoreWrites);
            EXPECT_FALSE(CloseVideo());
        }
    }
}

} // namespace
