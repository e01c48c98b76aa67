// The trace file's lines.

#include "sim_fixture.h"
#include "support/test_support.h"

#include <string>
#include <vector>

namespace {

using TTrace = TSimFixture;

// One line per register access (consecutive identical reads folded into one) and per device event; the reset that
// ends a run closes the trace with the pending folded read written.
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
    const std::string Mixer = std::to_string(PlatformOpen("/dev/mixer", O_RDWR));
    int Level = 0x8080;
    PlatformIoctl(std::stoi(Mixer), SoundMixerWritePcm, &Level);
    PlatformClose(std::stoi(Mixer));
    const std::string Mem = std::to_string(PlatformOpen("/dev/mem", O_RDWR));
    PlatformMap(nullptr, 0x800000, PROT_READ | PROT_WRITE, MAP_SHARED, std::stoi(Mem), 0x02000000);
    PlatformClose(std::stoi(Mem));
    SimInjectFault("fb0-open");
    PlatformOpen("/dev/fb/0", O_RDWR);
    Read16(RegDisplayStatus);
    Read16(RegDisplayStatus);
    SimReset();
    Read16(RegDisplayStatus);

    EXPECT_EQ(SplitLines(ReadFile(Folder.File("trace.txt"))),
              (std::vector<std::string>{"W16 C00028DA 04AB", "R16 C0001182 0010 x3", "R16 C0001184 FFFF",
                                        "R16 C0001184 FFFF", "R16 C0001182 0010", "R16 C0001182 0011",
                                        "W32 E002002C 00F00140", "R32 E0020034 00000000 x2", "R32 E002002C 00F00140",
                                        "W16 C000290E 0000", "W16 C0002910 0300", "FLIP 1 03000000",
                                        "OPEN /dev/mixer " + Mixer, "IOCTL " + Mixer + " C0044D04", "MIXER 00008080",
                                        "CLOSE " + Mixer, "OPEN /dev/mem " + Mem,
                                        "MAP " + Mem + " 02000000 00800000", "CLOSE " + Mem, "FAULT fb0-open",
                                        "R16 C0001182 0011 x2"}));
}

TEST_F(TTrace, ReportsAFileThatCannotBeWritten)
{
    TTempDir Folder;
    EXPECT_FALSE(SimOpenTrace(Folder.File("missing/trace.txt")));
    Read16(RegDisplayStatus);
}

} // namespace
