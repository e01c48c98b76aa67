#include "bench_device.h"

#include "device/device_state.h"
#include "device/register_window.h"
#include "device/video.h"
#include "sim/control.h"
#include "sim/probes.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The video set-up prints its lines on standard output, which belongs to the benchmark's table.
bool InitVideoQuietly()
{
    std::fflush(stdout);
    const int Saved = dup(STDOUT_FILENO);
    const int Null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (Saved < 0 || Null < 0)
        return false;
    dup2(Null, STDOUT_FILENO);
    close(Null);
    const bool Ready = InitVideo(320, 240, 16);
    dup2(Saved, STDOUT_FILENO);
    close(Saved);
    return Ready;
}

// xorshift32: the same pixels in every run, no pattern the branch predictor could learn.
std::uint32_t NextRandom(std::uint32_t& State)
{
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return State;
}

} // namespace

bool SetUpBenchDevice()
{
    SimReset();
    SimSetFastMode(true);
    DeviceInitialization();
    if (!OpenMemory() || !InitVideoQuietly()) {
        std::fprintf(stderr, "brimlet_bench: the simulated device did not come up\n");
        return false;
    }
    return true;
}

void TearDownBenchDevice()
{
    CloseVideo();
    CloseMemory();
    SimReset();
}

void FillBenchImage(std::uint32_t Phys, std::int32_t Width, std::int32_t Height, std::int32_t Pitch,
                    std::uint32_t KeyEvery)
{
    std::uint32_t State = 0x2545F491u;
    for (std::int32_t Y = 0; Y < Height; ++Y) {
        std::uint8_t* Row =
            SimPhysToHost(Phys + static_cast<std::uint32_t>(Y * Pitch), static_cast<std::uint32_t>(Width * 2));
        for (std::int32_t X = 0; X < Width; ++X) {
            const std::uint32_t Random = NextRandom(State);
            std::uint16_t Pixel = static_cast<std::uint16_t>(Random);
            if (KeyEvery != 0 && (Random >> 16) % KeyEvery == 0)
                Pixel = BenchKeyColor;
            else if (Pixel == BenchKeyColor)
                Pixel = 0;
            Row[2 * X] = static_cast<std::uint8_t>(Pixel);
            Row[2 * X + 1] = static_cast<std::uint8_t>(Pixel >> 8);
        }
    }
}
