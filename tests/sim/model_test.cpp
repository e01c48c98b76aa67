// The simulated device as the program reaches it through the seam: the register block, the device files, the
// blitter, and what the device gives out (the trace, snapshots of the shown page, the speaker's sound).

#include "platform/platform.h"
#include "sim/capture/audio_out.h"
#include "sim/control.h"
#include "sim/model/device_time.h"
#include "sim/model/display.h"
#include "sim/probes.h"
#include "sim/model/speaker.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <stdexcept>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>
#include <linux/fb.h>
#include <sys/mman.h>

namespace {

// The blitter's registers for one operation, in the order of the window.
struct TBlitRegisters {
    std::uint32_t DstCtrl, DstAddr;
    std::int32_t DstStride;
    std::uint32_t SrcCtrl, SrcAddr;
    std::int32_t SrcStride;
    std::uint32_t Size, Op;
};

// A fresh device for each test, in fast mode, with the register block and the blitter window mapped as the device
// layer maps them. Offsets and addresses are the hardware's, written out.
class TDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        SimReset();
        SimSetFastMode(true);
        MemHandle = PlatformOpen("/dev/mem", O_RDWR);
        Regs = static_cast<volatile std::uint16_t*>(Map(0xC0000000, 0x10000));
        Blit = static_cast<volatile std::uint32_t*>(Map(0xE0020000, 0x100));
    }

    void* Map(std::uint64_t Offset, std::size_t Length, int Protection = PROT_READ | PROT_WRITE, int Flags = MAP_SHARED)
    {
        return PlatformMap(nullptr, Length, Protection, Flags, MemHandle, std::int64_t(Offset));
    }
    std::uint16_t Read16(std::uint32_t Offset) { return PlatformLoad16(Regs + Offset / 2); }
    void Write16(std::uint32_t Offset, std::uint16_t Value) { PlatformStore16(Regs + Offset / 2, Value); }
    std::uint32_t ReadBlit(std::uint32_t Offset) { return PlatformLoad32(Blit + Offset / 4); }
    void WriteBlit(std::uint32_t Offset, std::uint32_t Value) { PlatformStore32(Blit + Offset / 4, Value); }
    void RunBlit(const TBlitRegisters& Op)
    {
        const std::uint32_t Writes[][2] = {{0x00, Op.DstCtrl}, {0x04, Op.DstAddr}, {0x08, std::uint32_t(Op.DstStride)},
                                           {0x0C, Op.SrcCtrl}, {0x10, Op.SrcAddr}, {0x14, std::uint32_t(Op.SrcStride)},
                                           {0x2C, Op.Size},    {0x30, Op.Op},      {0x34, 1}};
        for (const auto& Write : Writes)
            WriteBlit(Write[0], Write[1]);
        while (ReadBlit(0x34) & 1) {
        }
    }

    int MemHandle = -1;
    volatile std::uint16_t* Regs = nullptr;
    volatile std::uint32_t* Blit = nullptr;
};

// Paused, the program stands at its next access while the pause observer runs, and modelled time stands still.
TEST_F(TDevice, PauseHoldsTheProgramAndItsTime)
{
    SimSetFastMode(false);
    int Calls = 0;
    SimOnPaused([&Calls] {
        SimPause(++Calls < 5);
        usleep(30000);
    });
    const std::int64_t Before = DeviceNow();
    SimPause(true);
    Read16(0x1184);
    EXPECT_EQ(Calls, 5);
    EXPECT_LT(DeviceNow() - Before, 75000000);
    SimOnPaused(nullptr);
}

// Inputs power on released, reading 1. A held input reads 0 in its own bit of its own register and nowhere else.
// The input registers ignore writes, held inputs combine, and the bits no input drives read what the block stores.
TEST_F(TDevice, InputsReadActiveLowInTheirOwnBit)
{
    const std::tuple<TSimInput, std::uint32_t, int> Inputs[] = {
        {TSimInput::B1, 0x1184, 0x1000},      {TSimInput::B2, 0x1184, 0x2000},     {TSimInput::B3, 0x1184, 0x8000},
        {TSimInput::B4, 0x1184, 0x4000},      {TSimInput::B5, 0x1184, 0x0200},     {TSimInput::B6, 0x1184, 0x0100},
        {TSimInput::B7, 0x1186, 0x0040},      {TSimInput::B8, 0x1186, 0x0080},     {TSimInput::B9, 0x1184, 0x0400},
        {TSimInput::B10, 0x1184, 0x0800},     {TSimInput::Up, 0x1198, 0x01},       {TSimInput::UpLeft, 0x1198, 0x02},
        {TSimInput::Left, 0x1198, 0x04},      {TSimInput::DownLeft, 0x1198, 0x08}, {TSimInput::Down, 0x1198, 0x10},
        {TSimInput::DownRight, 0x1198, 0x20}, {TSimInput::Right, 0x1198, 0x40},    {TSimInput::UpRight, 0x1198, 0x80}};
    for (const auto& [Input, Register, Bit] : Inputs) {
        SimSetInput(Input, true);
        for (std::uint32_t Offset : {0x1184u, 0x1186u, 0x1198u})
            EXPECT_EQ(Read16(Offset), Offset == Register ? 0xFFFF ^ Bit : 0xFFFF) << int(Input) << " " << Offset;
        SimSetInput(Input, false);
    }
    for (TSimInput Input : {TSimInput::B4, TSimInput::B10, TSimInput::B8})
        SimSetInput(Input, true);
    Write16(0x1184, 0x0000);
    SimPokeReg16(0x1198, 0x0000);
    EXPECT_EQ(std::vector<int>({Read16(0x1184), Read16(0x1186), Read16(0x1198)}),
              std::vector<int>({0xB7FF, 0xFF7F, 0x00FF}));
}

// A mapping of /dev/mem starts on a page boundary and lies wholly in RAM, the register block or the blitter window.
// RAM sees a shared mapping's writes, never a private one's; read-only takes no write, the registers' pages no access.
TEST_F(TDevice, MemMapsWhatLiesWhollyInOneRegion)
{
    const std::tuple<std::uint64_t, std::size_t, int> Cases[] = {
        {0, 0x04000000, 0},           {0x03FFF000, 0x1000, 0},        {0xC0001000, 0x1000, 0},
        {0xE0020000, 0x100, 0},       {0x03FFF000, 0x2000, EINVAL},   {0xBFFFF000, 0x2000, EINVAL},
        {0xC0000000, 0x10001, EINVAL}, {0x100000000, 0x1000, EINVAL}, {0xC0000800, 0x1000, EINVAL}};
    for (const auto& [Offset, Length, Error] : Cases) {
        void* Mapped = Map(Offset, Length);
        EXPECT_EQ(Mapped == MAP_FAILED ? PlatformLastError() : 0, Error) << std::hex << Offset << " " << Length;
        if (Error == 0 && Offset < 0x04000000) {
            *static_cast<std::uint8_t*>(Mapped) = 0x5A;
            EXPECT_EQ(*SimPhysToHost(static_cast<std::uint32_t>(Offset), 1), 0x5A) << std::hex << Offset;
        }
    }
    *static_cast<volatile std::uint8_t*>(Map(0, 0x1000, PROT_READ | PROT_WRITE, MAP_PRIVATE)) = 0xA5;
    EXPECT_EQ(*SimPhysToHost(0, 1), 0x5A);
    EXPECT_DEATH(*static_cast<volatile std::uint8_t*>(Map(0, 0x1000, PROT_READ)) = 1, "");
    EXPECT_DEATH(Regs[0] = 1, "");
    SimTraceToMemory();
    PlatformUnmap(const_cast<std::uint16_t*>(Regs), 0x10000);
    EXPECT_EQ(SimTakeTrace(), TLines{"UNMAP C0000000 00010000"});
    EXPECT_DEATH(Read16(0), "");
}

// Each framebuffer reports its own video memory and maps it from offset 0, up to its length, as a view of RAM.
TEST_F(TDevice, FramebuffersReportAndMapTheirVideoMemory)
{
    for (const auto& [Path, Id, Start] :
         {std::make_tuple("/dev/fb/0", "sim-fb0", 0x03000000u), std::make_tuple("/dev/fb/1", "sim-fb1", 0x03040000u)}) {
        const int Handle = PlatformOpen(Path, O_RDWR);
        fb_fix_screeninfo Info{};
        EXPECT_EQ(PlatformIoctl(Handle, FBIOGET_FSCREENINFO, &Info), 0);
        EXPECT_STREQ(Info.id, Id);
        EXPECT_EQ(std::make_tuple(Info.smem_start, Info.smem_len, Info.line_length),
                  std::make_tuple(static_cast<unsigned long>(Start), 0x40000u, 640u));
        auto* Screen = static_cast<std::uint8_t*>(PlatformMap(nullptr, 0x40000, PROT_WRITE, MAP_SHARED, Handle, 0));
        Screen[0x3FFFF] = 0x5A;
        EXPECT_EQ(*SimPhysToHost(Start + 0x3FFFF, 1), 0x5A);
        EXPECT_EQ(PlatformMap(nullptr, 0x40001, PROT_WRITE, MAP_SHARED, Handle, 0), MAP_FAILED);
    }
}

// Each fault makes its own operation fail with its error number; a failed close releases the descriptor all the same.
TEST_F(TDevice, FaultsFailTheirOwnOperation)
{
    const std::tuple<const char*, const char*, char, std::uint64_t, std::size_t, int> Cases[] = {
        {"mem-open", "/dev/mem", 'o', 0, 0, EACCES},           {"mem-close", "/dev/mem", 'c', 0, 0, EIO},
        {"mem-map-regs", "/dev/mem", 'm', 0xC0000000, 0x10000, ENOMEM},
        {"mem-map-blitter", "/dev/mem", 'm', 0xE0020000, 0x100, ENOMEM},
        {"mem-map-window", "/dev/mem", 'm', 0x02000000, 0x800000, ENOMEM},
        {"fb0-open", "/dev/fb/0", 'o', 0, 0, ENOENT},          {"fb1-open", "/dev/fb/1", 'o', 0, 0, ENOENT},
        {"fb-info", "/dev/fb/1", 'i', 0, 0, EIO},              {"fb-map", "/dev/fb/0", 'm', 0, 153600, ENOMEM},
        {"mixer-open", "/dev/mixer", 'o', 0, 0, ENOENT}};
    // Opens, maps ('m') or asks for the screen information ('i'), closes: 0, or the error number of the failed step.
    auto Attempt = [](const char* Path, char Step, std::uint64_t Offset, std::size_t Length) {
        const int Handle = PlatformOpen(Path, O_RDWR);
        fb_fix_screeninfo Info;
        const bool Failed = Handle < 0
            || (Step == 'm'
                && PlatformMap(nullptr, Length, PROT_WRITE, MAP_SHARED, Handle, static_cast<std::int64_t>(Offset))
                    == MAP_FAILED)
            || (Step == 'i' && PlatformIoctl(Handle, FBIOGET_FSCREENINFO, &Info) < 0);
        const int Error = Failed ? PlatformLastError() : 0;
        return Handle >= 0 && PlatformClose(Handle) < 0 ? PlatformLastError() : Error;
    };
    for (const auto& [Fault, Path, Step, Offset, Length, Error] : Cases) {
        SimReset();
        EXPECT_EQ(Attempt(Path, Step, Offset, Length), 0) << Fault;
        SimInjectFault(Fault);
        EXPECT_EQ(Attempt(Path, Step, Offset, Length), Error) << Fault;
        EXPECT_EQ(SimOpenDeviceFiles(), 0) << Fault;
    }
}

// One line per register access and per device event. Identical reads fold into one line up to the read that ends a
// wait (vertical sync reached, the blitter idle), which stands alone; in fast time a read that finds no vertical sync
// waits for the next blanking. An access the map does not define, a write to a read-only register and a write to
// the blitter while it runs are stray, traced by their kind and counted. The display latches the start address when
// its high half is written: one flip. The reset that ends a run closes the trace, the pending folded read written.
// A line reaches the file once it is as old as the flush age (a second), so that a killed run loses little.
TEST_F(TDevice, TraceWritesOneLinePerAccessAndEvent)
{
    TTempDir Folder;
    SimOpenTrace(open(Folder.File("trace.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    SimSetTraceFlushAge(0);
    Write16(0x28DA, 0x04AB);
    EXPECT_EQ(ReadFile(Folder.File("trace.txt")), "W16 C00028DA 04AB\n");
    for (std::uint32_t Offset : {0x1182, 0x1182, 0x1182, 0x1184, 0x1184, 0x1182})
        Read16(Offset);
    WriteBlit(0x2C, 0x00F00140);
    WriteBlit(0x34, 1);
    for (std::uint32_t Offset : {0x34, 0x34, 0x34})
        ReadBlit(Offset);
    WriteBlit(0x04, 0x1234);
    Write16(0x0100, 0x1234);
    // Each bank's bus has the width of its registers.
    PlatformStore16(reinterpret_cast<volatile std::uint16_t*>(Blit) + 2, 0x5678);
    EXPECT_EQ(PlatformLoad32(reinterpret_cast<volatile std::uint32_t*>(Regs) + 0x290C / 4), 0u);
    Write16(0x1184, 0);
    EXPECT_EQ(SimStrayCount(), 5u);
    for (const auto& [Offset, Value] :
         {std::pair(0x290E, 0x0000), {0x2910, 0x0300}, {0x2914, 0x0304}, {0x290E, 0xFFFE}, {0x2910, 0x0302}})
        Write16(Offset, static_cast<std::uint16_t>(Value));
    const int Mixer = PlatformOpen("/dev/mixer", O_RDWR);
    int Level = 0x8080;
    PlatformIoctl(Mixer, 0xC0044D04, &Level);
    PlatformClose(Mixer);
    PlatformMap(nullptr, 0x800000, PROT_READ | PROT_WRITE, MAP_SHARED, MemHandle, 0x02000000);
    SimInjectFault("fb0-open");
    PlatformOpen("/dev/fb/0", O_RDWR);
    Read16(0x28DA);
    Read16(0x28DA);
    SimReset();
    const std::string M = std::to_string(Mixer), H = std::to_string(MemHandle);
    EXPECT_EQ(SplitLines(ReadFile(Folder.File("trace.txt"))),
              (TLines{"W16 C00028DA 04AB", "R16 C0001182 0000", "R16 C0001182 0010", "R16 C0001182 0010",
                      "R16 C0001184 FFFF x2", "R16 C0001182 0010", "W32 E002002C 00F00140", "W32 E0020034 00000001",
                      "R32 E0020034 00000001 x3", "BUSY W32 E0020004 00001234", "UNDEFINED W16 C0000100 1234",
                      "UNDEFINED W16 E0020004 5678", "UNDEFINED R32 C000290C 00000000", "READONLY W16 C0001184 0000", "W16 C000290E 0000", "W16 C0002910 0300", "FLIP 1 03000000",
                      "W16 C0002914 0304", "W16 C000290E FFFE", "W16 C0002910 0302", "FLIP 2 0302FFFE",
                      "OPEN /dev/mixer " + M, "IOCTL " + M + " C0044D04", "MIXER 00008080", "CLOSE " + M,
                      "MAP " + H + " 02000000 00800000", "FAULT fb0-open", "R16 C00028DA 04AB x2"}));
}

// A snapshot is the first whole refresh after it was asked for, as the display scanned it: black while the video
// control has the display off, plain blue where the format is not RGB565, each line the line length after the one
// before; each RGB565 component widened to 8 bits by repeating its high bits below it.
TEST_F(TDevice, SnapshotsShowWhatTheDisplayScanned)
{
    // Pixels 0-6 of line 0, little-endian: 0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0821, 0x8410; line 1 is white.
    const std::uint8_t Pixels[] = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x21, 0x08, 0x10, 0x84};
    std::memcpy(SimPhysToHost(0x03040000, 14), Pixels, 14);
    std::memset(SimPhysToHost(0x03040000 + 640, 640), 0xFF, 640);
    const std::vector<int> Widened = {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 4, 8, 132, 130, 132};
    const struct { std::uint16_t Control, Format, Length; std::vector<int> Line0; int Line1; } Cases[] = {
        {0x0000, 0x04AB, 640, std::vector<int>(21, 0), 0}, {0x0400, 0x02AB, 640, {0, 0, 255}, 0},
        {0x0400, 0x04AB, 640, Widened, 255},                {0x0400, 0x04AB, 0, Widened, 0}};
    Write16(0x290E, 0x0000);
    Write16(0x2910, 0x0304);
    TTempDir Folder;
    for (const auto& Case : Cases) {
        for (const auto& [Offset, Value] : {std::pair(0x0904, Case.Control), {0x28DA, Case.Format}, {0x290C, Case.Length}})
            Write16(Offset, Value);
        std::string Error = "not written";
        SimSnapshotNextRefresh(Folder.File("page.png"), [&Error](const std::string& Why) { Error = Why; });
        SimFinishSnapshots();
        ASSERT_EQ(Error, "");
        png_image Image{};
        Image.version = PNG_IMAGE_VERSION;
        ASSERT_NE(png_image_begin_read_from_file(&Image, Folder.File("page.png").c_str()), 0);
        Image.format = PNG_FORMAT_RGB;
        std::vector<std::uint8_t> Rgb(PNG_IMAGE_SIZE(Image));
        ASSERT_NE(png_image_finish_read(&Image, nullptr, Rgb.data(), 0, nullptr), 0);
        EXPECT_EQ(std::vector<int>(Rgb.begin(), Rgb.begin() + Case.Line0.size()), Case.Line0) << Case.Length;
        EXPECT_EQ(Rgb[320 * 3 + 1], Case.Line1) << Case.Control << " " << Case.Format << " " << Case.Length;
    }
}

// A refresh subscriber gets every refresh once, in order from refresh 0, even those that went by while nothing
// happened on the device: they showed what the next one scanned shows.
TEST_F(TDevice, RefreshSubscriberGetsEveryRefreshOnce)
{
    std::memset(SimPhysToHost(0x03000000, 320 * 240 * 2), 0xFF, 320 * 240 * 2);
    for (const auto& [Offset, Value] :
         {std::pair(0x0904, 0x0400), {0x28DA, 0x04AB}, {0x290C, 640}, {0x290E, 0x0000}, {0x2910, 0x0300}})
        Write16(Offset, static_cast<std::uint16_t>(Value));
    std::vector<std::int64_t> Indices;
    std::vector<std::uint16_t> Last;
    const int Subscription = SimSubscribeRefreshes([&](std::int64_t Index, const std::vector<std::uint16_t>& Picture) {
        Indices.push_back(Index);
        Last = Picture;
    });
    WaitUntil(RefreshStart(7) + 100000);
    Read16(0x1182);
    WaitUntil(RefreshStart(9) + 100000);
    Read16(0x1182);
    SimUnsubscribeRefreshes(Subscription);
    EXPECT_EQ(Indices, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(Last, std::vector<std::uint16_t>(320 * 240, 0xFFFF));
}

// The mixer's PCM level scales what the listener hears from the device time it is set: left in bits 0-7, right in
// bits 8-15, out of 100, a higher level counting as 100. The mixer is called as device time passes, at the opened
// rate; the capture is a 16-bit stereo WAV file at that rate holding what was heard, and a subscriber gets the same
// samples with their place counted from device time 0.
TEST_F(TDevice, SpeakerScalesByTheMixerLevelAndCaptures)
{
    const std::pair<std::uint32_t, std::vector<std::int16_t>> Cases[] = {
        {0x0000, {0, 0, 0, 0, 0, 0}},                     {0x3232, {500, -500, 16383, -16384, 99, -99}},
        {0x6580, {1000, -1000, 32767, -32768, 199, -199}}, {0x1964, {1000, -250, 32767, -8192, 199, -49}},
        {0x6419, {250, -1000, 8191, -32768, 49, -199}},    {0x00323232, {500, -500, 16383, -16384, 99, -99}}};
    TTempDir Folder;
    SimOpenAudioOut(open(Folder.File("heard.wav").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    SimSetFastMode(true);
    std::string Observed;
    std::vector<std::uint64_t> Positions;
    const int Subscription = SimSubscribeSound([&](const std::int16_t* Samples, std::size_t Frames, std::uint32_t Rate, std::uint64_t Position) {
        EXPECT_EQ(Rate, 1000u);
        Observed.append(reinterpret_cast<const char*>(Samples), Frames * 4);
        Positions.push_back(Position);
    });
    // One frame a millisecond; the mixer's frames repeat every three.
    SDL_AudioSpec Spec{};
    Spec.freq = 1000;
    Spec.format = AUDIO_S16SYS;
    Spec.channels = 2;
    static int Frame = 0;
    Frame = 0;
    const auto Mixing = [](void*, Uint8* Stream, int Length) {
        const std::int16_t Pattern[] = {1000, -1000, 32767, -32768, 199, -199};
        for (int At = 0; At < Length; At += 4, ++Frame)
            std::memcpy(Stream + At, Pattern + Frame % 3 * 2, 4);
    };
    WaitUntil(5000000);
    SpeakerOpened(Spec, Mixing, nullptr);
    const int Mixer = PlatformOpen("/dev/mixer", O_RDWR);
    std::string Heard;
    std::int64_t Moment = 5000000;
    for (auto [Level, Scaled] : Cases) {
        PlatformIoctl(Mixer, 0xC0044D04, &Level);
        WaitUntil(Moment += 3000000);
        Heard.append(reinterpret_cast<const char*>(Scaled.data()), Scaled.size() * 2);
    }
    SpeakerClosed();
    SimUnsubscribeSound(Subscription);
    SimCloseAudioOut();
    EXPECT_EQ(ReadFile(Folder.File("heard.wav")),
              std::string("RIFF\x6C\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\xE8\x03\0\0\xA0\x0F\0\0\x04\0\x10\0"
                          "data\x48\0\0\0", 44) + Heard);
    EXPECT_EQ(Observed, Heard);
    EXPECT_EQ(Positions, (std::vector<std::uint64_t>{5, 8, 11, 14, 17, 20}));
}

// Fast-forward in modelled time: waits return at once and device time moves on to their end, the speaker's
// subscribers take its sound but the host plays none of it; let go, device time carries on from where it stood and
// follows the host's clock again.
TEST_F(TDevice, FastForwardSkipsTheWaitsAndTheHostsSound)
{
    SimSetFastMode(false);
    std::size_t Taken = 0;
    const int Subscription = SimSubscribeSound(
        [&Taken](const std::int16_t*, std::size_t Frames, std::uint32_t, std::uint64_t) { Taken += Frames; });
    SDL_AudioSpec Spec{};
    Spec = {1000, AUDIO_S16SYS, 2, 0, 0, 0, 0, nullptr, nullptr};
    SpeakerOpened(Spec, [](void*, Uint8* Stream, int Length) { std::memset(Stream, 0x11, std::size_t(Length)); },
                  nullptr);
    SimFastForward(true);
    const std::int64_t Start = DeviceNow();
    WaitUntil(Start + 10 * NanosecondsPerSecond);
    Read16(0x1184);
    const std::int64_t Released = DeviceNow();
    std::vector<Uint8> Played(64, 0xAB);
    SpeakerPlayback(nullptr, Played.data(), int(Played.size()));
    SimFastForward(false);
    const std::int64_t After = DeviceNow();
    usleep(2000);
    EXPECT_EQ(Released, Start + 10 * NanosecondsPerSecond + 1000);
    EXPECT_GE(Taken, 9000u);
    EXPECT_EQ(Played, std::vector<Uint8>(64, 0xAB));
    EXPECT_TRUE(After >= Released && After - Released < 75000000) << After - Released;
    EXPECT_GE(DeviceNow() - After, 2000000);
    SpeakerClosed();
    SimUnsubscribeSound(Subscription);
}

// A WAV file's sizes are 32-bit: a capture that reaches the most they state takes the frames that fit, states them
// in its header and says why it stopped.
TEST_F(TDevice, AudioCaptureStopsAtTheMostAWavFileHolds)
{
    TTempDir Folder;
    SimOpenAudioOut(open(Folder.File("long.wav").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    SimSetAudioOutBytes(0xFFFFFFD8 - 8);
    const std::int16_t Samples[] = {1, 2, 3, 4, 5, 6};
    AudioOutWrite(Samples, 3, 22050);
    AudioOutWrite(Samples, 1, 22050);
    EXPECT_EQ(SimAudioOutFailure(), "a WAV file holds at most 4 GiB");
    SimCloseAudioOut();
    const std::string Wave = ReadFile(Folder.File("long.wav"));
    EXPECT_EQ(Wave.substr(0, 8) + Wave.substr(40), std::string("RIFF\xFC\xFF\xFF\xFF\xD8\xFF\xFF\xFF\1\0\2\0\3\0\4\0", 20));
}

// The areas of RAM that the blitter's rows fall in below: its first and last 4 KiB and 4 KiB in its middle.
const std::uint32_t Areas[] = {0, 0x02000000, 0x03FFF000};

std::vector<std::uint8_t> AreaBytes()
{
    std::vector<std::uint8_t> Bytes;
    for (std::uint32_t Area : Areas)
        Bytes.insert(Bytes.end(), SimPhysToHost(Area, 4096), SimPhysToHost(Area, 4096) + 4096);
    return Bytes;
}

// The blitter pixel by pixel on the areas' bytes; returns the pixel positions left out. Each side starts at its
// 32-bit word, one pixel on with the odd-pixel bit; a position is left out when a pixel it needs is not wholly in
// RAM; where the source is the key the destination stays; a plain copy moves each row as through a buffer, any other
// operation pixel after pixel.
std::uint64_t RunModel(const TBlitRegisters& R, std::vector<std::uint8_t>& Bytes)
{
    auto Byte = [&Bytes](std::int64_t At) -> std::uint8_t& {
        for (std::size_t Index = 0; Index < 3; ++Index)
            if (At >= Areas[Index] && At < Areas[Index] + 4096)
                return Bytes[Index * 4096 + static_cast<std::size_t>(At - Areas[Index])];
        throw std::out_of_range("a row leaves the areas");
    };
    auto InRam = [](std::int64_t At) { return At >= 0 && At + 2 <= 0x04000000; };
    const unsigned Rop = R.Op & 0xFF;
    const bool Keyed = (R.Op & 0x800) != 0, ReadsSource = Keyed || ((Rop ^ Rop >> 2) & 3) != 0;
    const std::int64_t Dst = std::int64_t{R.DstAddr & ~3u} + ((R.DstCtrl & 0x10) != 0 ? 2 : 0);
    const std::int64_t Src = std::int64_t{R.SrcAddr & ~3u} + ((R.SrcCtrl & 0x10) != 0 ? 2 : 0);
    std::uint64_t Skipped = 0;
    for (std::int64_t Row = 0; Row < R.Size >> 16; ++Row) {
        std::vector<std::pair<std::int64_t, unsigned>> Buffered;
        for (std::int64_t X = 0; X < (R.Size & 0xFFFF); ++X) {
            const std::int64_t D = Dst + Row * R.DstStride + 2 * X, S = Src + Row * R.SrcStride + 2 * X;
            if (!InRam(D) || (ReadsSource && !InRam(S))) {
                ++Skipped;
                continue;
            }
            const unsigned Source = ReadsSource ? Byte(S) | Byte(S + 1) << 8 : 0, Dest = Byte(D) | Byte(D + 1) << 8;
            if (Keyed && Source == R.Op >> 16)
                continue;
            unsigned Result = 0;
            for (unsigned Bit = 0; Bit < 16; ++Bit)
                Result |= (Rop >> ((Source >> Bit & 1) * 2 + (Dest >> Bit & 1)) & 1) << Bit;
            Buffered.emplace_back(D, Result);
            for (std::size_t Half = 0; Half < 2 && (Rop != 0xCC || Keyed); ++Half)
                Byte(D + Half) = static_cast<std::uint8_t>(Result >> 8 * Half);
        }
        for (const auto& [At, Value] : Buffered)
            for (std::size_t Half = 0; Half < 2; ++Half)
                Byte(At + Half) = static_cast<std::uint8_t>(Value >> 8 * Half);
    }
    return Skipped;
}

// Small operations against the model: every raster operation, with and without the key, odd first pixels, odd,
// negative and huge strides, overlapping rows, and rows that leave RAM (where RAM has an inaccessible page on either
// side, so that a stray access ends the test).
TEST_F(TDevice, BlitterMatchesTheModel)
{
    // Few byte values, so that sources often hold the key at any alignment.
    const std::uint8_t Bytes[] = {0xF8, 0x1F, 0x00, 0xFF};
    const std::uint32_t Keys[] = {0xF81F, 0x1FF8, 0x0000, 0xFFFF};
    std::minstd_rand Random(1);
    auto Next = [&Random](std::uint32_t Range) { return static_cast<std::uint32_t>(Random() % Range); };
    auto Address = [&](std::uint32_t Area) {
        return Area + (Area == 0 ? Next(1024) : Area == 0x02000000 ? 1024 + Next(2048) : 3072 + Next(1100));
    };
    auto Stride = [&] {
        return Next(16) == 0 ? (Next(2) != 0 ? INT32_MIN : INT32_MAX) : static_cast<std::int32_t>(Next(97)) - 48;
    };
    for (std::uint32_t Case = 0; Case < 3072; ++Case) {
        for (std::uint32_t Area : Areas)
            for (std::uint32_t At = Area; At < Area + 4096; ++At)
                *SimPhysToHost(At, 1) = Bytes[Next(4)];
        const std::uint32_t DstArea = Areas[Next(3)], SrcArea = Next(4) != 0 ? DstArea : Areas[Next(3)];
        const std::uint32_t Key = Next(2) != 0 ? 0x800 | Keys[Next(4)] << 16 : 0;
        const TBlitRegisters Op = {Next(0x200) & 0x1B0, Address(DstArea), Stride(), Next(0x200) & 0x1B0,
                                   Address(SrcArea),    Stride(),         Next(13) | Next(7) << 16,
                                   0x700 | (Case % 2 != 0 ? 0xCC : Case / 2 % 256) | Key};
        std::vector<std::uint8_t> Expected = AreaBytes();
        const std::uint64_t Skipped = SimBlitterSkippedPixels() + RunModel(Op, Expected);
        RunBlit(Op);
        ASSERT_EQ(SimBlitterSkippedPixels(), Skipped) << "case " << Case;
        ASSERT_TRUE(AreaBytes() == Expected) << "case " << Case;
    }
}

} // namespace
