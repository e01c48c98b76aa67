#pragma once
// The simulated display. Each refresh takes the start address last latched as it begins, and scans that page line
// by line during its visible part, following the video control, format and line length registers as they stand when
// the line is scanned. A flip while a refresh scans shows from the next refresh, so a program that draws into a page
// as soon as it has flipped away from it, without waiting for vertical sync, draws into the page being scanned: the
// picture tears. The scan runs only while someone looks: a window, or a snapshot waiting for its refresh.

#include "sim/model/device_time.h"

#include <cstdint>

constexpr int DisplayWidth = 320;
constexpr int DisplayHeight = 240;
// What a line shows while the video control has the display off, and while the format is not the one the display
// can show (16 bits per pixel, RGB565): black, and a plain blue "no signal" picture.
constexpr std::uint16_t DisplayOffPixel = 0x0000;
constexpr std::uint16_t NoSignalPixel = 0x001F;

// 60 refreshes a second; each scans its lines during the visible part and ends in a blanking interval, shorter
// than one full-screen blit (76,800 pixels take 1.92 ms), so that a frame that blits after the wait for vertical
// sync cannot catch the same blanking interval again.
constexpr std::int64_t RefreshesPerSecond = 60;
constexpr std::int64_t BlankingNanoseconds = 1200000;

// The start of refresh Index, without accumulating the rounding of the period, and the refresh under way at Moment.
std::int64_t RefreshStart(std::int64_t Index);
std::int64_t RefreshIndex(std::int64_t Moment);
// The vertical-sync level (1 during each refresh's blanking interval) as a read sees it. A read that finds it 0
// waits until the next blanking begins, because the reader would only poll until then, and the read after it sees
// that blanking even when the host woke the process late.
bool ReadVerticalSync();
// The display takes Start as the page to show: one flip.
void LatchDisplayStart(std::uint32_t Start);
// The scan catches up with device time Now.
void ScanTo(std::int64_t Now);
// Showing physical address 0, no flip yet, nothing scanned, no blanking owed; subscribed to the clock (the
// subscribers to its refreshes stay).
void ResetDisplay();
