#pragma once
// Device time, in nanoseconds from the reset. Modelled (the default): the host's monotonic clock, so that the
// display refreshes at 60 Hz in real time and a reader that would only poll sleeps. Fast: counted, not measured;
// each register access costs AccessNanoseconds and a poll that would wait moves time on at once, so that the same
// program does the same thing at the same device time in every run.
//
// The clock knows no device: the devices that change with time subscribe at their reset, and catch up with each
// access in the order they subscribed.

#include <cstdint>

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::int64_t AccessNanoseconds = 1000;

// The host's monotonic clock; the coarse one costs less and is true to a few milliseconds.
std::int64_t HostNow(bool Coarse = false);
bool FastTime();
std::int64_t DeviceNow();
// A device's catch-up with device time Now, called after every access.
using TCatchUp = void (*)(std::int64_t Now);
// Subscribed until the clock's reset; a catch-up already subscribed is not added again.
void SubscribeCatchUp(TCatchUp CatchUp);
// One register access by the program: its cost in fast time, then every subscribed device catches up with it.
void TickAccess();
// The device time of the last access when it began, as the devices caught up with it.
std::int64_t AccessMoment();
// The reader would poll until Moment: modelled time sleeps until then, fast time moves on to it.
void WaitUntil(std::int64_t Moment);
// Time 0 now; modelled time; no device subscribed.
void ResetDeviceTime();
