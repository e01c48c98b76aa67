#include "device_fixture.h"

#include "device/register_map.h"
#include "device/register_window.h"

namespace {

using RegisterWindowTest = DeviceTest;

// Only the first acquisition opens and maps; only the last release restores the display and then closes; a release
// too many does nothing; the next acquisition starts afresh. The trace shows all of it in order.
TEST_F(RegisterWindowTest, CountsReferencesAndRestoresAtTheLastRelease)
{
    TTempDir Folder;
    ASSERT_TRUE(SimOpenTrace(Folder.File("trace.txt")));
    EXPECT_EQ(Captured([] {
                  for (int I = 0; I < 3; ++I)
                      EXPECT_TRUE(OpenMemory());
                  EXPECT_EQ(GetMemoryHandle(), MemHandle);
              }),
              "");
    EXPECT_EQ(MemoryRefCount, 4);
    const std::string First = std::to_string(MemHandle);
    for (int I = 0; I < 5; ++I)
        CloseMemory();
    EXPECT_EQ(MemoryRefCount, 0);

    ASSERT_TRUE(OpenMemory());
    const std::string Second = std::to_string(MemHandle);
    WriteReg16(RegVideoMask, 0x1234);
    EXPECT_EQ(ReadReg16(RegVideoMask), 0x1234);
    WriteBlitReg(BlitSrcStride, 0x12345678);
    EXPECT_EQ(ReadBlitReg(BlitSrcStride), 0x12345678u);
    CloseMemory();
    SimCloseTrace();
    EXPECT_EQ(SplitLines(ReadFile(Folder.File("trace.txt"))),
              (TLines{"OPEN /dev/mem " + First, "MAP " + First + " C0000000 00010000",
                      "MAP " + First + " E0020000 00000100", RestoreWrites[0], RestoreWrites[1], "CLOSE " + First,
                      "OPEN /dev/mem " + Second, "MAP " + Second + " C0000000 00010000",
                      "MAP " + Second + " E0020000 00000100", "W16 C000090A 1234", "R16 C000090A 1234",
                      "W32 E0020014 12345678", "R32 E0020014 12345678", RestoreWrites[0], RestoreWrites[1],
                      "CLOSE " + Second}));
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

// Every failing step writes its own line and gives back what it had taken, however often it is tried.
TEST_F(RegisterWindowTest, FailedAcquisitionReportsItsStepAndLeaksNothing)
{
    const std::pair<const char*, const char*> Cases[] = {{"mem-open", "dev/mem not open\n"},
                                                         {"mem-map-regs", "memory not maped\n"},
                                                         {"mem-map-blitter", "blitter memory not maped\n"}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.first);
        Fresh();
        ASSERT_TRUE(SimInjectFault(Case.first));
        for (int Attempt = 0; Attempt < 3; ++Attempt) {
            EXPECT_EQ(Captured([] { EXPECT_FALSE(OpenMemory()); }), Case.second);
            EXPECT_EQ(Captured([] { EXPECT_EQ(GetMemoryHandle(), -1); }), Case.second);
            EXPECT_EQ(MemoryRefCount, 0);
            EXPECT_EQ(SimOpenDeviceFiles(), 0);
        }
    }
}

TEST_F(RegisterWindowTest, FailedCloseIsReportedAfterTheRestoringWrites)
{
    ASSERT_TRUE(OpenMemory());
    ASSERT_TRUE(SimInjectFault("mem-close"));
    SimStartRecording();
    EXPECT_EQ(Captured(CloseMemory), "dev/map not close\n");
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(TakeAccesses(), RestoreWrites);
}

} // namespace
