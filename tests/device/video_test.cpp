#include "device_fixture.h"

#include <cinttypes>

#include "device/register_window.h"
#include "device/video.h"
#include "device/video_pages.h"

namespace {

std::string ScreenLine(const void* Screen)
{
    char Text[64];
    std::snprintf(Text, sizeof Text, "Screen:     %08" PRIXPTR, reinterpret_cast<std::uintptr_t>(Screen));
    return Text;
}

std::vector<std::string> SetUpLines()
{
    return {"Initialize Video",         "Open FB0 device",      "ID:         sim-fb0", "SMem_Start: 03000000",
            "SMem_Len:   00040000",     ScreenLine(FB0.Screen), "Open FB2 device",     "ID:         sim-fb1",
            "SMem_Start: 03040000",     "SMem_Len:   00040000", ScreenLine(FB1.Screen)};
}

bool IsBlitterAccess(const TSimAccess& Access)
{
    return Access.Bits == 32;
}

std::vector<std::string> NopWrites(std::uint32_t Target)
{
    const std::pair<std::uint32_t, std::uint32_t> Writes[] = {{0xE0020000, 0x60},    {0xE0020004, Target},
                                                              {0xE002000C, 0x100},   {0xE0020020, 0},
                                                              {0xE002002C, 0x10008}, {0xE0020030, 0x7AA},
                                                              {0xE0020034, 1}};
    std::vector<std::string> Result;
    for (const auto& Write : Writes)
        Result.push_back(AccessText({true, 32, Write.first, Write.second}));
    return Result;
}

using VideoTest = DeviceTest;

struct TFormatCase {
    std::int32_t Width, Height, BitsPerPixel;
    const char* Format;
    const char* LineLength;
    std::int32_t BytesPerPixel;
};

class VideoFormatTest : public DeviceTest, public testing::WithParamInterface<TFormatCase> {};

TEST_P(VideoFormatTest, SetUpReportsBothPagesAndProgramsTheDisplay)
{
    const TFormatCase& C = GetParam();
    SimPokeReg16(0x0904, 0x1234);
    SimStartRecording();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(InitVideo(C.Width, C.Height, C.BitsPerPixel));
    EXPECT_EQ(SplitLines(testing::internal::GetCapturedStdout()), SetUpLines());
    const std::vector<TSimAccess> Accesses = SimTakeRecording();
    std::vector<std::string> Registers;
    std::vector<std::string> BlitterWrites;
    for (const TSimAccess& Access : Accesses) {
        if (!IsBlitterAccess(Access))
            Registers.push_back(AccessText(Access));
        else if (Access.Write)
            BlitterWrites.push_back(AccessText(Access));
    }
    EXPECT_EQ(Registers, (std::vector<std::string>{std::string("W16 C00028DA ") + C.Format,
                                                   std::string("W16 C000290C ") + C.LineLength, "W16 C000090A FFFF",
                                                   "R16 C0000904 1234", "W16 C0000904 1634"}));
    // The closing no-op blit comes last, on page 0, the drawing page right after set-up.
    EXPECT_FALSE(IsBlitterAccess(Accesses.front()));
    EXPECT_EQ(BlitterWrites, NopWrites(SimFb0Start));

    EXPECT_TRUE(VideoReady);
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    const TFrameBuffer* Pages[] = {&FB0, &FB1};
    const std::uint32_t Starts[] = {SimFb0Start, SimFb1Start};
    for (int I = 0; I < 2; ++I) {
        EXPECT_FALSE(Pages[I]->Shown);
        EXPECT_GE(Pages[I]->Handle, 0);
        EXPECT_EQ(Pages[I]->Screen, SimPhysToHost(Starts[I], PageBytes));
        EXPECT_EQ(Pages[I]->BitsPerPixel, C.BitsPerPixel);
        EXPECT_EQ(Pages[I]->BytesPerPixel, C.BytesPerPixel);
        EXPECT_EQ(Pages[I]->SMemStart, Starts[I]);
        EXPECT_EQ(Pages[I]->SMemLen, SimFbLength);
    }
    EXPECT_NE(FB0.Handle, FB1.Handle);
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetVideoBuffer(), FB0.Screen);
    EXPECT_EQ(GetVideoBufferPhys(), SimFb0Start);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(CloseVideo());
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoFormatTest,
                         testing::Values(TFormatCase{320, 240, 16, "04AB", "0280", 2},
                                         TFormatCase{0, 0, 16, "04AB", "0280", 2},
                                         TFormatCase{320, 240, 15, "02AB", "0280", 2},
                                         TFormatCase{320, 240, 8, "02AB", "0140", 1},
                                         TFormatCase{320, 240, 24, "06AB", "03C0", 3},
                                         TFormatCase{320, 240, 32, "08AB", "0500", 4}),
                         [](const testing::TestParamInfo<TFormatCase>& Info) {
                             return TestName(std::to_string(Info.param.Width) + "x" + std::to_string(Info.param.Height) +
                                             " " + std::to_string(Info.param.BitsPerPixel) + "bpp");
                         });

TEST_F(VideoTest, SecondSetUpChangesNothing)
{
    testing::internal::CaptureStdout();
    ASSERT_TRUE(InitVideo(320, 240, 16));
    testing::internal::GetCapturedStdout();
    const TFrameBuffer Before = FB0;
    SimStartRecording();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(InitVideo(320, 240, 16));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    EXPECT_EQ(FB0.Handle, Before.Handle);
    EXPECT_TRUE(VideoReady);
    EXPECT_TRUE(CloseVideo());
}

TEST_F(VideoTest, CloseGivesEverythingBackAndSetUpRunsAgainInFull)
{
    testing::internal::CaptureStdout();
    EXPECT_FALSE(CloseVideo());
    ASSERT_TRUE(InitVideo(320, 240, 16));
    testing::internal::GetCapturedStdout();

    SimStartRecording();
    EXPECT_TRUE(CloseVideo());
    EXPECT_FALSE(VideoReady);
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C00028DA 04AB", "W16 C000290C 0280"}));
    EXPECT_FALSE(CloseVideo());

    FB0.Shown = true;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(InitVideo(320, 240, 16));
    EXPECT_EQ(SplitLines(testing::internal::GetCapturedStdout()), SetUpLines());
    EXPECT_FALSE(FB0.Shown);
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_TRUE(CloseVideo());
}

TEST_F(VideoTest, CloseKeepsAReferenceHeldElsewhere)
{
    ASSERT_TRUE(OpenMemory());
    testing::internal::CaptureStdout();
    ASSERT_TRUE(InitVideo(320, 240, 16));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(MemoryRefCount, 2);
    SimStartRecording();
    EXPECT_TRUE(CloseVideo());
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    EXPECT_TRUE(TakeAccesses().empty());
    CloseMemory();
}

const char* const Screen0 = "<page 0's address>";

// The error numbers are those the simulated device gives: ENOENT (2) for a missing framebuffer device, EIO (5)
// for a refused screen query, ENOMEM (12) for a refused mapping.
struct TFailureCase {
    const char* Fault;
    bool WindowHeld;
    std::vector<std::string> Lines; // Screen0 stands for page 0's address line
    bool ReachesPage1;
};

class VideoFailureTest : public DeviceTest, public testing::WithParamInterface<TFailureCase> {};

// A failed set-up says which step failed, gives back every descriptor it opened and the window reference it took,
// and leaves video not ready.
TEST_P(VideoFailureTest, ReportsAndGivesBackWhatItTook)
{
    const TFailureCase& C = GetParam();
    if (C.WindowHeld) {
        ASSERT_TRUE(OpenMemory());
    }
    const std::int32_t CountBefore = MemoryRefCount;
    const int FilesBefore = SimOpenDeviceFiles();
    ASSERT_TRUE(SimInjectFault(C.Fault));
    SimStartRecording();
    testing::internal::CaptureStdout();
    EXPECT_FALSE(InitVideo(320, 240, 16));
    std::vector<std::string> Expected = C.Lines;
    for (std::string& Line : Expected)
        if (Line == Screen0)
            Line = ScreenLine(FB0.Screen);
    EXPECT_EQ(SplitLines(testing::internal::GetCapturedStdout()), Expected);
    EXPECT_FALSE(VideoReady);
    EXPECT_EQ(MemoryRefCount, CountBefore);
    EXPECT_EQ(SimOpenDeviceFiles(), FilesBefore);
    std::vector<std::string> Writes = TakeWrites();
    // Only a failure after the window was opened here gives back its last reference, with the restoring writes.
    const bool OpenedHere = !C.WindowHeld && std::string(C.Fault) != "mem-open" &&
                            std::string(C.Fault) != "mem-map-regs";
    if (OpenedHere) {
        EXPECT_EQ(Writes, (std::vector<std::string>{"W16 C00028DA 04AB", "W16 C000290C 0280"}));
    } else {
        EXPECT_TRUE(Writes.empty());
    }
    if (C.ReachesPage1) {
        EXPECT_EQ(FB0.Screen, SimPhysToHost(SimFb0Start, PageBytes));
    }
    testing::internal::CaptureStdout();
    EXPECT_FALSE(CloseVideo());
    EXPECT_EQ(GetVideoBuffer(), nullptr);
    testing::internal::GetCapturedStdout();
    if (C.WindowHeld)
        CloseMemory();
}

const std::vector<std::string> Page0Lines = {"Initialize Video",     "Open FB0 device",      "ID:         sim-fb0",
                                             "SMem_Start: 03000000", "SMem_Len:   00040000", Screen0,
                                             "Open FB2 device"};

std::vector<std::string> AfterPage0(const std::string& Line)
{
    std::vector<std::string> Lines = Page0Lines;
    Lines.push_back(Line);
    return Lines;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, VideoFailureTest,
    testing::Values(
        TFailureCase{"mem-open", false, {"Initialize Video", "dev/mem not open"}, false},
        TFailureCase{"mem-map-regs", false, {"Initialize Video", "memory not maped"}, false},
        TFailureCase{"fb0-open", false, {"Initialize Video", "Open FB0 device", "No access to FB0:2"}, false},
        TFailureCase{"fb0-open", true, {"Initialize Video", "Open FB0 device", "No access to FB0:2"}, false},
        TFailureCase{"fb1-open", false, AfterPage0("No access to FB1:2"), true},
        TFailureCase{"fb1-open", true, AfterPage0("No access to FB1:2"), true},
        TFailureCase{"fb-info", false, {"Initialize Video", "Open FB0 device", "No screen info for FB0:5"},
                     false},
        TFailureCase{"fb-info", true, {"Initialize Video", "Open FB0 device", "No screen info for FB0:5"},
                     false},
        TFailureCase{"fb-map", false, {"Initialize Video", "Open FB0 device", "FB0 not mapped:12"}, false},
        TFailureCase{"fb-map", true, {"Initialize Video", "Open FB0 device", "FB0 not mapped:12"}, false}),
    [](const testing::TestParamInfo<TFailureCase>& Info) {
        return TestName(std::string(Info.param.Fault) + (Info.param.WindowHeld ? " window held" : ""));
    });

} // namespace
