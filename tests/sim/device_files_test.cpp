// The simulated device files: /dev/mem mappings by region, the framebuffers, the mixer, descriptors and faults.

#include "sim_fixture.h"

#include <cerrno>
#include <string>

#include <linux/fb.h>

namespace {

using TDeviceFiles = TSimFixture;

// A mapping of /dev/mem must lie wholly in RAM, the register block or the blitter window, from a page boundary.
TEST_F(TDeviceFiles, MemMapsWhatLiesWhollyInOneRegion)
{
    struct TCase {
        std::uint64_t Offset;
        std::size_t Length;
        int Error; // 0: the mapping succeeds
    };
    const TCase Cases[] = {
        {0, SimRamSize, 0},                 // all of RAM
        {0x02000000, 0x00800000, 0},        // the program's 8 MiB window
        {SimRamSize - 4096, 4096, 0},       // RAM's last page
        {0xC0001000, 0x1000, 0},            // a page inside the register block
        {0xE0020000, 0x100, 0},             // the blitter window
        {SimRamSize - 4096, 8192, EINVAL},  // across the end of RAM
        {SimRamSize, 4096, EINVAL},         // nothing there
        {0xBFFFF000, 0x2000, EINVAL},       // into the register block from below
        {0xC0000000, 0x10001, EINVAL},      // past the register block
        {0xE0020000, 0x1000, EINVAL},       // past the blitter window
        {0x100000000ull, 4096, EINVAL},     // beyond 32 bits
        {0x02000800, 4096, EINVAL},         // an offset that is no page boundary
        {0x02000000, 0, EINVAL},            // nothing at all
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.Offset) + " " + std::to_string(Case.Length));
        void* Mapped = PlatformMap(nullptr, Case.Length, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle,
                                   static_cast<std::int64_t>(Case.Offset));
        if (Case.Error != 0) {
            EXPECT_EQ(Mapped, MAP_FAILED);
            EXPECT_EQ(PlatformLastError(), Case.Error);
            continue;
        }
        ASSERT_NE(Mapped, MAP_FAILED);
        if (Case.Offset < SimRamSize) {
            EXPECT_EQ(Mapped, SimPhysToHost(static_cast<std::uint32_t>(Case.Offset), Case.Length));
        }
        EXPECT_EQ(PlatformUnmap(Mapped, Case.Length), 0);
    }
}

// A framebuffer maps its own video memory, up to its length and no further (what it reports, the device layer's
// set-up prints).
TEST_F(TDeviceFiles, FramebufferMapsItsVideoMemoryOnly)
{
    const int Handle = PlatformOpen("/dev/fb/1", O_RDWR);
    EXPECT_EQ(PlatformMap(nullptr, SimFbLength, PROT_WRITE, MAP_SHARED, Handle, 0),
              SimPhysToHost(SimFb1Start, SimFbLength));
    EXPECT_EQ(PlatformMap(nullptr, SimFbLength + 1, PROT_WRITE, MAP_SHARED, Handle, 0), MAP_FAILED);
    EXPECT_EQ(PlatformLastError(), EINVAL);
    EXPECT_EQ(PlatformClose(Handle), 0);
}

// Simulated descriptors are real numbers that nothing else gets while they are open; other paths are the host's.
TEST_F(TDeviceFiles, DescriptorsAreCountedAndNeverShared)
{
    const int Fb = PlatformOpen("/dev/fb/0", O_RDWR);
    EXPECT_EQ(SimOpenDeviceFiles(), 2);
    const int Host = PlatformOpen("/dev/zero", O_RDONLY);
    EXPECT_EQ(SimOpenDeviceFiles(), 2);
    EXPECT_TRUE(Host >= 0 && Host != MemHandle && Host != Fb) << Host;
    EXPECT_EQ(PlatformClose(Host), 0);
    EXPECT_EQ(PlatformClose(Fb), 0);
    EXPECT_EQ(PlatformClose(Fb), -1);
    EXPECT_EQ(PlatformLastError(), EBADF);
    EXPECT_EQ(SimOpenDeviceFiles(), 1);
    SimReset();
    EXPECT_EQ(SimOpenDeviceFiles(), 0);
}

// Opens Path, then maps Length bytes at Offset ('m') or asks for the screen information ('i'), and closes it
// (checked with 'c'): 0 when all of it works, else the error number of the call that failed.
int Attempt(const char* Path, char Step, std::uint64_t Offset, std::size_t Length)
{
    const int Handle = PlatformOpen(Path, O_RDWR);
    if (Handle < 0)
        return PlatformLastError();
    fb_fix_screeninfo Info;
    const bool Failed = (Step == 'm' && PlatformMap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_SHARED, Handle,
                                                    static_cast<std::int64_t>(Offset)) == MAP_FAILED)
                        || (Step == 'i' && PlatformIoctl(Handle, FBIOGET_FSCREENINFO, &Info) < 0);
    const int Error = Failed ? PlatformLastError() : 0;
    return PlatformClose(Handle) < 0 && Step == 'c' ? PlatformLastError() : Error;
}

// Each fault makes exactly its own operation fail, with its error number; every other operation still works,
// unless it begins with the open that the fault makes fail. A reset clears the fault.
TEST(TFaults, EachFailsItsOwnOperationAlone)
{
    struct TCase {
        std::string Fault;
        int Error;
        const char* Path;
        char Step;
        std::uint64_t Offset;
        std::size_t Length;
        std::string OpenFault;
    };
    const TCase Cases[] = {
        {"mem-open", EACCES, "/dev/mem", ' ', 0, 0, "mem-open"},
        {"mem-map-regs", ENOMEM, "/dev/mem", 'm', 0xC0000000, 0x10000, "mem-open"},
        {"mem-map-blitter", ENOMEM, "/dev/mem", 'm', 0xE0020000, 0x100, "mem-open"},
        {"mem-map-window", ENOMEM, "/dev/mem", 'm', 0x02000000, 0x800000, "mem-open"},
        {"mem-close", EIO, "/dev/mem", 'c', 0, 0, "mem-open"},
        {"fb0-open", ENOENT, "/dev/fb/0", ' ', 0, 0, "fb0-open"},
        {"fb1-open", ENOENT, "/dev/fb/1", ' ', 0, 0, "fb1-open"},
        {"fb-info", EIO, "/dev/fb/1", 'i', 0, 0, "fb1-open"},
        {"fb-map", ENOMEM, "/dev/fb/0", 'm', 0, 153600, "fb0-open"},
        {"mixer-open", ENOENT, "/dev/mixer", ' ', 0, 0, "mixer-open"},
    };
    for (const TCase& Injected : Cases) {
        SimReset();
        EXPECT_EQ(Attempt(Injected.Path, Injected.Step, Injected.Offset, Injected.Length), 0) << Injected.Fault;
        ASSERT_TRUE(SimInjectFault(Injected.Fault));
        EXPECT_TRUE(SimFaultActive(Injected.Fault));
        EXPECT_EQ(Attempt(Injected.Path, Injected.Step, Injected.Offset, Injected.Length), Injected.Error)
            << Injected.Fault;
        for (const TCase& Other : Cases) {
            if (Other.Fault != Injected.Fault && Other.OpenFault != Injected.Fault) {
                EXPECT_EQ(Attempt(Other.Path, Other.Step, Other.Offset, Other.Length), 0)
                    << Other.Fault << " with " << Injected.Fault;
            }
        }
        EXPECT_EQ(SimOpenDeviceFiles(), 0) << Injected.Fault;
        SimReset();
        EXPECT_FALSE(SimFaultActive(Injected.Fault));
    }
}

// The launcher takes its list of faults from here: each name once, in this order, with a one-line description.
TEST(TFaults, NamesEveryFaultOnceWithADescription)
{
    std::vector<std::string> Names;
    for (const auto& Fault : SimFaultList()) {
        Names.push_back(Fault.first);
        EXPECT_TRUE(!Fault.second.empty() && Fault.second.find('\n') == std::string::npos) << Fault.first;
    }
    EXPECT_EQ(Names, (std::vector<std::string>{"mem-open", "mem-map-regs", "mem-map-blitter", "mem-map-window",
                                               "mem-close", "fb0-open", "fb1-open", "fb-info", "fb-map", "mixer-open",
                                               "sdl-video", "sdl-audio"}));
    SimReset();
    EXPECT_FALSE(SimInjectFault("mem"));
    EXPECT_FALSE(SimInjectFault("MEM-OPEN"));
    EXPECT_TRUE(SimInjectFault("sdl-video"));
    EXPECT_TRUE(SimFaultActive("sdl-video"));
    EXPECT_FALSE(SimFaultActive("sdl-audio"));
    SimReset();
}

} // namespace
