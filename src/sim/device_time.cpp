#include "sim/device_time.h"

#include "sim/blitter_registers.h"
#include "sim/control.h"
#include "sim/display.h"
#include "sim/speaker.h"

#include <cerrno>
#include <functional>
#include <utility>
#include <time.h>

namespace {

bool Fast = false;
// Modelled time: the host's moment of time 0. Fast time: now.
std::int64_t Epoch = 0;
std::int64_t Counted = 0;
// A read that slept until a blanking interval began leaves that interval owed to the next read, up to the
// moment the following interval begins.
bool BlankingOwed = false;
std::int64_t BlankingOwedUntil = 0;
bool Paused = false;
std::function<void()> PausedObserver;

std::int64_t HostNow()
{
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * NanosecondsPerSecond + Now.tv_nsec;
}

// The program stands at its access while the observer runs.
void HoldWhilePaused()
{
    SimStandStill([] {
        while (Paused && PausedObserver) {
            // A copy, so that the observer may replace or remove itself while it runs.
            auto Observer = PausedObserver;
            Observer();
        }
    });
}

} // namespace

bool FastTime()
{
    return Fast;
}

std::int64_t DeviceNow()
{
    return Fast ? Counted : HostNow() - Epoch;
}

void TickAccess()
{
    if (Paused)
        HoldWhilePaused();
    if (Fast)
        Counted += AccessNanoseconds;
    const std::int64_t Now = DeviceNow();
    AdvanceBlitter(Now);
    ScanTo(Now);
    SpeakerCatchUp(Now);
}

void WaitUntil(std::int64_t Moment)
{
    if (Fast) {
        Counted = Moment > Counted ? Moment : Counted;
        return;
    }
    const std::int64_t Host = Epoch + Moment;
    timespec Until{};
    Until.tv_sec = static_cast<time_t>(Host / NanosecondsPerSecond);
    Until.tv_nsec = static_cast<long>(Host % NanosecondsPerSecond);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &Until, nullptr) == EINTR) {
    }
}

std::int64_t RefreshStart(std::int64_t Index)
{
    return Index * NanosecondsPerSecond / RefreshesPerSecond;
}

std::int64_t RefreshIndex(std::int64_t Moment)
{
    return Moment * RefreshesPerSecond / NanosecondsPerSecond;
}

bool ReadVerticalSync()
{
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
    WaitUntil(BlankingStart);
    BlankingOwed = true;
    BlankingOwedUntil = RefreshStart(Index + 2) - BlankingNanoseconds;
    return false;
}

std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels)
{
    // Below 2^63 nanoseconds for any size the blitter accepts (at most 65535 x 65535 pixels).
    return static_cast<std::int64_t>(Pixels * (NanosecondsPerSecond / BlitterPixelsPerSecond));
}

void ResetDeviceTime()
{
    SimSetFastMode(false);
}

void SimSetFastMode(bool IsFast)
{
    Fast = IsFast;
    Epoch = HostNow();
    Counted = 0;
    BlankingOwed = false;
    BlankingOwedUntil = 0;
    Paused = false;
}

bool SimFastMode()
{
    return Fast;
}

// Modelled time moves its epoch on by the wait, so that the device finds no time gone by; fast time counts accesses
// only, so it stands still by itself.
void SimStandStill(const std::function<void()>& Wait)
{
    const std::int64_t Start = HostNow();
    Wait();
    Epoch += HostNow() - Start;
}

void SimPause(bool Pause)
{
    Paused = Pause;
}

bool SimPaused()
{
    return Paused;
}

void SimOnPaused(std::function<void()> Observer)
{
    PausedObserver = std::move(Observer);
}
