#include "device_fixture.h"

#include "device/register_map.h"
#include "device/register_window.h"

namespace {

using RegisterWindowTest = DeviceTest;

TEST_F(RegisterWindowTest, FirstAcquisitionOpensAndMapsLaterOnesOnlyCount)
{
    testing::internal::CaptureStdout();
    ASSERT_TRUE(OpenMemory());
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    EXPECT_GE(MemHandle, 0);
    ASSERT_TRUE(OpenMemory());
    ASSERT_TRUE(OpenMemory());
    SimStartRecording();
    EXPECT_TRUE(OpenMemory());
    EXPECT_EQ(MemoryRefCount, 4);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    EXPECT_EQ(GetMemoryHandle(), MemHandle);
    EXPECT_EQ(MemoryRefCount, 5);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(TakeAccesses().empty());
}

TEST_F(RegisterWindowTest, OnlyTheLastReleaseRestoresTheDisplayAndCloses)
{
    ASSERT_TRUE(OpenMemory());
    ASSERT_TRUE(OpenMemory());
    SimStartRecording();
    testing::internal::CaptureStdout();
    CloseMemory();
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(SimOpenDeviceFiles(), 1);

    CloseMemory();
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C00028DA 04AB", "W16 C000290C 0280"}));
    EXPECT_EQ(SimOpenDeviceFiles(), 0);

    CloseMemory();
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_TRUE(TakeAccesses().empty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// The display is left in its 16 bits per pixel format before /dev/mem is given back.
TEST_F(RegisterWindowTest, LastReleaseRestoresBeforeItCloses)
{
    TTempDir Folder;
    ASSERT_TRUE(SimOpenTrace(Folder.File("trace.txt")));
    ASSERT_TRUE(OpenMemory());
    const std::int32_t Handle = MemHandle;
    CloseMemory();
    SimCloseTrace();
    const std::vector<std::string> Lines = SplitLines(ReadFile(Folder.File("trace.txt")));
    ASSERT_GE(Lines.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(Lines.end() - 3, Lines.end()),
              (std::vector<std::string>{"W16 C00028DA 04AB", "W16 C000290C 0280", "CLOSE " + std::to_string(Handle)}));
}

TEST_F(RegisterWindowTest, AcquisitionAfterTheLastReleaseOpensAndMapsAgain)
{
    ASSERT_TRUE(OpenMemory());
    CloseMemory();
    ASSERT_EQ(SimOpenDeviceFiles(), 0);
    ASSERT_TRUE(OpenMemory());
    EXPECT_EQ(MemoryRefCount, 1);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    SimStartRecording();
    WriteReg16(RegVideoMask, 0x1234);
    EXPECT_EQ(ReadReg16(RegVideoMask), 0x1234);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C000090A 1234", "R16 C000090A 1234"}));
    CloseMemory();
}

TEST_F(RegisterWindowTest, AccessHelpersReachTheRegistersAtTheirPhysicalAddresses)
{
    ASSERT_TRUE(OpenMemory());
    SimStartRecording();
    WriteReg16(RegDisplayStart2High, 0xBEEF);
    WriteBlitReg(BlitSrcStride, 0x12345678);
    EXPECT_EQ(ReadBlitReg(BlitSrcStride), 0x12345678u);
    EXPECT_EQ(SimPeekReg16(RegDisplayStart2High), 0xBEEF);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C0002914 BEEF", "W32 E0020014 12345678",
                                                        "R32 E0020014 12345678"}));
    CloseMemory();
}

struct TOpenFailure {
    const char* Fault;
    const char* Line;
};

class OpenMemoryFailureTest : public DeviceTest, public testing::WithParamInterface<TOpenFailure> {};

// Every failing step writes its own line, leaves the count at 0, and gives back what it had taken, however often
// it is tried.
TEST_P(OpenMemoryFailureTest, ReportsTheStepAndLeaksNothing)
{
    ASSERT_TRUE(SimInjectFault(GetParam().Fault));
    const std::string Expected = std::string(GetParam().Line) + "\n";
    for (int Attempt = 0; Attempt < 3; ++Attempt) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(OpenMemory());
        EXPECT_EQ(testing::internal::GetCapturedStdout(), Expected);
        EXPECT_EQ(MemoryRefCount, 0);
        EXPECT_EQ(SimOpenDeviceFiles(), 0);
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(GetMemoryHandle(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), Expected);
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Faults, OpenMemoryFailureTest,
                         testing::Values(TOpenFailure{"mem-open", "dev/mem not open"},
                                         TOpenFailure{"mem-map-regs", "memory not maped"},
                                         TOpenFailure{"mem-map-blitter", "blitter memory not maped"}),
                         [](const testing::TestParamInfo<TOpenFailure>& Info) { return TestName(Info.param.Fault); });

TEST_F(RegisterWindowTest, FailedCloseIsReportedAndTheCountStaysZero)
{
    ASSERT_TRUE(OpenMemory());
    ASSERT_TRUE(SimInjectFault("mem-close"));
    SimStartRecording();
    testing::internal::CaptureStdout();
    CloseMemory();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "dev/map not close\n");
    EXPECT_EQ(MemoryRefCount, 0);
    EXPECT_EQ(TakeAccesses(), (std::vector<std::string>{"W16 C00028DA 04AB", "W16 C000290C 0280"}));
}

} // namespace
