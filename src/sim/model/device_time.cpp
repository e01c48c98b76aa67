#include "sim/model/device_time.h"

#include "sim/control.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <functional>
#include <utility>
#include <time.h>

namespace {

bool Fast = false;
// Fast-forward in modelled time: counted as in fast time while on, so that no wait sleeps.
bool Forward = false;
// Modelled time: the host's moment of time 0. Fast time and fast-forward: now.
std::int64_t Epoch = 0;
std::int64_t Counted = 0;
std::int64_t LastAccess = 0;
// A plain array, since every access calls each of them.
std::array<TCatchUp, 4> CatchUps{};
std::size_t CatchUpCount = 0;
bool Paused = false;
std::function<void()> PausedObserver;

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

std::int64_t HostNow(bool Coarse)
{
    timespec Now{};
    clock_gettime(Coarse ? CLOCK_MONOTONIC_COARSE : CLOCK_MONOTONIC, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * NanosecondsPerSecond + Now.tv_nsec;
}

bool FastTime()
{
    return Fast;
}

std::int64_t DeviceNow()
{
    return Fast || Forward ? Counted : HostNow() - Epoch;
}

void SubscribeCatchUp(TCatchUp CatchUp)
{
    const auto End = CatchUps.begin() + static_cast<std::ptrdiff_t>(CatchUpCount);
    if (std::find(CatchUps.begin(), End, CatchUp) == End && CatchUpCount < CatchUps.size())
        CatchUps[CatchUpCount++] = CatchUp;
}

void TickAccess()
{
    if (Paused)
        HoldWhilePaused();
    if (Fast || Forward)
        Counted += AccessNanoseconds;
    const std::int64_t Now = DeviceNow();
    LastAccess = Now;
    for (std::size_t Index = 0; Index < CatchUpCount; ++Index)
        CatchUps[Index](Now);
}

std::int64_t AccessMoment()
{
    return LastAccess;
}

void WaitUntil(std::int64_t Moment)
{
    if (Fast || Forward) {
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

void ResetDeviceTime()
{
    CatchUpCount = 0;
    SimSetFastMode(false);
}

void SimSetFastMode(bool IsFast)
{
    Fast = IsFast;
    Forward = false;
    Epoch = HostNow();
    Counted = 0;
    LastAccess = 0;
    Paused = false;
}

bool SimFastMode()
{
    return Fast;
}

// Modelled time counts on from where it stood, and at the end carries on from where the count stood: no jump
// either way.
void SimFastForward(bool On)
{
    if (On == Forward)
        return;
    if (!Fast) {
        if (On)
            Counted = HostNow() - Epoch;
        else
            Epoch = HostNow() - Counted;
    }
    Forward = On;
}

bool SimFastForwarding()
{
    return Forward;
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
