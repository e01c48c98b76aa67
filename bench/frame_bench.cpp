// One frame of the program's loop in fast mode, against the memcpy of that frame's rows, and the three status
// lines on their own.

#include "bench_device.h"
#include "bench_names.h"

#include "app/main_loop.h"
#include "app/program_state.h"
#include "device/text.h"
#include "device/video_pages.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

namespace {

// The size of the program's galaxy image, so that the view and its pitch are those of a real run.
constexpr std::int32_t GalaxyWidth = 1024;
constexpr std::int32_t GalaxyHeight = 768;
constexpr std::int32_t GalaxyPitch = 2048;
constexpr std::int32_t ViewHeight = 240;
constexpr std::int32_t RowBytes = 640;
// Frames of the loop per iteration: one entry into the loop sets the volume, which a frame does not.
constexpr std::uint32_t FramesPerIteration = 100;

bool SetUp(benchmark::State& State)
{
    if (!SetUpBenchDevice()) {
        State.SkipWithError("the simulated device did not come up");
        return false;
    }
    ImageBufferPhys = ImageCopyPhys;
    ImageWidth = GalaxyWidth;
    ImageHeight = GalaxyHeight;
    ImagePitch = GalaxyPitch;
    FillBenchImage(ImageCopyPhys, GalaxyWidth, GalaxyHeight, GalaxyPitch, 0);
    return true;
}

// The rows the loop's blit copies at its first frame, from the same image into the drawing page.
void MemcpyFrameRows(benchmark::State& State)
{
    if (!SetUp(State))
        return;
    const std::int32_t ScrollX = (GalaxyWidth - 320) / 2;
    const std::int32_t ScrollY = 200;
    const std::uint8_t* Source =
        SimPhysToHost(ImageCopyPhys + ScrollY * GalaxyPitch + ScrollX * 2, GalaxyPitch * ViewHeight);
    auto* Dest = static_cast<std::uint8_t*>(GetVideoBuffer());
    for (auto _ : State) {
        for (std::int32_t Y = 0; Y < ViewHeight; ++Y)
            std::memcpy(Dest + Y * PageStride, Source + Y * GalaxyPitch, RowBytes);
        benchmark::DoNotOptimize(Dest);
        benchmark::ClobberMemory();
    }
    TearDownBenchDevice();
}

// The loop itself, entered as the program enters it and left by holding the exit button at the flip that ends
// the iteration's last frame.
void WholeFrame(benchmark::State& State)
{
    if (!SetUp(State))
        return;
    std::uint32_t LastFlip = 0;
    SimOnFlip([&LastFlip](std::uint32_t Flip) {
        if (Flip >= LastFlip)
            SimSetInput(TSimInput::B4, true);
    });
    for (auto _ : State) {
        LastFlip = SimFlipCount() + FramesPerIteration;
        SimSetInput(TSimInput::B4, false);
        MainLoop();
    }
    if (SimFlipCount() != FramesPerIteration * State.iterations())
        State.SkipWithError("the loop did not draw the frames it was asked for");
    SimOnFlip(nullptr);
    State.counters[BenchFramesCounter] = FramesPerIteration;
    TearDownBenchDevice();
}

// The three lines as the loop draws them, figures included.
void StatusLines(benchmark::State& State)
{
    if (!SetUp(State))
        return;
    const std::int32_t FramesPerSecond = 60;
    const std::uint16_t Volume = 128;
    const bool VSync = true;
    for (auto _ : State) {
        DrawText(10, 10, "FPS:    " + std::to_string(FramesPerSecond), 0xFFFF);
        DrawText(10, 25, "Volume: " + std::to_string(Volume), 0xFFFF);
        DrawText(10, 40, VSync ? "V-Sync: On" : "V-Sync: Off", 0xFFFF);
        benchmark::ClobberMemory();
    }
    TearDownBenchDevice();
}

} // namespace

BENCHMARK(MemcpyFrameRows)->Name(BenchMemcpyFrame);
BENCHMARK(WholeFrame)->Name(BenchWholeFrame);
BENCHMARK(StatusLines)->Name(BenchStatusLines);
