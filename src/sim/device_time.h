#pragma once
// Device time. Modelled (the default): the display refreshes at 60 Hz on the host's monotonic clock, each refresh
// ending in a blanking interval, and the blitter is busy for a time in proportion to the pixels it moves. Fast: no
// modelled delay at all.

#include <cstdint>

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::int64_t RefreshesPerSecond = 60;
// Shorter than one full-screen blit (76,800 pixels take 1.92 ms), so that a frame that blits after the wait for
// vertical sync cannot catch the same blanking interval again.
constexpr std::int64_t BlankingNanoseconds = 1200000;
constexpr std::int64_t BlitterPixelsPerSecond = 40000000;

bool FastTime();
// Now on the host's monotonic clock, in nanoseconds.
std::int64_t DeviceNow();
// Sleeps until the monotonic clock reaches Moment.
void SleepUntil(std::int64_t Moment);
// The vertical-sync level (1 during each refresh's blanking interval) as a read sees it. A read that finds it 0
// sleeps until the next blanking begins, because the reader would only poll until then, and the read after it sees
// that blanking even when the host woke the process late.
bool ReadVerticalSync();
// How long the blitter is busy moving Pixels pixels.
std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels);
// Refreshes count from now; modelled time.
void ResetDeviceTime();
