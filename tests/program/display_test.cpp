// The register window, the video set-up and the page flip, as the simulated device saw them.

#include "device/page_flip.h"
#include "device/register_window.h"
#include "device/video.h"
#include "device/video_pages.h"
#include "program.h"

namespace {

const TLines Restore = {"W16 C00028DA 04AB", "W16 C000290C 0280"};

// Only the last release writes the display back and closes, and a release too many does nothing.
TEST(RegisterWindow, CountsReferencesAndRestoresTheDisplayAtTheLastRelease)
{
    FreshDevice();
    SimTraceToMemory();
    EXPECT_TRUE(OpenMemory() && OpenMemory() && OpenMemory() && GetMemoryHandle() >= 0);
    for (int Count = 0; Count < 3; ++Count)
        CloseMemory();
    EXPECT_EQ(TakeAccesses(), TLines{});
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    CloseMemory();
    CloseMemory();
    EXPECT_EQ(TakeAccesses(), Restore);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);

    ASSERT_TRUE(OpenMemory());
    ASSERT_TRUE(SimInjectFault("mem-close"));
    EXPECT_EQ(Printed(CloseMemory), "dev/map not close\n");
    EXPECT_EQ(TakeAccesses(), Restore);
}

const TLines SetUpLines = {"Initialize Video",     "Open FB0 device",      "ID:         sim-fb0",
                           "SMem_Start: 03000000", "SMem_Len:   00040000", "Screen:     <hex>",
                           "Open FB2 device",      "ID:         sim-fb1",  "SMem_Start: 03040000",
                           "SMem_Len:   00040000", "Screen:     <hex>"};

// The pixel size sets the format and the line length; the display is enabled, bit 10 set over what the control
// register held, and a no-op runs on page 0; addresses print whole. Closing gives back all set-up took.
TEST(Video, SetUpPrintsBothPagesProgramsTheDisplayAndCloses)
{
    const std::pair<std::int32_t, TLines> Cases[] = {{16, {"W16 C00028DA 04AB", "W16 C000290C 0280"}},
                                                     {15, {"W16 C00028DA 02AB", "W16 C000290C 0280"}},
                                                     {8, {"W16 C00028DA 02AB", "W16 C000290C 0140"}}};
    for (const auto& [BitsPerPixel, Expected] : Cases) {
        FreshDevice();
        SimPokeReg16(0x0904, 0x1234);
        SimTraceToMemory();
        ExpectLines(SetUpLines, Printed([&] { EXPECT_TRUE(InitVideo(1, 1, BitsPerPixel)); }));
        TLines Writes = Expected;
        for (const TLines& More :
             {TLines{"W16 C000090A FFFF", "R16 C0000904 1234", "W16 C0000904 1634"}, NopAccesses("03000000")})
            Writes.insert(Writes.end(), More.begin(), More.end());
        EXPECT_EQ(TakeAccesses(), Writes) << BitsPerPixel;
        EXPECT_EQ(Printed([] { EXPECT_FALSE(InitVideo(320, 240, 16)); }), "");
        EXPECT_TRUE(CloseVideo());
        EXPECT_EQ(TakeAccesses(), Restore);
        EXPECT_EQ(SimOpenDeviceFiles(), 0);
    }
}

// A failed set-up names its step (ENOENT 2, EIO 5, ENOMEM 12) and gives back all it had taken.
TEST(Video, FailedSetUpSaysWhereAndClosesWhatItOpened)
{
    const TLines Fb0 = {"Initialize Video", "Open FB0 device"};
    const TLines Fb1(SetUpLines.begin(), SetUpLines.begin() + 7);
    const struct { const char* Fault; TLines Lines; std::string Last; } Cases[] = {
        {"mem-open", {"Initialize Video"}, "dev/mem not open"},
        {"mem-map-regs", {"Initialize Video"}, "memory not maped"},
        {"mem-map-blitter", {"Initialize Video"}, "blitter memory not maped"},
        {"fb0-open", Fb0, "No access to FB0:2"},
        {"fb-info", Fb0, "No screen info for FB0:5"},
        {"fb-map", Fb0, "FB0 not mapped:12"},
        {"fb1-open", Fb1, "No access to FB1:2"}};
    for (const auto& Case : Cases) {
        FreshDevice();
        ASSERT_TRUE(SimInjectFault(Case.Fault));
        SimTraceToMemory();
        TLines Lines = Case.Lines;
        Lines.push_back(Case.Last);
        ExpectLines(Lines, Printed([] { EXPECT_FALSE(InitVideo(320, 240, 16)); }));
        EXPECT_EQ(TakeAccesses(), Lines.size() > 2 ? Restore : TLines{}) << Case.Fault;
        EXPECT_EQ(SimOpenDeviceFiles(), 0) << Case.Fault;
    }
}

// The low half first: the display latches the address when the high half is written. Then the wait's reads.
TLines StartWrites(const std::string& Low, const std::string& High, const std::string& Low2, const std::string& High2,
                   const TLines& Waited = {})
{
    TLines Writes = {"W16 C000290E " + Low, "W16 C0002910 " + High, "W16 C0002912 " + Low2, "W16 C0002914 " + High2};
    Writes.insert(Writes.end(), Waited.begin(), Waited.end());
    return Writes;
}

using PageFlip = TVideoUp;

// Wait -1: ShowVideoPage(Page), 1 showing page 1, -1 the page not shown, anything else page 0; 0 and 1: a flip, the
// second waiting for vertical sync: it reads until the bit is set, and once when the flip falls into the blanking.
TEST_F(PageFlip, ShowsThePageAskedForAndFlipsToTheOther)
{
    const struct { int Wait; std::int32_t Page; bool Shown0; std::uint32_t Start0; TLines Writes; } Cases[] = {
        {-1, 1, false, 0x03000000, StartWrites("0000", "0304", "0002", "0304")},
        {-1, 7, true, 0x03000000, StartWrites("0000", "0300", "0002", "0300")},
        {-1, -1, true, 0x03000000, StartWrites("0000", "0304", "0002", "0304")},
        {-1, -1, false, 0x0300FFFE, StartWrites("FFFE", "0300", "0000", "0301")},
        {0, 0, false, 0x03000000, StartWrites("0000", "0300", "0002", "0300")},
        {0, 0, true, 0x03000000, StartWrites("0000", "0304", "0002", "0304")},
        {1, 0, true, 0x03000000, StartWrites("0000", "0304", "0002", "0304", {"R16 C0001182 0000", "R16 C0001182 0010"})},
        {1, 0, false, 0x03000000, StartWrites("0000", "0300", "0002", "0300", {"R16 C0001182 0010"})},
    };
    for (const auto& Case : Cases) {
        FB0.Shown = Case.Shown0;
        FB0.SMemStart = Case.Start0;
        if (Case.Wait < 0)
            ShowVideoPage(Case.Page);
        else
            FlipVideoPage(Case.Wait == 1);
        EXPECT_EQ(TakeAccesses(), Case.Writes) << Case.Wait << " " << Case.Page << " " << Case.Shown0;
        EXPECT_EQ(SimDisplayStart(), std::stoul(Case.Writes[1].substr(13) + Case.Writes[0].substr(13), nullptr, 16));
        EXPECT_EQ(FB0.Shown, Case.Writes[1].substr(13) == "0300");
    }
}

} // namespace
