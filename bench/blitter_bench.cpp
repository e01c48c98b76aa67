// The blitter engine against memcpy: a 320 x 240 view copied out of an image of pitch 1280 into a video page,
// plain and with the colour key, driven both through the program's Blit and through the engine's own entry point.

#include "bench_device.h"
#include "bench_names.h"

#include "device/blitter.h"
#include "device/register_map.h"
#include "device/video_pages.h"
#include "sim/model/blit_engine.h"
#include "sim/control.h"
#include "sim/seam/device_files.h"
#include "sim/probes.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

constexpr std::int32_t ViewWidth = 320;
constexpr std::int32_t ViewHeight = 240;
constexpr std::int32_t ImagePitch = 1280;
constexpr std::int32_t RowBytes = ViewWidth * 2;
constexpr std::uint32_t Page = Fb0Start;
// One pixel in four is the key colour, scattered, so that neither a run of keys nor a run of opaque pixels
// decides the figure.
constexpr std::uint32_t KeyEvery = 4;
constexpr std::uint16_t PageFill = 0x1234;

std::uint8_t* PageHost()
{
    return SimPhysToHost(Page, PageBytes);
}

std::uint16_t PixelAt(const std::uint8_t* Host, std::int64_t Offset)
{
    return static_cast<std::uint16_t>(Host[Offset] | Host[Offset + 1] << 8);
}

void FillPage()
{
    std::uint8_t* Host = PageHost();
    for (std::int32_t I = 0; I < PageBytes; I += 2) {
        Host[I] = static_cast<std::uint8_t>(PageFill);
        Host[I + 1] = static_cast<std::uint8_t>(PageFill >> 8);
    }
}

// A figure of a copy that copies the wrong pixels means nothing, so each benchmark checks one copy first.
bool PageHoldsView(bool Keyed)
{
    const std::uint8_t* Source = SimPhysToHost(ImageCopyPhys, ImagePitch * ViewHeight);
    const std::uint8_t* Dest = PageHost();
    for (std::int32_t Y = 0; Y < ViewHeight; ++Y)
        for (std::int32_t X = 0; X < ViewWidth; ++X) {
            const std::uint16_t Want = PixelAt(Source, Y * ImagePitch + X * 2);
            const std::uint16_t Seen = PixelAt(Dest, Y * PageStride + X * 2);
            if (Seen != (Keyed && Want == BenchKeyColor ? PageFill : Want))
                return false;
        }
    return true;
}

bool SetUp(benchmark::State& State, bool Keyed)
{
    if (!SetUpBenchDevice()) {
        State.SkipWithError("the simulated device did not come up");
        return false;
    }
    FillBenchImage(ImageCopyPhys, 640, ViewHeight, ImagePitch, Keyed ? KeyEvery : 0);
    FillPage();
    return true;
}

void CopyRows(std::uint8_t* Dest, const std::uint8_t* Source)
{
    for (std::int32_t Y = 0; Y < ViewHeight; ++Y)
        std::memcpy(Dest + Y * PageStride, Source + Y * ImagePitch, RowBytes);
}

void MemcpyRows(benchmark::State& State)
{
    if (!SetUp(State, false))
        return;
    std::uint8_t* Dest = PageHost();
    const std::uint8_t* Source = SimPhysToHost(ImageCopyPhys, ImagePitch * ViewHeight);
    CopyRows(Dest, Source);
    if (!PageHoldsView(false))
        State.SkipWithError("memcpy copied the wrong pixels");
    for (auto _ : State) {
        CopyRows(Dest, Source);
        benchmark::DoNotOptimize(Dest);
        benchmark::ClobberMemory();
    }
    TearDownBenchDevice();
}

TBlitOperation EngineOperation(bool Keyed)
{
    TBlitOperation Operation;
    Operation.DstAddr = Page;
    Operation.DstCtrl = BlitDstCtrlBlit;
    Operation.DstStride = PageStride;
    Operation.SrcAddr = ImageCopyPhys & ~3u;
    Operation.SrcCtrl = BlitSrcCtrlBlit;
    Operation.SrcStride = ImagePitch;
    Operation.Size = static_cast<std::uint32_t>(ViewWidth) | static_cast<std::uint32_t>(ViewHeight) << 16;
    Operation.Op = BlitOpFixed | RopCopy;
    if (Keyed)
        Operation.Op |= BlitOpColorKey | static_cast<std::uint32_t>(BenchKeyColor) << BlitOpKeyShift;
    return Operation;
}

void EngineCopy(benchmark::State& State, bool Keyed)
{
    if (!SetUp(State, Keyed))
        return;
    const TBlitOperation Operation = EngineOperation(Keyed);
    RunBlitOperation(Operation, 0, BlitRows(Operation));
    if (!PageHoldsView(Keyed))
        State.SkipWithError("the engine copied the wrong pixels");
    for (auto _ : State) {
        TBlitResult Result = RunBlitOperation(Operation, 0, BlitRows(Operation));
        benchmark::DoNotOptimize(Result);
        benchmark::ClobberMemory();
    }
    TearDownBenchDevice();
}

void BlitCopy(benchmark::State& State, bool Keyed)
{
    if (!SetUp(State, Keyed))
        return;
    // The program's own call, with the destination given, so that the page does not alternate.
    auto Run = [Keyed] {
        Blit(ImageCopyPhys, 0, 0, ViewWidth, ViewHeight, ImagePitch, Page, 0, 0, Keyed, 255, 0, 255, false);
    };
    Run();
    if (!PageHoldsView(Keyed))
        State.SkipWithError("Blit copied the wrong pixels");
    for (auto _ : State) {
        Run();
        benchmark::ClobberMemory();
    }
    TearDownBenchDevice();
}

} // namespace

BENCHMARK(MemcpyRows)->Name(BenchMemcpyView);
BENCHMARK_CAPTURE(EngineCopy, Plain, false)->Name(BenchEngineCopy);
BENCHMARK_CAPTURE(EngineCopy, Keyed, true)->Name(BenchEngineKeyed);
BENCHMARK_CAPTURE(BlitCopy, Plain, false)->Name(BenchBlitCopy);
BENCHMARK_CAPTURE(BlitCopy, Keyed, true)->Name(BenchBlitKeyed);
