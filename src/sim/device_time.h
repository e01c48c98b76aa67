#pragma once
// Device time, in nanoseconds from the reset. Modelled (the default): the host's monotonic clock, so that the
// display refreshes at 60 Hz in real time and a reader that would only poll sleeps. Fast: counted, not measured;
// each register access costs AccessNanoseconds and a poll that would wait moves time on at once, so that the same
// program does the same thing at the same device time in every run.
//
// The display refreshes 60 times a second; each refresh scans its lines during the visible part and ends in a
// blanking interval. The blitter moves BlitterPixelsPerSecond.

#include <cstdint>

constexpr std::int64_t NanosecondsPerSecond = 1000000000;
constexpr std::int64_t RefreshesPerSecond = 60;
// Shorter than one full-screen blit (76,800 pixels take 1.92 ms), so that a frame that blits after the wait for
// vertical sync cannot catch the same blanking interval again.
constexpr std::int64_t BlankingNanoseconds = 1200000;
constexpr std::int64_t BlitterPixelsPerSecond = 40000000;
constexpr std::int64_t AccessNanoseconds = 1000;

bool FastTime();
std::int64_t DeviceNow();
// One register access by the program: its cost in fast time, then the blitter, the display and the speaker catch up
// with it.
void TickAccess();
// The reader would poll until Moment: modelled time sleeps until then, fast time moves on to it.
void WaitUntil(std::int64_t Moment);
// The start of refresh Index, without accumulating the rounding of the period, and the refresh under way at Moment.
std::int64_t RefreshStart(std::int64_t Index);
std::int64_t RefreshIndex(std::int64_t Moment);
// The vertical-sync level (1 during each refresh's blanking interval) as a read sees it. A read that finds it 0
// waits until the next blanking begins, because the reader would only poll until then, and the read after it sees
// that blanking even when the host woke the process late.
bool ReadVerticalSync();
// How long the blitter is busy moving Pixels pixels.
std::int64_t BlitterBusyNanoseconds(std::uint64_t Pixels);
// Time 0 now; modelled time.
void ResetDeviceTime();
