#pragma once
// The frame loop: the scrollable view of the image, the status lines, the page flip, the inputs and the frame rate,
// until the exit button (button 4) is held.

void MainLoop();
