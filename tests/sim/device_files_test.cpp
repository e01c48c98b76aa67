// The simulated device files: /dev/mem mappings by region, the framebuffers, the mixer, descriptors and faults.

#include "sim_fixture.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <linux/fb.h>
#include <unistd.h>

namespace {

using TDeviceFiles = TSimFixture;

struct TMapCase {
    std::uint64_t Offset;
    std::size_t Length;
    int Error; // 0: the mapping succeeds
};

class TMemMapping : public TSimFixture, public ::testing::WithParamInterface<TMapCase> {};

TEST_P(TMemMapping, MapsWhatLiesWhollyInOneRegion)
{
    const TMapCase& Case = GetParam();
    void* Mapped = PlatformMap(nullptr, Case.Length, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle,
                               static_cast<std::int64_t>(Case.Offset));
    if (Case.Error != 0) {
        EXPECT_EQ(Mapped, MAP_FAILED);
        EXPECT_EQ(PlatformLastError(), Case.Error);
        return;
    }
    ASSERT_NE(Mapped, MAP_FAILED);
    if (Case.Offset < SimRamSize) {
        EXPECT_EQ(Mapped, SimPhysToHost(static_cast<std::uint32_t>(Case.Offset), 1));
    } else if (Case.Offset >= RegisterBlockPhys && Case.Offset < RegisterBlockPhys + RegisterBlockSize) {
        // A view of the register block at its offset: a write through it is the register's.
        auto Offset = static_cast<std::uint32_t>(Case.Offset - RegisterBlockPhys);
        PlatformStore16(static_cast<volatile std::uint16_t*>(Mapped) + 1, 0xBEEF);
        EXPECT_EQ(SimPeekReg16(Offset + 2), 0xBEEF);
    } else {
        PlatformStore32(static_cast<volatile std::uint32_t*>(Mapped) + BlitSize / 4, 0x00F00140);
        EXPECT_EQ(ReadBlit(BlitSize), 0x00F00140u);
    }
    EXPECT_EQ(PlatformUnmap(Mapped, Case.Length), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, TMemMapping,
    ::testing::Values(TMapCase{0, SimRamSize, 0},                       // all of RAM
                      TMapCase{0x02000000, 0x00800000, 0},              // the program's 8 MiB window
                      TMapCase{SimRamSize - 4096, 4096, 0},             // RAM's last page
                      TMapCase{0xC0000000, 0x10000, 0},                 // the register block
                      TMapCase{0xC0001000, 0x1000, 0},                  // a page inside it
                      TMapCase{0xE0020000, 0x100, 0},                   // the blitter window
                      TMapCase{SimRamSize - 4096, 8192, EINVAL},        // across the end of RAM
                      TMapCase{SimRamSize, 4096, EINVAL},               // nothing there
                      TMapCase{0xBFFFF000, 0x2000, EINVAL},             // into the register block from below
                      TMapCase{0xC0000000, 0x10001, EINVAL},            // past the register block
                      TMapCase{0xE0020000, 0x1000, EINVAL},             // past the blitter window
                      TMapCase{0xE0021000, 0x100, EINVAL},              // beside the blitter window
                      TMapCase{0x100000000ull, 4096, EINVAL},           // beyond 32 bits
                      TMapCase{0x02000800, 4096, EINVAL},               // an offset that is no page boundary
                      TMapCase{0x02000000, 0, EINVAL}));                // nothing at all

// The tests' own view of RAM: only ranges wholly inside it, never a register, never an address that wraps.
TEST_F(TDeviceFiles, PhysToHostOnlyForRangesWhollyInRam)
{
    std::uint8_t* Ram = SimPhysToHost(0, SimRamSize);
    ASSERT_NE(Ram, nullptr);
    EXPECT_EQ(SimPhysToHost(SimRamSize - 2, 2), Ram + SimRamSize - 2);
    EXPECT_EQ(SimPhysToHost(SimRamSize - 1, 2), nullptr);
    EXPECT_EQ(SimPhysToHost(SimRamSize, 0), nullptr);
    EXPECT_EQ(SimPhysToHost(0xFFFFFFFFu, 2), nullptr);
    EXPECT_EQ(SimPhysToHost(0xC0000000u, 2), nullptr);
}

TEST_F(TDeviceFiles, MemoryOpenedReadOnlyCannotBeMappedForWriting)
{
    int Handle = PlatformOpen("/dev/mem", O_RDONLY);
    ASSERT_GE(Handle, 0);
    EXPECT_EQ(PlatformMap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, Handle, 0), MAP_FAILED);
    EXPECT_EQ(PlatformLastError(), EACCES);
    EXPECT_NE(PlatformMap(nullptr, 4096, PROT_READ, MAP_SHARED, Handle, 0), MAP_FAILED);
    EXPECT_EQ(PlatformClose(Handle), 0);
}

struct TFbCase {
    const char* Path;
    const char* Id;
    std::uint32_t Start;
};

class TFramebuffer : public TSimFixture, public ::testing::WithParamInterface<TFbCase> {};

TEST_P(TFramebuffer, ReportsAndMapsItsVideoMemory)
{
    const TFbCase& Case = GetParam();
    int Handle = PlatformOpen(Case.Path, O_RDWR);
    ASSERT_GE(Handle, 0);
    fb_fix_screeninfo Info;
    std::memset(&Info, 0xA5, sizeof Info);
    ASSERT_EQ(PlatformIoctl(Handle, FBIOGET_FSCREENINFO, &Info), 0);
    EXPECT_STREQ(std::string(Info.id, sizeof Info.id).c_str(), Case.Id);
    EXPECT_EQ(Info.smem_start, Case.Start);
    EXPECT_EQ(Info.smem_len, SimFbLength);

    void* Page = PlatformMap(nullptr, 153600, PROT_WRITE, MAP_SHARED, Handle, 0);
    EXPECT_EQ(Page, SimPhysToHost(Case.Start, 153600));
    void* Whole = PlatformMap(nullptr, SimFbLength, PROT_WRITE, MAP_SHARED, Handle, 0);
    EXPECT_EQ(Whole, Page);
    EXPECT_EQ(PlatformMap(nullptr, SimFbLength + 1, PROT_WRITE, MAP_SHARED, Handle, 0), MAP_FAILED);
    EXPECT_EQ(PlatformLastError(), EINVAL);
    EXPECT_EQ(PlatformUnmap(Page, 153600), 0);

    fb_var_screeninfo Variable;
    EXPECT_EQ(PlatformIoctl(Handle, FBIOGET_VSCREENINFO, &Variable), -1);
    EXPECT_EQ(PlatformLastError(), EINVAL);
    EXPECT_EQ(PlatformClose(Handle), 0);
}

INSTANTIATE_TEST_SUITE_P(Devices, TFramebuffer,
                         ::testing::Values(TFbCase{"/dev/fb/0", "sim-fb0", 0x03000000},
                                           TFbCase{"/dev/fb/1", "sim-fb1", 0x03040000}));

TEST_F(TDeviceFiles, VideoMemoryLiesInRamOutsideTheProgramsWindow)
{
    EXPECT_GE(SimFb0Start, 0x02800000u);
    EXPECT_GE(SimFb1Start, SimFb0Start + SimFbLength);
    EXPECT_LE(SimFb1Start + SimFbLength, SimRamSize);
    EXPECT_GE(SimFbLength, 153600u);
}

TEST_F(TDeviceFiles, MixerStoresThePcmLevel)
{
    int Handle = PlatformOpen("/dev/mixer", O_RDWR);
    ASSERT_GE(Handle, 0);
    EXPECT_EQ(SimMixerArgument(), 0u);
    int Argument = 0x8080;
    EXPECT_EQ(PlatformIoctl(Handle, SoundMixerWritePcm, &Argument), 0);
    EXPECT_EQ(SimMixerArgument(), 0x8080u);
    EXPECT_EQ(PlatformIoctl(Handle, 0xC0044D00ul, &Argument), -1);
    EXPECT_EQ(PlatformLastError(), EINVAL);
    EXPECT_EQ(PlatformClose(Handle), 0);
    SimReset();
    EXPECT_EQ(SimMixerArgument(), 0u);
}

// Simulated descriptors are real numbers that nothing else gets while they are open.
TEST_F(TDeviceFiles, DescriptorsAreCountedAndNeverShared)
{
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    int Fb = PlatformOpen("/dev/fb/0", O_RDWR);
    int Mixer = PlatformOpen("/dev/mixer", O_RDWR);
    EXPECT_EQ(SimOpenDeviceFiles(), 3);
    int Host = ::open("/dev/null", O_RDONLY);
    EXPECT_NE(Host, MemHandle);
    EXPECT_NE(Host, Fb);
    EXPECT_NE(Host, Mixer);
    ::close(Host);
    EXPECT_EQ(PlatformClose(Fb), 0);
    EXPECT_EQ(PlatformClose(Mixer), 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    EXPECT_EQ(PlatformClose(Mixer), -1);
    EXPECT_EQ(PlatformLastError(), EBADF);
    SimReset();
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

// Any other path is the host's.
TEST_F(TDeviceFiles, OtherPathsGoToTheHost)
{
    EXPECT_EQ(PlatformOpen("/nonexistent/brimlet", O_RDONLY), -1);
    EXPECT_EQ(PlatformLastError(), ENOENT);
    int Handle = PlatformOpen("/dev/zero", O_RDONLY);
    ASSERT_GE(Handle, 0);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    void* Mapped = PlatformMap(nullptr, 4096, PROT_READ, MAP_PRIVATE, Handle, 0);
    ASSERT_NE(Mapped, MAP_FAILED);
    EXPECT_EQ(static_cast<const std::uint8_t*>(Mapped)[100], 0);
    EXPECT_EQ(PlatformUnmap(Mapped, 4096), 0);
    EXPECT_EQ(PlatformClose(Handle), 0);
}

// Each fault makes exactly its own operation fail, with its error number; the operation works without it.
// An operation returns 0 when it succeeds, else the error number of the call that failed.
struct TFaultCase {
    const char* Fault;
    int Error;
    int (*Operation)();
};

int Opens(const char* Path)
{
    int Handle = PlatformOpen(Path, O_RDWR);
    if (Handle < 0)
        return PlatformLastError();
    PlatformClose(Handle);
    return 0;
}

int MapsMem(std::uint64_t Offset, std::size_t Length)
{
    int Handle = PlatformOpen("/dev/mem", O_RDWR);
    void* Mapped = PlatformMap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_SHARED, Handle,
                               static_cast<std::int64_t>(Offset));
    int Error = Mapped == MAP_FAILED ? PlatformLastError() : 0;
    PlatformClose(Handle);
    return Error;
}

int QueriesFb(const char* Path)
{
    int Handle = PlatformOpen(Path, O_RDWR);
    fb_fix_screeninfo Info;
    int Error = PlatformIoctl(Handle, FBIOGET_FSCREENINFO, &Info) < 0 ? PlatformLastError() : 0;
    PlatformClose(Handle);
    return Error;
}

int MapsFb(const char* Path)
{
    int Handle = PlatformOpen(Path, O_RDWR);
    void* Mapped = PlatformMap(nullptr, 153600, PROT_WRITE, MAP_SHARED, Handle, 0);
    int Error = Mapped == MAP_FAILED ? PlatformLastError() : 0;
    PlatformClose(Handle);
    return Error;
}

int ClosesMem()
{
    int Handle = PlatformOpen("/dev/mem", O_RDWR);
    return PlatformClose(Handle) < 0 ? PlatformLastError() : 0;
}

class TFaults : public ::testing::TestWithParam<TFaultCase> {
protected:
    void SetUp() override { SimReset(); }
    void TearDown() override { SimReset(); }
};

TEST_P(TFaults, FailsItsOwnOperation)
{
    const TFaultCase& Case = GetParam();
    EXPECT_FALSE(SimFaultActive(Case.Fault));
    EXPECT_EQ(Case.Operation(), 0);
    ASSERT_TRUE(SimInjectFault(Case.Fault));
    EXPECT_TRUE(SimFaultActive(Case.Fault));
    EXPECT_EQ(Case.Operation(), Case.Error);
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
    SimReset();
    EXPECT_FALSE(SimFaultActive(Case.Fault));
}

INSTANTIATE_TEST_SUITE_P(
    Names, TFaults,
    ::testing::Values(TFaultCase{"mem-open", EACCES, [] { return Opens("/dev/mem"); }},
                      TFaultCase{"mem-map-regs", ENOMEM, [] { return MapsMem(0xC0000000, 0x10000); }},
                      TFaultCase{"mem-map-blitter", ENOMEM, [] { return MapsMem(0xE0020000, 0x100); }},
                      TFaultCase{"mem-map-window", ENOMEM, [] { return MapsMem(0x02000000, 0x800000); }},
                      TFaultCase{"mem-close", EIO, ClosesMem},
                      TFaultCase{"fb0-open", ENOENT, [] { return Opens("/dev/fb/0"); }},
                      TFaultCase{"fb1-open", ENOENT, [] { return Opens("/dev/fb/1"); }},
                      TFaultCase{"fb-info", EIO, [] { return QueriesFb("/dev/fb/1"); }},
                      TFaultCase{"fb-map", ENOMEM, [] { return MapsFb("/dev/fb/0"); }},
                      TFaultCase{"mixer-open", ENOENT, [] { return Opens("/dev/mixer"); }}),
    [](const ::testing::TestParamInfo<TFaultCase>& Info) {
        std::string Name = Info.param.Fault;
        for (char& Letter : Name)
            if (Letter == '-')
                Letter = '_';
        return Name;
    });

// A fault strikes only its own operation: every other device operation still works, unless it needs the open
// that the fault makes fail.
TEST(TFaultIsolation, EachFaultLeavesTheOtherOperationsAlone)
{
    struct TOperation {
        std::string Fault;
        int (*Operation)();
        std::string OpenFault; // the fault that fails the open it starts with
    };
    const TOperation Operations[] = {
        {"mem-open", [] { return Opens("/dev/mem"); }, "mem-open"},
        {"mem-map-regs", [] { return MapsMem(0xC0000000, 0x10000); }, "mem-open"},
        {"mem-map-blitter", [] { return MapsMem(0xE0020000, 0x100); }, "mem-open"},
        {"mem-map-window", [] { return MapsMem(0x02000000, 0x800000); }, "mem-open"},
        {"mem-close", ClosesMem, "mem-open"},
        {"fb0-open", [] { return Opens("/dev/fb/0"); }, "fb0-open"},
        {"fb1-open", [] { return Opens("/dev/fb/1"); }, "fb1-open"},
        {"fb-info", [] { return QueriesFb("/dev/fb/0"); }, "fb0-open"},
        {"fb-map", [] { return MapsFb("/dev/fb/1"); }, "fb1-open"},
        {"mixer-open", [] { return Opens("/dev/mixer"); }, "mixer-open"},
    };
    for (const TOperation& Injected : Operations) {
        SimReset();
        SimInjectFault(Injected.Fault);
        for (const TOperation& Other : Operations) {
            if (Other.Fault != Injected.Fault && Other.OpenFault != Injected.Fault) {
                EXPECT_EQ(Other.Operation(), 0) << Other.Fault << " with " << Injected.Fault;
            }
        }
    }
    SimReset();
}

TEST(TFaultList, NamesEveryFaultOnceWithADescription)
{
    const char* Expected[] = {"mem-open", "mem-map-regs", "mem-map-blitter", "mem-map-window", "mem-close", "fb0-open",
                              "fb1-open", "fb-info",  "fb-map",       "mixer-open",      "sdl-video", "sdl-audio"};
    auto List = SimFaultList();
    ASSERT_EQ(List.size(), sizeof Expected / sizeof Expected[0]);
    for (std::size_t Index = 0; Index < List.size(); ++Index) {
        EXPECT_EQ(List[Index].first, Expected[Index]);
        EXPECT_FALSE(List[Index].second.empty());
        EXPECT_EQ(List[Index].second.find('\n'), std::string::npos);
    }
    SimReset();
    EXPECT_FALSE(SimInjectFault("mem"));
    EXPECT_FALSE(SimInjectFault("MEM-OPEN"));
    EXPECT_FALSE(SimFaultActive("nothing"));
    EXPECT_TRUE(SimInjectFault("sdl-video"));
    EXPECT_TRUE(SimFaultActive("sdl-video"));
    EXPECT_FALSE(SimFaultActive("sdl-audio"));
    SimReset();
}

} // namespace
