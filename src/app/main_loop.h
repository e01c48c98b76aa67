#pragma once
// The frame loop: the scrollable view of the image, the status lines, the page flip, the inputs and the frame rate,
// until the exit button (button 4) is held.

#include <cstdint>

void MainLoop();

// Whether the frame-rate window begun at WindowStart has lasted its 1000 ms at Now (both SDL tick counts).
bool FrameRateWindowEnded(std::uint32_t Now, std::int32_t WindowStart);
