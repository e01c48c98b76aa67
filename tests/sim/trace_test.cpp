// The trace file's lines and the recording of register accesses.

#include "sim_fixture.h"
#include "support/test_support.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using TTrace = TSimFixture;

TEST_F(TTrace, WritesOneLinePerAccessAndEvent)
{
    TTempDir Folder;
    ASSERT_TRUE(SimOpenTrace(Folder.File("trace.txt")));
    Write16(RegDisplayFormat, 0x04AB);
    Read16(RegDisplayStatus);
    Read16(RegDisplayStatus);
    Read16(RegDisplayStatus);
    Read16(RegButtons);
    Read16(RegButtons);
    Read16(RegDisplayStatus);
    SimPokeReg16(RegDisplayStatus, 0x0001);
    Read16(RegDisplayStatus);
    WriteBlit(BlitSize, 0x00F00140);
    ReadBlit(BlitRun);
    ReadBlit(BlitRun);
    ReadBlit(BlitSize);
    Write16(RegDisplayStartLow, 0x0000);
    Write16(RegDisplayStartHigh, 0x0300);
    int Mixer = PlatformOpen("/dev/mixer", O_RDWR);
    int Level = 0x8080;
    PlatformIoctl(Mixer, SoundMixerWritePcm, &Level);
    PlatformClose(Mixer);
    int Mem = PlatformOpen("/dev/mem", O_RDWR);
    PlatformMap(nullptr, 0x800000, PROT_READ | PROT_WRITE, MAP_SHARED, Mem, 0x02000000);
    PlatformClose(Mem);
    SimInjectFault("fb0-open");
    PlatformOpen("/dev/fb/0", O_RDWR);
    Read16(RegDisplayStatus);
    SimCloseTrace();
    Read16(RegDisplayStatus);

    auto Number = [](int Value) { return std::to_string(Value); };
    std::vector<std::string> Expected = {
        "W16 C00028DA 04AB",
        "R16 C0001182 0010 x3",
        "R16 C0001184 FFFF",
        "R16 C0001184 FFFF",
        "R16 C0001182 0010",
        "R16 C0001182 0011",
        "W32 E002002C 00F00140",
        "R32 E0020034 00000000 x2",
        "R32 E002002C 00F00140",
        "W16 C000290E 0000",
        "W16 C0002910 0300",
        "FLIP 1 03000000",
        "OPEN /dev/mixer " + Number(Mixer),
        "IOCTL " + Number(Mixer) + " C0044D04",
        "MIXER 00008080",
        "CLOSE " + Number(Mixer),
        "OPEN /dev/mem " + Number(Mem),
        "MAP " + Number(Mem) + " 02000000 00800000",
        "CLOSE " + Number(Mem),
        "FAULT fb0-open",
        "R16 C0001182 0011",
    };
    EXPECT_EQ(SplitLines(ReadFile(Folder.File("trace.txt"))), Expected);
}

// A program that ends while a folded read is pending still gets it written when the trace closes.
TEST_F(TTrace, ClosingWritesThePendingFoldedRead)
{
    TTempDir Folder;
    ASSERT_TRUE(SimOpenTrace(Folder.File("trace.txt")));
    ReadBlit(BlitRun);
    ReadBlit(BlitRun);
    SimReset();
    EXPECT_EQ(SplitLines(ReadFile(Folder.File("trace.txt"))), std::vector<std::string>{"R32 E0020034 00000000 x2"});
}

TEST_F(TTrace, ReportsAFileThatCannotBeWritten)
{
    TTempDir Folder;
    EXPECT_FALSE(SimOpenTrace(Folder.File("missing/trace.txt")));
    Read16(RegDisplayStatus);
}

// The recording keeps every access, unfolded, with physical addresses, until it is taken.
TEST_F(TTrace, RecordsEveryAccessUntilTaken)
{
    Read16(RegButtons);
    SimStartRecording();
    Write16(RegDisplayStartLow, 0x1234);
    Read16(RegDisplayStatus);
    Read16(RegDisplayStatus);
    WriteBlit(BlitRun, 0);
    ReadBlit(BlitRun);
    std::vector<TSimAccess> Taken = SimTakeRecording();
    ASSERT_EQ(Taken.size(), 5u);
    const TSimAccess Expected[] = {{true, 16, 0xC000290E, 0x1234},
                                   {false, 16, 0xC0001182, 0x0010},
                                   {false, 16, 0xC0001182, 0x0010},
                                   {true, 32, 0xE0020034, 0},
                                   {false, 32, 0xE0020034, 0}};
    for (std::size_t Index = 0; Index < Taken.size(); ++Index) {
        EXPECT_EQ(Taken[Index].Write, Expected[Index].Write) << Index;
        EXPECT_EQ(Taken[Index].Bits, Expected[Index].Bits) << Index;
        EXPECT_EQ(Taken[Index].Address, Expected[Index].Address) << Index;
        EXPECT_EQ(Taken[Index].Value, Expected[Index].Value) << Index;
    }
    EXPECT_TRUE(SimTakeRecording().empty());
    Read16(RegExtraButtons);
    ASSERT_EQ(SimTakeRecording().size(), 1u);
    SimReset();
    Read16(RegExtraButtons);
    EXPECT_TRUE(SimTakeRecording().empty());
}

} // namespace
