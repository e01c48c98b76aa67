#pragma once
// The simulated display. Each refresh takes the start address last latched as it begins, and scans that page line
// by line during its visible part, following the video control, format and line length registers as they stand when
// the line is scanned. A flip while a refresh scans shows from the next refresh, so a program that draws into a page
// as soon as it has flipped away from it, without waiting for vertical sync, draws into the page being scanned: the
// picture tears. The scan runs only while someone looks: a window, or a snapshot waiting for its refresh.

#include <cstdint>

constexpr int DisplayWidth = 320;
constexpr int DisplayHeight = 240;
// What a line shows while the video control has the display off, and while the format is not the one the display
// can show (16 bits per pixel, RGB565): black, and a plain blue "no signal" picture.
constexpr std::uint16_t DisplayOffPixel = 0x0000;
constexpr std::uint16_t NoSignalPixel = 0x001F;

// The display takes Start as the page to show: one flip.
void LatchDisplayStart(std::uint32_t Start);
// The scan catches up with device time Now.
void ScanTo(std::int64_t Now);
// Showing physical address 0, no flip yet, nothing scanned, no snapshot waiting (the observers and the window's
// wish stay).
void ResetDisplay();
