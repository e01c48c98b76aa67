#include "sim/device_time.h"

#include "sim/control.h"

#include <cerrno>
#include <time.h>

namespace {

bool Fast = false;
// The moment the first refresh began.
std::int64_t Epoch = 0;
// A read that slept until a blanking interval began leaves that interval owed to the next read, up to the
// moment the following interval begins.
bool BlankingOwed = false;
std::int64_t BlankingOwedUntil = 0;

// The start of refresh Index after the epoch, without accumulating the rounding of the period.
std::int64_t RefreshStart(std::int64_t Index)
{
    return Epoch + Index * NanosecondsPerSecond / RefreshesPerSecond;
}

std::int64_t RefreshIndex(std::int64_t Moment)
{
    return (Moment - Epoch) * RefreshesPerSecond / NanosecondsPerSecond;
}

} // namespace

bool FastTime()
{
    return Fast;
}

std::int64_t DeviceNow()
{
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * NanosecondsPerSecond + Now.tv_nsec;
}

void SleepUntil(std::int64_t Moment)
{
    timespec Until{};
    Until.tv_sec = static_cast<time_t>(Moment / NanosecondsPerSecond);
    Until.tv_nsec = static_cast<long>(Moment % NanosecondsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &Until, nullptr) == EINTR) {
    }
}

bool ReadVerticalSync()
{
    if (Fast)
        return true;
    std::int64_t Now = DeviceNow();
    if (BlankingOwed) {
        BlankingOwed = false;
        if (Now < BlankingOwedUntil)
            return true;
    }
    std::int64_t Index = RefreshIndex(Now);
    std::int64_t BlankingStart = RefreshStart(Index + 1) - BlankingNanoseconds;
    if (Now >= BlankingStart)
        return true;
    SleepUntil(BlankingStart);
    BlankingOwed = true;
    BlankingOwedUntil = RefreshStart(Index + 2) - BlankingNanoseconds;
    return false;
}

std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels)
{
    if (Fast)
        return 0;
    // Below 2^63 nanoseconds for any size the blitter accepts (at most 65535 x 65535 pixels).
    return static_cast<std::int64_t>(Pixels * (NanosecondsPerSecond / BlitterPixelsPerSecond));
}

void ResetDeviceTime()
{
    Fast = false;
    Epoch = DeviceNow();
    BlankingOwed = false;
    BlankingOwedUntil = 0;
}

void SimSetFastMode(bool IsFast)
{
    Fast = IsFast;
}
