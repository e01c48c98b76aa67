#include "sim/display.h"

#include "sim/physical_memory.h"
#include "sim/control.h"
#include "sim/probes.h"
#include "sim/trace.h"

#include <utility>

namespace {

std::uint32_t DisplayStart = 0;
std::uint32_t FlipCount = 0;
std::function<void(std::uint32_t)> FlipObserver;

} // namespace

void LatchDisplayStart(std::uint32_t Start)
{
    DisplayStart = Start;
    ++FlipCount;
    TraceEvent("FLIP %u %08X", FlipCount, Start);
    // A copy, so that an observer may replace or remove itself while it runs.
    if (FlipObserver) {
        auto Observer = FlipObserver;
        Observer(FlipCount);
    }
}

void ResetDisplay()
{
    DisplayStart = 0;
    FlipCount = 0;
}

std::uint32_t SimDisplayStart()
{
    return DisplayStart;
}

std::uint32_t SimFlipCount()
{
    return FlipCount;
}

void SimOnFlip(std::function<void(std::uint32_t FlipCount)> Observer)
{
    FlipObserver = std::move(Observer);
}

std::vector<std::uint16_t> SimShownPage()
{
    std::vector<std::uint16_t> Page(DisplayWidth * DisplayHeight, 0);
    for (int Y = 0; Y < DisplayHeight; ++Y) {
        std::uint64_t Row = static_cast<std::uint64_t>(DisplayStart) + static_cast<std::uint64_t>(Y) * DisplayRowBytes;
        for (int X = 0; X < DisplayWidth; ++X) {
            std::uint64_t Address = Row + static_cast<std::uint64_t>(X) * 2;
            if (RegionOf(Address, 2) == TRegion::Ram)
                Page[Y * DisplayWidth + X] = LoadPixel(RamBase() + Address);
        }
    }
    return Page;
}
